// Shell frame: start-up values, the main window and the command dispatch.
#pragma once
#include <windows.h>

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

extern ProgramInfoRecord ProgramInfo;
extern HINSTANCE AppInstance;
extern HWND MainWindow;
extern DWORD WindowsVersion;           // major * 100 + minor; 500 and up is Windows 2000 on
extern BYTE OpenFileNameSize;          // lStructSize for GetOpenFileNameA
extern ScreenSizeRecord ScreenSize;
extern HMENU CommandsMenu;
extern HBITMAP TaskbarStripBitmap;
extern HBITMAP StartButtonBitmap;

// Command identifiers: menu entries, their function keys, the Start button.
enum {
    CMD_SHUT_DOWN = 2001,
    CMD_LOGIN = 2002,
    CMD_ABOUT = 2004,
    CMD_MEMORY_CLEANUP = 2005,
    CMD_REFRESH = 2010,
    CMD_MP3_PLAYER = 2011,
    CMD_MOVIE_PLAYER = 2012,
    CMD_HTML_VIEWER = 2013,
    CMD_HELP = 2014,
    CMD_UNLOAD_SHELL = 2015,
    CMD_TIPS = 2016,
    KEY_ABOUT = 40005,        // F1
    KEY_LOGIN = 40011,        // F3
    KEY_SHUT_DOWN = 40012,    // F4
    KEY_REFRESH = 40013,      // F5
    KEY_MP3_PLAYER = 40014,   // F6
    KEY_MOVIE_PLAYER = 40015, // F7
    KEY_HTML_VIEWER = 40016,  // F8
    KEY_HELP = 40017,         // F12
    KEY_TIPS = 40018,         // F11
    CMD_START_BUTTON = 666
};

extern const char ShellClassName[];   // "Win"
extern const char ShellWindowTitle[]; // "Tavix Halcyne 2.0"

int StartShell(HINSTANCE instance, const char* commandLine);
void InitShellState(HINSTANCE instance);
void HideFromTaskList();
void FillProgramInfo(ProgramInfoRecord* info);
void ReadScreenSize(ScreenSizeRecord* size);
DWORD GetWindowsVersionNumber();
DWORD VersionNumberFrom(DWORD getVersionResult);
void HandleCommandLine(const char* commandLine);
void EnsureSingleInstance();
void RegisterShellWindowClass(HINSTANCE instance);

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void BuildCommandsMenu();
void ReleaseShellResources(HWND window);
void StretchBitmap(HDC dc, HBITMAP bitmap, short x, short y, short height, LONG width, DWORD rop);
void RunShellCommand(HWND window, UINT command);
