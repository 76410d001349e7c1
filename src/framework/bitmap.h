// CBitmap: an owned HBITMAP.
#pragma once

#include "framework/gdi_handle.h"

class CBitmap : public CGdiHandle<HBITMAP> {
public:
    CBitmap() = default;
    explicit CBitmap(HBITMAP h) : CGdiHandle<HBITMAP>(h) {}
    // Deletes the current bitmap and makes one compatible with hdc; TRUE on success.
    BOOL CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
        Attach(::CreateCompatibleBitmap(hdc, cx, cy));
        return m_handle != nullptr;
    }
    // Size of the bitmap; (0, 0) without one.
    SIZE GetSize() const {
        BITMAP bm{};
        SIZE sz{0, 0};
        if (m_handle && ::GetObjectA(m_handle, sizeof(bm), &bm)) {
            sz.cx = bm.bmWidth;
            sz.cy = bm.bmHeight;
        }
        return sz;
    }
};
