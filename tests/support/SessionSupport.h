// Set-up of the guest-session suites: the profile's folders pointed at
// folders of the test, and shortcuts.
#pragma once
#include <windows.h>
#include <string>
#include "support/TestSupport.h"

// The profile's application data folder (where the sessions' log and the
// lines waiting for it live by default) pointed at a fresh folder.
struct AppDataFolder {
    TempFolder folder;
    SavedValue saved;
    AppDataFolder();
};

// TMP and TEMP of this process, and of the programs it starts, pointed at a
// fresh folder named Temp; put back at the end of scope.
struct GuestTempFolder {
    TempFolder outer;
    std::string path;
    std::string saved[2];
    bool had[2] = {};
    GuestTempFolder();
    ~GuestTempFolder();
};

// A shortcut (.lnk) at `path` to `target`, written by the shell's link object.
bool MakeShortcut(const std::string& path, const std::string& target);
