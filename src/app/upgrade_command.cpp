// CUpgradeDlg: the Upgrade command and its worker thread.
#include <cstdio>
#include <cstring>

#include "app/app_globals.h"
#include "app/confirm_dlg.h"
#include "app/logic/drive_match.h"
#include "app/logic/image_kind.h"
#include "app/resource.h"
#include "app/upgrade_dlg.h"
#include "engine/flash_engine.h"
#include "platform/platform.h"

namespace {

const char kError[] = "Error!!";

}  // namespace

void CUpgradeDlg::SetupFlashParam() {
    m_FlashParam.drive.byHostId = 0xFF;
    m_FlashParam.drive.byTargetId = 0xFF;
    char szName[512] = "";
    m_cboDrive.GetWindowText(szName, sizeof szName);
    for (int i = 0; i < m_DriveTable.m_nDrives; ++i) {
        if (strcmp(m_DriveTable.m_pDrives[i]->szModel, szName) == 0) {
            m_FlashParam.drive = *m_DriveTable.m_pDrives[i];
            break;
        }
    }
    m_FlashParam.bHexImage = 1;
    m_FlashParam.CBSetRevision = ::CBSetRevision;
    m_FlashParam.CBSetDriveName = ::CBSetDriveName;
    m_FlashParam.CBShowMessage = ::CBShowMessage;
    m_FlashParam.CBShowStatus = ::CBShowStatus;
    m_FlashParam.CBSetProgress = ::CBSetProgress;
    m_FlashParam.CBIfTerminated = ::CBIfTerminated;
    m_FlashParam.bUsePassThrough = m_DriveTable.m_bNT;
}

void CUpgradeDlg::OnUpgrade() {
    // One upgrade per run of the program: a press queued before the worker
    // disabled the button, or a click sent to the disabled button after the
    // run, must not start another.
    if (IsUpgradeRunning() || m_bUpgradeStarted) return;

    g_pMainDlg = this;
    CWndRef btnClose = GetDlgItem(IDCANCEL);
    btnClose->EnableWindow(FALSE);

    SetupFlashParam();

    if (FindAgreeingIdEntry(m_FlashParam.drive.szModel, m_szIdModel, m_nIdCount) < 0) {
        CBShowMessage("Drive model doesn't match!");
        btnClose->EnableWindow(TRUE);
        return;
    }

    m_cboDrive.GetWindowText(g_strDriveName);
    m_lblRevision.GetWindowText(g_strRevision);

    memset(m_FlashParam.sDriveName, 0, sizeof m_FlashParam.sDriveName);
    memset(m_FlashParam.sRevision, 0, sizeof m_FlashParam.sRevision);

    if (m_bConfirm) {
        CConfirmDlg dlgConfirm;
        if (dlgConfirm.DoModal() != IDOK) {
            btnClose->EnableWindow(TRUE);
            return;
        }
    }

    char szCurDir[MAX_PATH];
    const DWORD cchDir = ::GetCurrentDirectoryA(MAX_PATH, szCurDir);
    // A directory longer than the buffer is as unusable as a failed call: the
    // buffer then holds nothing.
    if (cchDir == 0 || cchDir >= MAX_PATH) {
        PlatMessageBox(m_hWnd, "Can't retrieves the current directory.", "GetCurrentDirectory Error !!",
                       MB_OK | MB_SYSTEMMODAL | MB_ICONERROR);
        btnClose->EnableWindow(TRUE);
        return;
    }

    m_cboDrive.GetWindowText(m_FlashParam.sDriveName, sizeof m_FlashParam.sDriveName);
    m_lblRevision.GetWindowText(m_FlashParam.sRevision, sizeof m_FlashParam.sRevision);

    if (FindAgreeingIdEntry(m_FlashParam.sDriveName, m_szIdModel, m_nIdCount) >= 0) {
        const int nEntry = ChooseFirmwareEntry(m_FlashParam.sRevision);
        snprintf(m_FlashParam.sImagePath, sizeof m_FlashParam.sImagePath, "%s\\%s", szCurDir,
                 m_szIdFile[nEntry]);
    }

    const int nKind = ClassifyImagePath(m_FlashParam.sImagePath);
    if (nKind == kImageRefused) {
        PlatMessageBox(m_hWnd, "Input file format mismatched.", kError, MB_OK | MB_ICONERROR);
        btnClose->EnableWindow(TRUE);
        return;
    }
    m_FlashParam.bHexImage = nKind == kImageHex ? 1 : 0;

    if (m_FlashParam.drive.byHostId == 0xFF || m_FlashParam.drive.byTargetId == 0xFF) {
        PlatMessageBox(m_hWnd, "No Target Drive.", kError, MB_OK | MB_ICONERROR);
        btnClose->EnableWindow(TRUE);
        return;
    }

    if (m_FlashParam.sImagePath[0] == '\0') {
        PlatMessageBox(m_hWnd, "Update file name is not assigned.", kError, MB_OK | MB_ICONERROR);
        btnClose->EnableWindow(TRUE);
        return;
    }

    // Disabled here, on this thread, before the worker exists: a second press
    // can then never start a second run. The worker disables it again.
    GetDlgItem(IDC_BTN_UPGRADE)->EnableWindow(FALSE);
    ::InterlockedExchange(&m_lUpgradeRunning, 1);
    m_bUpgradeStarted = true;
    if (!BeginUpgradeThread()) {
        m_bUpgradeStarted = false;
        ::InterlockedExchange(&m_lUpgradeRunning, 0);
        GetDlgItem(IDC_BTN_UPGRADE)->EnableWindow(TRUE);
        btnClose->EnableWindow(TRUE);
    }
}

bool CUpgradeDlg::BeginUpgradeThread() {
    return AfxBeginThread(UpgradeThreadProc, this, THREAD_PRIORITY_NORMAL, 0, 0, nullptr) != nullptr;
}

UINT __cdecl UpgradeThreadProc(LPVOID) {
    CUpgradeDlg* pDlg = g_pMainDlg;
    pDlg->GetDlgItem(IDC_BTN_UPGRADE)->EnableWindow(FALSE);
    {
        CFlashEngine engine(pDlg->m_FlashParam);
        engine.Run();
        g_bTerminate = 0;
        ::InterlockedExchange(&pDlg->m_lUpgradeRunning, 0);
        pDlg->GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
    }
    return 0;
}
