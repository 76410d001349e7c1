#include "app/confirm_dlg.h"

#include "app/resource.h"
#include "app/upgrade_dlg.h"

namespace {

const COLORREF kValueBlue = 0x00FF0000;
const char kTimes[] = "Times New Roman";

const char kWarnings[] =
    "1. We advise you to close any other programs that may be running on your system before "
    "starting this upgrade program.\n"
    "2. Please do not upgrade firmware unless you have been specifically instructed to do so!\n"
    "3. Failed firmware updates may render your drive inoperable.\n"
    "4. KESTREL tools are exclusive to the single firmware which is not compatible with\n"
    "    miltiple F/W versions.\n"
    "5. Do not use this program in any other way than intended.";

}  // namespace

CConfirmDlg::CConfirmDlg(CWnd* pParent) : CDialog(IDD_CONFIRM, pParent) {}

CConfirmDlg::~CConfirmDlg() = default;

BOOL CConfirmDlg::DestroyWindow() { return CDialog::DestroyWindow(); }

void CConfirmDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_QUESTION, m_lblQuestion);
    DDX_Control(pDX, IDC_NOTICE, m_lblNotice);
    DDX_Control(pDX, IDC_REV_VALUE, m_lblRevValue);
    DDX_Control(pDX, IDC_GREETING, m_lblGreeting);
    DDX_Control(pDX, IDC_FRAME, m_lblFrame);
    DDX_Control(pDX, IDC_FIRMWARE_IS, m_lblFirmwareIs);
    DDX_Control(pDX, IDC_CURRENT_VERSION, m_lblCurrentVersion);
    DDX_Control(pDX, IDC_DRIVE_VALUE, m_lblDriveValue);
}

BOOL CConfirmDlg::OnInitDialog() {
    m_strDriveName = CUpgradeDlg::GetDriveName();
    m_strRevision = CUpgradeDlg::GetRevision();
    CDialog::OnInitDialog();

    m_lblCurrentVersion.SetText("The current version of your");
    m_lblCurrentVersion.SetFontHeight(16);
    m_lblCurrentVersion.SetFontName(kTimes);

    m_lblFirmwareIs.SetText("firmware is");
    m_lblFirmwareIs.SetFontHeight(16);
    m_lblFirmwareIs.SetFontName(kTimes);

    // The middle line holds a blank so the label keeps it as an empty line.
    m_lblGreeting.SetText("Dear customer,\n \nThank you for choosing this product!");
    m_lblGreeting.SetFontName(kTimes);
    m_lblGreeting.SetFontHeight(16);

    m_lblDriveValue.SetText(m_strDriveName);
    m_lblDriveValue.SetTextColor(kValueBlue);
    m_lblDriveValue.SetFontHeight(12);
    m_lblDriveValue.SetFontBold(TRUE);
    m_lblDriveValue.SetFontName(kTimes);

    m_lblRevValue.SetText(m_strRevision);
    m_lblRevValue.SetTextColor(kValueBlue);
    m_lblRevValue.SetFontHeight(12);
    m_lblRevValue.SetFontBold(TRUE);
    m_lblRevValue.SetFontName(kTimes);

    m_lblNotice.SetText(kWarnings);
    m_lblNotice.SetFontHeight(16);
    m_lblNotice.SetFontName(kTimes);

    m_lblQuestion.SetText("Are you ready to update your firmware ?");
    m_lblQuestion.SetFontHeight(16);
    m_lblQuestion.SetFontName(kTimes);
    return TRUE;
}
