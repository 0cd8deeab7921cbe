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

// ---- Dialog look, About, Tip of the Day ------------------------------------
#define IDB_ABOUT               138
#define IDS_TIP_FIRST             1
#define IDS_TIP_LAST              8

// ---- Administration --------------------------------------------------------

// ---- System tools ----------------------------------------------------------

// ---- Media and help --------------------------------------------------------
#define IDR_HELP_HTML           134
