// Administration: login, the Options Panel, system settings, wallpaper.
#pragma once
#include <windows.h>

extern HWND OptionsPanelWindow;
extern BYTE ShellUnloaded;
extern BYTE ChangingAdminPassword;
extern HBITMAP WallpaperPreview;

INT_PTR CALLBACK SecurityDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ChangePasswordDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsPanel(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GuestRestrictionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TimeIntervalsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void QuitToWindows();
BOOL UnloadWindowsShell();
int ChooseWallpaper(HWND panel);
// Deletes the chooser's preview bitmap, if any.
void ReleaseWallpaperPreview();

// The value of the leading decimal digits of a text, 0 when there are none.
int LeadingNumber(const char* text);

// Machine settings behind the panel's switches.
extern const char BrowserEnabledPath[];    // "C:\progra~1\intern~1\iexplore.exe"
extern const char BrowserDisabledPath[];   // "C:\progra~1\intern~1\iexplore.ex_"
extern const char MsDosSysPath[];          // "C:\MsDos.sys"
DWORD ReadBootShell(char* out);            // out holds at least 256 characters
void WriteBootShell(const char* shell);
BOOL FileExists(const char* path);
void DisableBrowser();
void EnableBrowser();
void SetConservativeSwap();
void ClearConservativeSwap();
// "Enable DOS Security": MsDos.sys [Options], written through MsDosSysWrite
// (tests watch the file through it); a failure is told in a box owned by owner.
typedef BOOL (*IniWriteProc)(const char* file, const char* section, const char* entry, const char* value);
extern IniWriteProc MsDosSysWrite;
void WriteDosSecurity(HWND owner, BOOL secure);
// Starts explorer.exe the way the hand-over does; tests count the starts.
typedef HINSTANCE(WINAPI* ShellStartProc)(HWND owner, LPCSTR verb, LPCSTR file,
                                          LPCSTR parameters, LPCSTR directory, INT show);
extern ShellStartProc ShellStart;
void StartWindowsShell();

// Wallpaper chooser.
UINT_PTR CALLBACK WallpaperPreviewHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG FileSizeOf(const char* path);
// "999 Bytes", "1 KBytes" or "N/A"; text holds at least 32 characters.
void FormatFileSize(LONG size, char* text);
// Width and height the preview shows a bitmap of the given size at.
SIZE PreviewSize(LONG width, LONG height);
