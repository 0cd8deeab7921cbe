// Administration: login, the Options Panel, system settings, wallpaper.
#pragma once
#include <windows.h>

extern BYTE ShellUnloaded;

INT_PTR CALLBACK SecurityDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// From the third wrong password in a row on, every try waits this long after
// the last wrong one (2 s, doubling, at most 30 s); tries during the wait are
// refused. The clock is GetTickCount unless replaced (null puts it back).
DWORD LoginDelayAfter(int wrongTries);
typedef DWORD(WINAPI* TickCountProc)();
void SetLoginClock(TickCountProc clock);
// Which password the change dialog writes: 1 the administrator's, 0 the supplier's.
BYTE GetPasswordBeingChanged();
void SetPasswordBeingChanged(BYTE administrator);
INT_PTR CALLBACK ChangePasswordDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OptionsPanel(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The "Disable Task Manager" policy as Guest Restrictions reads it.
BOOL TaskManagerDisabled();
INT_PTR CALLBACK GuestRestrictionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GuestSessionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void QuitToWindows();
BOOL UnloadWindowsShell();
int ChooseWallpaper(HWND panel);
// Deletes the chooser's preview bitmap, if any.
void ReleaseWallpaperPreview();
HBITMAP GetWallpaperPreview();


// Machine settings behind the panel's switches.
extern const char BrowserEnabledPath[];    // "C:\progra~1\intern~1\iexplore.exe"
extern const char BrowserDisabledPath[];   // "C:\progra~1\intern~1\iexplore.ex_"
extern const char MsDosSysPath[];          // "C:\MsDos.sys"
// The Windows directory's System.ini (MAX_PATH characters); false, and no
// path, when the directory is unknown.
BOOL SystemIniFile(char* path);
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
void SetMsDosSysWrite(IniWriteProc write);
void WriteDosSecurity(HWND owner, BOOL secure);
// Starts programs (explorer.exe for the hand-over, control.exe for the panel)
// through ShellExecuteA unless replaced; tests count the starts.
typedef HINSTANCE(WINAPI* ShellStartProc)(HWND owner, LPCSTR verb, LPCSTR file,
                                          LPCSTR parameters, LPCSTR directory, INT show);
void SetShellStart(ShellStartProc start);
void StartWindowsShell();
void OpenControlPanel(HWND owner);

// Wallpaper chooser.
LONG FileSizeOf(const char* path);
// "999 Bytes", "1 KBytes" or "N/A"; text holds at least 32 characters.
void FormatFileSize(LONG size, char* text);
// Width and height the preview shows a bitmap of the given size at.
SIZE PreviewSize(LONG width, LONG height);
