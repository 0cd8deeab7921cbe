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
int ChangeScreenMode(int width, int height, int bitsPerPixel);
void QuitToWindows();
BOOL UnloadWindowsShell();
int ChooseWallpaper(HWND panel);
