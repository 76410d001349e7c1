#include "emulator/inprocess/inprocess_adapter.h"

#include <algorithm>
#include <cstring>

#include "scsi/pass_through_layout.h"

namespace emu {

class CInProcessAdapter::CLetterDevice : public hostseam::Device {
public:
    CLetterDevice(CInProcessAdapter* pAdapter, CEmulatedDrive* pDrive) : m_pAdapter(pAdapter), m_pDrive(pDrive) {}
    BOOL IoControl(DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut, DWORD* pcbReturned) override {
        return m_pAdapter->IoControl(m_pDrive, dwCode, pIn, cbIn, pOut, cbOut, pcbReturned);
    }

private:
    CInProcessAdapter* m_pAdapter;
    CEmulatedDrive* m_pDrive;
};

namespace {
constexpr DWORD kListInquiryLen = 36;
constexpr DWORD kInitiatorId = 7;

DWORD Align8(DWORD v) { return (v + 7) & ~7u; }
}  // namespace

CInProcessAdapter::CInProcessAdapter(const AdapterConfig& config) : m_config(config) {}

CInProcessAdapter::~CInProcessAdapter() = default;

void CInProcessAdapter::AddDrive(CEmulatedDrive* pDrive) { m_drives.push_back(pDrive); }

void CInProcessAdapter::AttachLetter(char chLetter, CEmulatedDrive* pDrive) {
    m_letters.push_back(std::make_unique<CLetterDevice>(this, pDrive));
    hostseam::AttachDevice(chLetter, m_letters.back().get());
}

CEmulatedDrive* CInProcessAdapter::FindTarget(BYTE byTargetId) const {
    for (CEmulatedDrive* p : m_drives)
        if (p->Config().byTargetId == byTargetId) return p;
    return nullptr;
}

BOOL CInProcessAdapter::IoControl(CEmulatedDrive* pDrive, DWORD dwCode, void* pIn, DWORD cbIn, void* pOut,
                                  DWORD cbOut, DWORD* pcbReturned) {
    *pcbReturned = 0;
    switch (dwCode) {
        case IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE: return PassThrough(pDrive, pIn, cbIn, pOut, cbOut, pcbReturned);
        case IOCTL_SCSI_GET_INQUIRY_DATA_CODE: return InquiryList(pOut, cbOut, pcbReturned);
        case IOCTL_SCSI_GET_CAPABILITIES_CODE: return Capabilities(pOut, cbOut, pcbReturned);
        default: return FALSE;
    }
}

BOOL CInProcessAdapter::PassThrough(CEmulatedDrive* pDrive, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                                    DWORD* pcbReturned) {
    if (!pDrive || !pIn || cbIn < sizeof(SCSI_PASS_THROUGH_DIRECT) || !pOut ||
        cbOut < sizeof(SCSI_PASS_THROUGH_DIRECT))
        return FALSE;
    SCSI_PASS_THROUGH_DIRECT req;
    std::memcpy(&req, pIn, sizeof req);
    if (req.Length != sizeof(SCSI_PASS_THROUGH_DIRECT) || req.CdbLength == 0 || req.CdbLength > 16) return FALSE;

    DataDirection eDir = DataDirection::kNone;
    if (req.DataTransferLength) eDir = req.DataIn == SCSI_IOCTL_DATA_OUT ? DataDirection::kOut : DataDirection::kIn;
    CommandOutcome out = pDrive->Execute(req.Cdb, req.CdbLength, eDir, static_cast<BYTE*>(req.DataBuffer),
                                         req.DataTransferLength);

    if (pOut != pIn) std::memmove(pOut, pIn, std::min(cbIn, cbOut));
    auto* pResult = static_cast<SCSI_PASS_THROUGH_DIRECT*>(pOut);
    pResult->ScsiStatus = out.byStatus;
    pResult->DataTransferLength = out.dwDataTransferred;
    DWORD cbReturned = sizeof(SCSI_PASS_THROUGH_DIRECT);
    if (out.byStatus != 0 && req.SenseInfoLength && req.SenseInfoOffset < cbOut) {
        DWORD n = std::min<DWORD>({req.SenseInfoLength, sizeof out.abySense, cbOut - req.SenseInfoOffset});
        std::memcpy(static_cast<BYTE*>(pOut) + req.SenseInfoOffset, out.abySense, n);
        pResult->SenseInfoLength = static_cast<UCHAR>(n);
        cbReturned = req.SenseInfoOffset + n;
    } else {
        pResult->SenseInfoLength = 0;
    }
    *pcbReturned = cbReturned;
    return TRUE;
}

BOOL CInProcessAdapter::InquiryList(void* pOut, DWORD cbOut, DWORD* pcbReturned) {
    if (m_config.bFailInquiryData || !pOut) return FALSE;
    const DWORD dwFirst = Align8(sizeof(SCSI_ADAPTER_BUS_INFO));
    const DWORD dwEntry = Align8(offsetof(SCSI_INQUIRY_DATA, InquiryData) + kListInquiryLen);
    const DWORD dwTotal = dwFirst + dwEntry * static_cast<DWORD>(m_drives.size());
    if (cbOut < dwTotal) return FALSE;

    BYTE* p = static_cast<BYTE*>(pOut);
    std::memset(p, 0, dwTotal);
    auto* pInfo = reinterpret_cast<SCSI_ADAPTER_BUS_INFO*>(p);
    pInfo->NumberOfBuses = 1;
    pInfo->BusData[0].NumberOfLogicalUnits = static_cast<UCHAR>(m_drives.size());
    pInfo->BusData[0].InitiatorBusId = kInitiatorId;
    pInfo->BusData[0].InquiryDataOffset = m_drives.empty() ? 0 : dwFirst;
    for (size_t i = 0; i < m_drives.size(); ++i) {
        const DWORD dwAt = dwFirst + dwEntry * static_cast<DWORD>(i);
        auto* pData = reinterpret_cast<SCSI_INQUIRY_DATA*>(p + dwAt);
        pData->PathId = m_config.byPathId;
        pData->TargetId = m_drives[i]->Config().byTargetId;
        pData->Lun = 0;
        pData->DeviceClaimed = 1;
        pData->InquiryDataLength = kListInquiryLen;
        pData->NextInquiryDataOffset = i + 1 < m_drives.size() ? dwAt + dwEntry : 0;
        std::vector<BYTE> inq = m_drives[i]->InquiryData();
        std::memcpy(p + dwAt + offsetof(SCSI_INQUIRY_DATA, InquiryData), inq.data(), kListInquiryLen);
    }
    *pcbReturned = dwTotal;
    return TRUE;
}

BOOL CInProcessAdapter::Capabilities(void* pOut, DWORD cbOut, DWORD* pcbReturned) {
    if (m_config.bFailCapabilities || !pOut || cbOut < sizeof(IO_SCSI_CAPABILITIES)) return FALSE;
    IO_SCSI_CAPABILITIES caps = {};
    caps.Length = sizeof caps;
    caps.MaximumTransferLength = m_config.dwMaxTransfer;
    caps.MaximumPhysicalPages = m_config.dwMaxTransfer / 4096 + 1;
    caps.AlignmentMask = m_config.wAlignMask;
    std::memcpy(pOut, &caps, sizeof caps);
    *pcbReturned = sizeof caps;
    return TRUE;
}

}  // namespace emu
