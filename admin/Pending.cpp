// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "admin/Admin.h"

HWND OptionsPanelWindow;
BYTE ShellUnloaded;
BYTE ChangingAdminPassword;
HBITMAP WallpaperPreview;
INT_PTR CALLBACK SecurityDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK ChangePasswordDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK OptionsPanel(HWND, UINT, WPARAM, LPARAM) { return 0; }
int ChangeScreenMode(int, int, int) { return 0; }
void QuitToWindows() {}
BOOL UnloadWindowsShell() { return FALSE; }
int ChooseWallpaper(HWND) { return 1; }
