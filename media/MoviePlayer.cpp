// The movie player: a small window in the top-right corner playing the desktop movie.
#include "media/Media.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "res/resource.h"

static INT_PTR CALLBACK MoviePlayerDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

HWND MovieWindow;

void OpenMoviePlayer()
{
    if (IsWindowVisible(MovieWindow))
        return;
    MovieWindow = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MOVIE_PLAYER), DesktopViewWindow,
                                     MoviePlayerDialog, 0);
    ShowWindow(MovieWindow, SW_SHOWNORMAL);
    MoveWindow(MovieWindow, ScreenSize.width - 211, 0, 211, 220, TRUE);
}

// The caption stays painted active, also when another window takes the focus.
static void MovieOnActivate(HWND dialog)
{
    UpdateWindow(dialog);
    PaintCaption(dialog, 1, 0, DialogLook.CaptionText, DialogLook.FrameColour, DialogLook.CaptionColour,
                 DialogLook.CaptionTextColour, DialogLook.InactiveColour, 0xFFFFFF);
}

static void MovieOnPlay(HWND dialog)
{
    MovieMedia.parent = dialog;
    if (Mp3Media.state != 0)
        return;
    char movie[256];
    ReadStringWithDefault(movie, HKEY_CURRENT_USER, ProductKey, "DesktopMovie", "");
    OpenAndPlay(movie, &MovieMedia);
    // Without the media library there is no media window to size to.
    if (!GetMediaWindow(&MovieMedia))
        return;
    // The media window has sized itself to the movie.
    RECT movieRect = {0, 0, 0, 0};
    GetClientRect(GetMediaWindow(&MovieMedia), &movieRect);
    MoveWindow(dialog, ScreenSize.width - movieRect.right, 0, movieRect.right, movieRect.bottom + 51, TRUE);
    SetMediaVolume(&MovieMedia, 1000);
    MoveWindow(GetDlgItem(dialog, IDC_MOVIE_CLOSE), movieRect.left + 20, movieRect.bottom, 30, 20, TRUE);
    MoveWindow(GetDlgItem(dialog, IDC_MOVIE_PLAY), movieRect.left + 60, movieRect.bottom, 30, 20, TRUE);
    SetMediaZoom(&MovieMedia, 99);
}

static void MovieOnClose(HWND dialog)
{
    StopAndClose(&MovieMedia);
    DestroyWindow(dialog);
}

static INT_PTR CALLBACK MoviePlayerDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.OwnerDrawButtons = 1;
    DialogLook.HeadingText = NULL;
    switch (message) {
    case WM_ACTIVATE: MovieOnActivate(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MOVIE_CLOSE: MovieOnClose(dialog); return 0;
        case IDC_MOVIE_PLAY: MovieOnPlay(dialog); return 0;
        }
        break;
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}
