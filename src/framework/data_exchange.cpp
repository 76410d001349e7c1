#include "framework/data_exchange.h"

#include "framework/wnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!pDX || !pDX->m_pDlgWnd || rControl.m_hWnd) return;
    HWND hItem = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hItem) rControl.SubclassWindow(hItem);
}
