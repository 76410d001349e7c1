#include "emulator/model/emulated_drive.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace emu {

namespace {

enum : BYTE {
    kOpTestUnitReady = 0x00,
    kOpInquiry = 0x12,
    kOpWriteBuffer = 0x3B,
    kOpVendor = 0x95,
    kVendorQuery = 0x22,
    kModeDownloadOffsets = 0x06,
    kModeDownloadSave = 0x07,
};

enum : BYTE {
    kStatusGood = 0x00,
    kStatusCheckCondition = 0x02,
};

constexpr DWORD kHeaderSize = 32;
constexpr DWORD kBlockSize = 4096;
constexpr DWORD kInquirySize = 96;
constexpr DWORD kVendorQuerySize = 32;

DWORD Be24(const BYTE* p) { return (DWORD(p[0]) << 16) | (DWORD(p[1]) << 8) | p[2]; }

std::string Field(const std::string& s, size_t n) {
    std::string r = s.substr(0, n);
    r.resize(n, ' ');
    return r;
}

CommandOutcome Good(DWORD dwTransferred = 0) {
    CommandOutcome o;
    o.dwDataTransferred = dwTransferred;
    return o;
}

CommandOutcome Check(BYTE byKey, BYTE byAsc, BYTE byAscq) {
    CommandOutcome o;
    o.byStatus = kStatusCheckCondition;
    o.abySense[0] = 0x70;
    o.abySense[2] = byKey;
    o.abySense[7] = 10;
    o.abySense[12] = byAsc;
    o.abySense[13] = byAscq;
    return o;
}

CommandOutcome IllegalRequest(BYTE byAsc) { return Check(0x05, byAsc, 0x00); }

// The sum of a block, written as a plain loop over bytes the compiler widens.
WORD SumBytes(const BYTE* p, DWORD n) {
    uint32_t s = 0;
    for (DWORD i = 0; i < n; ++i) s += p[i];
    return static_cast<WORD>(s);
}

uint64_t RealClock() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

const char* DirectionText(DataDirection e) {
    switch (e) {
        case DataDirection::kIn: return "in";
        case DataDirection::kOut: return "out";
        default: return "none";
    }
}

const char* CommitText(CommitResult e) {
    switch (e) {
        case CommitResult::kAccepted: return "accepted";
        case CommitResult::kSumMismatch: return "refused (header sum differs from drive sum)";
        case CommitResult::kFaulted: return "refused (injected fault)";
        default: return "none";
    }
}

}  // namespace

CEmulatedDrive::CEmulatedDrive(const DriveConfig& config)
    : m_config(config),
      m_fnClock(RealClock),
      m_strVendor(Field(config.strVendor, 8)),
      m_strProduct(Field(config.strProduct, 16)),
      m_strRevision(Field(config.strRevision, 4)),
      m_buffer(config.dwBufferSize, 0xFF),
      m_dwHighWater(kHeaderSize) {}

CEmulatedDrive::~CEmulatedDrive() {
    if (!m_config.strReportPath.empty()) WriteReport(m_config.strReportPath);
}

void CEmulatedDrive::SetClock(ClockFn fnClock) { m_fnClock = fnClock ? fnClock : ClockFn(RealClock); }

bool CEmulatedDrive::NotReady() const { return m_bBusy && m_fnClock() < m_qwReadyAt; }

CommandOutcome CEmulatedDrive::Execute(const BYTE* pCdb, BYTE byCdbLen, DataDirection eDirection,
                                       BYTE* pData, DWORD dwDataLen) {
    CommandRecord rec;
    rec.byCdbLen = std::min<BYTE>(byCdbLen, 16);
    if (pCdb) std::memcpy(rec.abyCdb, pCdb, rec.byCdbLen);
    rec.eDirection = eDirection;
    rec.dwDataLen = dwDataLen;
    if (!pData) dwDataLen = 0;

    CommandOutcome out;
    if (rec.byCdbLen == 0) {
        out = IllegalRequest(0x20);
    } else if (NotReady()) {
        out = Check(0x02, 0x04, 0x01);
    } else {
        m_bBusy = false;
        const BYTE* c = rec.abyCdb;
        switch (c[0]) {
            case kOpTestUnitReady: out = Good(); break;
            case kOpInquiry: out = Inquiry(c, eDirection == DataDirection::kIn ? pData : nullptr,
                                           eDirection == DataDirection::kIn ? dwDataLen : 0);
                break;
            case kOpVendor:
                out = c[1] == kVendorQuery
                          ? VendorQuery(eDirection == DataDirection::kIn ? pData : nullptr,
                                        eDirection == DataDirection::kIn ? dwDataLen : 0)
                          : IllegalRequest(0x24);
                break;
            case kOpWriteBuffer: out = WriteBuffer(c, eDirection, pData, dwDataLen); break;
            default: out = IllegalRequest(0x20); break;
        }
    }
    rec.byStatus = out.byStatus;
    rec.bySenseKey = out.abySense[2];
    rec.byAsc = out.abySense[12];
    rec.byAscq = out.abySense[13];
    m_commands.push_back(rec);
    return out;
}

