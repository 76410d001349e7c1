#include "framework/font.h"

BOOL CFont::CreateFontIndirect(const LOGFONTA* plf)
{
    Attach(plf ? ::CreateFontIndirectA(plf) : nullptr);
    return m_handle != nullptr;
}

BOOL CFont::GetLogFont(LOGFONTA* plf) const
{
    if (!m_handle || !plf) return FALSE;
    return ::GetObjectA(m_handle, sizeof(LOGFONTA), plf) == sizeof(LOGFONTA);
}
