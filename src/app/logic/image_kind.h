// The firmware file's format, told by its extension.
#pragma once

enum { kImageRefused = -1, kImageBin = 0, kImageHex = 1 };

// Lower-cases pszPath in place from its last '.' to the end (as CharLowerA
// does on Windows; plain ASCII elsewhere) and answers kImageHex for ".hex",
// kImageBin for ".bin", and kImageRefused for anything else or a path
// without '.' (which is then left unchanged).
int ClassifyImagePath(char* pszPath);
