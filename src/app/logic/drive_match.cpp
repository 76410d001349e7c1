#include "app/logic/drive_match.h"

#include <cstring>

#include "app/logic/id_string_list.h"

bool ModelsAgree(const char* pszDrive, const char* pszIdModel) {
    return strncmp(pszDrive, pszIdModel, kIdModelLen) == 0;
}

bool DriveMatchesIdEntry(const char* pszDriveModel, const char* pszRevision,
                         const char* pszIdModel, const char* pszIdFile) {
    return ModelsAgree(pszDriveModel, pszIdModel) && pszRevision[0] == pszIdFile[0];
}

int FindAgreeingIdEntry(const char* pszDrive, const char (*pszIdModel)[25], int nCount) {
    for (int i = 0; i < nCount; ++i) {
        if (ModelsAgree(pszDrive, pszIdModel[i])) return i;
    }
    return -1;
}

int ChooseFirmwareEntry(const char* pszRevision) {
    static const char* const kFourCharPrefixes[] = {"A049", "A054", "A056"};
    static const char* const kTwoCharPrefixes[] = {"00", "AA"};
    for (const char* p : kFourCharPrefixes) {
        if (strncmp(pszRevision, p, 4) == 0) return 0;
    }
    for (const char* p : kTwoCharPrefixes) {
        if (strncmp(pszRevision, p, 2) == 0) return 0;
    }
    return 1;
}
