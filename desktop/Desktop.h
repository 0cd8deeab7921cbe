// The desktop icon view: the Desktop folder's files over the wallpaper.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "core/Core.h"

extern HWND DesktopViewWindow;
extern StringList DesktopFiles;
extern HIMAGELIST DesktopImageList;
extern BYTE FreeMemOnLaunch;

// The item count is 8-bit: the view shows the first 255 names in sorted order.
enum { DESKTOP_MAX_ITEMS = 255, DESKTOP_PATTERN_SIZE = 6, DESKTOP_TASKBAR_GAP = 27 };

HWND CreateDesktopView(HWND parent);
void SetViewColors(HWND view, COLORREF background, COLORREF textBackground, COLORREF text);
void SetDesktopBackgroundImage(HWND view, const char* imagePath);
void LoadWallpaperBackground(HWND view);
LRESULT HandleDesktopNotify(NMHDR* header);
void RefreshDesktop(bool applyVideo);
// Sets the screen to the stored "Video" size (800 or 1024 wide), if any.
void ApplyVideoSetting();
int ChangeScreenMode(int width, int height, int bitsPerPixel);
// Empties the view to black while the Shut Down dialog is open.
void BlankDesktop();
void ReleaseDesktopFiles();
// Removes and destroys DesktopImageList (when there is one) after taking it
// away from the view, and clears the handle.
void ReleaseDesktopImages();

// Plain helpers of the view, also used by the tests.
void ReadDesktopPattern(char* pattern);   // DESKTOP_PATTERN_SIZE characters
void MakeDesktopLabel(const char* name, char* label, int size);
BYTE DesktopItemCount(int fileCount);
// Items whose image is still to be fetched (while the thread is idle).
int DesktopImagesPending();
