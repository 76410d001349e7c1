// CUpgradeApp: the application object. Runs the main dialog modally inside
// InitInstance; the program ends when the dialog closes.
#pragma once

#include "framework/afx.h"

class CUpgradeApp : public CWinApp {
public:
    CUpgradeApp();
    ~CUpgradeApp() override;

    // Runs CUpgradeDlg; FALSE, so the framework ends the program afterwards.
    BOOL InitInstance() override;
};
