#include "test_support.h"

#include <cstdio>
#include <cstring>

DibTarget::DibTarget(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    m_bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    m_bits = static_cast<const DWORD*>(bits);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

DibTarget::~DibTarget()
{
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

COLORREF DibTarget::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    GdiFlush();
    DWORD v = m_bits[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void DibTarget::Fill(COLORREF cr)
{
    HBRUSH b = CreateSolidBrush(cr);
    RECT rc{0, 0, m_width, m_height};
    FillRect(m_dc, &rc, b);
    DeleteObject(b);
    GdiFlush();
}

int DibTarget::Count(COLORREF cr, int x0, int y0, int x1, int y1) const
{
    if (x1 < 0) x1 = m_width;
    if (y1 < 0) y1 = m_height;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Pixel(x, y) == cr) ++n;
    return n;
}

RECT DibTarget::BoundsNot(COLORREF cr) const
{
    RECT rc{m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (Pixel(x, y) != cr) {
                if (x < rc.left) rc.left = x;
                if (y < rc.top) rc.top = y;
                if (x + 1 > rc.right) rc.right = x + 1;
                if (y + 1 > rc.bottom) rc.bottom = y + 1;
            }
    if (rc.right == 0) SetRectEmpty(&rc);
    return rc;
}

bool DibTarget::WriteBmp(const std::string& path) const
{
    GdiFlush();
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    std::memset(&fh, 0, sizeof(fh));
    std::memset(&ih, 0, sizeof(ih));
    DWORD size = static_cast<DWORD>(m_width * m_height * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + size;
    ih.biSize = sizeof(ih);
    ih.biWidth = m_width;
    ih.biHeight = -m_height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&ih, sizeof(ih), 1, f) == 1 &&
              std::fwrite(m_bits, size, 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}

void CaptureClient(HWND hWnd, DibTarget& target)
{
    HDC dc = GetDC(hWnd);
    BitBlt(target.dc(), 0, 0, target.width(), target.height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(hWnd, dc);
    GdiFlush();
}

void CaptureWindow(HWND hWnd, DibTarget& target)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    HDC dc = GetDC(nullptr);
    BitBlt(target.dc(), 0, 0, target.width(), target.height(), dc, rc.left, rc.top, SRCCOPY);
    ReleaseDC(nullptr, dc);
    GdiFlush();
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HFONT MakeCrispFont(int height, int weight)
{
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    return CreateFontIndirectA(&lf);
}

namespace {

// Under Wine without a window manager, hiding or destroying a managed top-level
// window waits two seconds for a window manager that never answers. Before this
// program opens its first window, ask Wine (for this program only) to leave its
// windows unmanaged; on Windows the key means nothing.
struct UnmanagedUnderWine {
    UnmanagedUnderWine() {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return;
        char exe[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return;
        const char* name = exe;
        for (const char* p = exe; *p; ++p)
            if (*p == '\\' || *p == '/') name = p + 1;
        std::string key = std::string("Software\\Wine\\AppDefaults\\") + name + "\\X11 Driver";
        HKEY hKey;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &hKey, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(hKey, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
            RegCloseKey(hKey);
        }
    }
} g_unmanagedUnderWine __attribute__((init_priority(101)));

}  // namespace
