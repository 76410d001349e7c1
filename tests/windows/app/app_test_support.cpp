#include "app_test_support.h"

#include <cstring>

#include "platform/platform.h"

namespace {

std::vector<MessageBoxRecord> g_boxes;

int RecordBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uType) {
    g_boxes.push_back({hOwner, pszText ? pszText : "", pszCaption ? pszCaption : "", uType});
    return IDOK;
}

}  // namespace

DRIVE_INFO MakeDrive(const char* pszModel24, const char* pszRevision, BYTE byHost, BYTE byTarget) {
    DRIVE_INFO d;
    memset(&d, 0, sizeof d);
    d.hDevice = INVALID_HANDLE_VALUE;  // nothing real to talk to
    d.byHostId = byHost;
    d.byTargetId = byTarget;
    d.dwMaxTransfer = 0x10000;
    strncpy(d.szModel, pszModel24, 24);
    strncpy(d.szRevision, pszRevision, 4);
    return d;
}

const std::vector<MessageBoxRecord>& MessageBoxes() { return g_boxes; }

void ClearMessageBoxes() { g_boxes.clear(); }

ScratchDir::ScratchDir() {
    char szTemp[MAX_PATH], szOld[MAX_PATH];
    GetTempPathA(MAX_PATH, szTemp);
    GetCurrentDirectoryA(MAX_PATH, szOld);
    m_strOld = szOld;
    static int s_n = 0;
    m_strPath = std::string(szTemp) + "kestrel_app_" + std::to_string(GetCurrentProcessId()) + "_" +
                std::to_string(++s_n);
    CreateDirectoryA(m_strPath.c_str(), nullptr);
    SetCurrentDirectoryA(m_strPath.c_str());
    PlatSetMessageBoxHook(RecordBox);
    ClearMessageBoxes();
}

ScratchDir::~ScratchDir() {
    PlatSetMessageBoxHook(nullptr);
    SetCurrentDirectoryA(m_strOld.c_str());
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((m_strPath + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((m_strPath + "\\" + fd.cFileName).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(m_strPath.c_str());
}

void ScratchDir::Write(const char* pszName, const std::string& text) const {
    FILE* fp = fopen((m_strPath + "\\" + pszName).c_str(), "wb");
    if (!fp) return;
    fwrite(text.data(), 1, text.size(), fp);
    fclose(fp);
}

std::thread AnswerDialog(const char* pszCaption, int nItem, UINT msg) {
    const std::string caption = pszCaption;
    return std::thread([caption, nItem, msg]() {
        for (int i = 0; i < 1000; ++i) {
            HWND hDlg = FindWindowA("#32770", caption.c_str());
            if (hDlg && IsWindowVisible(hDlg)) {
                PostMessageA(nItem ? GetDlgItem(hDlg, nItem) : hDlg, msg, 0, 0);
                return;
            }
            Sleep(10);
        }
    });
}

std::string ItemText(HWND hDlg, int nID) {
    char sz[2048] = "";
    GetDlgItemTextA(hDlg, nID, sz, sizeof sz);
    return sz;
}
