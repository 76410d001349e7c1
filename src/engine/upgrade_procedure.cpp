// The whole upgrade of one drive: query, load, validate, send the image in
// 4 KB blocks with retries, the header and the commit, then the fixed settle
// waits and the refresh of the displayed identity. Trace in sum.txt.
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/byte_sum.h"
#include "engine/error_messages.h"
#include "engine/flash_engine.h"
#include "platform/platform.h"
#include "scsi/scsi_transport.h"

namespace {

enum : DWORD {
    kAttempts = 6,               // per block, with no pause between them
    kSettleUnit = 0x10000,       // one 6-second wait per 64 KB of image
    kSettleUnitMs = 6000,
    kSettleTailMs = 7000,
    kSettleLastMs = 1000,
    kRefreshRetries = 10,        // the drive may still be reprogramming itself
    kRefreshRetryMs = 1000,
    kInquiryLen = 36,
    kNameLen = 24,               // vendor + product identification
    kRevLen = 4,
    kMaxHexSegments = 15,        // validation covers 2 * segments + 2 banks of 32
    kTraceBuffer = 16384,
};

enum : BYTE { kOpInquiry = 0x12 };

const char kTraceFile[] = "sum.txt";

// Advances the model-text search over one bank. j is the number of leading
// characters of pszName matched so far (carried across banks); answers true
// when all kNameLen have been matched. A mismatching byte is not compared
// again with the first character, and while nothing is matched the next
// candidate is found with memchr rather than byte by byte.
bool SearchName(const BYTE* p, DWORD n, const BYTE* pszName, DWORD& j) {
    const BYTE* const pEnd = p + n;
    while (p < pEnd) {
        if (j == 0) {
            p = static_cast<const BYTE*>(std::memchr(p, pszName[0], static_cast<size_t>(pEnd - p)));
            if (!p) return false;
            j = 1;
            ++p;
        } else {
            j = (*p == pszName[j]) ? j + 1 : 0;
            ++p;
        }
        if (j == kNameLen) return true;
    }
    return false;
}

void CloseFile(FILE*& fp) {
    if (fp) {
        std::fclose(fp);
        fp = nullptr;
    }
}

}  // namespace

void CFlashEngine::Run() {
    BYTE bOk = fgUpgrade();
    CBShowMessage(bOk ? "Please Restart Your Computer." : "Flashing is incorrect!!");
    CBShowStatus("");
    ReleaseImage();
}

void CFlashEngine::ReleaseImage() {
    if (!_pBank[0]) return;
    PlatUnlockPages(_pBank[0], kImageSize);
    PlatFreePages(_pBank[0]);
    for (BYTE*& p : _pBank) p = nullptr;
}

void CFlashEngine::WriteLog(const char* pszFormat, ...) {
    if (!_fpLog) return;
    va_list args;
    va_start(args, pszFormat);
    std::vfprintf(_fpLog, pszFormat, args);
    va_end(args);
}

void CFlashEngine::RefreshDriveIdentity(BYTE* sSenseBuf) {
    // Laid out as standard INQUIRY data; stays blank when the drive never
    // answers, which leaves both displays empty.
    BYTE abyIdentity[kInquiryLen] = {' '};
    BYTE cdb[12] = {kOpInquiry, 0, 0, 0, kInquiryLen};
    for (DWORD nTry = 0;; ++nTry) {
        // ASPI writes straight into the buffer even when the command fails,
        // so each attempt gets a fresh one and only an answer is kept.
        BYTE abyData[kInquiryLen] = {};
        if (fgExecScsiCmd(&drive, SRB_DIR_IN, kInquiryLen, abyData, sizeof cdb, cdb, bUsePassThrough,
                          sSenseBuf)) {
            std::memcpy(abyIdentity, abyData, kInquiryLen);
            break;
        }
        if (nTry == kRefreshRetries) break;
        PlatSleep(kRefreshRetryMs);
    }
    char szName[kNameLen + 1];
    std::memcpy(szName, &abyIdentity[8], kNameLen);
    szName[kNameLen] = '\0';
    CBSetDriveName(szName);
    char szRevision[kRevLen + 1];
    std::memcpy(szRevision, &abyIdentity[32], kRevLen);
    szRevision[kRevLen] = '\0';
    CBSetRevision(szRevision);
}

