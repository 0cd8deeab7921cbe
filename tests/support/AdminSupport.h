// Helpers of the administration tests: the fixture of in-process dialogs,
// System.ini, the browser's two file names, logging in to a running shell.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "support/TestSupport.h"

// System.ini in the Windows directory.
std::string SystemIniPath();
std::string IniValue(const std::string& file, const char* section, const char* entry);


// Program starts of the hand-over to Windows, recorded instead of run (set
// ShellStart to CountStart), and the WM_CLOSEs a stand-in main window got.
extern std::vector<std::string> Started;
extern int CloseCount;
HINSTANCE WINAPI CountStart(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT);
HWND MakeFakeMainWindow();

// In a running shell: F3, then OK with the password field as it stands;
// returns the Options Panel that opens, or null.
HWND LogIntoPanel(ShellProcess& shell, HWND main);

// halcyne.exe on a Desktop folder of its own with an empty administrator
// password; the old password is put back after the shell has ended.
struct PanelShell : private SavedValue, DesktopShell {
    PanelShell();
    // Starts the shell and logs in; gives the Options Panel, or null.
    HWND OpenPanel();
};

// Sets the shared start-up values a dialog of the shell needs, in-process.
void InitAdminGlobals();

// A dialog of the shell run in this process: the shared start-up values set
// before each test; afterwards pending steps forgotten, the stand-in windows
// destroyed and the main window and Options Panel handles cleared.
struct ShellDialogTest : ::testing::Test {
    std::vector<HWND> standIns;
    void SetUp() override;
    void TearDown() override;
    // A hidden popup destroyed after the test (an owner, a stand-in panel).
    HWND StandIn(const char* title, DWORD style = WS_POPUP);
    // Runs the dialog from its template, owned by `owner`; gives its result.
    INT_PTR RunDialog(int templateId, DLGPROC procedure, HWND owner);
};

// In an open-file dialog: the path typed into the file-name field (the
// combo box of the Explorer style, else the old edit field), then OK.
// False when the dialog has neither.
bool ChooseFile(HWND dialog, const std::string& path);

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
