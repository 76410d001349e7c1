// Host stand-in for the platform seam: real memory, a replaceable wait, and an
// in-process registry of drive devices and ASPI libraries.
#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "platform/host_seam.h"

namespace {

struct PageBlock {
    size_t cb;
};

struct DeviceHandle {
    hostseam::Device* pDevice;
};

struct Library {
    hostseam::GetSupportInfoFn pfnGetSupportInfo;
    hostseam::SendCommandFn pfnSendCommand;
};

struct LibraryHandle {
    Library lib;
};

struct Event {
    std::mutex mtx;
    std::condition_variable cv;
    bool bSignalled;
    bool bManualReset;
};

// The registry. Device and event handles are told apart by their own maps.
struct Registry {
    std::mutex mtx;
    std::map<char, hostseam::Device*> devices;
    std::map<std::string, Library> libraries;
    std::map<HANDLE, DeviceHandle*> openDevices;
    std::map<HANDLE, Event*> events;
    std::map<HMODULE, LibraryHandle*> openLibraries;
    std::map<void*, PageBlock> pages;
    std::vector<hostseam::MessageBoxCall> messageBoxes;
    std::vector<char> openAttempts;
    PlatWaitHook pfnWait = nullptr;
    PlatMessageBoxHook pfnMessageBox = nullptr;
    bool bFailHeapAlloc = false;
    bool bFailCreateEvent = false;
};

Registry& Reg() {
    static Registry reg;
    return reg;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

void* PlatAllocPages(size_t cb) {
    void* p = mmap(nullptr, cb, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    std::lock_guard<std::mutex> lock(Reg().mtx);
    Reg().pages[p] = PageBlock{cb};
    return p;
}

BOOL PlatLockPages(void* p, size_t cb) {
    // Locking is best effort here: an unprivileged process may be refused,
    // which the Windows build never is for 1 MB.
    mlock(p, cb);
    return TRUE;
}

BOOL PlatUnlockPages(void* p, size_t cb) {
    munlock(p, cb);
    return TRUE;
}

void PlatFreePages(void* p) {
    if (!p) return;
    size_t cb = 0;
    {
        std::lock_guard<std::mutex> lock(Reg().mtx);
        auto it = Reg().pages.find(p);
        if (it == Reg().pages.end()) std::abort();  // not ours, or released twice
        cb = it->second.cb;
        Reg().pages.erase(it);
    }
    munmap(p, cb);
}

void* PlatHeapAlloc(size_t cb, BOOL bZero) {
    if (Reg().bFailHeapAlloc) return nullptr;
    return bZero ? std::calloc(1, cb ? cb : 1) : std::malloc(cb ? cb : 1);
}

void PlatHeapFree(void* p) { std::free(p); }

void PlatSleep(DWORD ms) {
    PlatWaitHook hook = Reg().pfnWait;
    if (hook) {
        hook(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

PlatWaitHook PlatSetWaitHook(PlatWaitHook hook) {
    PlatWaitHook old = Reg().pfnWait;
    Reg().pfnWait = hook;
    return old;
}

HANDLE PlatOpenDrive(char chLetter) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mtx);
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(chLetter)));
    reg.openAttempts.push_back(c);
    auto it = reg.devices.find(c);
    if (it == reg.devices.end()) return INVALID_HANDLE_VALUE;
    auto* h = new DeviceHandle{it->second};
    reg.openDevices[h] = h;
    return h;
}

BOOL PlatDeviceIoControl(HANDLE h, DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                         DWORD* pcbReturned) {
    hostseam::Device* pDevice = nullptr;
    {
        std::lock_guard<std::mutex> lock(Reg().mtx);
        auto it = Reg().openDevices.find(h);
        if (it == Reg().openDevices.end()) return FALSE;
        pDevice = it->second->pDevice;
    }
    DWORD cbDummy = 0;
    return pDevice->IoControl(dwCode, pIn, cbIn, pOut, cbOut, pcbReturned ? pcbReturned : &cbDummy);
}

BOOL PlatCloseHandle(HANDLE h) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mtx);
    auto dev = reg.openDevices.find(h);
    if (dev != reg.openDevices.end()) {
        delete dev->second;
        reg.openDevices.erase(dev);
        return TRUE;
    }
    auto ev = reg.events.find(h);
    if (ev != reg.events.end()) {
        delete ev->second;
        reg.events.erase(ev);
        return TRUE;
    }
    return FALSE;
}

HANDLE PlatCreateEvent(BOOL bManualReset, BOOL bInitialState) {
    if (Reg().bFailCreateEvent) return nullptr;
    auto* e = new Event;
    e->bSignalled = bInitialState != 0;
    e->bManualReset = bManualReset != 0;
    std::lock_guard<std::mutex> lock(Reg().mtx);
    Reg().events[e] = e;
    return e;
}

namespace {
Event* FindEvent(HANDLE h) {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    auto it = Reg().events.find(h);
    return it == Reg().events.end() ? nullptr : it->second;
}
}  // namespace

