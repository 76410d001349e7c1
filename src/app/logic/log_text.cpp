#include "app/logic/log_text.h"

#include <cstdio>
#include <cstring>

std::vector<char> ComposeLogText(const char* pszOld, const char* pszMsg) {
    const size_t cchMsg = strlen(pszMsg);
    std::vector<char> text(kLogKeptChars + 2 + cchMsg + 1, '\0');
    int cchOld = 0;  // strnlen is missing from the C runtime of older Windows
    while (cchOld < kLogKeptChars && pszOld[cchOld]) ++cchOld;
    if (cchOld == 0) {
        memcpy(text.data(), pszMsg, cchMsg);
    } else {
        snprintf(text.data(), text.size(), "%.*s\r\n%s", cchOld, pszOld, pszMsg);
    }
    return text;
}
