// CDataExchange and DDX_Control: binding dialog items to control objects.
// CDialog::OnInitDialog calls DoDataExchange with m_bSaveAndValidate FALSE; the
// dialog's DoDataExchange lists one DDX_Control per bound item.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds item nIDC of the dialog to rControl by subclassing it (rControl's
// PreSubclassWindow runs). Does nothing when rControl is already bound; when the
// item does not exist rControl stays unbound.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
