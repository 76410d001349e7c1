#include "controls/label_text_image.h"

#include <cstring>
#include <new>

#include "controls/text_lines.h"
#include "framework/bitmap.h"
#include "framework/brush.h"
#include "framework/memory_dc.h"
#include "framework/select_guard.h"

namespace {

PFN_IS_WIN_NT g_pfnIsWinNTOverride = nullptr;  // test seam only

typedef BOOL(WINAPI* PFN_PLGBLT)(HDC, const POINT*, HDC, int, int, int, int, HBITMAP, int, int);

// PlgBlt exists only in the NT family's GDI; a static import would keep the
// 32-bit program from loading on the 9x family.
PFN_PLGBLT LookUpPlgBlt()
{
    HMODULE hGdi = ::GetModuleHandleA("gdi32.dll");
    if (!hGdi) return nullptr;
    // void (*)(void) is the neutral function type, so neither cast is flagged.
    return reinterpret_cast<PFN_PLGBLT>(
        reinterpret_cast<void (*)(void)>(::GetProcAddress(hGdi, "PlgBlt")));
}

// Where the source's upper-left, upper-right and lower-left corners go.
void PlgBltCorners(int nAngle, int w, int h, POINT pts[3])
{
    switch (nAngle) {
    case 90:
        pts[0] = {h, 0}; pts[1] = {h, w}; pts[2] = {0, 0};
        break;
    case 180:
        pts[0] = {w, h}; pts[1] = {0, h}; pts[2] = {w, 0};
        break;
    case 270:
        pts[0] = {0, w}; pts[1] = {0, 0}; pts[2] = {h, w};
        break;
    default:
        pts[0] = {0, 0}; pts[1] = {w, 0}; pts[2] = {0, h};
        break;
    }
}

// The same mapping pixel by pixel, for GDIs without PlgBlt.
BOOL RotateByPixels(HDC hSrcDC, HDC hDstDC, int w, int h, int nAngle)
{
    for (int i = 0; i < w; ++i) {
        for (int j = 0; j < h; ++j) {
            switch (nAngle) {
            case 90:
                ::SetPixel(hDstDC, h - 1 - j, i, ::GetPixel(hSrcDC, i, j));
                break;
            case 180:
                ::SetPixel(hDstDC, i, j, ::GetPixel(hSrcDC, w - 1 - i, h - 1 - j));
                break;
            case 270:
                ::SetPixel(hDstDC, j, i, ::GetPixel(hSrcDC, w - 1 - i, j));
                break;
            default:
                ::SetPixel(hDstDC, i, j, ::GetPixel(hSrcDC, i, j));
                break;
            }
        }
    }
    return TRUE;
}

}  // namespace

BOOL IsWinNT()
{
    if (g_pfnIsWinNTOverride) return g_pfnIsWinNTOverride();
    return (::GetVersion() & 0x80000000u) == 0;
}

void SetIsWinNTOverride(PFN_IS_WIN_NT pfn)
{
    g_pfnIsWinNTOverride = pfn;
}

CLabelTextImage::CLabelTextImage(HDC hTargetDC, const char* pszText, int nHAlign, int nVAlign)
    : m_hTargetDC(hTargetDC),
      m_nHAlign(nHAlign),
      m_nVAlign(nVAlign),
      m_strText(pszText),
      m_crBack(::GetSysColor(COLOR_BTNFACE)),
      m_crText(::GetSysColor(COLOR_WINDOWTEXT))
{
}

CLabelTextImage::~CLabelTextImage()
{
    Release();
}

void CLabelTextImage::Release()
{
    if (m_hImageDC) {
        if (m_hOldImageBitmap) ::SelectObject(m_hImageDC, m_hOldImageBitmap);
        ::DeleteDC(m_hImageDC);
    }
    if (m_hImageBitmap) ::DeleteObject(m_hImageBitmap);
    m_hImageDC = nullptr;
    m_hImageBitmap = nullptr;
    m_hOldImageBitmap = nullptr;
    ::SetRectEmpty(&m_rcImage);
    m_nAngle = 0;
}

