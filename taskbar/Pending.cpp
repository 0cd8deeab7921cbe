// Operations of this folder that are not built yet; each leaves this file as
// it is written.
#include "taskbar/Taskbar.h"

HWND StartButton;
HWND ClockLabel;
void CreateTaskbarControls(HWND) {}
void RebuildWindowButtons(HWND) {}
void ActivateWindowButton(HWND, HWND) {}
void ShowStartMenu(HWND) {}
void UpdateClock(HWND) {}
