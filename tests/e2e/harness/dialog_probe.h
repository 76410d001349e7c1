// Reading and operating another process's dialog the way a test user would:
// every message goes through SendMessageTimeoutA, so a hung program fails the
// scenario instead of hanging the harness, and buttons are pressed with a
// posted BM_CLICK, so a handler that opens a modal dialog (Upgrade opens the
// confirmation) does not block the harness.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Window text of a window or of dialog item nId ("" when it does not exist).
std::string WindowText(HWND hwnd);
std::string ItemText(HWND hDialog, int nId);
bool ItemEnabled(HWND hDialog, int nId);
// Posts BM_CLICK to the button; false when the item does not exist or is disabled.
bool PressButton(HWND hDialog, int nId);
// The progress bar's position (PBM_GETPOS), or -1 when it did not answer.
int ProgressPos(HWND hDialog, int nId);
// Time in milliseconds for the window's thread to answer WM_NULL, or a
// negative value when it did not answer within dwTimeoutMs.
double RoundTripMs(HWND hwnd, DWORD dwTimeoutMs);
// Texts of the static items of a message box, joined by "\n" (the icon has none).
std::string MessageBoxText(HWND hBox);

// The log box's text split at its CR LF line breaks.
std::vector<std::string> SplitLines(const std::string& strText);

// Polls fn every dwPollMs until it answers true or dwMs have passed.
bool WaitUntil(const std::function<bool()>& fn, DWORD dwMs, DWORD dwPollMs = 50);

}  // namespace e2e