SIZE CLabelTextImage::MeasureLines(HDC hdc, const std::vector<CString>& lines)
{
    SIZE total{0, 0};
    for (const CString& line : lines) {
        SIZE sz{0, 0};
        if (!::GetTextExtentPoint32A(hdc, line, line.GetLength(), &sz)) continue;
        if (sz.cx > total.cx) total.cx = sz.cx;
        if (sz.cy > total.cy) total.cy = sz.cy;
    }
    return total;
}

BOOL CLabelTextImage::RotateImage(HDC hSrcDC, HDC hDstDC, RECT rc, int nAngle)
{
    int w = rc.right - rc.left;
    int h = rc.bottom - rc.top;
    if (nAngle == 0) return ::BitBlt(hDstDC, 0, 0, w, h, hSrcDC, 0, 0, SRCCOPY);
    if (IsWinNT()) {
        // Should an NT system lack it after all, the pixel mapping still does the job.
        if (PFN_PLGBLT pfnPlgBlt = LookUpPlgBlt()) {
            POINT pts[3];
            PlgBltCorners(nAngle, w, h, pts);
            return pfnPlgBlt(hDstDC, pts, hSrcDC, 0, 0, w, h, nullptr, 0, 0);
        }
    }
    return RotateByPixels(hSrcDC, hDstDC, w, h, nAngle);
}

BOOL CLabelTextImage::Render(int nAngle)
{
    Release();
    m_nAngle = nAngle;

    // Lines, split in a scratch copy of the text.
    std::vector<CString> lines;
    {
        int len = m_strText.GetLength();
        char* pScratch = new (std::nothrow) char[static_cast<size_t>(len) + 1];
        if (!pScratch) return FALSE;
        std::memcpy(pScratch, m_strText.GetString(), static_cast<size_t>(len) + 1);
        SplitTextLines(pScratch, lines);
        delete[] pScratch;
    }
    const int n = static_cast<int>(lines.size());
    SIZE line = MeasureLines(m_hTargetDC, lines);
    const int cx = line.cx;
    const int cy = line.cy;
    RECT rcBlock{0, 0, cx, cy * n};
    const int side = rcBlock.right > rcBlock.bottom ? rcBlock.right : rcBlock.bottom;

    // The square work and image bitmaps hold the block in either orientation.
    CBitmap workBitmap(::CreateCompatibleBitmap(m_hTargetDC, side, side));
    CBitmap imageBitmap(::CreateCompatibleBitmap(m_hTargetDC, side, side));
    CMemoryDC workDC(m_hTargetDC);
    CMemoryDC imageDC(m_hTargetDC);
    if (!workBitmap.GetSafeHandle() || !imageBitmap.GetSafeHandle() || !workDC.GetSafeHdc() ||
        !imageDC.GetSafeHdc()) {
        return FALSE;
    }
    CBrush backBrush(m_crBack);
    if (!backBrush.GetSafeHandle()) return FALSE;

    HGDIOBJ hOldImage = ::SelectObject(imageDC, imageBitmap);
    {
        CSelectGuard selWork(workDC, workBitmap);
        CSelectGuard selFont(workDC, ::GetCurrentObject(m_hTargetDC, OBJ_FONT));
        CSelectGuard selBrush(workDC, backBrush);
        ::SetBkMode(workDC, TRANSPARENT);
        ::FillRect(workDC, &rcBlock, backBrush);
        ::FillRect(imageDC, &rcBlock, backBrush);
        ::SetTextColor(workDC, m_crText);

        const UINT nFormat = static_cast<UINT>(m_nHAlign) | DT_VCENTER | DT_SINGLELINE;
        for (int i = 0; i < n; ++i) {
            RECT rcLine{0, i * cy, cx, (i + 1) * cy};
            if (m_bEmboss) {
                ::SetTextColor(workDC, ::GetSysColor(COLOR_BTNHIGHLIGHT));
                RECT rcHigh{rcLine.left + 1, rcLine.top + 1, rcLine.right + 1, rcLine.bottom + 1};
                ::DrawTextA(workDC, lines[static_cast<size_t>(i)], -1, &rcHigh, nFormat);
                ::SetTextColor(workDC, ::GetSysColor(COLOR_BTNSHADOW));
            }
            ::DrawTextA(workDC, lines[static_cast<size_t>(i)], -1, &rcLine, nFormat);
        }
        ::GdiFlush();
        RotateImage(workDC, imageDC, rcBlock, m_nAngle);
    }

    // The image DC and its bitmap live until Release.
    m_hOldImageBitmap = hOldImage;
    m_hImageBitmap = imageBitmap.Detach();
    m_hImageDC = imageDC.Detach();
    if (m_nAngle == 90 || m_nAngle == 270) {
        m_rcImage = RECT{0, 0, rcBlock.bottom, rcBlock.right};
    } else {
        m_rcImage = rcBlock;
    }
    return TRUE;
}

