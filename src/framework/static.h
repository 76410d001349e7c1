// CStatic: a static control (bound with DDX_Control). Nothing of its own beyond CWnd.
#pragma once

#include "framework/wnd.h"

class CStatic : public CWnd {
public:
    CStatic() = default;
};
