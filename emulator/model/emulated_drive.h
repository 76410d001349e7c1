// The emulated optical drive: a portable SCSI model of one CD/DVD drive, as far
// as this program and a careful user need it. It knows nothing of transports:
// a face (the in-process face for host tests, WNASPI32.DLL on Windows) decodes
// its own request block, calls Execute with the CDB, the direction and the
// data buffer, and writes the outcome back in its own terms.
//
// What the drive answers:
//   12h INQUIRY          standard data (96 bytes) cut to the allocation length
//                        (CDB byte 4) and to the buffer; byte 0 is the
//                        configured peripheral byte, vendor at 8 (8 chars),
//                        product at 16 (16), revision at 32 (4), blank padded.
//   00h TEST UNIT READY  GOOD, or NOT READY while the drive reprograms itself.
//   95h 22h (vendor)     32 bytes of data: vendor, product, revision, zeros.
//   3Bh WRITE BUFFER     mode 06h: CDB bytes 3..5 are the buffer offset, 6..8
//                        the parameter list length (both big-endian). Offset 0,
//                        32 bytes is the header; image byte k lives at 32 + k.
//                        Every payload byte stored at offset >= 32 is added to
//                        the drive's 16-bit sum, repeats included. A write
//                        outside the drive buffer, or with less data than the
//                        list length, is refused (ILLEGAL REQUEST) and stores
//                        nothing.
//                        mode 07h: commit. Header bytes 30, 31 (high first)
//                        must equal the drive's sum, else CHECK CONDITION
//                        (ILLEGAL REQUEST, 26h/00h). On success the drive
//                        takes the received image as its firmware, its
//                        revision becomes strRevisionAfterCommit (when set),
//                        and it is NOT READY for dwNotReadyMs by its clock.
//   anything else        CHECK CONDITION, ILLEGAL REQUEST 20h/00h.
// A commit, accepted or not, ends the download: the next image block starts a
// new one (sum, received image and header start over).
// While NOT READY every command, INQUIRY included, answers CHECK CONDITION
// 02h/04h/01h: the drive is busy reprogramming its flash and does not answer.
//
// Sense data is fixed format (18 bytes): byte 0 = 70h, byte 2 = sense key,
// byte 7 = 10 (additional length), byte 12 = ASC, byte 13 = ASCQ.
//
// Not thread-safe: a face serialises commands (the program never has two in
// flight). The configuration is plain data with one value per field, so a face
// can read it from a simple "key = value" text file; this header does not
// parse text (the WNASPI32.DLL face owns its file format).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace emu {

// How an ASPI face completes SC_EXEC_SCSI_CMD: at once (SS_COMP / SS_ERR
// returned by SendASPI32Command), or SS_PENDING with the request's event
// signalled later from another thread. The model itself ignores it; faces read it.
enum class AspiCompletion { kImmediate, kPending };

// Where a fault is injected.
enum class FaultPoint {
    kBlock,    // WRITE BUFFER 06h at offset >= 32; dwBlock = (offset - 32) / 4096
    kHeader,   // WRITE BUFFER 06h at offset < 32
    kCommit,   // WRITE BUFFER 07h
    kInquiry,  // INQUIRY
};

// Fails attempts dwFirstAttempt .. dwFirstAttempt + dwAttempts - 1 (1-based,
// counted per block for kBlock, per point otherwise) with CHECK CONDITION and
// the given sense. A faulted block's data has already been received: it is
// stored and counted in the drive's sum, as the host counts it too. A faulted
// commit takes nothing. dwAttempts = kEveryAttempt fails every attempt from
// the first one on.
struct Fault {
    enum : DWORD { kEveryAttempt = 0xFFFFFFFFu };
    FaultPoint ePoint = FaultPoint::kBlock;
    DWORD dwBlock = 0;         // kBlock only
    DWORD dwFirstAttempt = 1;
    DWORD dwAttempts = 1;
    BYTE bySenseKey = 0x03;    // MEDIUM ERROR
    BYTE byAsc = 0x0C;         // WRITE ERROR
    BYTE byAscq = 0x00;
};

struct DriveConfig {
    BYTE byPeripheral = 0x05;             // INQUIRY byte 0; GET DEV TYPE answers its low 5 bits
    std::string strVendor = "KESTREL";    // blank padded / cut to 8
    std::string strProduct = "EMU DVD-RW";// blank padded / cut to 16
    std::string strRevision = "1.00";     // blank padded / cut to 4
    std::string strRevisionAfterCommit;   // revision after a successful commit; empty keeps it
    BYTE byHostId = 0;                    // address on its adapter (faces route by these)
    BYTE byTargetId = 0;
    DWORD dwBufferSize = 32 + 0x100000;   // drive buffer: header + 1 MB of image
    DWORD dwNotReadyMs = 0;               // NOT READY time after a successful commit
    AspiCompletion eAspiCompletion = AspiCompletion::kImmediate;
    DWORD dwAspiPendingDelayMs = 0;       // pending mode: real time before the event is set
    std::vector<Fault> faults;
    // When set, WriteReport(strReportPath) runs after every commit and when
    // the drive is destroyed.
    std::string strReportPath;
};