BOOL CLabelTextImage::BlitAt(int x, int y)
{
    if (!m_hImageDC) return FALSE;
    return ::BitBlt(m_hTargetDC, x, y, m_rcImage.right - m_rcImage.left,
                    m_rcImage.bottom - m_rcImage.top, m_hImageDC, 0, 0, SRCCOPY);
}

BOOL CLabelTextImage::Paint(RECT rcClient)
{
    if (!m_hImageDC) return FALSE;
    const int W = rcClient.right - rcClient.left;
    const int H = rcClient.bottom - rcClient.top;
    const RECT rcKept = m_rcImage;
    if (W < m_rcImage.right - m_rcImage.left) m_rcImage.right = m_rcImage.left + W;
    if (H < m_rcImage.bottom - m_rcImage.top) m_rcImage.bottom = m_rcImage.top + H;
    const int w = m_rcImage.right - m_rcImage.left;
    const int h = m_rcImage.bottom - m_rcImage.top;

    int x = 0;
    if (m_nHAlign == 1) x = (W - w) / 2;
    else if (m_nHAlign == 2) x = W - w;
    int y = 0;
    if (m_nVAlign == 1) y = (H - h) / 2;
    else if (m_nVAlign == 2) y = H - h;

    BOOL bResult = BlitAt(x, y);
    if (m_bEtched) DrawEtchedRules(W, H, w, h);
    m_rcImage = rcKept;
    return bResult;
}

void CLabelTextImage::DrawEtchedRules(int W, int H, int w, int h)
{
    // A rule is drawn only where it has room: with the text closer than 6 pixels
    // to an edge, an inverted rectangle would draw the rule across the text.
    auto horizontal = [this](int x1, int x2, int y) {
        if (x2 <= x1) return;
        RECT rc{x1, y, x2, y};
        ::DrawEdge(m_hTargetDC, &rc, EDGE_ETCHED, BF_TOP);
    };
    auto vertical = [this](int y1, int y2, int x) {
        if (y2 <= y1) return;
        RECT rc{x, y1, x, y2};
        ::DrawEdge(m_hTargetDC, &rc, EDGE_ETCHED, BF_LEFT);
    };

    if (m_nAngle == 0 || m_nAngle == 180) {
        int y0 = h / 2;
        if (m_nVAlign == 1) y0 = H / 2;
        else if (m_nVAlign == 2) y0 = H - h / 2;
        if (m_nHAlign == 1) {
            horizontal(6, W / 2 - w / 2 - 6, y0);
            horizontal(W / 2 + w / 2 + 6, W - 6, y0);
        } else if (m_nHAlign == 2) {
            horizontal(6, W - w - 6, y0);
        } else {
            horizontal(w + 6, W - 6, y0);
        }
    } else {
        int x0 = w / 2;
        if (m_nHAlign == 1) x0 = W / 2;
        else if (m_nHAlign == 2) x0 = W - w / 2;
        if (m_nVAlign == 1) {
            vertical(6, H / 2 - h / 2 - 6, x0);
            vertical(H / 2 + h / 2 + 6, H - 6, x0);
        } else if (m_nVAlign == 2) {
            vertical(6, H - h - 6, x0);
        } else {
            vertical(h + 6, H - 6, x0);
        }
    }
}
