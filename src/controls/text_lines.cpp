#include "controls/text_lines.h"

#include <cstring>

void SplitTextLines(const char* pszText, std::vector<CString>& lines)
{
    if (!pszText) return;
    const char* p = pszText;
    for (;;) {
        while (*p == '\n') ++p;
        if (!*p) break;
        const char* end = std::strchr(p, '\n');
        int n = end ? static_cast<int>(end - p) : static_cast<int>(std::strlen(p));
        lines.emplace_back(p, n);
        p += n;
    }
}