std::vector<BYTE> CEmulatedDrive::InquiryData() const {
    std::vector<BYTE> d(kInquirySize, 0);
    d[0] = m_config.byPeripheral;
    d[1] = 0x80;                       // removable medium
    d[2] = 0x00;
    d[3] = 0x32;                       // response data format 2
    d[4] = kInquirySize - 5;           // additional length
    std::memcpy(&d[8], m_strVendor.data(), 8);
    std::memcpy(&d[16], m_strProduct.data(), 16);
    std::memcpy(&d[32], m_strRevision.data(), 4);
    return d;
}

CommandOutcome CEmulatedDrive::Inquiry(const BYTE* pCdb, BYTE* pData, DWORD dwDataLen) {
    ++m_dwInquiryAttempts;
    if (const Fault* f = FindFault(FaultPoint::kInquiry, 0, m_dwInquiryAttempts))
        return Check(f->bySenseKey, f->byAsc, f->byAscq);
    std::vector<BYTE> d = InquiryData();
    DWORD n = std::min<DWORD>({pCdb[4], kInquirySize, dwDataLen});
    if (n) std::memcpy(pData, d.data(), n);
    return Good(n);
}

CommandOutcome CEmulatedDrive::VendorQuery(BYTE* pData, DWORD dwDataLen) {
    BYTE d[kVendorQuerySize] = {};
    std::memcpy(&d[0], m_strVendor.data(), 8);
    std::memcpy(&d[8], m_strProduct.data(), 16);
    std::memcpy(&d[24], m_strRevision.data(), 4);
    DWORD n = std::min<DWORD>(kVendorQuerySize, dwDataLen);
    if (n) std::memcpy(pData, d, n);
    return Good(n);
}

CommandOutcome CEmulatedDrive::WriteBuffer(const BYTE* pCdb, DataDirection eDirection,
                                           const BYTE* pData, DWORD dwDataLen) {
    const BYTE byMode = pCdb[1] & 0x1F;
    if (byMode == kModeDownloadSave) return Commit();
    if (byMode != kModeDownloadOffsets) return IllegalRequest(0x24);

    const DWORD dwOffset = Be24(&pCdb[3]);
    const DWORD dwLen = Be24(&pCdb[6]);
    // The parameter list must arrive as data out, whole, and fit the buffer.
    if (dwLen && (eDirection != DataDirection::kOut || dwDataLen < dwLen)) return IllegalRequest(0x24);
    if (uint64_t(dwOffset) + dwLen > m_buffer.size()) return IllegalRequest(0x24);

    const bool bBlock = dwOffset >= kHeaderSize;
    if (bBlock && m_bDownloadEnded) {
        m_bDownloadEnded = false;
        m_wSum = 0;
        m_dwHighWater = kHeaderSize;
        m_dwBlocksReceived = 0;
        m_bHeaderReceived = false;
        if (m_bFirmwareInBuffer) {
            m_firmware.swap(m_buffer);
            m_bFirmwareInBuffer = false;
            m_buffer.assign(m_firmware.size(), 0xFF);
        } else {
            std::fill(m_buffer.begin(), m_buffer.end(), BYTE(0xFF));
        }
    }
    if (dwLen) {
        std::memcpy(&m_buffer[dwOffset], pData, dwLen);
        if (bBlock) {
            m_wSum = static_cast<WORD>(m_wSum + SumBytes(pData, dwLen));
            m_dwHighWater = std::max(m_dwHighWater, dwOffset + dwLen);
            ++m_dwBlocksReceived;
        } else {
            // A header write may run on into the image area; only image bytes count.
            DWORD dwInHeader = std::min(dwLen, kHeaderSize - dwOffset);
            if (dwLen > dwInHeader) {
                m_wSum = static_cast<WORD>(m_wSum + SumBytes(pData + dwInHeader, dwLen - dwInHeader));
                m_dwHighWater = std::max(m_dwHighWater, dwOffset + dwLen);
            }
            if (dwOffset + dwInHeader == kHeaderSize) m_bHeaderReceived = true;
        }
    }

    const Fault* f = nullptr;
    if (bBlock) {
        DWORD dwBlock = (dwOffset - kHeaderSize) / kBlockSize;
        if (m_blockAttempts.size() <= dwBlock) m_blockAttempts.resize(dwBlock + 1, 0);
        f = FindFault(FaultPoint::kBlock, dwBlock, ++m_blockAttempts[dwBlock]);
    } else {
        f = FindFault(FaultPoint::kHeader, 0, ++m_dwHeaderAttempts);
    }
    if (f) return Check(f->bySenseKey, f->byAsc, f->byAscq);
    return Good(dwLen);
}

