// Helpers of the administration tests: files saved and restored, dialogs
// driven from a timer of the test thread, the browser's two file names.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "support/TestSupport.h"
#include "support/MediaSupport.h"

// Keeps a file's bytes (or its absence) and puts them back at the end of scope.
struct FileBackup {
    std::string path;
    bool existed = false;
    std::string content;
    explicit FileBackup(const std::string& path);
    ~FileBackup();
    void Remove() const;
};

bool ReadWholeFile(const std::string& path, std::string* content);
void WriteWholeFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);

// System.ini in the Windows directory.
std::string SystemIniPath();
std::string IniValue(const std::string& file, const char* section, const char* entry);

// Runs `step` once a visible window of this process with the title shows
// (class "#32770"); several may wait at once, each runs once.
void WhenShown(const char* title, std::function<void(HWND)> step);
void ForgetPendingSteps();
// Waits (pumping) for a dialog of this process and returns it, or null.
HWND WaitForOwnDialog(const char* title, DWORD milliseconds = 5000);
// Types text into a control as the keyboard would.
void TypeText(HWND control, const char* text);
bool Checked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool ticked);

// Program starts of the hand-over to Windows, recorded instead of run (set
// ShellStart to CountStart), and the WM_CLOSEs a stand-in main window got.
extern std::vector<std::string> Started;
extern int CloseCount;
HINSTANCE WINAPI CountStart(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT);
HWND MakeFakeMainWindow();

// In a running shell: F3, then OK with the password field as it stands;
// returns the Options Panel that opens, or null.
HWND LogIntoPanel(ShellProcess& shell, HWND main);

// Sets the shared start-up values a dialog of the shell needs, in-process.
void InitAdminGlobals();

// The browser's folder at the fixed short path, emptied of both names for the
// test and restored afterwards (created when it does not exist).
struct BrowserFolder {
    std::string enabled, disabled;
    bool madeTop = false, madeFolder = false;
    FileBackup enabledBackup, disabledBackup;
    BrowserFolder();
    ~BrowserFolder();
    void Put(const std::string& path) const;
};

// In a running shell: F3, the text typed, Ok. Gives the message box's text,
// or "panel" when the Options Panel opened; closes whatever opened.
std::string TryLogin(ShellProcess& shell, HWND main, const char* typed);
