// CSaveDCGuard: SaveDC now, RestoreDC of that state when the guard ends, so every
// selection and mode change made in between is undone.
#pragma once

#include <windows.h>

class CSaveDCGuard {
public:
    explicit CSaveDCGuard(HDC hdc) : m_hdc(hdc), m_nSaved(hdc ? ::SaveDC(hdc) : 0) {}
    ~CSaveDCGuard() {
        if (m_nSaved) ::RestoreDC(m_hdc, m_nSaved);
    }
    CSaveDCGuard(const CSaveDCGuard&) = delete;
    CSaveDCGuard& operator=(const CSaveDCGuard&) = delete;

private:
    HDC m_hdc;
    int m_nSaved;
};
