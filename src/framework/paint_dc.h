// CPaintDC: BeginPaint in the constructor, EndPaint in the destructor. Use only
// while handling WM_PAINT of that window. m_ps holds the paint information.
#pragma once

#include "framework/dc.h"

class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    ~CPaintDC() override {
        if (m_hDC) ::EndPaint(m_hWnd, &m_ps);
    }

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};
