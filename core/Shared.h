// The values every folder may use: the start-up values, the command
// identifiers, and the shared names whose owners sit above some of their users.
#pragma once
#include <windows.h>
#include "res/resource.h"

struct ProgramInfoRecord {
    char caption[32];          // caption of every message box of the system
    char startDirectory[256];
    char version[10];
    char maker[16];
    char desktopFolder[260];
    char windowsDirectory[260];
};

struct ScreenSizeRecord {
    short width;
    short height;
};

// Filled once at start-up (app/).
extern ProgramInfoRecord ProgramInfo;
extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern DWORD WindowsVersion;           // major * 100 + minor; 500 and up is Windows 2000 on
extern BYTE OpenFileNameSize;          // lStructSize for GetOpenFileNameA
extern ScreenSizeRecord ScreenSize;
extern HMENU CommandsMenu;
void ReadScreenSize(ScreenSizeRecord* size);
// The shell's own end ("Quit to Windows"): the main window refuses every
// close but this one (app/).
void CloseMainWindow();

// The Options Panel while it is open (admin/); the tools it opens own their
// dialogs to the main window but keep the panel in mind.
extern HWND OptionsPanelWindow;
