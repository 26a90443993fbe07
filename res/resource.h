// Resource and control ids of the cleaner, for the resource script and the code.
#pragma once

#define IDM_ABOUTBOX            0x0010
#define IDD_ABOUTBOX            100
#define IDS_ABOUTBOX            101
#define IDD_CLEANER_DIALOG      102
#define IDR_MAINFRAME           128

#define IDC_CHECK_DEBUG         1000
#define IDC_CHECK_RELEASE       1001
#define IDC_LIST_RESULTS        1002
#define IDC_DELETE_ALL          1003
#define IDC_DELETE_SELECTED     1004
#define IDC_DETAILS             1006
#define IDC_START_SEARCH        1007
#define IDC_SELECT_DRIVE        1008

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif
