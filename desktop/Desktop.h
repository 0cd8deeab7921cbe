// The desktop icon view: the Desktop folder's files over the wallpaper.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "core/Core.h"

extern HWND DesktopViewWindow;
extern StringList DesktopFiles;
extern HIMAGELIST DesktopImageList;
extern BYTE FreeMemOnLaunch;

HWND CreateDesktopView(HWND parent);
void SizeDesktopView(HWND view);
void SetViewColors(HWND view, COLORREF background, COLORREF textBackground, COLORREF text);
void SetDesktopBackgroundImage(HWND view, const char* imagePath);
void LoadWallpaperBackground(HWND view);
LRESULT HandleDesktopNotify(NMHDR* header);
void RefreshDesktop(bool applyVideo);
