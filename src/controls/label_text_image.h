// CLabelTextImage: the picture of a styled label's text, made for one paint.
//
// Render(angle) breaks the text into lines at line feeds (see SplitTextLines),
// draws every line on a line of its own inside a block as wide as the widest line
// (each line aligned left, centred or right within that width, embossed when
// asked), and rotates the block by 90, 180 or 270 degrees (any other angle draws
// upright) into the image. Paint(rcClient) puts the image into the target DC by the
// alignment, cut at the client rectangle's right and bottom edges, and draws the
// etched rules beside it when asked.
//
// Rotation transforms the bitmap, so every font rotates: one PlgBlt on the NT
// family (looked up at run time, since the 9x family's GDI has none and the
// program must still load there), a GetPixel/SetPixel loop on the 9x family.
//
// The target DC is the label's paint DC with the label's font selected; it is not
// owned. Everything else is owned and released by Release() or the destructor.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/afx_string.h"

// TRUE on the Windows NT family (top bit of GetVersion() clear), FALSE on the 9x
// family. Tests can replace the answer (SetIsWinNTOverride) so both rotation paths
// run on one machine.
BOOL IsWinNT();
typedef BOOL (*PFN_IS_WIN_NT)();
// Test seam: IsWinNT() answers pfn() from now on; NULL restores the real test.
void SetIsWinNTOverride(PFN_IS_WIN_NT pfn);

class CLabelTextImage {
public:
    // nHAlign: 0 left, 1 centre, 2 right (also the DrawText flags DT_LEFT, DT_CENTER,
    // DT_RIGHT); nVAlign: 0 top, 1 centre, 2 bottom.
    CLabelTextImage(HDC hTargetDC, const char* pszText, int nHAlign, int nVAlign);
    virtual ~CLabelTextImage();
    CLabelTextImage(const CLabelTextImage&) = delete;
    CLabelTextImage& operator=(const CLabelTextImage&) = delete;

    void SetTextColor(COLORREF cr) { m_crText = cr; }
    void SetEmboss(BOOL bEmboss) { m_bEmboss = bEmboss; }
    void SetEtched(BOOL bEtched) { m_bEtched = bEtched; }
    void SetBkColor(COLORREF cr) { m_crBack = cr; }

    // Builds the image; 1 on success (also for a text without lines: an empty
    // image), 0 when memory or a GDI object was refused (there is then no image).
    BOOL Render(int nAngle);
    // Draws the image into the target DC inside rcClient (origin 0, 0); the copy's
    // result, or 0 without an image.
    BOOL Paint(RECT rcClient);
    // Deletes the image; m_rcImage becomes empty and m_nAngle 0.
    void Release();

    // The steps of Render and Paint, public for tests.
    // Largest width and largest height of the lines measured on hdc; a line that
    // cannot be measured counts for neither. (0, 0) without lines.
    static SIZE MeasureLines(HDC hdc, const std::vector<CString>& lines);
    // Copies the source's rectangle (0, 0, w, h) into the target turned by nAngle
    // (90 clockwise, 180, 270 counter-clockwise; anything else unturned).
    static BOOL RotateImage(HDC hSrcDC, HDC hDstDC, RECT rc, int nAngle);
    // Copies the current image (m_rcImage) to (x, y) of the target.
    BOOL BlitAt(int x, int y);

    // Read-only views for tests and the label.
    HDC GetImageDC() const { return m_hImageDC; }
    RECT GetImageRect() const { return m_rcImage; }
    int GetAngle() const { return m_nAngle; }

private:
    void DrawEtchedRules(int W, int H, int w, int h);

    HDC m_hTargetDC;
    HDC m_hImageDC = nullptr;  // owned, with m_hImageBitmap selected
    RECT m_rcImage{0, 0, 0, 0};
    int m_nHAlign;
    int m_nVAlign;
    int m_nAngle = 0;
    BOOL m_bEmboss = FALSE;
    BOOL m_bEtched = FALSE;
    CString m_strText;
    COLORREF m_crBack;
    COLORREF m_crText;

    HBITMAP m_hImageBitmap = nullptr;     // owned; lives in m_hImageDC
    HGDIOBJ m_hOldImageBitmap = nullptr;  // the image DC's own bitmap, put back by Release
};