BOOL PlatSetEvent(HANDLE h) {
    Event* e = FindEvent(h);
    if (!e) return FALSE;
    // Notified under the lock: a waiter that wakes may close the event at
    // once, so the setter must be done with it before the lock is released.
    std::lock_guard<std::mutex> lock(e->mtx);
    e->bSignalled = true;
    e->cv.notify_all();
    return TRUE;
}

BOOL PlatResetEvent(HANDLE h) {
    Event* e = FindEvent(h);
    if (!e) return FALSE;
    std::lock_guard<std::mutex> lock(e->mtx);
    e->bSignalled = false;
    return TRUE;
}

DWORD PlatWaitForEvent(HANDLE h, DWORD ms) {
    Event* e = FindEvent(h);
    if (!e) return WAIT_FAILED;
    std::unique_lock<std::mutex> lock(e->mtx);
    auto ready = [e] { return e->bSignalled; };
    if (ms == INFINITE) {
        e->cv.wait(lock, ready);
    } else if (!e->cv.wait_for(lock, std::chrono::milliseconds(ms), ready)) {
        return WAIT_TIMEOUT;
    }
    if (!e->bManualReset) e->bSignalled = false;
    return WAIT_OBJECT_0;
}

HMODULE PlatLoadLibrary(const char* pszName) {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mtx);
    auto it = reg.libraries.find(Lower(pszName));
    if (it == reg.libraries.end()) return nullptr;
    auto* h = new LibraryHandle{it->second};
    HMODULE hm = reinterpret_cast<HMODULE>(h);
    reg.openLibraries[hm] = h;
    return hm;
}

void* PlatGetProcAddress(HMODULE hModule, const char* pszName) {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    auto it = Reg().openLibraries.find(hModule);
    if (it == Reg().openLibraries.end()) return nullptr;
    const Library& lib = it->second->lib;
    if (std::strcmp(pszName, "GetASPI32SupportInfo") == 0)
        return reinterpret_cast<void*>(lib.pfnGetSupportInfo);
    if (std::strcmp(pszName, "SendASPI32Command") == 0)
        return reinterpret_cast<void*>(lib.pfnSendCommand);
    return nullptr;
}

BOOL PlatFreeLibrary(HMODULE hModule) {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    auto it = Reg().openLibraries.find(hModule);
    if (it == Reg().openLibraries.end()) return FALSE;
    delete it->second;
    Reg().openLibraries.erase(it);
    return TRUE;
}

int PlatMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uType) {
    PlatMessageBoxHook hook = nullptr;
    {
        std::lock_guard<std::mutex> lock(Reg().mtx);
        Reg().messageBoxes.push_back({hOwner, pszText ? pszText : "", pszCaption ? pszCaption : "", uType});
        hook = Reg().pfnMessageBox;
    }
    // Without a hook the host answers as a user pressing the first button.
    return hook ? hook(hOwner, pszText, pszCaption, uType) : IDOK;
}

PlatMessageBoxHook PlatSetMessageBoxHook(PlatMessageBoxHook hook) {
    PlatMessageBoxHook old = Reg().pfnMessageBox;
    Reg().pfnMessageBox = hook;
    return old;
}

namespace hostseam {

void AttachDevice(char chLetter, Device* pDevice) {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    Reg().devices[static_cast<char>(std::tolower(static_cast<unsigned char>(chLetter)))] = pDevice;
}

void AttachLibrary(const std::string& strName, GetSupportInfoFn pfnGetSupportInfo,
                   SendCommandFn pfnSendCommand) {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    Reg().libraries[Lower(strName)] = Library{pfnGetSupportInfo, pfnSendCommand};
}

const std::vector<MessageBoxCall>& MessageBoxes() { return Reg().messageBoxes; }
const std::vector<char>& OpenAttempts() { return Reg().openAttempts; }

int OpenDeviceHandles() {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    return static_cast<int>(Reg().openDevices.size());
}

int LoadedLibraries() {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    return static_cast<int>(Reg().openLibraries.size());
}

int AllocatedPageBlocks() {
    std::lock_guard<std::mutex> lock(Reg().mtx);
    return static_cast<int>(Reg().pages.size());
}

void Reset() {
    Registry& reg = Reg();
    std::lock_guard<std::mutex> lock(reg.mtx);
    reg.devices.clear();
    reg.libraries.clear();
    for (auto& d : reg.openDevices) delete d.second;
    reg.openDevices.clear();
    for (auto& e : reg.events) delete e.second;
    reg.events.clear();
    for (auto& l : reg.openLibraries) delete l.second;
    reg.openLibraries.clear();
    reg.messageBoxes.clear();
    reg.openAttempts.clear();
    reg.pfnWait = nullptr;
    reg.pfnMessageBox = nullptr;
    reg.bFailHeapAlloc = false;
    reg.bFailCreateEvent = false;
}

void FailHeapAlloc(bool bFail) { Reg().bFailHeapAlloc = bFail; }
void FailCreateEvent(bool bFail) { Reg().bFailCreateEvent = bFail; }

}  // namespace hostseam