// Outcome of one command, as a transport reports it.
struct CommandOutcome {
    BYTE byStatus = 0;          // SCSI status: 0 GOOD, 2 CHECK CONDITION
    BYTE abySense[18] = {};     // fixed-format sense; all zero on GOOD
    DWORD dwDataTransferred = 0;
};

enum class DataDirection { kNone, kIn, kOut };

// One command as the drive saw it, for the report and for tests.
struct CommandRecord {
    BYTE abyCdb[16] = {};
    BYTE byCdbLen = 0;
    DataDirection eDirection = DataDirection::kNone;
    DWORD dwDataLen = 0;        // the host's buffer length
    BYTE byStatus = 0;
    BYTE bySenseKey = 0, byAsc = 0, byAscq = 0;
};

enum class CommitResult { kNone, kAccepted, kSumMismatch, kFaulted };

// Milliseconds from an arbitrary origin. Tests inject a fake clock so the
// NOT READY time passes without sleeping.
typedef std::function<uint64_t()> ClockFn;

class CEmulatedDrive {
public:
    explicit CEmulatedDrive(const DriveConfig& config);
    // Writes the report when strReportPath is set.
    ~CEmulatedDrive();

    CEmulatedDrive(const CEmulatedDrive&) = delete;
    CEmulatedDrive& operator=(const CEmulatedDrive&) = delete;

    // Carries out one command. pCdb holds byCdbLen (1..16) bytes. For kIn the
    // drive writes at most dwDataLen bytes to pData; for kOut it reads at most
    // dwDataLen bytes. pData may be null when dwDataLen is 0.
    CommandOutcome Execute(const BYTE* pCdb, BYTE byCdbLen, DataDirection eDirection, BYTE* pData,
                           DWORD dwDataLen);

    // Replaces the clock (default: a steady real-time clock).
    void SetClock(ClockFn fnClock);

    const DriveConfig& Config() const { return m_config; }

    // Current identity as INQUIRY reports it (padded to 8 / 16 / 4).
    std::string Vendor() const { return m_strVendor; }
    std::string Product() const { return m_strProduct; }
    std::string Revision() const { return m_strRevision; }
    // Standard INQUIRY data (96 bytes) of the current identity.
    std::vector<BYTE> InquiryData() const;

    // What the drive received.
    const std::vector<CommandRecord>& Commands() const { return m_commands; }
    // Image bytes stored so far: drive buffer from 32 up to the highest byte
    // written.
    std::vector<BYTE> ReceivedImage() const;
    DWORD BlocksReceived() const { return m_dwBlocksReceived; }  // mode 06h writes at >= 32 that stored data
    WORD DriveSum() const { return m_wSum; }                     // the drive's own 16-bit sum
    WORD HeaderSum() const;                                      // header bytes 30, 31 as received
    bool HeaderReceived() const { return m_bHeaderReceived; }
    CommitResult LastCommit() const { return m_eCommit; }
    std::vector<BYTE> Firmware() const;  // image taken at the last good commit

    // The report: a text file listing every command (CDB bytes in hex,
    // direction, length, outcome), then the image size, header sum, drive
    // sum, commit result and final identity; and the image bytes in a binary
    // file beside it (ReportImagePath). True when both were written.
    bool WriteReport(const std::string& strPath) const;
    // "x/report.txt" -> "x/report.bin"; a path without ".txt" gets ".bin" appended.
    static std::string ReportImagePath(const std::string& strPath);

private:
    CommandOutcome Inquiry(const BYTE* pCdb, BYTE* pData, DWORD dwDataLen);
    CommandOutcome VendorQuery(BYTE* pData, DWORD dwDataLen);
    CommandOutcome WriteBuffer(const BYTE* pCdb, DataDirection eDirection, const BYTE* pData,
                               DWORD dwDataLen);
    CommandOutcome Commit();
    // The fault configured for this attempt at this point, or null.
    const Fault* FindFault(FaultPoint ePoint, DWORD dwBlock, DWORD dwAttempt) const;
    bool NotReady() const;

    DriveConfig m_config;
    ClockFn m_fnClock;
    std::string m_strVendor, m_strProduct, m_strRevision;
    std::vector<BYTE> m_buffer;        // the drive buffer (dwBufferSize bytes)
    DWORD m_dwHighWater = 0;           // one past the highest image byte written (buffer offset)
    WORD m_wSum = 0;
    DWORD m_dwBlocksReceived = 0;
    bool m_bHeaderReceived = false;
    bool m_bDownloadEnded = false;     // a commit came; the next block starts afresh
    CommitResult m_eCommit = CommitResult::kNone;
    // The last good commit's image: buffer offsets 32 .. m_dwFirmwareEnd of
    // m_buffer until the next download begins, which moves that buffer here
    // (a commit copies nothing).
    std::vector<BYTE> m_firmware;
    DWORD m_dwFirmwareEnd = 0;
    bool m_bFirmwareInBuffer = false;
    bool m_bBusy = false;              // NOT READY window open
    uint64_t m_qwReadyAt = 0;          // clock value at which it closes
    std::vector<DWORD> m_blockAttempts;// per block index
    DWORD m_dwHeaderAttempts = 0, m_dwCommitAttempts = 0, m_dwInquiryAttempts = 0;
    std::vector<CommandRecord> m_commands;
};

}  // namespace emu
