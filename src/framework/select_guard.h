// CSelectGuard: selects one GDI object into a device context for the guard's
// lifetime and selects the previous object back when it ends. Declare it after
// the owner of the object (CFont, CBrush, CBitmap, ...) so it ends first.
// Works for fonts, brushes, pens and bitmaps (regions are not selectable this way).
#pragma once

#include <windows.h>

class CSelectGuard {
public:
    CSelectGuard(HDC hdc, HGDIOBJ hObj) : m_hdc(hdc) {
        if (m_hdc && hObj) m_hOld = ::SelectObject(m_hdc, hObj);
    }
    ~CSelectGuard() {
        if (m_hdc && m_hOld && m_hOld != HGDI_ERROR) ::SelectObject(m_hdc, m_hOld);
    }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;
    // Whether the selection took place.
    BOOL Succeeded() const { return m_hOld != nullptr && m_hOld != HGDI_ERROR; }
    HGDIOBJ GetOld() const { return m_hOld; }

private:
    HDC m_hdc;
    HGDIOBJ m_hOld = nullptr;
};
