// Windows NT SCSI pass-through structures and control codes, written from the
// driver kit's published layout (natural alignment). The i686 build checks
// the 32-bit sizes and offsets at compile time; on win64 the pointer field
// widens and the offsets follow, which is why code uses sizeof/offsetof.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

// CTL_CODE(IOCTL_SCSI_BASE, function, METHOD_BUFFERED, access)
#define KESTREL_SCSI_CTL_CODE(fn, access) ((0x00000004u << 16) | ((access) << 14) | ((fn) << 2))
#define IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE KESTREL_SCSI_CTL_CODE(0x0405u, 3u)  // 0x4D014
#define IOCTL_SCSI_GET_INQUIRY_DATA_CODE KESTREL_SCSI_CTL_CODE(0x0403u, 0u)     // 0x4100C
#define IOCTL_SCSI_GET_CAPABILITIES_CODE KESTREL_SCSI_CTL_CODE(0x0404u, 0u)     // 0x41010

#define SCSI_IOCTL_DATA_OUT 0
#define SCSI_IOCTL_DATA_IN 1
#define SCSI_IOCTL_DATA_UNSPECIFIED 2

struct SCSI_PASS_THROUGH_DIRECT {
    USHORT Length;
    UCHAR ScsiStatus;
    UCHAR PathId;
    UCHAR TargetId;
    UCHAR Lun;
    UCHAR CdbLength;
    UCHAR SenseInfoLength;
    UCHAR DataIn;
    ULONG DataTransferLength;
    ULONG TimeOutValue;
    PVOID DataBuffer;
    ULONG SenseInfoOffset;
    UCHAR Cdb[16];
};

// The request block the program sends: the structure, a filler and the sense
// area the driver fills on failure.
struct SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG Filler;
    UCHAR ucSenseBuf[32];
};

struct SCSI_BUS_DATA {
    UCHAR NumberOfLogicalUnits;
    UCHAR InitiatorBusId;
    ULONG InquiryDataOffset;
};

struct SCSI_ADAPTER_BUS_INFO {
    UCHAR NumberOfBuses;
    SCSI_BUS_DATA BusData[1];
};

struct SCSI_INQUIRY_DATA {
    UCHAR PathId;
    UCHAR TargetId;
    UCHAR Lun;
    BOOLEAN DeviceClaimed;
    ULONG InquiryDataLength;
    ULONG NextInquiryDataOffset;
    UCHAR InquiryData[1];
};

struct IO_SCSI_CAPABILITIES {
    ULONG Length;
    ULONG MaximumTransferLength;
    ULONG MaximumPhysicalPages;
    ULONG SupportedAsynchronousEvents;
    ULONG AlignmentMask;
    BOOLEAN TaggedQueuing;
    BOOLEAN AdapterScansDown;
    BOOLEAN AdapterUsesPio;
};

static_assert(offsetof(SCSI_BUS_DATA, InquiryDataOffset) == 4, "InquiryDataOffset at 4");
static_assert(sizeof(SCSI_BUS_DATA) == 8, "SCSI_BUS_DATA is 8 bytes");
static_assert(offsetof(SCSI_ADAPTER_BUS_INFO, BusData) == 4, "BusData at 4");
static_assert(offsetof(SCSI_INQUIRY_DATA, NextInquiryDataOffset) == 8, "NextInquiryDataOffset at 8");
static_assert(offsetof(SCSI_INQUIRY_DATA, InquiryData) == 12, "InquiryData at 12");
static_assert(sizeof(IO_SCSI_CAPABILITIES) == 24, "IO_SCSI_CAPABILITIES is 24 bytes");

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT) == 44, "SCSI_PASS_THROUGH_DIRECT is 44 bytes");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == 12, "DataTransferLength at 12");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 20, "DataBuffer at 20");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == 24, "SenseInfoOffset at 24");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 28, "Cdb at 28");
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER, ucSenseBuf) == 48, "sense area at 48");
static_assert(sizeof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER) == 80, "request block is 80 bytes");
#endif
