// How a drive is recognised on the allow-list and which firmware file it gets.
#pragma once

// A drive's text and an allow-list model agree when their first 24 characters
// are equal, a text ending early agreeing only with one that ends at the same
// place. A drive's model carries its "(%d)" suffix after 24 characters, so in
// practice only an entry written with all 24 characters, blanks included,
// agrees with it.
bool ModelsAgree(const char* pszDrive, const char* pszIdModel);

// The start-up check of one drive against one entry: the models agree and the
// first character of the drive's revision equals the first character of the
// entry's file name (two empty texts count as equal).
bool DriveMatchesIdEntry(const char* pszDriveModel, const char* pszRevision,
                         const char* pszIdModel, const char* pszIdFile);

// Index of the first of nCount models that agrees with pszDrive, or -1.
int FindAgreeingIdEntry(const char* pszDrive, const char (*pszIdModel)[25], int nCount);

// The allow-list entry whose file the drive gets, decided by its revision
// alone: 0 for revisions beginning "A049", "A054", "A056", "00" or "AA",
// otherwise 1.
int ChooseFirmwareEntry(const char* pszRevision);
