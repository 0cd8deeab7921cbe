// Shared helpers of the test suites: temporary folders and registry keys,
// driving halcyne.exe as a separate process, finding and reading windows.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

// A fresh folder under %TEMP%, removed with its contents at the end of scope.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    std::string File(const std::string& name) const;
    void Write(const std::string& name, const std::string& content) const;
};

// Deletes a registry key tree (HKCU by default) at the end of scope and, when
// asked, restores one value to what it held before.
struct RegistryGuard {
    HKEY root;
    std::string key;
    RegistryGuard(HKEY root, const std::string& key);
    ~RegistryGuard();
};

struct SavedValue {
    HKEY root;
    std::string key, name;
    bool existed = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    SavedValue(HKEY root, const std::string& key, const std::string& name);
    ~SavedValue();
};

void DeleteKeyTree(HKEY root, const char* key);
void SetRegString(HKEY root, const char* key, const char* name, const char* value);
void SetRegDword(HKEY root, const char* key, const char* name, DWORD value);
bool GetRegString(HKEY root, const char* key, const char* name, std::string* value);
bool GetRegDword(HKEY root, const char* key, const char* name, DWORD* value);
// A string value of HKCU, or "(missing)".
std::string RegText(const char* key, const char* name);
void DeleteRegValue(HKEY root, const char* key, const char* name);

bool ReadWholeFile(const std::string& path, std::string* content);
bool WriteWholeFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);

// Keeps a file's bytes (or its absence) and puts them back at the end of scope.
struct FileBackup {
    std::string path;
    bool existed = false;
    std::string content;
    explicit FileBackup(const std::string& path);
    ~FileBackup();
    void Remove() const;
};

// A 24-bit BMP file whose pixel (x, y), counted from the top, has colour(x, y).
bool WriteBitmapFile(const std::string& path, int width, int height,
                     const std::function<COLORREF(int x, int y)>& colour);

// The shell's exe beside the test executables.
std::string ShellExePath();
std::string ExeFolder();

// Pumps this thread's messages for the given time.
void Pump(DWORD milliseconds);
// Runs `pump` until the condition holds or the time is up; returns the condition.
template <typename Condition, typename PumpStep>
bool PumpUntil(Condition condition, DWORD milliseconds, PumpStep pump)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        pump();
    }
}

// Pumps until the condition holds or the time is up; returns the condition.
template <typename Condition> bool WaitFor(Condition condition, DWORD milliseconds = 5000)
{
    return PumpUntil(condition, milliseconds, [] { Pump(20); });
}

// True when the condition holds all through the time (pumping meanwhile):
// for what must not happen, checked until it would have shown.
template <typename Condition> bool Holds(Condition condition, DWORD milliseconds)
{
    return !WaitFor([&] { return !condition(); }, milliseconds);
}

// Handles every message already in this thread's queue.
void DrainQueue();

