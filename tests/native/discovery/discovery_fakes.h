// Small stand-ins for what discovery talks to, with exact control over every
// answer: an ASPI layer (adapters, targets, units) and a drive letter's
// device (adapter inquiry list, capabilities, pass-through INQUIRY). Both log
// what they were asked, so tests can check the requests themselves.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/host_seam.h"
#include "scsi/drive_discovery.h"
#include "scsi/pass_through_layout.h"

namespace disctest {

// 96 bytes of standard INQUIRY data. The strings are copied byte for byte
// (embedded zero bytes included) and blank padded to 8 / 16 / 4.
std::vector<BYTE> Inquiry(BYTE byPeripheral, const std::string& strVendor, const std::string& strProduct,
                          const std::string& strRevision);
// A CD/DVD unit with a plain identity, numbered so records can be told apart.
std::vector<BYTE> CdUnit(int n);

// ---- ASPI layer ------------------------------------------------------------
struct FakeAdapter {
    BYTE byStatus = 0x01;            // SRB_Status answered to SC_HA_INQUIRY
    BYTE abyUnique[16] = {};         // HA_Unique as answered
    std::map<int, std::vector<BYTE>> units;  // target -> INQUIRY data
    std::map<int, bool> inquiryFails;        // target -> INQUIRY answers SS_ERR
};

struct AspiRequest {
    BYTE byCmd, byHaId, byTarget, byFlags;
    DWORD dwBufLen;
    std::vector<BYTE> cdb;  // SC_EXEC_SCSI_CMD only: SRB_CDBLen bytes
};

struct FakeAspi {
    DWORD dwSupportStatus = 0x01;
    std::vector<FakeAdapter> adapters;
    std::vector<AspiRequest> requests;  // every SendASPI32Command, in order
    int nSupportCalls = 0;

    // The probes (SC_GET_DEV_TYPE) as (adapter, target) pairs, in order.
    std::vector<std::pair<int, int>> Probes() const;
    int Count(BYTE byCmd) const;
};

// The one ASPI layer the entry points below serve (entry points are plain
// functions, so the fake has to be reachable without a context pointer).
FakeAspi& Aspi();
DWORD FakeGetSupportInfo();
DWORD FakeSendCommand(void* pSrb);
// Registers "WNASPI32" with the host seam; null entry points make lookups fail.
void AttachAspi(hostseam::GetSupportInfoFn pfnSupport = FakeGetSupportInfo,
                hostseam::SendCommandFn pfnSend = FakeSendCommand);

// ---- a drive letter's device ----------------------------------------------
class FakeLetterDevice : public hostseam::Device {
public:
    // NT 4: the adapter inquiry list; empty makes the request fail.
    std::vector<BYTE> inquiryList;
    bool bCapabilitiesOk = true;
    DWORD dwCapsAlign = 0, dwCapsMaxTransfer = 0;
    // NT 5: the unit's INQUIRY data; empty makes the request fail. With
    // bAnswerNoData the request succeeds but writes nothing.
    std::vector<BYTE> inquiry;
    bool bAnswerNoData = false;

    // What the last pass-through request looked like when it arrived.
    SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER lastBlock{};
    DWORD cbLastIn = 0, cbLastOut = 0;
    bool bBufferAllFfOnArrival = false;
    std::vector<DWORD> codes;  // every control code, in order

    BOOL IoControl(DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut, DWORD* pcbReturned) override;
};

// Builds an adapter inquiry list: buses of entries (path id, target id,
// INQUIRY data), laid out as a driver would, in a 2048-byte buffer.
struct ListEntry {
    BYTE byPathId, byTargetId;
    std::vector<BYTE> inquiry;
};
std::vector<BYTE> InquiryList(const std::vector<std::vector<ListEntry>>& buses);

// ---- fixture ---------------------------------------------------------------
// A clean host seam and drive table per test; the records are freed after
// each test (the program keeps them until it ends, the sanitizer build must
// not see them as leaks).
class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs fgLoadAspi (9x) and ScanDrives with the given OS flags.
    void Scan(BYTE bNT, BYTE bNT4);
    std::vector<std::string> Models() const;

    DRIVE_TABLE table{};
};

}  // namespace disctest
