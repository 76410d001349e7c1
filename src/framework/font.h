// CFont: an owned HFONT.
#pragma once

#include "framework/gdi_handle.h"

class CFont : public CGdiHandle<HFONT> {
public:
    CFont() = default;
    // Deletes the current font and creates one from the description; TRUE on success.
    BOOL CreateFontIndirect(const LOGFONTA* plf);
    // Fills *plf with the current font's description; FALSE without a font.
    BOOL GetLogFont(LOGFONTA* plf) const;
};
