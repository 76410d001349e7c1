#include "framework/dc.h"

void CDC::FillSolidRect(const RECT& rc, COLORREF cr)
{
    // ExtTextOut with ETO_OPAQUE fills with the background colour and needs no brush.
    COLORREF crOld = ::SetBkColor(m_hDC, cr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, crOld);
}

CSize CDC::GetTextExtent(const char* psz, int nCount) const
{
    SIZE sz{0, 0};
    if (!::GetTextExtentPoint32A(m_hDC, psz, nCount, &sz)) return CSize(0, 0);
    return CSize(sz);
}
