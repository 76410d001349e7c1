// CEdit: an edit control (bound with DDX_Control). Thin message wrappers.
#pragma once

#include "framework/wnd.h"

class CEdit : public CWnd {
public:
    CEdit() = default;
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    BOOL LineScroll(int nLines, int nChars = 0) {
        return static_cast<BOOL>(SendMessage(EM_LINESCROLL, nChars, nLines));
    }
    void SetSel(int nStart, int nEnd) { SendMessage(EM_SETSEL, nStart, nEnd); }
    void ReplaceSel(const char* psz, BOOL bCanUndo = FALSE) {
        SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(psz));
    }
    void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
    void SetReadOnly(BOOL bReadOnly = TRUE) { SendMessage(EM_SETREADONLY, bReadOnly); }
};
