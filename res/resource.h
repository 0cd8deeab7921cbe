// Resource and control identifiers of the whole system. Each subsystem keeps
// its identifiers in its own section below.
#pragma once

// ---- Shell frame -----------------------------------------------------------
#define IDI_SHELL_IMAGE          1
#define IDI_DOCUMENT_IMAGE       2
#define IDI_SHELL               128
#define IDI_DOCUMENT            136
#define IDB_START_BUTTON        116
#define IDB_TASKBAR_STRIP       135
#define IDR_ACCELERATORS        109
#define IDC_CLOCK                 2
#define IDC_START_BUTTON        666

// ---- Dialog templates ------------------------------------------------------
#define IDD_ABOUT               101
#define IDD_SECURITY            102
#define IDD_OPTIONS_PANEL       107
#define IDD_CHANGE_PASSWORD     108
#define IDD_MEMORY_MANAGER      110
#define IDD_TASK_MANAGER        118
#define IDD_TIME_INTERVALS      119
#define IDD_WALLPAPER_PREVIEW   120
#define IDD_SHUT_DOWN           121
#define IDD_ADVANCED_OPTIONS    122
#define IDD_MP3_PLAYER          125
#define IDD_MOVIE_PLAYER        126
#define IDD_TIP                 137

// ---- Desktop view and taskbar ----------------------------------------------
#define IDC_DESKTOP_VIEW       2000
#define IDC_WINDOW_BUTTON         0
#define IDT_TASKBAR               3

// ---- Dialog look, About, Tip of the Day ------------------------------------
#define IDB_TIP_BULB            138
#define IDS_TIP_FIRST             1
#define IDS_TIP_LAST              8
#define IDC_ABOUT_OK           1002
#define IDC_ABOUT_CREDIT1      1083
#define IDC_ABOUT_CREDIT2      1111
#define IDC_ABOUT_CREDIT3      1084
#define IDC_TIP_BULB           1121
#define IDC_TIP_NO_STARTUP     1122
#define IDC_TIP_TEXT           1123
#define IDC_TIP_NEXT           1124

// ---- Administration --------------------------------------------------------

// ---- System tools ----------------------------------------------------------

// ---- Media and help --------------------------------------------------------
#define IDR_HELP_HTML           134
#define IDC_MP3_PLAY              3
#define IDC_MP3_PAUSE             5
#define IDC_MP3_STOP              6
#define IDC_MP3_LIST           1099
#define IDC_MP3_POSITION       1100
#define IDC_MP3_CLOSE          1103
#define IDC_MP3_VOLUME         1109
#define IDT_MP3_PLAYER            6
#define IDC_MOVIE_CLOSE           1
#define IDC_MOVIE_PLAY            3
#define IDC_ADVANCED_MP3_PATH  1104
#define IDC_ADVANCED_SET_PATH  1105
#define IDC_ADVANCED_OPEN_MP3  1106
#define IDC_ADVANCED_BROWSE_MOVIE 1112
#define IDC_ADVANCED_MOVIE     1113
#define IDC_ADVANCED_OPEN_MOVIE 1114
#define IDC_ADVANCED_BROWSE_HTML 1117
#define IDC_ADVANCED_HTML      1119
#define IDC_ADVANCED_EXTENSION 1120
