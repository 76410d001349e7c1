// The in-process face of the emulated drive (host only): one SCSI adapter
// holding emulated drives, registered with the host platform seam as drive
// letters' pass-through devices. Together with InstallAspi (aspi_face.h) one
// emulated drive serves both transport branches of the unchanged program.
#pragma once

#include <memory>
#include <vector>

#include "emulator/model/emulated_drive.h"
#include "platform/host_seam.h"

namespace emu {

struct AdapterConfig {
    BYTE byPathId = 0;               // PathId in the NT adapter inquiry list
    WORD wAlignMask = 0;             // ASPI HA_Unique 0-1; NT capabilities AlignmentMask
    BYTE byMaxTargets = 8;           // ASPI HA_Unique 3 (0 is a legal answer)
    DWORD dwMaxTransfer = 0x10000;   // ASPI HA_Unique 4-7; NT MaximumTransferLength
    bool bFailInquiryData = false;   // IOCTL_SCSI_GET_INQUIRY_DATA fails
    bool bFailCapabilities = false;  // IOCTL_SCSI_GET_CAPABILITIES fails
};

class CInProcessAdapter {
public:
    explicit CInProcessAdapter(const AdapterConfig& config);
    ~CInProcessAdapter();
    CInProcessAdapter(const CInProcessAdapter&) = delete;
    CInProcessAdapter& operator=(const CInProcessAdapter&) = delete;

    // Puts a drive on the adapter at its DriveConfig::byTargetId, LUN 0. Not
    // owned; it must outlive the adapter's registrations. The adapter inquiry
    // list and ASPI list drives in the order added.
    void AddDrive(CEmulatedDrive* pDrive);

    // Makes \\.\x: open a pass-through device of pDrive (added above) that
    // answers, through PlatDeviceIoControl:
    //   IOCTL_SCSI_PASS_THROUGH_DIRECT  the drive runs the request's CDB and
    //       data; PathId/TargetId/Lun are ignored, as a class driver fills
    //       them in itself. ScsiStatus, DataTransferLength and (on CHECK
    //       CONDITION) up to SenseInfoLength sense bytes at SenseInfoOffset are
    //       written to the output block. Fails for an input shorter than the
    //       structure, a wrong Length, or a CDB longer than 16.
    //   IOCTL_SCSI_GET_INQUIRY_DATA     one bus listing every drive of this
    //       adapter (36 bytes of inquiry data each); fails when cbOut is short.
    //   IOCTL_SCSI_GET_CAPABILITIES     the adapter's limits (24 bytes).
    // Several letters may serve the same drive or drives of the same adapter.
    void AttachLetter(char chLetter, CEmulatedDrive* pDrive);

    const AdapterConfig& Config() const { return m_config; }
    const std::vector<CEmulatedDrive*>& Drives() const { return m_drives; }
    // The drive at this target id, or null.
    CEmulatedDrive* FindTarget(BYTE byTargetId) const;

    // Answers a pass-through or inquiry-list request for pDrive (used by the
    // letter devices; public so a test can drive it without a letter).
    BOOL IoControl(CEmulatedDrive* pDrive, DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                   DWORD* pcbReturned);

private:
    class CLetterDevice;
    BOOL PassThrough(CEmulatedDrive* pDrive, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                     DWORD* pcbReturned);
    BOOL InquiryList(void* pOut, DWORD cbOut, DWORD* pcbReturned);
    BOOL Capabilities(void* pOut, DWORD cbOut, DWORD* pcbReturned);

    AdapterConfig m_config;
    std::vector<CEmulatedDrive*> m_drives;
    std::vector<std::unique_ptr<CLetterDevice>> m_letters;
};

}  // namespace emu
