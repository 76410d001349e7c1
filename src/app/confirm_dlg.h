// The confirmation dialog, template 131, shown by OnUpgrade before anything is
// written to the drive when the allow-list asks for it. It greets the user,
// names the drive and its current revision (as OnUpgrade captured them into
// g_strDriveName / g_strRevision), lists five warnings and asks whether to go
// on. DoModal answers IDOK for OK or Enter, IDCANCEL for Cancel, Esc or the
// close box.
#pragma once

#include "controls/styled_label.h"
#include "framework/afx.h"

class CConfirmDlg : public CDialog {
public:
    explicit CConfirmDlg(CWnd* pParent = nullptr);
    ~CConfirmDlg() override;

    BOOL DestroyWindow() override;

    CStyledLabel m_lblQuestion;        // 1026, the closing question
    CStyledLabel m_lblNotice;          // 1023, the numbered warnings
    CStyledLabel m_lblRevValue;        // 1022, the revision value
    CStyledLabel m_lblGreeting;        // 1018, the greeting
    CStyledLabel m_lblFrame;           // 1025, an empty sunken frame
    CStyledLabel m_lblFirmwareIs;      // 1021, the words after the drive name
    CStyledLabel m_lblCurrentVersion;  // 1019, the words before the drive name
    CStyledLabel m_lblDriveValue;      // 1020, the drive name value
    CString m_strDriveName;            // drive name shown
    CString m_strRevision;             // revision shown

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