// Pumps as a dialog's own loop does, so keys reach the dialog manager, until
// the condition holds or the time is up; returns the condition.
template <typename Condition> bool WaitInDialog(HWND dialog, Condition condition, DWORD milliseconds)
{
    return PumpUntil(condition, milliseconds, [dialog] {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (!IsWindow(dialog) || !IsDialogMessageA(dialog, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    });
}

// Another program with one visible window of class TitledWindowClass and the
// given title (this test executable started again); ended at the end of scope.
extern const char TitledWindowClass[];
struct TitledWindowProcess {
    PROCESS_INFORMATION info = {};
    HWND window = NULL;
    explicit TitledWindowProcess(const std::string& title);
    bool Running() const;
    DWORD ExitCode(DWORD milliseconds) const;
    ~TitledWindowProcess();
};

// halcyne.exe as a child process; ended at the end of scope.
struct ShellProcess {
    PROCESS_INFORMATION info = {};
    std::string exePath;   // another copy of the shell; empty for the built one
    bool Start(const std::string& arguments = "", const std::string& desktopFolder = "");
    HWND WaitForMainWindow(DWORD milliseconds = 15000);
    bool WaitForExit(DWORD milliseconds, DWORD* exitCode = nullptr);
    // Top-level windows of the process's threads, optionally of one class.
    std::vector<HWND> Windows(const char* className = nullptr, bool visibleOnly = true);
    HWND WaitForWindow(const char* className, const char* title, DWORD milliseconds = 10000);
    void Kill();
    ~ShellProcess();
};

// Sets the Desktop folder that the shell lists, restoring the old one later.
struct DesktopFolderGuard {
    SavedValue saved;
    explicit DesktopFolderGuard(const std::string& folder);
};

// halcyne.exe over an empty Desktop folder of its own; ended at the end of scope.
struct DesktopShell {
    TempFolder desktop;
    DesktopFolderGuard folder{ desktop.path };
    ShellProcess shell;
    HWND main = NULL;
    // Starts the shell and waits for its main window.
    bool Start(const std::string& arguments = "");
};

// The same with no tip at start-up; the product key is removed at the end of
// scope, after the shell has ended.
struct QuietShell : private RegistryGuard, DesktopShell {
    QuietShell();
};

// Clicks a dialog's button by posting its command (works across processes).
void PostButtonClick(HWND dialog, int id);
// Sends a button's click to its dialog as the button would.
void ClickButton(HWND dialog, int id);
bool Checked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool ticked);
// Types text into a control as the keyboard would.
void TypeText(HWND control, const char* text);

// Runs `step` from a timer of this thread once a visible window of this
// process with the title shows (class "#32770"); several may wait at once,
// each runs once. A watchdog ends such a dialog still open 30 s after its
// step (or 30 s after the request when it never shows visibly), so a test
// fails instead of hanging in a modal loop.
void WhenShown(const char* title, std::function<void(HWND)> step);
void ForgetPendingSteps();
// Answers the next message box titled `caption` with OK, keeping its text.
void AnswerBox(const char* caption, std::string* text);
// Waits (pumping) for a dialog of this process and returns it, or null.
HWND WaitForOwnDialog(const char* title, DWORD milliseconds = 5000);
// Finds a visible top-level window of this process by class and title.
HWND FindOwnWindow(const char* className, const char* title);

// Posts a key as the loop would see it (reaches the accelerators without focus).
void PostKey(HWND window, UINT virtualKey);

std::string WindowText(HWND window);
// A list view's item count and an item's label.
int ListViewItemCount(HWND view);
std::string ListViewItemText(HWND view, int item);
std::string ClassOf(HWND window);
// Text of a message box (its static with the identifier 0xFFFF).
std::string MessageBoxText(HWND box);
// Finds a visible top-level window of this or any process by class and title.
HWND FindTopLevel(const char* className, const char* title);

// Registers the window class (again is harmless) and makes a window of it,
// placed at `place` (left, top, width, height).
// The shell's state and main window made in the test's own process, as the
// start-up makes them (the Desktop folder as the registry names it).
HWND MakeShellMainWindow(DWORD style);
HWND MakeWindow(const char* className, WNDPROC procedure, const char* title, DWORD style,
                RECT place = { 0, 0, 10, 10 }, DWORD exStyle = 0);

// Whether a rectangle (a window's on the screen) has this corner and size;
// the failure tells where it is instead.
::testing::AssertionResult Placed(const RECT& rect, int left, int top, int width, int height);
::testing::AssertionResult Placed(HWND window, int left, int top, int width, int height);

// Reads back a screen pixel (through the window's DC).
COLORREF PixelAt(HWND window, int x, int y);

// The string lists' allocations succeed `left` more times, then fail, until
// the end of scope.
struct MemoryShortage {
    explicit MemoryShortage(int left);
    ~MemoryShortage();
};

// Presses the keys in order and lets them go in reverse, as real input.
void SendKeys(const std::vector<WORD>& keys);

// A window of this process that notes the keys reaching it while in front.
struct KeyRecorder {
    HWND window = NULL;
    KeyRecorder();
    ~KeyRecorder();
    // Brings the window to the front, presses the keys, and says whether
    // `watched` reached it; F24 pressed after them marks the end.
    bool Reached(const std::vector<WORD>& keys, WORD watched);
};
