// CSize: a SIZE with constructors; passes wherever a SIZE is taken.
#pragma once

#include <windows.h>

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int nCx, int nCy) { cx = nCx; cy = nCy; }
    CSize(SIZE sz) { cx = sz.cx; cy = sz.cy; }
    bool operator==(SIZE sz) const { return cx == sz.cx && cy == sz.cy; }
    bool operator!=(SIZE sz) const { return !(*this == sz); }
};
