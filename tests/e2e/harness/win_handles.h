// Owning wrappers for the few Win32 handles the harness holds, so every
// early return of a scenario releases them.
#pragma once

#include <windows.h>

namespace e2e {

// A kernel handle closed with CloseHandle.
class CHandle {
public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    ~CHandle() { Reset(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& o) noexcept : m_h(o.m_h) { o.m_h = nullptr; }
    CHandle& operator=(CHandle&& o) noexcept {
        if (this != &o) {
            Reset();
            m_h = o.m_h;
            o.m_h = nullptr;
        }
        return *this;
    }
    void Reset(HANDLE h = nullptr) {
        if (m_h && m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
        m_h = h;
    }
    HANDLE Get() const { return m_h; }
    explicit operator bool() const { return m_h && m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h = nullptr;
};

// A registry key closed with RegCloseKey.
class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() {
        if (m_h) RegCloseKey(m_h);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    HKEY* Out() { return &m_h; }
    HKEY Get() const { return m_h; }

private:
    HKEY m_h = nullptr;
};

// The screen's device context, released with ReleaseDC.
class CScreenDC {
public:
    CScreenDC() : m_h(GetDC(nullptr)) {}
    ~CScreenDC() {
        if (m_h) ReleaseDC(nullptr, m_h);
    }
    CScreenDC(const CScreenDC&) = delete;
    CScreenDC& operator=(const CScreenDC&) = delete;
    HDC Get() const { return m_h; }

private:
    HDC m_h;
};

// A memory device context, deleted with DeleteDC.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC hCompatible) : m_h(CreateCompatibleDC(hCompatible)) {}
    ~CMemoryDC() {
        if (m_h) DeleteDC(m_h);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    HDC Get() const { return m_h; }

private:
    HDC m_h;
};

// A GDI object, deleted with DeleteObject (after any selection guard on it has
// put the old object back, which declaration order takes care of).
class CGdiObject {
public:
    explicit CGdiObject(HGDIOBJ h) : m_h(h) {}
    ~CGdiObject() {
        if (m_h) DeleteObject(m_h);
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    HGDIOBJ Get() const { return m_h; }

private:
    HGDIOBJ m_h;
};

// Selects an object into a DC for the guard's lifetime.
class CSelectGuard {
public:
    CSelectGuard(HDC hdc, HGDIOBJ h) : m_hdc(hdc), m_hOld(SelectObject(hdc, h)) {}
    ~CSelectGuard() {
        if (m_hOld) SelectObject(m_hdc, m_hOld);
    }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};

}  // namespace e2e
