#include "app/upgrade_dlg.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "app/about_dlg.h"
#include "app/app_globals.h"
#include "app/resource.h"

CUpgradeDlg::CUpgradeDlg(CWnd* pParent)
    : CDialog(IDD_KESTREL_DIALOG, pParent),
      m_FlashParam(),
      m_DriveTable(),
      m_nIdCount(0),
      m_bConfirm(0),
      m_szIdModel(),
      m_szIdFile(),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_lUpgradeRunning(0),
      m_bUpgradeStarted(false) {}

CUpgradeDlg::~CUpgradeDlg() {
    // Destroy the window while the whole object is alive, so OnDestroy's
    // teardown runs with every member in place.
    if (m_hWnd) DestroyWindow();
    if (g_pMainDlg == this) g_pMainDlg = nullptr;
}

CString CUpgradeDlg::GetDriveName() { return g_strDriveName; }

CString CUpgradeDlg::GetRevision() { return g_strRevision; }

void CUpgradeDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT_LOG, m_editLog);
    DDX_Control(pDX, IDC_REVISION, m_lblRevision);
    DDX_Control(pDX, IDC_CBO_DRIVE, m_cboDrive);
}

BOOL CUpgradeDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = GetSystemMenu(FALSE)) {
        CString strAbout;
        strAbout.LoadString(IDS_ABOUTBOX);
        if (!strAbout.IsEmpty()) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    g_pMainDlg = this;

    OSVERSIONINFOA osvi;
    memset(&osvi, 0, sizeof osvi);
    osvi.dwOSVersionInfoSize = 148;
    ::GetVersionExA(&osvi);
    if (osvi.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        m_DriveTable.m_bNT = 1;
        m_DriveTable.m_bNT4 = osvi.dwMajorVersion <= 4 ? 1 : 0;
    } else {
        m_DriveTable.m_bNT = 0;
    }

    SetDlgItemText(IDC_STATUS, "");
    m_lblRevision.SetWindowText("");
    SendDlgItemMessage(IDC_PROGRESS, PBM_SETPOS, 0);

    if (LoadAspi() == 1) {
        FindDrives();
        for (int i = 0; i < m_DriveTable.m_nDrives; ++i) {
            DRIVE_INFO* pDrive = m_DriveTable.m_pDrives[i];
            const size_t cch = strlen(pDrive->szModel);
            snprintf(pDrive->szModel + cch, sizeof pDrive->szModel - cch, "(%d)", i);
            m_cboDrive.SetWindowText(pDrive->szModel);
            m_lblRevision.SetWindowText(pDrive->szRevision);
            m_cboDrive.AddString(pDrive->szModel);
        }
    } else {
        GetDlgItem(IDC_BTN_UPGRADE)->EnableWindow(FALSE);
        m_lblRevision.EnableWindow(FALSE);
    }

    if (!ReadIDString()) return FALSE;
    MatchIDString();
    return TRUE;
}

void CUpgradeDlg::OnCancel() {
    if (IsUpgradeRunning()) return;
    CDialog::OnCancel();
}

BOOL CUpgradeDlg::OnQueryEndSession(UINT, UINT) { return IsUpgradeRunning() ? FALSE : TRUE; }

void CUpgradeDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

void CUpgradeDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rc;
    GetClientRect(&rc);
    const int x = (rc.right - rc.left - cxIcon + 1) / 2;
    const int y = (rc.bottom - rc.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CUpgradeDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

void CUpgradeDlg::OnDestroy() {
    Default();
    UnloadAspi();
}

void CUpgradeDlg::OnSelEndOkDrive() {
    char szText[512] = "";
    const int nSel = m_cboDrive.GetCurSel();
    // The list holds only this dialog's suffixed model texts; anything that
    // would not fit the buffer cannot be one of them.
    const int cch = nSel >= 0 ? m_cboDrive.GetLBTextLen(nSel) : -1;
    if (cch >= 0 && cch < static_cast<int>(sizeof szText)) m_cboDrive.GetLBText(nSel, szText);
    m_lblRevision.SetWindowText("    ");
    for (int i = 0; i < m_DriveTable.m_nDrives; ++i) {
        if (strcmp(m_DriveTable.m_pDrives[i]->szModel, szText) == 0) {
            m_lblRevision.SetWindowText(m_DriveTable.m_pDrives[i]->szRevision);
        }
    }
}

BYTE CUpgradeDlg::LoadAspi() { return fgLoadAspi(m_DriveTable, m_hWnd); }

void CUpgradeDlg::FindDrives() { ScanDrives(m_DriveTable); }

void CUpgradeDlg::UnloadAspi() { fgUnloadAspi(m_DriveTable); }
