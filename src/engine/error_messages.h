#pragma once

// The engine's fixed error texts, shown as "ERR: %s" by CFlashEngine::ReportError.
// Indexes are stable; entries this program never raises keep their place.
extern const char* const g_szErrMsg[16];

enum {
    ERR_OPEN_INPUT = 3,      // "fail to open input file!"
    ERR_OPEN_OUTPUT = 2,     // "fail to open output file!"
    ERR_READ_INPUT = 5,      // "fail to read input file!"
    ERR_FORMAT = 6,          // "input file format mismatched!"
    ERR_ALLOC = 11,          // "fail to allocate memory!"
    ERR_TERMINATED = 14,     // "terminate upgrade/backup flash!"
};
