// Message maps. A class lists the messages and control notifications it handles
// between BEGIN_MSG_MAP(thisClass, baseClass) and END_MSG_MAP(); the macros expand
// into one function, ProcessWindowMessage, made of plain ifs in the listed order.
// The first entry that matches calls its typed handler, stores the handler's answer
// in lResult and ends the search; when nothing matches, END_MSG_MAP chains to the
// base class's map. A message no map handles gets the default processing
// (CWnd::DefWindowProc): the subclassed control's own procedure, DefWindowProcA for
// a created window, the dialog manager for a dialog.
//
// A handler that wants the default processing as well calls Default() (for a
// dialog the default then runs after the handler returns; see CDialog).
//
//   BEGIN_MSG_MAP(CUpgradeDlg, CDialog)
//       MSG_WM_SYSCOMMAND(OnSysCommand)
//       MSG_WM_PAINT(OnPaint)
//       BN_CLICKED_HANDLER(1015, OnUpgrade)
//       CBN_SELENDOK_HANDLER(1000, OnSelEndOkDrive)
//   END_MSG_MAP()
//
// Handler signatures (the entry decides how wParam and lParam are cracked):
//   MSG_WM_SYSCOMMAND       void f(UINT nID, LPARAM lParam)
//   MSG_WM_PAINT            void f()
//   MSG_WM_QUERYDRAGICON    HCURSOR f()
//   MSG_WM_DESTROY          void f()
//   MSG_WM_QUERYENDSESSION  BOOL f(UINT nSource, UINT uLogOff)
//   MSG_WM_TIMER            void f(UINT_PTR nIDEvent)
//   MSG_WM_ENABLE           void f(BOOL bEnable)
//   MSG_WM_ERASEBKGND       BOOL f(HDC hdc)
//   MSG_WM_LBUTTONDOWN      void f(UINT nFlags, CPoint point)
//   MSG_WM_MOUSEMOVE        void f(UINT nFlags, CPoint point)
//   MSG_WM_SETCURSOR        BOOL f(HWND hWnd, UINT nHitTest, UINT message)
//   MSG_WM_CTLCOLORSTATIC   HBRUSH f(HDC hdc, HWND hWndChild)   (parent side)
//   MSG_OCM_CTLCOLOR        HBRUSH f(HDC hdc, UINT nCtlColor)    (control side, reflected;
//                           nCtlColor is CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC; NULL means
//                           "not mine": the parent then colours the control as usual)
//   COMMAND_HANDLER(id, code, f)   void f()      WM_COMMAND from item id with that code
//   COMMAND_ID_HANDLER(id, f)      void f()      WM_COMMAND from item id, any code
//   BN_CLICKED_HANDLER(id, f)      void f()
//   CBN_SELENDOK_HANDLER(id, f)    void f()
//   MESSAGE_HANDLER(msg, f)        LRESULT f(UINT uMsg, WPARAM wParam, LPARAM lParam)
//   CHAIN_MSG_MAP(otherClass)      asks otherClass's map at this point
#pragma once

#include <windows.h>

#include "framework/point.h"

// Reflected messages: the parent sends these to a bound child control
// (the child's own message number plus OCM__BASE), as ATL does.
#ifndef OCM__BASE
#define OCM__BASE (WM_USER + 0x1c00)
#endif
#ifndef OCM_CTLCOLORMSGBOX
#define OCM_CTLCOLORMSGBOX (OCM__BASE + WM_CTLCOLORMSGBOX)
#endif
#ifndef OCM_CTLCOLORSTATIC
#define OCM_CTLCOLORSTATIC (OCM__BASE + WM_CTLCOLORSTATIC)
#endif

#define BEGIN_MSG_MAP(thisClass, baseClass)                                               \
public:                                                                                   \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,         \
                              LRESULT& lResult) override                                  \
    {                                                                                     \
        typedef baseClass MsgMapBaseClass;                                                \
        (void)hWnd; (void)wParam; (void)lParam;

#define END_MSG_MAP()                                                                     \
        return MsgMapBaseClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult); \
    }

#define CHAIN_MSG_MAP(otherClass)                                                         \
        if (otherClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult))        \
            return TRUE;

#define MESSAGE_HANDLER(msg, func)                                                        \
        if (uMsg == (msg)) {                                                              \
            lResult = func(uMsg, wParam, lParam);                                         \
            return TRUE;                                                                  \
        }

#define MSG_WM_SYSCOMMAND(func)                                                           \
        if (uMsg == WM_SYSCOMMAND) {                                                      \
            func(static_cast<UINT>(wParam), lParam);                                      \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_PAINT(func)                                                                \
        if (uMsg == WM_PAINT) {                                                           \
            func();                                                                       \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_QUERYDRAGICON(func)                                                        \
        if (uMsg == WM_QUERYDRAGICON) {                                                   \
            lResult = reinterpret_cast<LRESULT>(func());                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_DESTROY(func)                                                              \
        if (uMsg == WM_DESTROY) {                                                         \
            func();                                                                       \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_QUERYENDSESSION(func)                                                      \
        if (uMsg == WM_QUERYENDSESSION) {                                                 \
            lResult = func(static_cast<UINT>(wParam), static_cast<UINT>(lParam));         \
            return TRUE;                                                                  \
        }

#define MSG_WM_TIMER(func)                                                                \
        if (uMsg == WM_TIMER) {                                                           \
            func(static_cast<UINT_PTR>(wParam));                                          \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_ENABLE(func)                                                               \
        if (uMsg == WM_ENABLE) {                                                          \
            func(static_cast<BOOL>(wParam));                                              \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_ERASEBKGND(func)                                                           \
        if (uMsg == WM_ERASEBKGND) {                                                      \
            lResult = func(reinterpret_cast<HDC>(wParam));                                \
            return TRUE;                                                                  \
        }

#define MSG_WM_LBUTTONDOWN(func)                                                          \
        if (uMsg == WM_LBUTTONDOWN) {                                                     \
            func(static_cast<UINT>(wParam), CPoint(lParam));                              \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_MOUSEMOVE(func)                                                            \
        if (uMsg == WM_MOUSEMOVE) {                                                       \
            func(static_cast<UINT>(wParam), CPoint(lParam));                              \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define MSG_WM_SETCURSOR(func)                                                            \
        if (uMsg == WM_SETCURSOR) {                                                       \
            lResult = func(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)); \
            return TRUE;                                                                  \
        }

#define MSG_WM_CTLCOLORSTATIC(func)                                                       \
        if (uMsg == WM_CTLCOLORSTATIC) {                                                  \
            lResult = reinterpret_cast<LRESULT>(                                          \
                func(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));     \
            return TRUE;                                                                  \
        }

#define MSG_OCM_CTLCOLOR(func)                                                            \
        if (uMsg >= OCM_CTLCOLORMSGBOX && uMsg <= OCM_CTLCOLORSTATIC) {                   \
            lResult = reinterpret_cast<LRESULT>(                                          \
                func(reinterpret_cast<HDC>(wParam), uMsg - OCM_CTLCOLORMSGBOX));          \
            return TRUE;                                                                  \
        }

#define COMMAND_HANDLER(id, code, func)                                                   \
        if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {   \
            func();                                                                       \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define COMMAND_ID_HANDLER(id, func)                                                      \
        if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                               \
            func();                                                                       \
            lResult = 0;                                                                  \
            return TRUE;                                                                  \
        }

#define BN_CLICKED_HANDLER(id, func) COMMAND_HANDLER(id, BN_CLICKED, func)
#define CBN_SELENDOK_HANDLER(id, func) COMMAND_HANDLER(id, CBN_SELENDOK, func)
