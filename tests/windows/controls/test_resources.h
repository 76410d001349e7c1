// Resource numbers of the controls test program.
#pragma once

#define IDD_LABELS 200     // items bound as styled labels, and framework items
#define IDD_SHOWCASE 201   // one label of each look, for the screenshot
#define IDB_GRADIENT 300   // 160 x 120, pixel (x, y) = RGB(x, 2y mod 256, 128)

#define IDC_PLAIN 1001     // "Static", left
#define IDC_CENTER 1002    // "Static", SS_CENTER
#define IDC_RIGHT 1003     // "Static", SS_RIGHT
#define IDC_CENTERIMAGE 1004  // "Static", SS_CENTERIMAGE
#define IDC_EMPTY 1005     // no text
#define IDC_BUTTON 1010
#define IDC_COMBO 1011
#define IDC_OTHER 1012     // a plain static left unbound

#define IDC_SHOW_FIRST 1100  // IDD_SHOWCASE items 1100 .. 1100 + kShowcaseCount - 1
