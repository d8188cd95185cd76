// Resource ids of Velkorin.exe, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDD_VELKORIN_DIALOG 102
#define IDR_MAINFRAME 128

// The system menu's command for the About box: below 0xF000, the low four bits clear, as the
// system's own commands leave them.
#define IDM_ABOUTBOX 0x0010

#define IDC_STATIC (-1)

#define IDC_FOLDER 1000
#define IDC_BROWSE 1001
#define IDC_RECGAME_LIST 1002
#define IDC_EXTRACT 1003
#define IDC_SCRIPT 1004
#define IDC_STATUS_LINE 1005
