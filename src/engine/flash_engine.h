// One upgrade of one drive: built on the worker thread from a copy of the job
// block, Run() once, destroyed. Never touches a window: every effect on the
// screen goes through the job block's callbacks.
//
// The engine's state is public so the procedure's steps and the tests can
// read it as one record; nothing outside the engine writes it.
#pragma once

#include <cstdio>

#include "engine/flash_param.h"
#include "platform/win_types.h"

class CFlashEngine {
public:
    enum : DWORD {
        kImageSize = 0x100000,  // the 1 MB image buffer
        kBankSize = 0x8000,     // 32 banks of 32 KB
        kBankCount = 32,
        kBlockSize = 4096,      // one WRITE BUFFER block
        kHeaderSize = 32,       // drive buffer offset of image byte 0
    };

    explicit CFlashEngine(const FLASH_PARAM& param);
    // Releases nothing: Run has already given back what the engine held.
    virtual ~CFlashEngine();

    CFlashEngine(const CFlashEngine&) = delete;
    CFlashEngine& operator=(const CFlashEngine&) = delete;

    // ---- upgrade procedure (upgrade_procedure.cpp) ----
    // The whole upgrade; reports the outcome and releases the image buffer.
    void Run();
    // 1 when the drive accepted everything, 0 otherwise.
    BYTE fgUpgrade();

    // ---- error reporting (flash_engine.cpp) ----
    // "ERR: %s" with g_szErrMsg[nIndex] to CBShowMessage; closes _fpInput if open.
    void ReportError(int nIndex);

    // ---- image loader (image_loader.cpp) ----
    // 1 loaded; 0 raw image of 1 MB or more (first 1 MB kept); -1 Intel HEX
    // format error or an image the buffer cannot hold; -2 cannot open / empty /
    // read error; -3 no memory. _fpInput is closed on return.
    int LoadImage();
    // Intel HEX reader steps. Each polls CBIfTerminated once per character.
    // On end of file, a non-hex digit or a stop they report it and answer
    // a negative value (SkipToChar: 0); the load then stops at once.
    int SkipToChar(int c);    // 1 when a character whose low 7 bits equal c was read
    int ReadHexDigit();       // 0..15, or -1
    int ReadHexByte();        // 0..255 (added to _byRecordSum), or -1

    // ---- drive flash command set (flash_commands.cpp) ----
    void fgQueryDrive(BYTE* sSenseBuf);
    BYTE fgWriteOneFlashCmdData(DWORD dwOffset, BYTE* sSenseBuf);
    BYTE fgWriteHeader(DWORD dwOffset, BYTE* sSenseBuf);
    BYTE fgCommitFlash(BYTE* sSenseBuf);

    // ---- copy of the job block ----
    DRIVE_INFO drive;
    char sImagePath[512];
    char sDriveName[512];
    char sRevision[8];
    BYTE bHexImage;
    PFN_CB_TEXT CBSetRevision;
    PFN_CB_TEXT CBSetDriveName;
    PFN_CB_TEXT CBShowMessage;
    PFN_CB_TEXT CBShowStatus;
    PFN_CB_PROGRESS CBSetProgress;
    PFN_CB_TERMINATED CBIfTerminated;
    BYTE bUsePassThrough;

    // ---- engine state ----
    FILE* _fpInput;            // the firmware file while the loader reads it
    FILE* _fpLog;              // sum.txt while the procedure writes it
    BYTE* _pBank[kBankCount];  // _pBank[0] is the 1 MB block itself
    BYTE _byBank;              // current bank
    WORD _wBankOffset;         // offset inside the current bank
    DWORD _dwImageSize;
    BYTE _byRecordSum;         // Intel HEX record checksum
    WORD _wCheckSum;           // shown as "Check Sum : %X"
    WORD _wSecSum;             // sum of every byte sent in blocks; goes into the header

    // ---- process-wide values (one engine exists at a time) ----
    static WORD _total;         // zero at program start, never reset
    static DWORD _dwSegment;    // segment-advance records in the current Intel HEX load
    static BYTE _bModelFound;   // raw scan found the 24 model characters
    static BYTE _bRevFound;     // raw scan found the first two revision characters

private:
    // Procedure helpers (upgrade_procedure.cpp).
    void RefreshDriveIdentity(BYTE* sSenseBuf);  // the INQUIRY after the settle waits
    void ReleaseImage();                          // unlock and free the buffer, once
    void WriteLog(const char* pszFormat, ...);    // to _fpLog when it is open
};
