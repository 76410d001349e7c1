// CUpgradeDlg: the allow-list IDString.txt and the start-up match.
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/app_globals.h"
#include "app/logic/drive_match.h"
#include "app/logic/id_string_list.h"
#include "app/resource.h"
#include "app/upgrade_dlg.h"
#include "platform/platform.h"

namespace {

struct FileCloser {
    void operator()(FILE* fp) const { fclose(fp); }
};

}  // namespace

bool CUpgradeDlg::ReadIDString() {
    memset(m_szIdModel, 0, sizeof m_szIdModel);
    memset(m_szIdFile, 0, sizeof m_szIdFile);

    // Binary mode: the reader folds CR LF itself, and a Ctrl-Z in the file is
    // not taken as its end the way the C library's text mode would.
    std::unique_ptr<FILE, FileCloser> fp(fopen("IDString.txt", "rb"));
    if (!fp) {
        PlatMessageBox(m_hWnd, "The IDString.txt doesn't exist!!", "Error!!", MB_OK | MB_ICONERROR);
        return false;
    }
    m_nIdCount = ReadIdStringList(fp.get(), ID_STRING_SINK{m_szIdModel, m_szIdFile, &m_bConfirm});
    fp.reset();

    CBShowMessage("This firmware can be used on below drives  :");
    for (int i = 0; i < m_nIdCount; ++i) {
        CString strLine;
        strLine.Format("(%d) %s  %s", i + 1, m_szIdModel[i], m_szIdFile[i]);
        CBShowMessage(strLine);
    }
    return true;
}

void CUpgradeDlg::MatchIDString() {
    bool bMatched = false;
    for (int d = 0; d < m_DriveTable.m_nDrives; ++d) {
        const DRIVE_INFO* pDrive = m_DriveTable.m_pDrives[d];
        for (int e = 0; e < m_nIdCount; ++e) {
            if (DriveMatchesIdEntry(pDrive->szModel, pDrive->szRevision, m_szIdModel[e], m_szIdFile[e])) {
                bMatched = true;
                m_cboDrive.SetWindowText(pDrive->szModel);
                m_lblRevision.SetWindowText(pDrive->szRevision);
            }
        }
    }
    if (!bMatched) {
        CBShowMessage("CD-ROM drive model doesn't match!!");
        GetDlgItem(IDC_BTN_UPGRADE)->EnableWindow(FALSE);
    }
}