BYTE CFlashEngine::fgUpgrade() {
    BYTE sSenseBuf[32] = {};
    char szLine[64];

    // A block, the header or the commit failed for good: trace and log the
    // drive's sense key, ASC and ASCQ, and end the run with the trace closed.
    auto CommandFailed = [&](char cWhich, const char* pszTraceEnd) -> BYTE {
        WriteLog("Execute command error!! %2X/%2X/%2X%s", sSenseBuf[2], sSenseBuf[12], sSenseBuf[13],
                 pszTraceEnd);
        std::snprintf(szLine, sizeof szLine, "Execute command error%c!! %2X/%2X/%2X", cWhich, sSenseBuf[2],
                      sSenseBuf[12], sSenseBuf[13]);
        CBShowMessage(szLine);
        CloseFile(_fpLog);
        return 0;
    };

    // The vendor query goes first, before the image is even loaded.
    fgQueryDrive(sSenseBuf);
    _wCheckSum = 0;
    int nLoad = LoadImage();
    if (nLoad == -2) {
        ReportError(ERR_READ_INPUT);
        return 0;
    }
    if (nLoad == -1) {
        ReportError(ERR_FORMAT);
        return 0;
    }
    if (nLoad < 0) return 0;  // no buffer: the loader has said why

    // An Intel HEX image is validated over (segments + 1) x 64 KB and written
    // up to the next 64 KB past its highest address; both must stay inside
    // the 1 MB buffer, or the image is refused before anything is sent.
    if (bHexImage && (_dwSegment > kMaxHexSegments ||
                      (_dwImageSize & 0xFFFF0000u) + kSettleUnit > kImageSize)) {
        ReportError(ERR_FORMAT);
        return 0;
    }

    // Refuse an image that does not name the drive; the checksum shown to
    // the user is computed in the same pass.
    bool bFound = false;
    if (bHexImage) {
        const BYTE* pszName = reinterpret_cast<const BYTE*>(sDriveName);
        DWORD j = 0;
        for (DWORD i = 0; i <= 2 * _dwSegment + 1; ++i) {
            _wSecSum = static_cast<WORD>(SumBytes(_pBank[i], kBankSize));
            _wCheckSum = static_cast<WORD>(_wCheckSum + _wSecSum);
            if (!bFound) bFound = SearchName(_pBank[i], kBankSize, pszName, j);
        }
    } else {
        _wCheckSum = _wSecSum;
        bFound = _bModelFound && _bRevFound;
    }
    if (!bFound) {
        CBShowMessage("It is an incorrect firmware version!");
        return 0;
    }

    std::snprintf(szLine, sizeof szLine, "Check Sum : %X", static_cast<unsigned>(_wCheckSum));
    CBShowMessage(szLine);
    CBShowStatus("Updating.....");
    CBSetProgress(0);
    CBShowMessage("Please wait a minute.....");

    // An Intel HEX download always runs to the 64 KB unit after the
    // highest address, even when that address ends a unit.
    DWORD dwWritten = 0;
    DWORD dwDevOffset = 0;
    _wBankOffset = 0;
    _byBank = 0;
    _wSecSum = 0;
    if (bHexImage) _dwImageSize = (_dwImageSize & 0xFFFF0000u) + kSettleUnit;

    // Without the trace the upgrade still goes on; nothing is written to it then.
    _fpLog = std::fopen(kTraceFile, "a");
    if (_fpLog)
        std::setvbuf(_fpLog, nullptr, _IOFBF, kTraceBuffer);  // a 1 MB image's trace in one write
    else
        ReportError(ERR_OPEN_OUTPUT);
    WriteLog("Model Name : %.32s HID : %d TID : %d Ver.: %.12s\n", drive.szModel,
             static_cast<int>(drive.byHostId), static_cast<int>(drive.byTargetId), drive.szRevision);

    while (dwWritten < _dwImageSize) {
        if (CBIfTerminated()) {
            ReportError(ERR_TERMINATED);
            WriteLog("CBIfTerminated failed!!\n");
            CloseFile(_fpLog);
            return 0;
        }
        BYTE bSent = 0;
        for (DWORD nAttempt = 0; nAttempt < kAttempts && !bSent; ++nAttempt)
            bSent = fgWriteOneFlashCmdData(dwDevOffset + kHeaderSize, sSenseBuf);
        if (!bSent) return CommandFailed('A', "\n");
        CBSetProgress(5);
        dwDevOffset += kBlockSize;
        dwWritten += kBlockSize;
        _wBankOffset = static_cast<WORD>(_wBankOffset + kBlockSize);
        if (_wBankOffset >= kBankSize) {
            _wBankOffset = 0;
            ++_byBank;
        }
        CBSetProgress(10);
    }
    WriteLog("Finished : fgWriteOneFlashCmdData()\n");

    if (!fgWriteHeader(0, sSenseBuf)) return CommandFailed('B', "\n");
    WriteLog("Finished : fgWriteHeader()\n");
    CBSetProgress(15);

    // The commit's error line has no line end: the next upgrade's section
    // continues it, as existing traces show.
    if (!fgCommitFlash(sSenseBuf)) return CommandFailed('C', "");

    // The drive reprograms its flash: fixed waits, not polls.
    const DWORD nUnits = (_dwImageSize >> 16) & 0xFF;
    for (DWORD i = 0; i < nUnits; ++i) {
        CBSetProgress(static_cast<int>(20 + 3 * i));
        PlatSleep(kSettleUnitMs);
    }
    WriteLog("I will in fgTestUnitReadyComplete()\n");
    PlatSleep(kSettleTailMs);
    PlatSleep(kSettleLastMs);
    CBSetProgress(90);

    // Show what the drive now says it is.
    RefreshDriveIdentity(sSenseBuf);
    if (CBIfTerminated()) {
        ReportError(ERR_TERMINATED);
        WriteLog("2: CBIfTerminated()\n");
    }
    CloseFile(_fpLog);
    CBSetProgress(100);
    return 1;
}
