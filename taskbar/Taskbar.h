// The taskbar: Start button, one button per visible window, the clock.
#pragma once
#include <windows.h>

extern HWND StartButton;
extern HWND ClockLabel;

void CreateTaskbarControls(HWND mainWindow);
void RebuildWindowButtons(HWND mainWindow);
void ActivateWindowButton(HWND mainWindow, HWND button);
void ShowStartMenu(HWND mainWindow);
void UpdateClock(HWND label);
