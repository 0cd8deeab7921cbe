// The taskbar: Start button, one button per visible window, the clock.
#pragma once
#include <windows.h>

enum { MAX_WINDOW_BUTTONS = 14, CLICKED_CAPTION_SIZE = 260, CLOCK_TEXT_SIZE = 64 };

HWND GetStartButton();
HWND GetClockLabel();
BYTE GetWindowButtonCount();
const char* GetLastClickedCaption();
HBITMAP GetTaskbarStripBitmap();
HBITMAP GetStartButtonBitmap();
// The buttons are forgotten without being destroyed (their parent went).
void ForgetWindowButtons();

void LoadTaskbarBitmaps(HINSTANCE instance);
void CreateTaskbarControls(HWND mainWindow);
void PaintTaskbarStrip(HDC dc);
void PlaceTaskbarControls();
// The main window's release, in two steps: the bitmaps, later the Start
// button and the timer.
void ReleaseTaskbarBitmaps();
void ReleaseTaskbarControls(HWND mainWindow);
void RebuildWindowButtons(HWND mainWindow);
void ActivateWindowButton(HWND mainWindow, HWND button);
void ShowStartMenu(HWND mainWindow);

// Plain helpers, also used by the tests.
char* FormatClockText(char* text);   // CLOCK_TEXT_SIZE characters
char* FormatClockTime(const SYSTEMTIME* time, char* text);
// Shapes a window title into its button caption in place; null when the
// title gets no button.
char* MakeButtonCaption(char* title);
