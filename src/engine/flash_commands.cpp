// The drive's download commands: the vendor query, WRITE BUFFER blocks and
// header (mode 06h) and the commit (mode 07h), each a 12-byte command block.
#include <cstdint>
#include <cstring>

#include "engine/byte_sum.h"
#include "engine/flash_engine.h"
#include "scsi/scsi_transport.h"

namespace {

enum : BYTE {
    kOpWriteBuffer = 0x3B,
    kOpVendor = 0x95,
    kVendorQueryDrive = 0x22,
    kModeDownloadOffsets = 0x06,     // download microcode with offsets
    kModeDownloadSave = 0x07,        // download microcode with offsets and save
};

enum : DWORD {
    kCdbLen = 12,
    kQueryLen = 32,
    kCommitScratchLen = 4096,
};

// Writes the low 24 bits of v, most significant byte first.
void PutBe24(BYTE* p, DWORD v) {
    p[0] = static_cast<BYTE>(v >> 16);
    p[1] = static_cast<BYTE>(v >> 8);
    p[2] = static_cast<BYTE>(v);
}

// WRITE BUFFER: mode, buffer id 0, buffer offset, parameter list length.
void BuildWriteBuffer(BYTE* cdb, BYTE byMode, DWORD dwOffset, DWORD dwListLen) {
    std::memset(cdb, 0, kCdbLen);
    cdb[0] = kOpWriteBuffer;
    cdb[1] = byMode;
    PutBe24(&cdb[3], dwOffset);
    PutBe24(&cdb[6], dwListLen);
}

}  // namespace

void CFlashEngine::fgQueryDrive(BYTE* sSenseBuf) {
    BYTE cdb[kCdbLen] = {kOpVendor, kVendorQueryDrive};
    BYTE scratch[kQueryLen];
    fgExecScsiCmd(&drive, SRB_DIR_IN, kQueryLen, scratch, kCdbLen, cdb, bUsePassThrough, sSenseBuf);
}

BYTE CFlashEngine::fgWriteOneFlashCmdData(DWORD dwOffset, BYTE* sSenseBuf) {
    BYTE sSendBuf[kBlockSize];
    // One pass copies the block out of its bank and sums it.
    _wSecSum = static_cast<WORD>(_wSecSum +
                                 CopyAndSumBytes(sSendBuf, _pBank[_byBank] + _wBankOffset, kBlockSize));

    BYTE cdb[kCdbLen];
    BuildWriteBuffer(cdb, kModeDownloadOffsets, dwOffset, kBlockSize);
    int nOk = fgExecScsiCmd(&drive, SRB_DIR_OUT, kBlockSize, sSendBuf, kCdbLen, cdb, bUsePassThrough,
                            sSenseBuf);

    _total = static_cast<WORD>(_total + _wSecSum);
    WriteLog("Address=%.8X,_wSecSum=%.4X,_total=%.4X\n", static_cast<unsigned>(dwOffset),
             static_cast<unsigned>(_wSecSum), static_cast<unsigned>(_total));
    return nOk && sSenseBuf[2] == 0;
}

BYTE CFlashEngine::fgWriteHeader(DWORD dwOffset, BYTE* sSenseBuf) {
    BYTE sSendBuf[kHeaderSize] = {};
    sSendBuf[30] = static_cast<BYTE>(_wSecSum >> 8);
    sSendBuf[31] = static_cast<BYTE>(_wSecSum & 0xFF);
    WriteLog("sSendBuf[30]=%X   sSendBuf[31]=%X\n", static_cast<unsigned>(sSendBuf[30]),
             static_cast<unsigned>(sSendBuf[31]));

    BYTE cdb[kCdbLen];
    BuildWriteBuffer(cdb, kModeDownloadOffsets, dwOffset, kHeaderSize);
    int nOk = fgExecScsiCmd(&drive, SRB_DIR_OUT, kHeaderSize, sSendBuf, kCdbLen, cdb, bUsePassThrough,
                            sSenseBuf);
    return nOk && sSenseBuf[2] == 0;
}

BYTE CFlashEngine::fgCommitFlash(BYTE* sSenseBuf) {
    BYTE cdb[kCdbLen];
    BuildWriteBuffer(cdb, kModeDownloadSave, 0, 0);
    // The command asks for no data, yet goes down as data in with a 4 KB
    // buffer; drives of this family expect it that way.
    BYTE scratch[kCommitScratchLen];
    int nOk = fgExecScsiCmd(&drive, SRB_DIR_IN, kCommitScratchLen, scratch, kCdbLen, cdb,
                            bUsePassThrough, sSenseBuf);
    return nOk && sSenseBuf[2] == 0;
}
