// The wallpaper chooser: the open-file dialog with a preview panel of our own.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "res/resource.h"
#include <commdlg.h>

static HBITMAP WallpaperPreview;

HBITMAP GetWallpaperPreview() { return WallpaperPreview; }

enum { PREVIEW_WIDTH = 155, PREVIEW_HEIGHT = 85 };

static const char WallpaperKey[] = "Control Panel\\Desktop\\";

static UINT_PTR CALLBACK WallpaperPreviewHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void ReleaseWallpaperPreview()
{
    if (WallpaperPreview)
        DeleteObject(WallpaperPreview);
    WallpaperPreview = NULL;
}

int ChooseWallpaper(HWND panel)
{
    OPENFILENAMEA dialog;
    char path[MAX_PATH];
    InitOpenFileRecord(&dialog, path, "BITMAPS (*.bmp)\0*.bmp\0\0", "Choose Wallpaper File");
    dialog.Flags |= OFN_ENABLETEMPLATE | OFN_ENABLEHOOK;
    dialog.lpfnHook = WallpaperPreviewHook;
    dialog.lpTemplateName = MAKEINTRESOURCEA(IDD_WALLPAPER_PREVIEW);
    ShowOpenFileDialog(&dialog);
    if (path[0] == 0) {
        ReleaseWallpaperPreview();
        return 1;
    }
    SetDesktopBackgroundImage(DesktopViewWindow, path);
    if (!StorePath(panel, HKEY_CURRENT_USER, WallpaperKey, "WallPaper", path)) {
        // Screen, field and registry stay in step with what is stored.
        LoadWallpaperBackground(DesktopViewWindow);
        ReleaseWallpaperPreview();
        return 1;
    }
    SetDlgItemTextA(panel, IDC_PANEL_WALLPAPER, path);
    ReleaseWallpaperPreview();
    return 0;
}

LONG FileSizeOf(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD size = GetFileSize(file, NULL);
    CloseHandle(file);
    return (LONG)size;
}

void FormatFileSize(LONG size, char* text)
{
    LONG number = size;
    const char* unit = " Bytes";
    if (size > 999) {
        number = size / 1000;
        unit = " KBytes";
    }
    if (number < 0)
        lstrcpyA(text, "N/A");
    else
        wsprintfA(text, "%ld%s", number, unit);
}

SIZE PreviewSize(LONG width, LONG height)
{
    SIZE size;
    size.cx = width;
    size.cy = height;
    if (width > PREVIEW_WIDTH || height > PREVIEW_HEIGHT) {
        size.cx = PREVIEW_WIDTH;
        size.cy = PREVIEW_HEIGHT;
    }
    return size;
}

static void ShowPreview(HWND window, const char* path)
{
    ReleaseWallpaperPreview();
    if (path[0] != 0)
        WallpaperPreview = (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    if (!WallpaperPreview) {
        SetDlgItemTextA(window, IDC_WALLPAPER_DIMENSIONS, "N/A");
        SendDlgItemMessageA(window, IDC_WALLPAPER_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP, 0);
        return;
    }
    BITMAP bitmap;
    GetObjectA(WallpaperPreview, sizeof bitmap, &bitmap);
    char text[48];
    wsprintfA(text, "%ld x %ld", bitmap.bmWidth, bitmap.bmHeight);
    SetDlgItemTextA(window, IDC_WALLPAPER_DIMENSIONS, text);
    SIZE shown = PreviewSize(bitmap.bmWidth, bitmap.bmHeight);
    if (shown.cx != bitmap.bmWidth || shown.cy != bitmap.bmHeight) {
        ReleaseWallpaperPreview();
        WallpaperPreview = (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, shown.cx, shown.cy,
                                               LR_LOADFROMFILE);
    }
    SendDlgItemMessageA(window, IDC_WALLPAPER_PREVIEW, STM_SETIMAGE, IMAGE_BITMAP,
                        (LPARAM)WallpaperPreview);
}

// The whole path is asked for, so long paths preview as well as short ones.
static void PreviewOnSelChange(HWND window)
{
    char path[MAX_PATH];
    LRESULT length = SendMessageA(GetParent(window), CDM_GETFILEPATH, MAX_PATH, (LPARAM)path);
    if (length <= 0 || length > MAX_PATH)
        path[0] = 0;
    path[MAX_PATH - 1] = 0;
    ShowPreview(window, path);
    char text[32];
    FormatFileSize(path[0] != 0 ? FileSizeOf(path) : -1, text);
    SetDlgItemTextA(window, IDC_WALLPAPER_SIZE, text);
}

static void PreviewOnNoWallpaper()
{
    WriteValue(HKEY_CURRENT_USER, WallpaperKey, "WallPaper", "", 0);
}

static UINT_PTR CALLBACK WallpaperPreviewHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY:
        if (((NMHDR*)lParam)->code == CDN_SELCHANGE)
            PreviewOnSelChange(window);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WALLPAPER_NONE: PreviewOnNoWallpaper(); return 0;
        case IDC_WALLPAPER_POSITION:
            MessageBoxA(window, "Function Not Implemented", "Sorry", MB_ICONINFORMATION);
            return 0;
        }
        return 0;
    case WM_INITDIALOG:
        return 0;
    }
    return (UINT_PTR)HandleFrameLook(window, message, wParam, lParam, &DialogLook);
}
