// The two media records and the thin layer over the media control window.
#include "media/Media.h"
#include <vfw.h>

MediaPlayer Mp3Media;
MediaPlayer MovieMedia;

void InitMediaPlayers(HWND mainWindow, HINSTANCE instance)
{
    MediaPlayer* players[2] = {&Mp3Media, &MovieMedia};
    for (MediaPlayer* player : players) {
        player->window = NULL;
        player->instance = instance;
        player->parent = mainWindow;
        player->state = 0;
        player->volume = 500;
    }
}

typedef HWND (VFWAPIV* CreateMediaWindowProc)(HWND parent, HINSTANCE instance, DWORD style,
                                               LPCSTR fileName);

// Video for Windows is loaded when a player first opens a file, not at
// start-up, and kept: its media windows live on after the call.
static CreateMediaWindowProc CreateMediaWindowEntry()
{
    static HMODULE library = NULL;
    if (!library)
        library = LoadLibraryA("MSVFW32.DLL");
    return library ? (CreateMediaWindowProc)(void*)GetProcAddress(library, "MCIWndCreateA") : NULL;
}

// The media window in which a position above 0 was last seen.
static HWND PlayedWindow;

BOOL StopAndClose(MediaPlayer* player)
{
    if (PlayedWindow == player->window)
        PlayedWindow = NULL;
    player->state = 0;
    SendMessageA(player->window, MCI_STOP, 0, 0);
    SendMessageA(player->window, WM_CLOSE, 0, 0);
    player->window = NULL;
    return TRUE;
}

int SetMediaVolume(MediaPlayer* player, LONG volume)
{
    SendMessageA(player->window, MCIWNDM_SETVOLUME, 0, volume);
    player->volume = volume;
    return 0;
}

int SeekAndPlay(MediaPlayer* player, LONG position)
{
    SendMessageA(player->window, MCI_SEEK, 0, position);
    SendMessageA(player->window, MCI_PLAY, 0, 0);
    player->state = 1;
    return 1;
}

LRESULT PauseMedia(MediaPlayer* player)
{
    player->state = 2;
    return SendMessageA(player->window, MCI_PAUSE, 0, 0);
}

LONG GetMediaPosition(MediaPlayer* player)
{
    return (LONG)SendMessageA(player->window, MCIWNDM_GETPOSITIONA, 0, 0);
}

LONG GetMediaLength(MediaPlayer* player)
{
    return (LONG)SendMessageA(player->window, MCIWNDM_GETLENGTH, 0, 0);
}

LRESULT SetMediaZoom(MediaPlayer* player, BYTE zoom)
{
    return SendMessageA(player->window, MCIWNDM_SETZOOM, 0, zoom);
}

HWND GetMediaWindow(MediaPlayer* player)
{
    return player->window;
}

BOOL OpenAndPlay(const char* fileName, MediaPlayer* player)
{
    if (player->state == 1)
        StopAndClose(player);
    if (player->window) {
        // Paused: the paused media goes on, whatever file was asked for.
        SendMessageA(player->window, MCI_RESUME, 0, 0);
        player->state = 1;
        return TRUE;
    }
    // Without the library the record plays nothing, as after a failed creation.
    CreateMediaWindowProc createWindow = CreateMediaWindowEntry();
    player->window = createWindow ? createWindow(player->parent, player->instance, MediaWindowStyle, fileName)
                                  : NULL;
    player->state = 1;
    SendMessageA(player->window, MCI_SEEK, 0, MCIWND_START);
    SetMediaVolume(player, player->volume);
    SendMessageA(player->window, MCI_PLAY, 0, 0);
    return TRUE;
}

// Some media devices overshoot the length and fall back when they stop, so
// "position equals length" is not always seen: a window that stopped by
// itself while the record still reads playing has also reached the end, but
// only once it had really played; a file that opens but cannot play (a busy
// device, a missing codec) stops at once and is no end.
BOOL MediaReachedEnd(MediaPlayer* player)
{
    LONG position = GetMediaPosition(player);
    LONG length = GetMediaLength(player);
    if (position == length && position > 0)
        return TRUE;
    if (position > 0 && player->window)
        PlayedWindow = player->window;
    if (player->state != 1 || !player->window || length == 0 || PlayedWindow != player->window)
        return FALSE;
    return SendMessageA(player->window, MCIWNDM_GETMODEA, 0, 0) == MCI_MODE_STOP;
}

// "Quit to Windows" stops the desktop movie.
void StopMovie()
{
    StopAndClose(&MovieMedia);
}
