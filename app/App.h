// Shell frame: start-up, the main window and the command dispatch.
#pragma once
#include <windows.h>
#include "core/Shared.h"

int StartShell(HINSTANCE instance, const char* commandLine);
void InitShellState(HINSTANCE instance);
DWORD VersionNumberFrom(DWORD getVersionResult);
void RegisterShellWindowClass(HINSTANCE instance);

LRESULT CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void BuildCommandsMenu();
void RunShellCommand(HWND window, UINT command);
// True once the shell has asked for its own end; until then nothing ends the loop.
bool ShellEnding();

// The command table that RunShellCommand walks: a menu identifier, the
// function key's identifier (0 for none) and the work.
struct ShellCommand {
    WORD menuId;
    WORD keyId;
    void (*run)(HWND window);
};
extern const ShellCommand ShellCommands[];
extern const int ShellCommandCount;
