// CMemoryDC: an owned memory device context compatible with another one
// (CreateCompatibleDC), deleted when it ends. Whatever was selected into it must
// be selected out by then (use CSelectGuard declared after the CMemoryDC).
// GetSafeHdc() is NULL when the context could not be made.
#pragma once

#include "framework/dc.h"

class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC hdcCompatible) { m_hDC = ::CreateCompatibleDC(hdcCompatible); }
    ~CMemoryDC() override {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
    // Gives up ownership (the caller deletes the DC).
    HDC Detach() {
        HDC h = m_hDC;
        m_hDC = nullptr;
        return h;
    }
};
