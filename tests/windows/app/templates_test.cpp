// The resources exactly as the dialog manager gets them: every item of the
// three dialog templates, the icon's two images, the chip picture and the
// system menu's string.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/resource.h"
#include "dialog_template.h"

namespace {

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kLText = kChild | SS_LEFT | WS_GROUP;
const DWORD kStatic = static_cast<DWORD>(IDC_STATIC);

struct Expected {
    DWORD id;
    const char* cls;
    const char* text;
    short x, y, cx, cy;
    DWORD style;
    DWORD exStyle;
};

void ExpectItems(const DialogTemplate& t, const Expected* pExp, size_t n) {
    ASSERT_EQ(t.items.size(), n);
    for (size_t i = 0; i < n; ++i) {
        const DialogItem& it = t.items[i];
        const Expected& e = pExp[i];
        SCOPED_TRACE("item " + std::to_string(i) + " (" + e.text + ")");
        EXPECT_EQ(it.id, e.id);
        EXPECT_STRCASEEQ(it.strClass.c_str(), e.cls);  // class names are case-insensitive
        EXPECT_STREQ(it.strText.c_str(), e.text);
        EXPECT_EQ(it.x, e.x);
        EXPECT_EQ(it.y, e.y);
        EXPECT_EQ(it.cx, e.cx);
        EXPECT_EQ(it.cy, e.cy);
        EXPECT_EQ(it.dwStyle, e.style) << std::hex << it.dwStyle << " vs " << e.style;
        EXPECT_EQ(it.dwExStyle, e.exStyle);
    }
}

TEST(Templates, MainDialog102) {
    const DialogTemplate t = LoadDialogTemplate(IDD_KESTREL_DIALOG);
    ASSERT_TRUE(t.bFound);
    EXPECT_EQ(t.cx, 269);
    EXPECT_EQ(t.cy, 162);
    EXPECT_EQ(t.strCaption, "KESTREL");
    EXPECT_EQ(t.strFont, "System");
    EXPECT_EQ(t.wPointSize, 12);
    EXPECT_EQ(t.dwStyle, static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(t.dwExStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    const Expected items[] = {
        {kStatic, "Static", "Target Drive At", 7, 10, 45, 8, kLText, 0},
        {1000, "ComboBox", "", 55, 7, 125, 65, kChild | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0},
        {kStatic, "Static", "Status:", 7, 46, 26, 8, kLText, 0},
        {1011, "msctls_progress32", "", 7, 64, 180, 14, kChild | WS_BORDER, 0},
        {1012, "Edit", "", 7, 91, 180, 64,
         kChild | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
        {1014, "Static", "", 37, 46, 144, 8, kLText, 0},
        {1015, "Button", "Upgrade", 202, 94, 60, 20, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {kStatic, "Static", "MCU Flash", 209, 51, 37, 8, kLText, 0},
        {kStatic, "Button", "", 194, 7, 65, 77, kChild | BS_GROUPBOX, WS_EX_TRANSPARENT},
        {kStatic, "Static", "Version  2.74 FOR QX-40B", 205, 62, 49, 17, kLText, 0},
        {kStatic, "Static", "Device Revision:", 7, 29, 63, 8, kLText, 0},
        {1016, "Static", "", 71, 29, 57, 8, kLText | SS_CENTERIMAGE, 0},
        {kStatic, "Static", "#130", 201, 14, 49, 34, kChild | SS_BITMAP, 0},
        {IDCANCEL, "Button", "Close", 202, 121, 60, 20, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
    };
    ExpectItems(t, items, sizeof items / sizeof items[0]);
}

TEST(Templates, AboutBox100) {
    const DialogTemplate t = LoadDialogTemplate(IDD_ABOUTBOX);
    ASSERT_TRUE(t.bFound);
    EXPECT_EQ(t.cx, 235);
    EXPECT_EQ(t.cy, 55);
    EXPECT_EQ(t.strCaption, "KESTREL");
    EXPECT_EQ(t.strFont, "MS Sans Serif");
    EXPECT_EQ(t.wPointSize, 8);
    ASSERT_EQ(t.items.size(), 3u);
    EXPECT_EQ(t.items[0].strClass, "Static");
    EXPECT_EQ(t.items[0].dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(t.items[0].strText, "#128");
    EXPECT_EQ(t.items[0].x, 11);
    EXPECT_EQ(t.items[0].y, 17);
    EXPECT_EQ(t.items[1].strClass, "Static");
    EXPECT_FALSE(t.items[1].strText.empty());
    EXPECT_EQ(t.items[1].x, 40);
    EXPECT_EQ(t.items[1].y, 17);
    EXPECT_EQ(t.items[1].cx, 119);
    EXPECT_EQ(t.items[1].cy, 8);
    EXPECT_EQ(t.items[2].id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(t.items[2].strText, "OK");
    EXPECT_EQ(t.items[2].dwStyle & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(t.items[2].x, 178);
    EXPECT_EQ(t.items[2].y, 7);
    EXPECT_EQ(t.items[2].cx, 50);
    EXPECT_EQ(t.items[2].cy, 14);
}

TEST(Templates, ConfirmationDialog131) {
    const DialogTemplate t = LoadDialogTemplate(IDD_CONFIRM);
    ASSERT_TRUE(t.bFound);
    EXPECT_EQ(t.cx, 314);
    EXPECT_EQ(t.cy, 213);
    EXPECT_EQ(t.strCaption, "Firmware upgrade program");
    EXPECT_EQ(t.strFont, "System");
    EXPECT_EQ(t.wPointSize, 10);
    EXPECT_EQ(t.dwStyle, 0x80C800C0u);
    EXPECT_EQ(t.dwExStyle, 0u);
    const Expected items[] = {
        {IDOK, "Button", "OK", 82, 188, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {IDCANCEL, "Button", "Cancel", 159, 188, 50, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
        {1018, "Static", "Static", 21, 13, 245, 24, kLText, 0},
        {1019, "Static", "The current version of your", 21, 38, 91, 8, kLText, 0},
        {1020, "Static", "xxxxxxxxxxxxxxxxxxxxxxxx", 112, 40, 98, 8, kLText, 0},
        {1021, "Static", "firmware is", 217, 38, 37, 8, kLText, 0},
        {1022, "Static", "V.xxx", 259, 40, 22, 8, kLText, 0},
        {kStatic, "Button", "Warning !!", 7, 52, 300, 115, kChild | BS_GROUPBOX, 0},
        {1023, "Static", "Static", 13, 62, 288, 57, kLText, 0},
        {1025, "Static", "", 21, 127, 262, 27, kLText | SS_SUNKEN, WS_EX_CLIENTEDGE},
        {1026, "Static", "Static", 21, 172, 275, 8, kLText, 0},
    };
    ExpectItems(t, items, sizeof items / sizeof items[0]);
}

TEST(Templates, IconBitmapAndString) {
    HMODULE hMod = GetModuleHandleA(nullptr);
    // Icon 128 carries a large and a small image.
    HICON hBig = static_cast<HICON>(LoadImageA(hMod, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0));
    HICON hSmall = static_cast<HICON>(LoadImageA(hMod, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(hBig, nullptr);
    ASSERT_NE(hSmall, nullptr);
    HRSRC hGroup = FindResourceA(hMod, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(hGroup, nullptr);
    const BYTE* pDir = static_cast<const BYTE*>(LockResource(LoadResource(hMod, hGroup)));
    ASSERT_EQ(pDir[4], 2);  // two images
    EXPECT_EQ(pDir[6], 32);
    EXPECT_EQ(pDir[6 + 14], 16);
    DestroyIcon(hBig);
    DestroyIcon(hSmall);

    // Bitmap 130: 97 x 67 with a 256-colour palette.
    HRSRC hBmp = FindResourceA(hMod, MAKEINTRESOURCEA(IDB_CHIP), MAKEINTRESOURCEA(2));  // RT_BITMAP
    ASSERT_NE(hBmp, nullptr);
    const BITMAPINFOHEADER* pbih = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(hMod, hBmp)));
    EXPECT_EQ(pbih->biWidth, 97);
    EXPECT_EQ(pbih->biHeight, 67);
    EXPECT_EQ(pbih->biBitCount, 8);

    char sz[64] = "";
    LoadStringA(hMod, IDS_ABOUTBOX, sz, sizeof sz);
    EXPECT_STREQ(sz, "&About KESTREL...");
}

}  // namespace
