// CPoint: a POINT with constructors; passes wherever a POINT or LPPOINT is taken.
#pragma once

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int nX, int nY) { x = nX; y = nY; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
    // From the lParam of a mouse message: signed low and high words.
    explicit CPoint(LPARAM lParam) {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }
    operator LPPOINT() { return this; }
    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
};
