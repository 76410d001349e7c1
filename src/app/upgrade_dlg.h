// CUpgradeDlg: the main dialog, template 102. Lists the reachable CD/DVD
// drives with their revisions, reads the allow-list IDString.txt, keeps the
// log, and runs at most one firmware upgrade per start of the program on a
// worker thread.
//
// Start-up (OnInitDialog): system menu entry for the About box, icons, OS
// family, discovery (each drive's model gets its list index as "(%d)", which
// is how every later step finds the record again), allow-list and matching.
// Upgrade (OnUpgrade): checks, optional confirmation, firmware choice, then a
// worker runs a CFlashEngine on a copy of m_FlashParam.
//
// While an upgrade runs nothing ends the program: Close is disabled, OnCancel
// refuses Esc / the system menu's Close / the caption's close box, and a
// shutdown or log-off is refused (WM_QUERYENDSESSION answers FALSE), since a
// drive left half-programmed may not start again.
#pragma once

#include "controls/styled_label.h"
#include "engine/flash_param.h"
#include "framework/afx.h"
#include "scsi/drive_discovery.h"

class CUpgradeDlg : public CDialog {
public:
    explicit CUpgradeDlg(CWnd* pParent = nullptr);
    ~CUpgradeDlg() override;

    // Copies of g_strDriveName / g_strRevision (what OnUpgrade captured); they
    // read nothing of a dialog object.
    static CString GetDriveName();
    static CString GetRevision();

    // Allow-list (IDString.txt in the current directory). ReadIDString clears
    // and fills m_nIdCount / m_szIdModel / m_szIdFile (and possibly
    // m_bConfirm) and logs the list; false, after its message box, when the
    // file cannot be opened. MatchIDString checks every drive against every
    // entry (model and first character of revision vs. file name), shows the
    // last drive that matched and disables Upgrade when none did.
    bool ReadIDString();
    void MatchIDString();

    // Fills the job block's drive (the record whose model equals the combo
    // box's text, else host and target 0xFF), bHexImage, the six callbacks
    // and bUsePassThrough.
    void SetupFlashParam();

    // True from the moment OnUpgrade starts the worker until the worker has
    // finished its run.
    bool IsUpgradeRunning() const { return m_lUpgradeRunning != 0; }

    CEdit m_editLog;             // item 1012
    CStyledLabel m_lblRevision;  // item 1016, label defaults kept
    CComboBox m_cboDrive;        // item 1000
    FLASH_PARAM m_FlashParam;    // the job block
    DRIVE_TABLE m_DriveTable;    // m_bNT, m_bNT4, m_hAspiDll, m_pDrives, m_nDrives
    int m_nIdCount;              // allow-list entries, 0..10
    int m_bConfirm;              // nonzero: ask with CConfirmDlg before upgrading
    char m_szIdModel[10][25];    // allow-list models
    char m_szIdFile[10][60];     // allow-list firmware file names
    HICON m_hIcon;               // icon 128

    BEGIN_MSG_MAP(CUpgradeDlg, CDialog)
        MSG_WM_SYSCOMMAND(OnSysCommand)
        MSG_WM_PAINT(OnPaint)
        MSG_WM_QUERYDRAGICON(OnQueryDragIcon)
        BN_CLICKED_HANDLER(1015, OnUpgrade)
        MSG_WM_DESTROY(OnDestroy)
        CBN_SELENDOK_HANDLER(1000, OnSelEndOkDrive)
        MSG_WM_QUERYENDSESSION(OnQueryEndSession)
    END_MSG_MAP()

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Ends the dialog with IDCANCEL, except while an upgrade runs.
    void OnCancel() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnUpgrade();
    void OnDestroy();
    void OnSelEndOkDrive();
    BOOL OnQueryEndSession(UINT nSource, UINT uLogOff);

    // Discovery, kept behind these three so tests can run the dialog over a
    // drive table of their own. The program's versions call fgLoadAspi (owned
    // by this dialog), ScanDrives and fgUnloadAspi on m_DriveTable.
    virtual BYTE LoadAspi();
    virtual void FindDrives();
    virtual void UnloadAspi();
    // Starts UpgradeThreadProc; false when no thread could be started. Tests
    // replace it to see the finished job block without running the engine.
    virtual bool BeginUpgradeThread();

    // The worker's side; cleared by the worker before it enables Close.
    volatile LONG m_lUpgradeRunning;
    // Set on this thread when the worker is started; never cleared.
    bool m_bUpgradeStarted;

    friend UINT __cdecl UpgradeThreadProc(LPVOID pParam);
};

// The worker: disables Upgrade, runs a CFlashEngine built from g_pMainDlg's
// job block, clears g_bTerminate, enables Close. Always 0.
UINT __cdecl UpgradeThreadProc(LPVOID pParam);
