// Screenshots as test artifacts: what is on the screen inside a window's
// rectangle, frame included when Wine draws one, saved as a 24-bit BMP (the
// test step converts it to PNG with ImageMagick, which the harness lacks).
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Has the window's thread repaint it, waits for the paint to reach the
// screen, and writes the window's screen rectangle to strPath. False when the
// window is gone or the file cannot be written.
bool SaveWindowShot(HWND hwnd, const std::string& strPath);

// Writes the whole screen (the virtual desktop, when this thread is in one).
bool SaveScreenShot(const std::string& strPath);

}  // namespace e2e
