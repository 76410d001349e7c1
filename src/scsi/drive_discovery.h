// Finding the CD/DVD drives the program can reach: ASPI on the 9x family, the
// adapter inquiry list on NT 4 and older, an INQUIRY of its own to every drive
// letter on NT 5 and later. Plain functions over the main dialog's drive table,
// so the same code runs in the program and in the host tests.
#pragma once

#include "platform/win_types.h"
#include "scsi/drive_info.h"

// The main dialog's members that discovery reads and fills. The dialog owns
// one and passes it by reference; nothing here keeps a pointer to it.
struct DRIVE_TABLE {
    enum { kMaxDrives = 8 };
    BYTE m_bNT;                          // 1 on the NT family (selects the transport)
    BYTE m_bNT4;                         // NT major version 4 or lower; read only when m_bNT
    HMODULE m_hAspiDll;                  // WNASPI32 once loaded, else null
    DRIVE_INFO* m_pDrives[kMaxDrives];   // records in the order found; live until teardown
    int m_nDrives;                       // records in m_pDrives
};

// 9x family: loads WNASPI32 and its two entry points into the process-wide
// g_pfnGetASPI32SupportInfo / g_pfnSendASPI32Command. Message boxes owned by
// hOwner on failure. 1 when ASPI is ready or not needed (NT), 0 after a message.
BYTE fgLoadAspi(DRIVE_TABLE& table, HWND hOwner);

// Sets m_nDrives to 0, then fills the table by the path the OS flags choose.
// Stops recording at kMaxDrives.
void ScanDrives(DRIVE_TABLE& table);

// Teardown: closes the records' device handles (each distinct handle once) and
// unloads WNASPI32 if it is loaded. Always 1.
BYTE fgUnloadAspi(DRIVE_TABLE& table);
