// CComboBox: a combo box (bound with DDX_Control). Thin message wrappers; the
// answers are the control's (CB_ERR = -1 on failure).
#pragma once

#include "framework/wnd.h"

class CComboBox : public CWnd {
public:
    CComboBox() = default;
    int AddString(const char* psz) {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(CB_SETCURSEL, nSelect)); }
    int GetLBTextLen(int nIndex) const { return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, nIndex)); }
    // Copies entry nIndex into pszText, which must hold GetLBTextLen(nIndex) + 1 bytes.
    int GetLBText(int nIndex, char* pszText) const {
        return static_cast<int>(SendMessage(CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(pszText)));
    }
    // Entry nIndex as a CString; empty when there is no such entry.
    void GetLBText(int nIndex, CString& str) const;
    int FindStringExact(int nStart, const char* psz) const {
        return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, nStart, reinterpret_cast<LPARAM>(psz)));
    }
    int SelectString(int nStart, const char* psz) {
        return static_cast<int>(SendMessage(CB_SELECTSTRING, nStart, reinterpret_cast<LPARAM>(psz)));
    }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
};
