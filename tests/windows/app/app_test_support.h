// What the dialog tests share: a main dialog over a drive table of the test's
// own (no discovery, no hardware), a scratch current directory, recorded
// message boxes, a message pump, and a helper that answers a modal dialog
// from a second thread.
#pragma once

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "app/upgrade_dlg.h"

// The main dialog with discovery and the worker's start replaced.
class TestUpgradeDlg : public CUpgradeDlg {
public:
    ~TestUpgradeDlg() override {
        if (m_hWnd) DestroyWindow();
    }
    BYTE m_byLoadResult = 1;           // what "fgLoadAspi" answers
    std::vector<DRIVE_INFO> m_records;  // what "ScanDrives" finds; not resized once created
    int m_nUnloads = 0;
    int m_nThreadStarts = 0;
    bool m_bRealThread = false;        // start the real worker
    FLASH_PARAM m_started{};           // the job block when the worker was started

    using CUpgradeDlg::m_lUpgradeRunning;

protected:
    BYTE LoadAspi() override { return m_byLoadResult; }
    void FindDrives() override {
        m_DriveTable.m_nDrives = 0;
        for (DRIVE_INFO& d : m_records) m_DriveTable.m_pDrives[m_DriveTable.m_nDrives++] = &d;
    }
    void UnloadAspi() override { ++m_nUnloads; }
    bool BeginUpgradeThread() override {
        ++m_nThreadStarts;
        m_started = m_FlashParam;
        return m_bRealThread ? CUpgradeDlg::BeginUpgradeThread() : true;
    }
};

DRIVE_INFO MakeDrive(const char* pszModel24, const char* pszRevision, BYTE byHost = 1, BYTE byTarget = 2);

struct MessageBoxRecord {
    HWND hOwner;
    std::string strText;
    std::string strCaption;
    UINT uType;
};
// Boxes shown since the last ClearMessageBoxes (the hook is installed by
// ScratchDir and answers IDOK).
const std::vector<MessageBoxRecord>& MessageBoxes();
void ClearMessageBoxes();

// A fresh empty current directory for one test, removed afterwards.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    void Write(const char* pszName, const std::string& text) const;
    std::string Path() const { return m_strPath; }

private:
    std::string m_strPath;
    std::string m_strOld;
};

// Serves this thread's messages for about ms milliseconds, or until done().
template <class Done>
bool PumpUntil(Done done, DWORD ms = 20000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// On a second thread: waits for the top-level dialog with that caption, then
// posts msg (for instance BM_CLICK to item nItem, or WM_CLOSE to the dialog
// when nItem is 0). Join before the test ends.
std::thread AnswerDialog(const char* pszCaption, int nItem, UINT msg);

std::string ItemText(HWND hDlg, int nID);
