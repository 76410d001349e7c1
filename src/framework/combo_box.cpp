#include "framework/combo_box.h"

void CComboBox::GetLBText(int nIndex, CString& str) const
{
    str.Empty();
    int n = GetLBTextLen(nIndex);
    if (n <= 0) return;
    char* p = str.GetBuffer(n);
    int got = GetLBText(nIndex, p);
    str.ReleaseBuffer(got > 0 && got <= n ? got : 0);
}