CommandOutcome CEmulatedDrive::Commit() {
    ++m_dwCommitAttempts;
    m_bDownloadEnded = true;
    CommandOutcome out;
    if (const Fault* f = FindFault(FaultPoint::kCommit, 0, m_dwCommitAttempts)) {
        m_eCommit = CommitResult::kFaulted;
        out = Check(f->bySenseKey, f->byAsc, f->byAscq);
    } else if (HeaderSum() != m_wSum) {
        m_eCommit = CommitResult::kSumMismatch;
        out = IllegalRequest(0x26);
    } else {
        m_eCommit = CommitResult::kAccepted;
        m_dwFirmwareEnd = m_dwHighWater;
        m_bFirmwareInBuffer = true;
        if (!m_config.strRevisionAfterCommit.empty())
            m_strRevision = Field(m_config.strRevisionAfterCommit, 4);
        if (m_config.dwNotReadyMs) {
            m_bBusy = true;
            m_qwReadyAt = m_fnClock() + m_config.dwNotReadyMs;
        }
        out = Good();
    }
    if (!m_config.strReportPath.empty()) WriteReport(m_config.strReportPath);
    return out;
}

const Fault* CEmulatedDrive::FindFault(FaultPoint ePoint, DWORD dwBlock, DWORD dwAttempt) const {
    for (const Fault& f : m_config.faults) {
        if (f.ePoint != ePoint || (ePoint == FaultPoint::kBlock && f.dwBlock != dwBlock)) continue;
        if (dwAttempt < f.dwFirstAttempt) continue;
        if (f.dwAttempts != Fault::kEveryAttempt && dwAttempt - f.dwFirstAttempt >= f.dwAttempts) continue;
        return &f;
    }
    return nullptr;
}

std::vector<BYTE> CEmulatedDrive::ReceivedImage() const {
    return std::vector<BYTE>(m_buffer.begin() + kHeaderSize, m_buffer.begin() + m_dwHighWater);
}

std::vector<BYTE> CEmulatedDrive::Firmware() const {
    const std::vector<BYTE>& from = m_bFirmwareInBuffer ? m_buffer : m_firmware;
    if (from.size() < m_dwFirmwareEnd) return {};
    return std::vector<BYTE>(from.begin() + kHeaderSize, from.begin() + m_dwFirmwareEnd);
}

WORD CEmulatedDrive::HeaderSum() const {
    return static_cast<WORD>((m_buffer[30] << 8) | m_buffer[31]);
}

std::string CEmulatedDrive::ReportImagePath(const std::string& strPath) {
    const std::string ext = ".txt";
    if (strPath.size() >= ext.size() && strPath.compare(strPath.size() - ext.size(), ext.size(), ext) == 0)
        return strPath.substr(0, strPath.size() - ext.size()) + ".bin";
    return strPath + ".bin";
}

bool CEmulatedDrive::WriteReport(const std::string& strPath) const {
    FILE* fp = std::fopen(strPath.c_str(), "w");
    if (!fp) return false;
    std::fprintf(fp, "KESTREL emulated drive report\n");
    std::fprintf(fp, "commands: %zu\n", m_commands.size());
    size_t n = 0;
    for (const CommandRecord& r : m_commands) {
        std::fprintf(fp, "%zu: cdb", ++n);
        for (BYTE i = 0; i < r.byCdbLen; ++i) std::fprintf(fp, " %02X", r.abyCdb[i]);
        std::fprintf(fp, " | %s %lu | ", DirectionText(r.eDirection), static_cast<unsigned long>(r.dwDataLen));
        if (r.byStatus == kStatusGood)
            std::fprintf(fp, "GOOD\n");
        else
            std::fprintf(fp, "CHECK CONDITION %02X/%02X/%02X\n", r.bySenseKey, r.byAsc, r.byAscq);
    }
    std::vector<BYTE> image = ReceivedImage();
    std::fprintf(fp, "image bytes: %zu\n", image.size());
    std::fprintf(fp, "blocks received: %lu\n", static_cast<unsigned long>(m_dwBlocksReceived));
    std::fprintf(fp, "header sum: %04X%s\n", HeaderSum(), m_bHeaderReceived ? "" : " (no header received)");
    std::fprintf(fp, "drive sum: %04X\n", m_wSum);
    std::fprintf(fp, "commit: %s\n", CommitText(m_eCommit));
    std::fprintf(fp, "identity: %s|%s|%s\n", m_strVendor.c_str(), m_strProduct.c_str(), m_strRevision.c_str());
    bool bOk = std::fclose(fp) == 0;

    FILE* fpImage = std::fopen(ReportImagePath(strPath).c_str(), "wb");
    if (!fpImage) return false;
    if (!image.empty() && std::fwrite(image.data(), 1, image.size(), fpImage) != image.size()) bOk = false;
    return std::fclose(fpImage) == 0 && bOk;
}

}  // namespace emu
