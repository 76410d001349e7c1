#include "scsi/drive_discovery.h"

#include "platform/platform.h"
#include "scsi/aspi_layout.h"
#include "scsi/discovery_paths.h"

namespace {

const char kAspiLibrary[] = "WNASPI32";

}  // namespace

BYTE fgLoadAspi(DRIVE_TABLE& table, HWND hOwner) {
    if (table.m_bNT) return 1;  // the NT family reaches drives by pass-through

    table.m_hAspiDll = PlatLoadLibrary(kAspiLibrary);
    if (!table.m_hAspiDll) {
        PlatMessageBox(hOwner, "No find the dynamic library!!", "Error!!", MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    void* pfnSupport = PlatGetProcAddress(table.m_hAspiDll, "GetASPI32SupportInfo");
    void* pfnSend = PlatGetProcAddress(table.m_hAspiDll, "SendASPI32Command");
    if (!pfnSupport || !pfnSend) {
        // Keep neither half of a broken pair, so nothing can call into a
        // library that is only partly there. The library itself stays loaded
        // until teardown.
        g_pfnGetASPI32SupportInfo = nullptr;
        g_pfnSendASPI32Command = nullptr;
        PlatMessageBox(hOwner, "Cannot Load Dynamic Library!!!", "Error!", MB_OKCANCEL);
        return 0;
    }
    g_pfnGetASPI32SupportInfo = reinterpret_cast<PFN_GetASPI32SupportInfo>(pfnSupport);
    g_pfnSendASPI32Command = reinterpret_cast<PFN_SendASPI32Command>(pfnSend);
    return 1;
}

void ScanDrives(DRIVE_TABLE& table) {
    table.m_nDrives = 0;
    if (!table.m_bNT) {
        ScanAspiAdapters(table);
    } else if (table.m_bNT4) {
        ScanAdapterInquiryLists(table);
    } else {
        ScanLettersByInquiry(table);
    }
}

BYTE fgUnloadAspi(DRIVE_TABLE& table) {
    // On NT 4 several records share one letter's handle: close each distinct
    // handle once, and clear it in every record that holds it so a second
    // teardown cannot close it again.
    for (int i = 0; i < table.m_nDrives; ++i) {
        DRIVE_INFO* pDrive = table.m_pDrives[i];
        if (!pDrive) continue;
        HANDLE h = pDrive->hDevice;
        if (!h || h == INVALID_HANDLE_VALUE) continue;
        PlatCloseHandle(h);
        for (int j = i; j < table.m_nDrives; ++j) {
            if (table.m_pDrives[j] && table.m_pDrives[j]->hDevice == h) table.m_pDrives[j]->hDevice = nullptr;
        }
    }

    if (table.m_hAspiDll) {
        // The entry points lived in the library; forget them with it.
        g_pfnGetASPI32SupportInfo = nullptr;
        g_pfnSendASPI32Command = nullptr;
        PlatFreeLibrary(table.m_hAspiDll);
        table.m_hAspiDll = nullptr;
    }
    return 1;
}
