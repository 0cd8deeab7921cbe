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

// Commands: menu entries, the function keys that reach them, the Start button.
#define IDM_SHUT_DOWN         2001
#define IDM_LOGIN             2002
#define IDM_ABOUT             2004
#define IDM_MEMORY_CLEANUP    2005
#define IDM_REFRESH           2010
#define IDM_MP3_PLAYER        2011
#define IDM_MOVIE_PLAYER      2012
#define IDM_HTML_VIEWER       2013
#define IDM_HELP              2014
#define IDM_UNLOAD_SHELL      2015
#define IDM_TIPS              2016
#define IDM_END_SESSION       2017
#define IDMA_ABOUT           40005
#define IDMA_LOGIN           40011
#define IDMA_SHUT_DOWN       40012
#define IDMA_REFRESH         40013
#define IDMA_MP3_PLAYER      40014
#define IDMA_MOVIE_PLAYER    40015
#define IDMA_HTML_VIEWER     40016
#define IDMA_HELP            40017
#define IDMA_TIPS            40018

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
#define IDD_GUEST_RESTRICTIONS  139
#define IDD_GUEST_SESSIONS      140
#define IDD_SESSION_BILL        141

// ---- Desktop view and taskbar ----------------------------------------------
#define IDC_DESKTOP_VIEW       2000
#define IDC_WINDOW_BUTTON         0
#define IDT_TASKBAR               3
#define IDT_DESKTOP_IMAGES        7

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
#define IDC_SECURITY_PASSWORD  1012
#define IDC_SECURITY_OK        1013
#define IDC_SECURITY_CANCEL    1014
#define IDC_PASSWORD_CANCEL    1042
#define IDC_PASSWORD_CHANGE    1043
#define IDC_PASSWORD_NEW       1044
#define IDC_PASSWORD_CONFIRM   1045
#define IDC_PANEL_CHOOSE_WALLPAPER 117
#define IDC_PANEL_HCOST        1004
#define IDC_PANEL_HCOST2       1005
#define IDC_PANEL_QUIT         1008
#define IDC_PANEL_OK           1009
#define IDC_PANEL_CANCEL       1010
#define IDC_PANEL_BOOT         1015
#define IDC_PANEL_DOS          1016
#define IDC_PANEL_BROWSER      1017
#define IDC_PANEL_SWAP         1021
#define IDC_PANEL_FREE_MEMORY  1022
#define IDC_PANEL_TASK_MANAGER 1023
#define IDC_PANEL_MEMORY_STATUS 1028
#define IDC_PANEL_WALLPAPER_LABEL 1029
#define IDC_PANEL_DRAG_FULL    1031
#define IDC_PANEL_CONTROL_PANEL 1032
#define IDC_PANEL_CHANGE_DISPLAY 1034
#define IDC_PANEL_ADMIN_PASSWORD 1035
#define IDC_PANEL_SUPPLIER_PASSWORD 1036
#define IDC_PANEL_INTERNAL_SERVER 1037
#define IDC_PANEL_DORO_SERVER  1038
#define IDC_PANEL_LIVE_UPDATE  1039
#define IDC_PANEL_TIME_INTERVALS 1040
#define IDC_PANEL_WALLPAPER    1069
#define IDC_PANEL_ADVANCED     1080
#define IDC_PANEL_800          1094
#define IDC_PANEL_1024         1095
#define IDC_PANEL_GUEST        1130
#define IDC_GUEST_TASK_MANAGER 1131
#define IDC_GUEST_REGISTRY     1132
#define IDC_GUEST_COMMAND      1133
#define IDC_GUEST_NO_RUN       1134
#define IDC_GUEST_CONTEXT_MENU 1135
#define IDC_GUEST_RESTRICT_RUN 1136
#define IDC_GUEST_PROGRAMS     1137
#define IDC_GUEST_PROGRAM_NAME 1138
#define IDC_GUEST_ADD          1139
#define IDC_GUEST_REMOVE       1140
#define IDC_GUEST_OK           1141
#define IDC_GUEST_CANCEL       1142
#define IDC_PANEL_TASK_MANAGER_WARNING 1143
#define IDC_PANEL_SESSIONS     1150
#define IDC_SESSIONS_OFF       1151
#define IDC_SESSIONS_FREE      1152
#define IDC_SESSIONS_PAID      1153
#define IDC_SESSIONS_MINUTES   1154
#define IDC_SESSIONS_WARN      1155
#define IDC_SESSIONS_IDLE      1156
#define IDC_SESSIONS_BILLING   1157
#define IDC_SESSIONS_HCOST     1158
#define IDC_SESSIONS_HCOST2    1159
#define IDC_SESSIONS_DECIMALS  1160
#define IDC_SESSIONS_CURRENCY  1161
#define IDC_SESSIONS_LOG       1162
#define IDC_SESSIONS_CLEANUP   1163
#define IDC_SESSIONS_COUNT     1164
#define IDC_SESSIONS_USED      1165
#define IDC_SESSIONS_TAKINGS   1166
#define IDC_SESSIONS_END       1167
#define IDC_SESSIONS_OK        1168
#define IDC_SESSIONS_CANCEL    1169
#define IDC_INTERVAL_MAIN      1025
#define IDC_INTERVAL_SECOND    1026
#define IDC_WALLPAPER_PREVIEW   119
#define IDC_WALLPAPER_DIMENSIONS 1070
#define IDC_WALLPAPER_SIZE     1071
#define IDC_WALLPAPER_NONE     1072
#define IDC_WALLPAPER_POSITION 1073
#define IDC_WALLPAPER_STRIP    1119

// ---- System tools ----------------------------------------------------------
#define IDC_SHUTDOWN_SHUT_DOWN 1048
#define IDC_SHUTDOWN_RESTART   1049
#define IDC_SHUTDOWN_STAND_BY  1050
#define IDC_SHUTDOWN_CANCEL    1051
#define IDC_SHUTDOWN_OK        1052
#define IDC_SHUTDOWN_HELP      1053
#define IDC_MEMORY_LOAD        1058
#define IDC_MEMORY_TOTAL_PHYSICAL 1059
#define IDC_MEMORY_FREE_PHYSICAL 1060
#define IDC_MEMORY_CLEAN       1061
#define IDC_MEMORY_EXIT        1062
#define IDC_MEMORY_TOTAL_PAGE_FILE 1064
#define IDC_MEMORY_FREE_PAGE_FILE 1065
#define IDC_MEMORY_PROCESSOR   1066
#define IDC_MEMORY_BLOCK       1067
#define IDC_MEMORY_PROGRESS    1068
#define IDC_MEMORY_PERCENT     1110
#define IDT_MEMORY_MANAGER        4
#define IDC_TASK_LIST          1075
#define IDC_TASK_END           1097
#define IDT_TASK_MANAGER          5

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

// ---- Guest sessions --------------------------------------------------------
#define IDC_SESSION_FIELD       667
#define IDT_SESSION               8
#define IDC_BILL_MINUTES       1170
#define IDC_BILL_PRICE         1171
