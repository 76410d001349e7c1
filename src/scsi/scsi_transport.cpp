#include "scsi/scsi_transport.h"

#include <cstdint>
#include <cstring>

#include "platform/platform.h"
#include "scsi/aspi_layout.h"
#include "scsi/pass_through_layout.h"

namespace {

enum : ULONG { kPassThroughTimeOut = 0xFFFF };  // seconds: flash operations may take long
enum : UCHAR { kPassThroughSenseLen = 24 };

// The pass-through bounce buffer: dwDataLen usable bytes at an address that is
// a multiple of dwAlignMask + 1. Released when it goes out of scope, on every
// path.
class CBounceBuffer {
public:
    CBounceBuffer(DWORD dwDataLen, DWORD dwAlignMask)
        : m_pRaw(static_cast<BYTE*>(PlatHeapAlloc(size_t(dwDataLen) + dwAlignMask, FALSE))) {
        const uintptr_t mask = dwAlignMask;
        m_pAligned = m_pRaw ? reinterpret_cast<BYTE*>((reinterpret_cast<uintptr_t>(m_pRaw) + mask) & ~mask)
                            : nullptr;
    }
    ~CBounceBuffer() { PlatHeapFree(m_pRaw); }
    CBounceBuffer(const CBounceBuffer&) = delete;
    CBounceBuffer& operator=(const CBounceBuffer&) = delete;

    BYTE* Data() const { return m_pAligned; }

private:
    BYTE* m_pRaw;
    BYTE* m_pAligned;
};

// The ASPI completion event, closed on every path.
class CAspiEvent {
public:
    CAspiEvent() : m_h(PlatCreateEvent(TRUE, FALSE)) {}
    ~CAspiEvent() {
        if (m_h) PlatCloseHandle(m_h);
    }
    CAspiEvent(const CAspiEvent&) = delete;
    CAspiEvent& operator=(const CAspiEvent&) = delete;

    HANDLE Handle() const { return m_h; }

private:
    HANDLE m_h;
};

int ExecPassThrough(const DRIVE_INFO* pDrive, BYTE byDirection, DWORD dwDataLen, BYTE* pData,
                    BYTE byCdbLen, const BYTE* pCdb, BYTE* pSense) {
    SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER block;
    std::memset(&block, 0, sizeof block);
    SCSI_PASS_THROUGH_DIRECT& sptd = block.sptd;
    std::memcpy(sptd.Cdb, pCdb, byCdbLen);
    sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    sptd.PathId = pDrive->byHostId;
    sptd.TargetId = pDrive->byTargetId;

    CBounceBuffer bounce(dwDataLen, pDrive->dwAlignMask);
    // Without a buffer the driver would be handed a null address for a real
    // transfer; nothing is sent instead.
    if (!bounce.Data()) return 0;

    // The out bit wins: a caller that sets both is writing.
    const bool bDataIn = !(byDirection & SRB_DIR_OUT) && (byDirection & SRB_DIR_IN);
    if (byDirection & SRB_DIR_OUT) {
        sptd.DataIn = SCSI_IOCTL_DATA_OUT;
        if (dwDataLen) std::memcpy(bounce.Data(), pData, dwDataLen);
    } else if (bDataIn) {
        sptd.DataIn = SCSI_IOCTL_DATA_IN;
    }
    sptd.CdbLength = byCdbLen;
    sptd.DataTransferLength = dwDataLen;
    sptd.DataBuffer = bounce.Data();
    sptd.TimeOutValue = kPassThroughTimeOut;
    sptd.SenseInfoLength = kPassThroughSenseLen;
    sptd.SenseInfoOffset = offsetof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER, ucSenseBuf);

    DWORD cbReturned = 0;
    BOOL bOk = PlatDeviceIoControl(pDrive->hDevice, IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE, &block,
                                   sizeof(SCSI_PASS_THROUGH_DIRECT), &block, sizeof block, &cbReturned);
    if (!bOk || sptd.ScsiStatus != 0) {
        std::memcpy(pSense, block.ucSenseBuf, sizeof block.ucSenseBuf);
        return 0;
    }
    if (bDataIn && dwDataLen) std::memcpy(pData, bounce.Data(), dwDataLen);
    return 1;
}

int ExecAspi(const DRIVE_INFO* pDrive, BYTE byDirection, DWORD dwDataLen, BYTE* pData, BYTE byCdbLen,
             const BYTE* pCdb, BYTE* pSense) {
    SRB_ExecSCSICmd srb;
    std::memset(&srb, 0, sizeof srb);
    std::memcpy(srb.CDBByte, pCdb, byCdbLen);
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = pDrive->byHostId;
    srb.SRB_Flags = byDirection;
    srb.SRB_Target = pDrive->byTargetId;
    srb.SRB_Lun = 0;
    srb.SRB_BufLen = dwDataLen;
    srb.SRB_BufPointer = pData;
    srb.SRB_SenseLen = ASPI_SENSE_LEN;
    srb.SRB_CDBLen = byCdbLen;

    // Without a loaded ASPI layer there is nobody to send to.
    if (!g_pfnSendASPI32Command) return 0;
    CAspiEvent event;
    if (!event.Handle()) return 0;
    srb.SRB_Flags |= SRB_EVENT_NOTIFY;
    srb.SRB_PostProc = event.Handle();
    PlatResetEvent(event.Handle());

    if (g_pfnSendASPI32Command(&srb) == SS_PENDING) {
        if (PlatWaitForEvent(event.Handle(), INFINITE) == WAIT_OBJECT_0) PlatResetEvent(event.Handle());
    }
    if (srb.SRB_Status == SS_COMP) return 1;
    // The callers log sense key, ASC and ASCQ; hand them the drive's own.
    std::memcpy(pSense, srb.SenseArea, ASPI_SENSE_LEN);
    return 0;
}

}  // namespace

int fgExecScsiCmd(const DRIVE_INFO* pDrive, BYTE byDirection, DWORD dwDataLen, BYTE* pData,
                  BYTE byCdbLen, const BYTE* pCdb, BYTE bUsePassThrough, BYTE* pSense) {
    std::memset(pSense, 0, 16);
    if (byCdbLen > 16) byCdbLen = 16;  // both request blocks hold 16 CDB bytes
    if (bUsePassThrough)
        return ExecPassThrough(pDrive, byDirection, dwDataLen, pData, byCdbLen, pCdb, pSense);
    return ExecAspi(pDrive, byDirection, dwDataLen, pData, byCdbLen, pCdb, pSense);
}
