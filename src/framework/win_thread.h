// CWinThread and AfxBeginThread: a worker thread started with one function and one
// argument. Uses _beginthreadex (CreateThread with the C run-time's per-thread
// set-up), which Windows 98 and NT 4.0 both have; no std::thread.
#pragma once

#include <windows.h>

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();  // closes the thread handle
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Creates the thread (suspended when dwCreateFlags has CREATE_SUSPENDED).
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
    BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

    HANDLE m_hThread = nullptr;
    UINT m_nThreadID = 0;
    // TRUE (the default): the object deletes itself when the thread function returns.
    BOOL m_bAutoDelete = TRUE;

private:
    static unsigned __stdcall ThreadEntry(void* pThis);
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Starts pfnThreadProc(pParam) on a new thread with that priority, stack size
// (0: the program's default), creation flags (0 runs at once) and security.
// Answers the thread object, which deletes itself when the thread ends, so a
// caller that does not ask for CREATE_SUSPENDED must not use it afterwards (with
// CREATE_SUSPENDED it stays valid until ResumeThread). NULL when no thread started.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
