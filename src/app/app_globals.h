// The application shell's process-wide values and the engine's callbacks.
//
// The callbacks reach the main dialog's controls only through window messages
// sent to them, so the worker thread can call them: each completes on the
// user-interface thread (which keeps serving its modal loop) before it returns,
// and none keeps the caller's text.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"

class CUpgradeDlg;

// The main dialog; set by its OnInitDialog and again by every OnUpgrade, read
// by the worker and the callbacks. None at start.
extern CUpgradeDlg* g_pMainDlg;
// Abort flag answered by CBIfTerminated; only the worker writes it (to 0).
extern BYTE g_bTerminate;
// The drive combo box's and the revision label's texts as OnUpgrade captured
// them before its confirmation step; empty at start.
extern CString g_strDriveName;
extern CString g_strRevision;

// Item 1016, the revision label: sets its text.
void CBSetRevision(const char* pszText);
// Item 1000, the drive combo box: sets its edit field's text (list unchanged).
void CBSetDriveName(const char* pszText);
// Item 1012, the log box: appends pszText as a new line. Only the log's first
// 511 characters are kept before it; the view scrolls to the last line.
// Does nothing before g_pMainDlg is set.
void CBShowMessage(const char* pszText);
// Item 1014, the status text: sets it.
void CBShowStatus(const char* pszText);
// Item 1011, the progress bar (range 0..100): PBM_SETPOS.
void CBSetProgress(int nPos);
// Answers g_bTerminate.
BYTE CBIfTerminated();
