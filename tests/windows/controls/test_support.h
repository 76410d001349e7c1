// Helpers of the controls tests: a pixel target in memory, window capture, message
// pumping and bitmap files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A 32-bit top-down DIB section selected into its own memory DC; pixels are read
// straight from its memory.
class DibTarget {
public:
    DibTarget(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~DibTarget();
    DibTarget(const DibTarget&) = delete;
    DibTarget& operator=(const DibTarget&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    COLORREF Pixel(int x, int y) const;  // CLR_INVALID outside
    void Fill(COLORREF cr);
    // Number of pixels of colour cr inside (x0, y0) .. (x1, y1) exclusive.
    int Count(COLORREF cr, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const;
    // Bounding box of the pixels that differ from cr; empty when none.
    RECT BoundsNot(COLORREF cr) const;
    bool WriteBmp(const std::string& path) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    const DWORD* m_bits = nullptr;
};

// Copies a window's client area (as it is on the screen surface) into a target.
void CaptureClient(HWND hWnd, DibTarget& target);
// Copies a window including its frame from the screen DC.
void CaptureWindow(HWND hWnd, DibTarget& target);
// Dispatches every pending message of this thread.
void PumpMessages();
// A non-antialiased font so that text pixels are exactly the text colour.
HFONT MakeCrispFont(int height = -13, int weight = FW_NORMAL);
