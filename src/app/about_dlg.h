// The About box, dialog 100: the icon, one line of text and OK.
#pragma once

#include "framework/afx.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    // Binds nothing: the box has no control members.
    void DoDataExchange(CDataExchange* pDX) override;
};
