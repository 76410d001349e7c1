#include "discovery_fakes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/platform.h"
#include "scsi/aspi_layout.h"

namespace disctest {

namespace {

void PutField(std::vector<BYTE>& data, size_t at, const std::string& str, size_t cch) {
    for (size_t i = 0; i < cch; ++i) data[at + i] = i < str.size() ? static_cast<BYTE>(str[i]) : ' ';
}

void PutUlong(std::vector<BYTE>& data, size_t at, ULONG v) { std::memcpy(&data[at], &v, sizeof(v)); }

}  // namespace

std::vector<BYTE> Inquiry(BYTE byPeripheral, const std::string& strVendor, const std::string& strProduct,
                          const std::string& strRevision) {
    std::vector<BYTE> data(96, 0);
    data[0] = byPeripheral;
    data[4] = 91;
    PutField(data, 8, strVendor, 8);
    PutField(data, 16, strProduct, 16);
    PutField(data, 32, strRevision, 4);
    return data;
}

std::vector<BYTE> CdUnit(int n) {
    return Inquiry(0x05, "VENDOR" + std::to_string(n), "PRODUCT-" + std::to_string(n), "R" + std::to_string(n));
}

// ---- ASPI ------------------------------------------------------------------

FakeAspi& Aspi() {
    static FakeAspi aspi;
    return aspi;
}

std::vector<std::pair<int, int>> FakeAspi::Probes() const {
    std::vector<std::pair<int, int>> probes;
    for (const AspiRequest& r : requests)
        if (r.byCmd == SC_GET_DEV_TYPE) probes.emplace_back(r.byHaId, r.byTarget);
    return probes;
}

int FakeAspi::Count(BYTE byCmd) const {
    int n = 0;
    for (const AspiRequest& r : requests) n += r.byCmd == byCmd;
    return n;
}

DWORD FakeGetSupportInfo() {
    FakeAspi& aspi = Aspi();
    ++aspi.nSupportCalls;
    return (aspi.dwSupportStatus << 8) | static_cast<DWORD>(aspi.adapters.size());
}

DWORD FakeSendCommand(void* pSrb) {
    FakeAspi& aspi = Aspi();
    auto* pHeader = static_cast<SRB_Header*>(pSrb);
    AspiRequest req{pHeader->SRB_Cmd, pHeader->SRB_HaId, 0, pHeader->SRB_Flags, 0, {}};
    FakeAdapter* pAdapter = pHeader->SRB_HaId < aspi.adapters.size() ? &aspi.adapters[pHeader->SRB_HaId] : nullptr;

    switch (pHeader->SRB_Cmd) {
    case SC_HA_INQUIRY: {
        auto* pHa = static_cast<SRB_HAInquiry*>(pSrb);
        aspi.requests.push_back(req);
        if (!pAdapter) return pHa->SRB_Status = SS_INVALID_HA;
        pHa->HA_Count = static_cast<BYTE>(aspi.adapters.size());
        std::memcpy(pHa->HA_Unique, pAdapter->abyUnique, sizeof(pHa->HA_Unique));
        return pHa->SRB_Status = pAdapter->byStatus;
    }
    case SC_GET_DEV_TYPE: {
        auto* pDev = static_cast<SRB_GDEVBlock*>(pSrb);
        req.byTarget = pDev->SRB_Target;
        aspi.requests.push_back(req);
        if (!pAdapter || !pAdapter->units.count(pDev->SRB_Target)) return pDev->SRB_Status = SS_NO_DEVICE;
        // ASPI answers the device type alone, without the qualifier.
        pDev->SRB_DeviceType = pAdapter->units[pDev->SRB_Target][0] & 0x1F;
        return pDev->SRB_Status = SS_COMP;
    }
    case SC_EXEC_SCSI_CMD: {
        auto* pExec = static_cast<SRB_ExecSCSICmd*>(pSrb);
        req.byTarget = pExec->SRB_Target;
        req.dwBufLen = pExec->SRB_BufLen;
        req.cdb.assign(pExec->CDBByte, pExec->CDBByte + pExec->SRB_CDBLen);
        aspi.requests.push_back(req);
        if (!pAdapter || !pAdapter->units.count(pExec->SRB_Target)) return pExec->SRB_Status = SS_NO_DEVICE;
        if (pExec->CDBByte[0] != 0x12 || pAdapter->inquiryFails[pExec->SRB_Target]) {
            return pExec->SRB_Status = SS_ERR;
        }
        const std::vector<BYTE>& data = pAdapter->units[pExec->SRB_Target];
        DWORD cb = std::min<DWORD>(std::min<DWORD>(pExec->SRB_BufLen, pExec->CDBByte[4]),
                                   static_cast<DWORD>(data.size()));
        std::memcpy(pExec->SRB_BufPointer, data.data(), cb);
        return pExec->SRB_Status = SS_COMP;
    }
    default:
        aspi.requests.push_back(req);
        return pHeader->SRB_Status = SS_INVALID_CMD;
    }
}

void AttachAspi(hostseam::GetSupportInfoFn pfnSupport, hostseam::SendCommandFn pfnSend) {
    hostseam::AttachLibrary("WNASPI32", pfnSupport, pfnSend);
}

// ---- letter device ---------------------------------------------------------

BOOL FakeLetterDevice::IoControl(DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                                 DWORD* pcbReturned) {
    codes.push_back(dwCode);
    *pcbReturned = 0;
    switch (dwCode) {
    case IOCTL_SCSI_GET_INQUIRY_DATA_CODE:
        if (inquiryList.empty()) return FALSE;
        std::memcpy(pOut, inquiryList.data(), std::min<size_t>(cbOut, inquiryList.size()));
        *pcbReturned = static_cast<DWORD>(std::min<size_t>(cbOut, inquiryList.size()));
        return TRUE;
    case IOCTL_SCSI_GET_CAPABILITIES_CODE: {
        if (!bCapabilitiesOk || cbOut < sizeof(IO_SCSI_CAPABILITIES)) return FALSE;
        IO_SCSI_CAPABILITIES caps{};
        caps.Length = sizeof(caps);
        caps.MaximumTransferLength = dwCapsMaxTransfer;
        caps.AlignmentMask = dwCapsAlign;
        std::memcpy(pOut, &caps, sizeof(caps));
        *pcbReturned = sizeof(caps);
        return TRUE;
    }
    case IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE: {
        cbLastIn = cbIn;
        cbLastOut = cbOut;
        if (cbIn < sizeof(SCSI_PASS_THROUGH_DIRECT)) return FALSE;
        std::memcpy(&lastBlock, pIn, std::min<size_t>(cbIn, sizeof(lastBlock)));
        auto* pData = static_cast<BYTE*>(lastBlock.sptd.DataBuffer);
        bBufferAllFfOnArrival = true;
        for (DWORD i = 0; i < lastBlock.sptd.DataTransferLength; ++i) bBufferAllFfOnArrival &= pData[i] == 0xFF;
        if (inquiry.empty()) return FALSE;
        if (!bAnswerNoData) {
            DWORD cb = std::min<DWORD>(std::min<DWORD>(lastBlock.sptd.DataTransferLength, lastBlock.sptd.Cdb[4]),
                                       static_cast<DWORD>(inquiry.size()));
            std::memcpy(pData, inquiry.data(), cb);
        }
        *pcbReturned = cbOut;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

std::vector<BYTE> InquiryList(const std::vector<std::vector<ListEntry>>& buses) {
    std::vector<BYTE> list(2048, 0);
    list[0] = static_cast<BYTE>(buses.size());
    size_t at = offsetof(SCSI_ADAPTER_BUS_INFO, BusData) + buses.size() * sizeof(SCSI_BUS_DATA);
    for (size_t b = 0; b < buses.size(); ++b) {
        size_t busAt = offsetof(SCSI_ADAPTER_BUS_INFO, BusData) + b * sizeof(SCSI_BUS_DATA);
        list[busAt + offsetof(SCSI_BUS_DATA, NumberOfLogicalUnits)] = static_cast<BYTE>(buses[b].size());
        if (buses[b].empty()) continue;
        PutUlong(list, busAt + offsetof(SCSI_BUS_DATA, InquiryDataOffset), static_cast<ULONG>(at));
        for (size_t e = 0; e < buses[b].size(); ++e) {
            const ListEntry& entry = buses[b][e];
            size_t cbEntry = (offsetof(SCSI_INQUIRY_DATA, InquiryData) + entry.inquiry.size() + 7) & ~size_t(7);
            list[at + offsetof(SCSI_INQUIRY_DATA, PathId)] = entry.byPathId;
            list[at + offsetof(SCSI_INQUIRY_DATA, TargetId)] = entry.byTargetId;
            PutUlong(list, at + offsetof(SCSI_INQUIRY_DATA, InquiryDataLength), static_cast<ULONG>(entry.inquiry.size()));
            bool bLast = e + 1 == buses[b].size();
            PutUlong(list, at + offsetof(SCSI_INQUIRY_DATA, NextInquiryDataOffset),
                     bLast ? 0 : static_cast<ULONG>(at + cbEntry));
            std::memcpy(&list[at + offsetof(SCSI_INQUIRY_DATA, InquiryData)], entry.inquiry.data(), entry.inquiry.size());
            at += cbEntry;
        }
    }
    EXPECT_LE(at, list.size()) << "test list does not fit the driver's buffer";
    return list;
}

// ---- fixture ---------------------------------------------------------------

void DiscoveryTest::SetUp() {
    hostseam::Reset();
    Aspi() = FakeAspi();
    g_pfnGetASPI32SupportInfo = nullptr;
    g_pfnSendASPI32Command = nullptr;
}

void DiscoveryTest::TearDown() {
    fgUnloadAspi(table);
    for (int i = 0; i < table.m_nDrives; ++i) PlatHeapFree(table.m_pDrives[i]);
    table.m_nDrives = 0;
    hostseam::Reset();
}

void DiscoveryTest::Scan(BYTE bNT, BYTE bNT4) {
    table.m_bNT = bNT;
    table.m_bNT4 = bNT4;
    ASSERT_EQ(fgLoadAspi(table, nullptr), 1);
    ScanDrives(table);
}

std::vector<std::string> DiscoveryTest::Models() const {
    std::vector<std::string> models;
    for (int i = 0; i < table.m_nDrives; ++i) models.push_back(table.m_pDrives[i]->szModel);
    return models;
}

}  // namespace disctest
