#include "tests/e2e/harness/dialog_probe.h"

#include <commctrl.h>

namespace e2e {

namespace {
const DWORD kAnswerMs = 5000;  // a program that takes longer than this to answer is hung
}

std::string WindowText(HWND hwnd) {
    if (!hwnd) return "";
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &len)) return "";
    std::string text(len + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                             kAnswerMs, &got))
        return "";
    text.resize(got < text.size() ? got : text.size() - 1);
    return text;
}

std::string ItemText(HWND hDialog, int nId) { return WindowText(GetDlgItem(hDialog, nId)); }

bool ItemEnabled(HWND hDialog, int nId) {
    HWND h = GetDlgItem(hDialog, nId);
    return h && IsWindowEnabled(h);
}

bool PressButton(HWND hDialog, int nId) {
    // A user cannot press a disabled button; BM_CLICK sent to one would still
    // click it under Wine, so the harness refuses instead.
    HWND h = GetDlgItem(hDialog, nId);
    return h && IsWindowEnabled(h) && PostMessageA(h, BM_CLICK, 0, 0);
}

int ProgressPos(HWND hDialog, int nId) {
    DWORD_PTR pos = 0;
    if (!SendMessageTimeoutA(GetDlgItem(hDialog, nId), PBM_GETPOS, 0, 0, SMTO_NORMAL, kAnswerMs, &pos)) return -1;
    return static_cast<int>(pos);
}

double RoundTripMs(HWND hwnd, DWORD dwTimeoutMs) {
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, dwTimeoutMs, &result);
    QueryPerformanceCounter(&t1);
    if (!ok) return -1.0;
    return 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
}

namespace {
BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lParam) {
    char szClass[16] = {};
    GetClassNameA(hwnd, szClass, sizeof szClass);
    if (lstrcmpiA(szClass, "Static") == 0) {
        std::string text = WindowText(hwnd);
        if (!text.empty()) {
            std::string* p = reinterpret_cast<std::string*>(lParam);
            if (!p->empty()) *p += "\n";
            *p += text;
        }
    }
    return TRUE;
}
}  // namespace

std::string MessageBoxText(HWND hBox) {
    std::string text;
    EnumChildWindows(hBox, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::vector<std::string> SplitLines(const std::string& strText) {
    std::vector<std::string> lines;
    if (strText.empty()) return lines;
    size_t start = 0;
    for (;;) {
        size_t end = strText.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(strText.substr(start));
            return lines;
        }
        lines.push_back(strText.substr(start, end - start));
        start = end + 2;
    }
}

bool WaitUntil(const std::function<bool()>& fn, DWORD dwMs, DWORD dwPollMs) {
    DWORD dwStart = GetTickCount();
    for (;;) {
        if (fn()) return true;
        if (GetTickCount() - dwStart >= dwMs) return false;
        Sleep(dwPollMs);
    }
}

}  // namespace e2e
