#include "tests/e2e/harness/screen_capture.h"

#include <cstdio>
#include <vector>

#include "tests/e2e/harness/win_handles.h"

namespace e2e {

namespace {

bool SaveScreenRect(const RECT& rc, const std::string& strPath) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return false;
    CScreenDC screen;
    CMemoryDC mem(screen.Get());
    CGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), w, h));
    if (!screen.Get() || !mem.Get() || !bitmap.Get()) return false;

    BITMAPINFOHEADER bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;  // bottom-up, as BMP files store rows
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    const DWORD dwStride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(dwStride) * h);
    {
        CSelectGuard sel(mem.Get(), bitmap.Get());
        if (!BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY)) return false;
    }
    if (!GetDIBits(mem.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, h, pixels.data(),
                   reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS))
        return false;

    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;  // "BM"
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* fp = std::fopen(strPath.c_str(), "wb");
    if (!fp) return false;
    bool ok = std::fwrite(&bfh, sizeof bfh, 1, fp) == 1 && std::fwrite(&bih, sizeof bih, 1, fp) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), fp) == pixels.size();
    return std::fclose(fp) == 0 && ok;
}

}  // namespace

bool SaveWindowShot(HWND hwnd, const std::string& strPath) {
    if (!IsWindow(hwnd)) return false;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);  // the repaint has been served
    Sleep(300);  // and X has drawn it
    RECT rc;
    if (!GetWindowRect(hwnd, &rc)) return false;
    return SaveScreenRect(rc, strPath);
}

bool SaveScreenShot(const std::string& strPath) {
    RECT rc = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return SaveScreenRect(rc, strPath);
}

}  // namespace e2e
