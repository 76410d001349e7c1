// Resource and control identifiers of kestrel.rc. Shared by the program, its
// resource script and the tests that build dialogs from the real templates.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_KESTREL_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_CHIP 130
#define IDD_CONFIRM 131

// Main dialog (102)
#define IDC_CBO_DRIVE 1000
#define IDC_PROGRESS 1011
#define IDC_EDIT_LOG 1012
#define IDC_STATUS 1014
#define IDC_BTN_UPGRADE 1015
#define IDC_REVISION 1016

// Confirmation dialog (131)
#define IDC_GREETING 1018
#define IDC_CURRENT_VERSION 1019
#define IDC_DRIVE_VALUE 1020
#define IDC_FIRMWARE_IS 1021
#define IDC_REV_VALUE 1022
#define IDC_NOTICE 1023
#define IDC_FRAME 1025
#define IDC_QUESTION 1026

// The system menu's entry that opens the About box.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
