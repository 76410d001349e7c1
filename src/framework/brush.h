// CBrush: an owned HBRUSH.
#pragma once

#include "framework/gdi_handle.h"

class CBrush : public CGdiHandle<HBRUSH> {
public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) : CGdiHandle<HBRUSH>(::CreateSolidBrush(cr)) {}
    // Deletes the current brush and makes a solid one; TRUE on success.
    BOOL CreateSolidBrush(COLORREF cr) {
        Attach(::CreateSolidBrush(cr));
        return m_handle != nullptr;
    }
};
