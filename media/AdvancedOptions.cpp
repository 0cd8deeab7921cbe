// Advanced Options: the media and help settings and the desktop's file pattern.
#include "media/Media.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "res/resource.h"
#include <commdlg.h>
#include <shlwapi.h>

static void ChooseMovieFile();
static void ChooseHtmlFile();

// Shows a stored value only when it has at least two characters.
static void ShowSetting(HWND dialog, int control, const char* valueName)
{
    char text[256];
    ReadStringWithDefault(text, HKEY_CURRENT_USER, ProductKey, valueName, "");
    if (lstrlenA(text) >= 2)
        SetDlgItemTextA(dialog, control, text);
}

static void AdvancedOnInit(HWND dialog)
{
    ShowSetting(dialog, IDC_ADVANCED_MP3_PATH, "Mp3Path");
    ShowSetting(dialog, IDC_ADVANCED_MOVIE, "DesktopMovie");
    ShowSetting(dialog, IDC_ADVANCED_HTML, "HTMLFile");
    ShowSetting(dialog, IDC_ADVANCED_EXTENSION, "DesktopExtension");
}

static void AdvancedOnOk(HWND dialog)
{
    if (WindowsVersion < 500) {
        char movie[MAX_PATH];
        GetDlgItemTextA(dialog, IDC_ADVANCED_MOVIE, movie, MAX_PATH);
        WriteValue(HKEY_CURRENT_USER, ProductKey, "DesktopMovie", movie, 0);
    }
    char extension[6];
    GetDlgItemTextA(dialog, IDC_ADVANCED_EXTENSION, extension, sizeof extension);
    WriteValue(HKEY_CURRENT_USER, ProductKey, "DesktopExtension", extension, 0);
    EndDialog(dialog, 0);
}

static void AdvancedOnClose(HWND dialog)
{
    EndDialog(dialog, 1);
}

static void AdvancedOnSetPath(HWND dialog)
{
    char folder[MAX_PATH];
    GetDlgItemTextA(dialog, IDC_ADVANCED_MP3_PATH, folder, MAX_PATH);
    if (PathIsDirectoryA(folder))
        StorePath(OptionsPanelWindow, HKEY_CURRENT_USER, ProductKey, "Mp3Path", folder);
    else
        MessageBoxA(OptionsPanelWindow, "Invalid Mp3 Directory !", ProgramInfo.caption,
                    MB_OK | MB_ICONWARNING);
    BringWindowToTop(dialog);
}

// Shows the stored value again after a file dialog, chosen or cancelled.
static void AdvancedOnBrowse(HWND dialog, void (*choose)(), int control, const char* valueName)
{
    choose();
    char text[256];
    ReadString(text, HKEY_CURRENT_USER, ProductKey, valueName);
    SetDlgItemTextA(dialog, control, text);
    BringWindowToTop(dialog);
}

INT_PTR CALLBACK AdvancedOptionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: AdvancedOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: AdvancedOnOk(dialog); return 0;
        case IDCANCEL: AdvancedOnClose(dialog); return 0;
        case IDC_ADVANCED_SET_PATH: AdvancedOnSetPath(dialog); return 0;
        case IDC_ADVANCED_OPEN_MP3: RunMp3PlayerModal(DesktopViewWindow); return 0;
        case IDC_ADVANCED_OPEN_MOVIE: OpenMoviePlayer(); return 0;
        case IDC_ADVANCED_BROWSE_MOVIE:
            AdvancedOnBrowse(dialog, ChooseMovieFile, IDC_ADVANCED_MOVIE, "DesktopMovie");
            return 0;
        case IDC_ADVANCED_BROWSE_HTML:
            AdvancedOnBrowse(dialog, ChooseHtmlFile, IDC_ADVANCED_HTML, "HTMLFile");
            return 0;
        }
        break;
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

// The open-file dialog of both Browse buttons; stores the chosen file's path.
static void ChooseFileInto(const char* filter, const char* title, const char* valueName)
{
    char fileName[MAX_PATH];
    OPENFILENAMEA dialog;
    InitOpenFileRecord(&dialog, fileName, filter, title);
    if (ShowOpenFileDialog(&dialog))
        StorePath(MainWindow, HKEY_CURRENT_USER, ProductKey, valueName, fileName);
}

static void ChooseMovieFile()
{
    ChooseFileInto("All Supported Formats\0*.mov;*.avi;*.mpg\0\0", "Choose Movie File", "DesktopMovie");
}

static void ChooseHtmlFile()
{
    ChooseFileInto("HTML Files\0*.html\0HTM Files\0*.htm\0\0", "Choose HTM/HTML File", "HTMLFile");
}
