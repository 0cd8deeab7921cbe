// Media and help: media windows, MP3 and movie players, HTML viewer.
#pragma once
#include <windows.h>

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

void InitMediaPlayers(HWND mainWindow, HINSTANCE instance);
INT_PTR CALLBACK Mp3PlayerDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MoviePlayerDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OpenMoviePlayer();
int ShowHtmlDocument(HWND owner, const char* url);
void ShowBuiltInHelp();
void StopMovie();
INT_PTR CALLBACK AdvancedOptionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
