// CClientDC: GetDC of a window's client area, ReleaseDC when it ends.
#pragma once

#include "framework/dc.h"

class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }
    ~CClientDC() override {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};
