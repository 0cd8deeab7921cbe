// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "media/Media.h"

MediaPlayer Mp3Media;
MediaPlayer MovieMedia;
HWND MovieWindow;
void InitMediaPlayers(HWND, HINSTANCE) {}
INT_PTR CALLBACK Mp3PlayerDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK MoviePlayerDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }
void OpenMoviePlayer() {}
int ShowHtmlDocument(HWND, const char*) { return 0; }
void ShowBuiltInHelp() {}
void StopMovie() {}
INT_PTR CALLBACK AdvancedOptionsDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }
