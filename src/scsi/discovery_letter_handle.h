// A drive letter's device handle during discovery: closed when the scan of
// that letter ends, unless a record took it (Keep), in which case the records
// own it until fgUnloadAspi.
#pragma once

#include "platform/platform.h"

class CDiscoveryLetterHandle {
public:
    explicit CDiscoveryLetterHandle(char chLetter) : m_hDevice(PlatOpenDrive(chLetter)) {}
    ~CDiscoveryLetterHandle() {
        if (IsOpen() && !m_bKept) PlatCloseHandle(m_hDevice);
    }
    CDiscoveryLetterHandle(const CDiscoveryLetterHandle&) = delete;
    CDiscoveryLetterHandle& operator=(const CDiscoveryLetterHandle&) = delete;

    bool IsOpen() const { return m_hDevice != INVALID_HANDLE_VALUE && m_hDevice != nullptr; }
    HANDLE Get() const { return m_hDevice; }
    // A record now holds the handle: it stays open past this object.
    void Keep() { m_bKept = true; }

private:
    HANDLE m_hDevice;
    bool m_bKept = false;
};
