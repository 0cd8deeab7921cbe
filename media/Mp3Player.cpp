// The MP3 player dialog: the MP3 files of one folder, played one after the other.
#include "media/Media.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "look/Look.h"
#include "tools/Tools.h"
#include "res/resource.h"
#include <commctrl.h>
#include <shlwapi.h>

static int currentTrack;
static int trackCount;

int GetCurrentTrack() { return currentTrack; }
int GetTrackCount() { return trackCount; }

void ForgetTracks()
{
    currentTrack = 0;
    trackCount = 0;
}

// Set while Advanced Options opens a player modally; the dialog takes it over.
static BOOL OpeningModalPlayer;

// What one player dialog owns: the listing it was opened with.
struct Mp3PlayerState {
    StringList listing;
    BOOL modal;
};

static Mp3PlayerState* PlayerState(HWND dialog)
{
    return (Mp3PlayerState*)GetWindowLongPtrA(dialog, DWLP_USER);
}

// Folder, backslash and name; false when the whole does not fit in 260 characters.
static BOOL BuildTrackPath(char* path, const char* folder, const char* name)
{
    path[0] = 0;
    if (lstrlenA(folder) + 1 + lstrlenA(name) > MAX_PATH - 1)
        return FALSE;
    lstrcpyA(path, folder);
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return TRUE;
}

static void ResetPositionSlider(HWND dialog)
{
    LONG seconds = GetMediaLength(&Mp3Media) / 1000;
    SendDlgItemMessageA(dialog, IDC_MP3_POSITION, TBM_SETRANGE, TRUE, MAKELONG(1, (WORD)seconds));
    SendDlgItemMessageA(dialog, IDC_MP3_POSITION, TBM_SETPOS, TRUE, 1);
}

// Plays list entry `index` of this dialog from the folder; false when there
// is none. A paused file goes on whatever the entry, as the record ignores
// the name then, so a name too long for the path does not stop it.
static BOOL PlayListEntry(HWND dialog, const char* folder, int index)
{
    char name[MAX_PATH];
    char path[MAX_PATH];
    path[0] = 0;
    BOOL found = SendDlgItemMessageA(dialog, IDC_MP3_LIST, LB_GETTEXTLEN, index, 0) < MAX_PATH &&
                 SendDlgItemMessageA(dialog, IDC_MP3_LIST, LB_GETTEXT, index, (LPARAM)name) != LB_ERR &&
                 BuildTrackPath(path, folder, name);
    if (!found && !(Mp3Media.state == 2 && Mp3Media.window))
        return FALSE;
    Mp3Media.parent = dialog;
    OpenAndPlay(path, &Mp3Media);
    return TRUE;
}

static void Mp3OnInit(HWND dialog)
{
    char folder[256];
    ReadString(folder, HKEY_CURRENT_USER, ProductKey, "Mp3Path");
    Mp3PlayerState* state = (Mp3PlayerState*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                       sizeof(Mp3PlayerState));
    if (state) {
        state->modal = OpeningModalPlayer;
        trackCount = ListFillFromFolder(&state->listing, folder, "*.mp3");
        FillListBox(state->listing, GetDlgItem(dialog, IDC_MP3_LIST));
    } else {
        trackCount = 0;   // no listing, an empty list
    }
    OpeningModalPlayer = FALSE;
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    SetTimer(dialog, IDT_MP3_PLAYER, 1000, NULL);
    SendDlgItemMessageA(dialog, IDC_MP3_LIST, LB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_MP3_VOLUME, TBM_SETRANGE, TRUE, MAKELONG(1, 1000));
    SendDlgItemMessageA(dialog, IDC_MP3_VOLUME, TBM_SETPOS, TRUE, 500);
}

static void Mp3OnPlay(HWND dialog)
{
    char folder[256];
    ReadString(folder, HKEY_CURRENT_USER, ProductKey, "Mp3Path");
    if (!PathIsDirectoryA(folder))
        return;
    LRESULT selection = SendDlgItemMessageA(dialog, IDC_MP3_LIST, LB_GETCURSEL, 0, 0);
    if (selection == LB_ERR)
        return;
    currentTrack = (int)selection;
    if (!PlayListEntry(dialog, folder, currentTrack))
        return;
    ResetPositionSlider(dialog);
}

static void Mp3OnClose(HWND dialog)
{
    StopAndClose(&Mp3Media);
    Mp3PlayerState* state = PlayerState(dialog);
    BOOL modal = FALSE;
    if (state) {
        ListClear(&state->listing);
        modal = state->modal;
        HeapFree(GetProcessHeap(), 0, state);
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
    }
    if (modal)
        EndDialog(dialog, 1);
    else
        DestroyWindow(dialog);
}

// The sliders act when the mouse lets go of them, not while they are dragged.
static void Mp3OnSliderReleased(HWND dialog, const NMHDR* header)
{
    if (header->code != (UINT)NM_RELEASEDCAPTURE)
        return;
    LONG position = (LONG)SendMessageA(header->hwndFrom, TBM_GETPOS, 0, 0);
    if (header->idFrom == IDC_MP3_POSITION) {
        SeekAndPlay(&Mp3Media, position * 1000);
        return;
    }
    LONG volume = position - 1001;
    SetMediaVolume(&Mp3Media, volume < 0 ? -volume : volume);
}

static void Mp3MoveToNextTrack(HWND dialog)
{
    char folder[256];
    ReadString(folder, HKEY_CURRENT_USER, ProductKey, "Mp3Path");
    if (currentTrack < trackCount - 1)
        currentTrack++;
    else
        currentTrack = 0;
    if (!PlayListEntry(dialog, folder, currentTrack))
        return;
    SendDlgItemMessageA(dialog, IDC_MP3_LIST, LB_SETCURSEL, currentTrack, 0);
    ResetPositionSlider(dialog);
}

static void Mp3OnTimer(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_MP3_POSITION, TBM_SETPOS, TRUE, GetMediaPosition(&Mp3Media) / 1000);
    if (MediaReachedEnd(&Mp3Media))
        Mp3MoveToNextTrack(dialog);
}

INT_PTR CALLBACK Mp3PlayerDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.OwnerDrawButtons = 1;
    switch (message) {
    case WM_INITDIALOG: Mp3OnInit(dialog); return 0;
    case WM_NOTIFY: Mp3OnSliderReleased(dialog, (const NMHDR*)lParam); return 0;
    case WM_TIMER: Mp3OnTimer(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MP3_PLAY: Mp3OnPlay(dialog); return 0;
        case IDC_MP3_PAUSE: PauseMedia(&Mp3Media); return 0;
        case IDC_MP3_STOP: StopAndClose(&Mp3Media); return 0;
        case IDC_MP3_CLOSE: Mp3OnClose(dialog); return 0;
        }
        break;
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}

INT_PTR RunMp3PlayerModal(HWND owner)
{
    OpeningModalPlayer = TRUE;
    INT_PTR result = DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MP3_PLAYER), owner,
                                     Mp3PlayerDialog, 0);
    OpeningModalPlayer = FALSE;
    return result;
}
