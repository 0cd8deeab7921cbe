// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "desktop/Desktop.h"

HWND DesktopViewWindow;
StringList DesktopFiles;
HIMAGELIST DesktopImageList;
BYTE FreeMemOnLaunch;
HWND CreateDesktopView(HWND) { return 0; }
void SizeDesktopView(HWND) {}
void SetViewColors(HWND, COLORREF, COLORREF, COLORREF) {}
void SetDesktopBackgroundImage(HWND, const char*) {}
void LoadWallpaperBackground(HWND) {}
LRESULT HandleDesktopNotify(NMHDR*) { return 0; }
void RefreshDesktop(bool) {}
