// Media and help: media windows, MP3 and movie players, HTML viewer.
#pragma once
#include <windows.h>
#include <ole2.h>

struct MediaPlayer {
    HWND parent;
    HINSTANCE instance;
    HWND window;
    BYTE state;      // 0 stopped, 1 playing, 2 paused
    LONG volume;
};
extern MediaPlayer Mp3Media;
extern MediaPlayer MovieMedia;
extern HWND MovieWindow;

// Style of every media window: a visible child without play bar and menu.
const DWORD MediaWindowStyle = 0x5000000A;

void InitMediaPlayers(HWND mainWindow, HINSTANCE instance);
BOOL OpenAndPlay(const char* fileName, MediaPlayer* player);
BOOL StopAndClose(MediaPlayer* player);
int SetMediaVolume(MediaPlayer* player, LONG volume);
int SeekAndPlay(MediaPlayer* player, LONG position);
LRESULT PauseMedia(MediaPlayer* player);
LONG GetMediaPosition(MediaPlayer* player);
LONG GetMediaLength(MediaPlayer* player);
LRESULT SetMediaZoom(MediaPlayer* player, BYTE zoom);
HWND GetMediaWindow(MediaPlayer* player);
// True when the media window has stopped by itself at the end of its media.
BOOL MediaReachedEnd(MediaPlayer* player);

// MP3 player: state shared by every player dialog.
int GetCurrentTrack();
int GetTrackCount();
void ForgetTracks();
INT_PTR CALLBACK Mp3PlayerDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the player modally (Advanced Options); CLOSE ends it with EndDialog.
INT_PTR RunMp3PlayerModal(HWND owner);

void OpenMoviePlayer();
void StopMovie();

// HTML viewer and built-in help.
BOOL BuildResourceUrl(UINT resourceId, char* address);
int ShowHtmlDocument(HWND owner, const char* url);
void ShowBuiltInHelp();
typedef HRESULT (WINAPI* ShowHtmlDialogProc)(HWND owner, IMoniker* moniker, VARIANT* argumentIn,
                                             WCHAR* options, VARIANT* argumentOut);

INT_PTR CALLBACK AdvancedOptionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
