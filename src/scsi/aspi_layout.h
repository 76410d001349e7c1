// ASPI for Win32 request blocks, written from the published layout. Byte
// packed, as the ASPI layer expects; on 32-bit Windows the sizes and offsets
// below are fixed (checked at compile time in the i686 build). On win64 the
// pointer fields widen and the rest follows in order; our program and our
// WNASPI32.DLL are built from this one header, so both sides agree.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

// Commands
#define SC_HA_INQUIRY 0x00
#define SC_GET_DEV_TYPE 0x01
#define SC_EXEC_SCSI_CMD 0x02

// Status
#define SS_PENDING 0x00
#define SS_COMP 0x01
#define SS_ABORTED 0x02
#define SS_ERR 0x04
#define SS_INVALID_CMD 0x80
#define SS_INVALID_HA 0x81
#define SS_NO_DEVICE 0x82

// Flags (SRB_DIR_IN / SRB_DIR_OUT are in scsi_transport.h)
#define SRB_POSTING 0x01
#define SRB_ENABLE_RESIDUAL_COUNT 0x04
#define SRB_EVENT_NOTIFY 0x40

#define ASPI_SENSE_LEN 14

#pragma pack(push, 1)

struct SRB_Header {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
};

struct SRB_HAInquiry {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE HA_Count;
    BYTE HA_SCSI_ID;
    BYTE HA_ManagerId[16];
    BYTE HA_Identifier[16];
    BYTE HA_Unique[16];  // 0-1 alignment mask, 2 flags, 3 max targets, 4-7 max transfer
    WORD HA_Rsvd1;
};

struct SRB_GDEVBlock {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    BYTE SRB_DeviceType;
    BYTE SRB_Rsvd1;
};

struct SRB_ExecSCSICmd {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    WORD SRB_Rsvd1;
    DWORD SRB_BufLen;
    BYTE* SRB_BufPointer;
    BYTE SRB_SenseLen;
    BYTE SRB_CDBLen;
    BYTE SRB_HaStat;
    BYTE SRB_TargStat;
    void* SRB_PostProc;  // with SRB_EVENT_NOTIFY: the event to signal
    BYTE SRB_Rsvd2[20];
    BYTE CDBByte[16];
    BYTE SenseArea[ASPI_SENSE_LEN + 2];
};

#pragma pack(pop)

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SRB_Header) == 8, "SRB header is 8 bytes");
static_assert(sizeof(SRB_HAInquiry) == 60, "SRB_HAInquiry is 60 bytes");
static_assert(offsetof(SRB_HAInquiry, HA_Count) == 8, "HA_Count at 8");
static_assert(offsetof(SRB_HAInquiry, HA_ManagerId) == 10, "HA_ManagerId at 10");
static_assert(offsetof(SRB_HAInquiry, HA_Identifier) == 26, "HA_Identifier at 26");
static_assert(offsetof(SRB_HAInquiry, HA_Unique) == 42, "HA_Unique at 42");
static_assert(sizeof(SRB_GDEVBlock) == 12, "SRB_GDEVBlock is 12 bytes");
static_assert(offsetof(SRB_GDEVBlock, SRB_DeviceType) == 10, "SRB_DeviceType at 10");
static_assert(sizeof(SRB_ExecSCSICmd) == 80, "SRB_ExecSCSICmd is 80 bytes");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Target) == 8, "SRB_Target at 8");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufLen) == 12, "SRB_BufLen at 12");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16, "SRB_BufPointer at 16");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_SenseLen) == 20, "SRB_SenseLen at 20");
static_assert(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 24, "SRB_PostProc at 24");
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 48, "CDBByte at 48");
static_assert(offsetof(SRB_ExecSCSICmd, SenseArea) == 64, "SenseArea at 64");
#endif

// The two entry points of WNASPI32, as the library exports them (cdecl).
typedef DWORD (*PFN_GetASPI32SupportInfo)(void);
typedef DWORD (*PFN_SendASPI32Command)(void* pSrb);

// Process-wide: set by fgLoadAspi, used by discovery and the transport.
extern PFN_GetASPI32SupportInfo g_pfnGetASPI32SupportInfo;
extern PFN_SendASPI32Command g_pfnSendASPI32Command;
