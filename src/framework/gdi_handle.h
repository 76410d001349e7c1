// CGdiHandle<T>: sole owner of one GDI object (HFONT, HBRUSH, HBITMAP, HPEN, HRGN).
// The object is deleted when the owner is destroyed or given another handle.
// It must not be selected into any device context by then: select it through
// CSelectGuard, whose lifetime is shorter than the owner's.
#pragma once

#include <windows.h>

template <typename T>
class CGdiHandle {
public:
    CGdiHandle() = default;
    explicit CGdiHandle(T h) : m_handle(h) {}
    ~CGdiHandle() { DeleteObject(); }
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;
    CGdiHandle(CGdiHandle&& other) noexcept : m_handle(other.Detach()) {}
    CGdiHandle& operator=(CGdiHandle&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }

    T GetSafeHandle() const { return m_handle; }
    operator T() const { return m_handle; }
    // Takes ownership of h; a previous object is deleted first.
    void Attach(T h) {
        DeleteObject();
        m_handle = h;
    }
    // Gives up ownership without deleting.
    T Detach() {
        T h = m_handle;
        m_handle = nullptr;
        return h;
    }
    // Deletes the object now; TRUE when there was none or it was deleted.
    BOOL DeleteObject() {
        if (!m_handle) return TRUE;
        BOOL ok = ::DeleteObject(m_handle);
        m_handle = nullptr;
        return ok;
    }

protected:
    T m_handle = nullptr;
};
