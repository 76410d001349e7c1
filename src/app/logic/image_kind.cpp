#include "app/logic/image_kind.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void LowerInPlace(char* psz) {
#ifdef _WIN32
    CharLowerA(psz);
#else
    for (; *psz; ++psz) {
        if (*psz >= 'A' && *psz <= 'Z') *psz = static_cast<char>(*psz - 'A' + 'a');
    }
#endif
}

}  // namespace

int ClassifyImagePath(char* pszPath) {
    char* pszExt = strrchr(pszPath, '.');
    if (!pszExt) return kImageRefused;
    LowerInPlace(pszExt);
    if (strcmp(pszExt, ".hex") == 0) return kImageHex;
    if (strcmp(pszExt, ".bin") == 0) return kImageBin;
    return kImageRefused;
}
