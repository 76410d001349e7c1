// CDC: a borrowed device context (the handle belongs to someone else) with the
// drawing calls the dialogs and controls use. CPaintDC, CClientDC and CMemoryDC
// derive from it and own theirs.
#pragma once

#include <windows.h>

#include "framework/size.h"

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hdc) : m_hDC(hdc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
    COLORREF SetBkColor(COLORREF cr) { return ::SetBkColor(m_hDC, cr); }
    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    // Raw selection; prefer CSelectGuard, which selects the old object back.
    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }

    void FillSolidRect(const RECT& rc, COLORREF cr);
    int DrawText(const char* psz, int nCount, RECT* prc, UINT nFormat) {
        return ::DrawTextA(m_hDC, psz, nCount, prc, nFormat);
    }
    // Extent of the text in the selected font; (0, 0) when it cannot be measured.
    CSize GetTextExtent(const char* psz, int nCount) const;
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    BOOL BitBlt(int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, cx, cy, hSrc, xSrc, ySrc, rop);
    }

protected:
    HDC m_hDC = nullptr;
};
