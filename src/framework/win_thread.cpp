#include "framework/win_thread.h"

#include <process.h>

#include <new>

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread) ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread || !m_pfnThreadProc) return FALSE;
    // Always start suspended so the handle and id are stored before the thread can
    // run (and, with m_bAutoDelete, delete this object).
    unsigned id = 0;
    uintptr_t h = ::_beginthreadex(lpSecurityAttrs, nStackSize, &CWinThread::ThreadEntry, this,
                                   CREATE_SUSPENDED, &id);
    if (!h) return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(h);
    m_nThreadID = id;
    if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
    return TRUE;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pThis)
{
    CWinThread* pThread = static_cast<CWinThread*>(pThis);
    UINT nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    if (pThread->m_bAutoDelete) delete pThread;
    return nResult;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pfnThreadProc) return nullptr;
    CWinThread* pThread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (!pThread) return nullptr;
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete pThread;
        return nullptr;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) {
        // From here on the thread owns the object.
        ::ResumeThread(pThread->m_hThread);
    }
    return pThread;
}
