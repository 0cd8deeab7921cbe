// The reset between guests: the guest's windows closed (ended when they
// stay), what the session added to the Desktop folder deleted, the temporary
// folder, recent documents and clipboard emptied, the administrator's
// clean-up command run, the desktop refreshed.
#include "session/Session.h"
#include "core/Core.h"
#include "core/Shared.h"
#include "desktop/Desktop.h"
#include "look/Look.h"
#include "media/Media.h"
#include "tools/Tools.h"
#include "res/resource.h"

enum {
    CLOSE_WAIT = 5000,          // what a program gets to close before it is ended
    CLEANUP_WAIT = 60000,       // the administrator's command, at most
    BASELINE_LIMIT = 4096,      // entries below the top remembered; a folder cut short is kept whole
    BASELINE_DEPTH = 16,
    OWN_WINDOWS = 32,
    OWN_PASSES = 8,
    PROTECTED_PATHS = 6,
};

// The Desktop as the administrator left it: every entry's path below the
// folder, in capitals, and its kind: 'F' a file, 'D' a folder whose entries
// are remembered too, 'K' a folder kept whole (a reparse point, or one too
// deep or too full to list).
struct BaselineEntry {
    BaselineEntry* next;
    char kind;
    char path[1];
};
static BaselineEntry* Baseline;
static int BaselineCount;
static BOOL BaselineTaken;
static char BaselineFolder[MAX_PATH];
static BOOL Resetting;

static BOOL JoinPath(char* out, const char* folder, const char* name)
{
    int folderLength = lstrlenA(folder);
    int slash = folderLength > 0 && folder[folderLength - 1] != '\\' ? 1 : 0;
    if (folderLength + slash + lstrlenA(name) >= MAX_PATH)
        return FALSE;
    lstrcpyA(out, folder);
    if (slash)
        lstrcatA(out, "\\");
    lstrcatA(out, name);
    return TRUE;
}

static BOOL IsDots(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// An entry's path in `folder`, and the name it goes by: its long name where
// a path can spell it and it fits, else its short name; null when neither
// does. Never a name cut short, nor one the platform would read as another:
// "a.txt." or "a.txt " open "a.txt", and a '?' stands for a character the
// code page lacks.
static const char* EntryPath(const char* folder, const WIN32_FIND_DATAA* found, char* child)
{
    const char* name = found->cFileName;
    int length = lstrlenA(name);
    BOOL spelt = length > 0 && name[length - 1] != '.' && name[length - 1] != ' ';
    for (const char* c = name; *c; c++)
        if (*c == '?' || *c == '*' || *c == '<' || *c == '>' || *c == '|' || *c == '"' || *c == ':' || *c == '/')
            spelt = FALSE;
    if (spelt && JoinPath(child, folder, name))
        return name;
    if (found->cAlternateFileName[0] && JoinPath(child, folder, found->cAlternateFileName))
        return found->cAlternateFileName;
    return NULL;
}

static void Capitals(char* text)
{
    CharUpperBuffA(text, (DWORD)lstrlenA(text));
}

static char BaselineKind(const char* relative)
{
    char key[MAX_PATH];
    lstrcpynA(key, relative, sizeof key);
    Capitals(key);
    for (BaselineEntry* entry = Baseline; entry; entry = entry->next)
        if (lstrcmpA(entry->path, key) == 0)
            return entry->kind;
    return 0;
}

static BOOL Remember(char kind, const char* relative)
{
    int length = lstrlenA(relative);
    BaselineEntry* entry = (BaselineEntry*)HeapAlloc(GetProcessHeap(), 0, sizeof(BaselineEntry) + length);
    if (!entry)
        return FALSE;
    entry->kind = kind;
    lstrcpyA(entry->path, relative);
    Capitals(entry->path);
    entry->next = Baseline;
    Baseline = entry;
    BaselineCount++;
    return TRUE;
}

static void ForgetBaseline()
{
    while (Baseline) {
        BaselineEntry* next = Baseline->next;
        HeapFree(GetProcessHeap(), 0, Baseline);
        Baseline = next;
    }
    BaselineCount = 0;
}

// FALSE when the folder could not be listed whole.
static BOOL RememberFolder(const char* folder, const char* relative, int depth)
{
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, folder, "*"))
        return FALSE;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL whole = TRUE;
    do {
        if (IsDots(found.cFileName))
            continue;
        char child[MAX_PATH], childRelative[MAX_PATH];
        const char* name = EntryPath(folder, &found, child);
        if (!name || !JoinPath(childRelative, relative, name) || (depth > 0 && BaselineCount >= BASELINE_LIMIT)) {
            whole = FALSE;
            break;
        }
        char kind = 'F';
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            kind = 'K';
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && depth < BASELINE_DEPTH
                && BaselineCount < BASELINE_LIMIT && RememberFolder(child, childRelative, depth + 1))
                kind = 'D';
        }
        if (!Remember(kind, childRelative)) {
            whole = FALSE;
            break;
        }
    } while (FindNextFileA(search, &found));
    if (whole && GetLastError() != ERROR_NO_MORE_FILES)
        whole = FALSE;
    FindClose(search);
    return whole;
}

static BOOL IsFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A Desktop folder that is unknown, missing or cannot be listed whole gives
// no baseline, and then the reset deletes nothing there.
void TakeDesktopBaseline()
{
    ForgetBaseline();
    lstrcpynA(BaselineFolder, ProgramInfo.desktopFolder, sizeof BaselineFolder);
    BaselineTaken = BaselineFolder[0] && IsFolder(BaselineFolder) && RememberFolder(BaselineFolder, "", 0);
    if (!BaselineTaken)
        ForgetBaseline();
}

// Handles what waits in this thread's queue; a quit is put back for the
// shell's own loop. FALSE once the shell is quitting.
static BOOL PumpMessages(DWORD milliseconds)
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage((int)message.wParam);
            return FALSE;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, NULL, FALSE, milliseconds, QS_ALLINPUT);
    return TRUE;
}

// The windows the taskbar would list: visible, top-level, titled; Windows'
// own desktop (class "Progman", "Program Manager") is never one of them.
// GetWindowTextA sends no message to another process's window, so a hung
// program cannot stop the reset here.
static BOOL IsListedWindow(HWND window)
{
    char title[8];
    if (!IsWindowVisible(window) || GetWindowTextA(window, title, sizeof title) == 0)
        return FALSE;
    char className[16];
    if (GetClassNameA(window, className, sizeof className) && lstrcmpiA(className, "Progman") == 0)
        return FALSE;
    return TRUE;
}

static BOOL IsOwnWindow(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

enum WindowAction { WINDOWS_COUNT, WINDOWS_CLOSE, WINDOWS_END };

struct WindowSweep {
    WindowAction action;
    int foreign;        // guest windows seen
    HWND own[OWN_WINDOWS];
    int ownCount;
};

static BOOL CALLBACK SweepWindow(HWND window, LPARAM data)
{
    WindowSweep* sweep = (WindowSweep*)data;
    if (!IsListedWindow(window) || window == MainWindow)
        return TRUE;
    if (IsOwnWindow(window)) {
        if (sweep->ownCount < OWN_WINDOWS)
            sweep->own[sweep->ownCount++] = window;
        return TRUE;
    }
    sweep->foreign++;
    if (sweep->action == WINDOWS_CLOSE)
        PostMessageA(window, WM_CLOSE, 0, 0);
    else if (sweep->action == WINDOWS_END)
        EndWindowProcess(window);
    return TRUE;
}

// The shell's own dialogs ignore WM_CLOSE: each is closed by its own command.
// Others of the shell (the administrator's dialogs, message boxes) stay.
static BOOL CloseOwnWindow(HWND window)
{
    char className[16];
    if (!IsWindow(window) || !GetClassNameA(window, className, sizeof className) || lstrcmpA(className, "#32770"))
        return FALSE;
    DLGPROC procedure = (DLGPROC)GetWindowLongPtrA(window, DWLP_DLGPROC);
    WORD command = 0;
    if (window == MovieWindow)
        command = IDC_MOVIE_CLOSE;
    else if (procedure == Mp3PlayerDialog)
        command = IDC_MP3_CLOSE;
    else if (procedure == AboutProc)
        command = IDC_ABOUT_OK;
    else if (GetDlgItem(window, IDC_TIP_NEXT) && GetDlgItem(window, IDC_TIP_NO_STARTUP))
        command = IDOK;
    if (command)
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), 0);
    return command != 0;
}

static int ForeignWindows(WindowAction action, WindowSweep* sweep)
{
    ZeroMemory(sweep, sizeof *sweep);
    sweep->action = action;
    EnumWindows(SweepWindow, (LPARAM)sweep);
    return sweep->foreign;
}

static void CloseGuestWindows()
{
    WindowSweep sweep;
    ForeignWindows(WINDOWS_CLOSE, &sweep);
    // More of the shell's own than one walk holds (a held F6 opens many players).
    for (int pass = 0; pass < OWN_PASSES; pass++) {
        BOOL closed = FALSE;
        for (int i = 0; i < sweep.ownCount; i++)
            closed |= CloseOwnWindow(sweep.own[i]);
        if (!closed || sweep.ownCount < OWN_WINDOWS)
            break;
        ForeignWindows(WINDOWS_COUNT, &sweep);
    }
    DWORD start = GetTickCount();
    WindowSweep check;
    while (ForeignWindows(WINDOWS_COUNT, &check) > 0 && GetTickCount() - start < CLOSE_WAIT)
        if (!PumpMessages(100))
            break;
    // Still there (or opened meanwhile, like a "Save changes?" question):
    // ended as the Task Manager ends one. This process is never among them.
    ForeignWindows(WINDOWS_END, &check);
}

// What neither sweep ever touches: the Desktop folder (for the temporary
// folder's sweep), the Windows and system folders, the shell's own folder
// and the log's files. Compared by their short names, which every path of a
// file has whatever form it was written in.
struct FileSweep {
    BOOL desktop;       // the Desktop: only what the baseline lacks, stopping at the first failure
    char* problem;
    int problemSize;
    char protectedPaths[PROTECTED_PATHS][MAX_PATH];
    int protectedCount;
    int systemPaths;    // the first ones: the Windows and system folders, the shell's
};

static void ComparableForm(const char* path, char* form)
{
    DWORD length = GetShortPathNameA(path, form, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        lstrcpynA(form, path, MAX_PATH);
    int end = lstrlenA(form);
    if (end > 3 && form[end - 1] == '\\')
        form[end - 1] = 0;
    Capitals(form);
}

static void Protect(FileSweep* sweep, const char* path)
{
    if (path[0] && sweep->protectedCount < PROTECTED_PATHS)
        ComparableForm(path, sweep->protectedPaths[sweep->protectedCount++]);
}

static BOOL IsProtected(const FileSweep* sweep, const char* path)
{
    char form[MAX_PATH];
    ComparableForm(path, form);
    for (int i = 0; i < sweep->protectedCount; i++)
        if (lstrcmpA(form, sweep->protectedPaths[i]) == 0)
            return TRUE;
    return FALSE;
}

// `path` inside `folder` (or the folder itself), both in comparable form.
static BOOL IsSameOrInside(const char* path, const char* folder)
{
    int length = lstrlenA(folder);
    if (length == 0 || lstrlenA(path) < length)
        return FALSE;
    for (int i = 0; i < length; i++)
        if (path[i] != folder[i])
            return FALSE;
    return path[length] == 0 || path[length] == '\\' || folder[length - 1] == '\\';
}

static void ProtectShellPaths(FileSweep* sweep)
{
    char path[MAX_PATH];
    UINT length = GetWindowsDirectoryA(path, sizeof path);
    if (length > 0 && length < sizeof path)
        Protect(sweep, path);
    length = GetSystemDirectoryA(path, sizeof path);
    if (length > 0 && length < sizeof path)
        Protect(sweep, path);
    length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length > 0 && length < sizeof path) {
        while (length > 0 && path[length - 1] != '\\')
            length--;
        path[length] = 0;
        Protect(sweep, path);
    }
    sweep->systemPaths = sweep->protectedCount;
    Protect(sweep, ProgramInfo.desktopFolder);
    SessionSettings settings;
    ReadSessionSettings(&settings);
    Protect(sweep, settings.logPath);
    PendingSessionLogPath(path, sizeof path);
    Protect(sweep, path);
}

static BOOL RemoveEntry(const char* path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        DWORD kept = attributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        SetFileAttributesA(path, kept ? kept : FILE_ATTRIBUTE_NORMAL);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryA(path);
    return DeleteFileA(path);
}

// The Desktop's sweep stops at the first entry it cannot remove and names it.
static BOOL SweepFailed(FileSweep* sweep, const char* path)
{
    if (!sweep->desktop)
        return TRUE;
    if (sweep->problemSize > 0)
        lstrcpynA(sweep->problem, path, sweep->problemSize);
    return FALSE;
}

// Removes what goes in `folder`: everything when `relative` is null,
// otherwise what the baseline lacks. A folder that is a reparse point is
// removed as a link, never entered; a shortcut is a file like any other.
static BOOL SweepFolder(FileSweep* sweep, const char* folder, const char* relative)
{
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, folder, "*"))
        return SweepFailed(sweep, folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return relative ? TRUE : SweepFailed(sweep, folder);
    BOOL going = TRUE;
    do {
        if (IsDots(found.cFileName))
            continue;
        char child[MAX_PATH], childRelative[MAX_PATH];
        const char* name = EntryPath(folder, &found, child);
        if (!name) {
            char shown[MAX_PATH];
            if (!JoinPath(shown, folder, found.cFileName))
                lstrcpynA(shown, found.cFileName, sizeof shown);
            going = SweepFailed(sweep, shown);
            continue;
        }
        if (IsProtected(sweep, child))
            continue;
        DWORD attributes = found.dwFileAttributes;
        BOOL enterable = (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (relative) {
            if (!JoinPath(childRelative, relative, name))
                continue;
            char kind = BaselineKind(childRelative);
            if (kind == 'D' && enterable)
                going = SweepFolder(sweep, child, childRelative);
            if (kind)
                continue;
        }
        if (enterable)
            going = SweepFolder(sweep, child, NULL);
        if (going && !RemoveEntry(child, attributes))
            going = SweepFailed(sweep, child);
    } while (going && FindNextFileA(search, &found));
    FindClose(search);
    return going;
}

static BOOL SweepDesktop(FileSweep* sweep)
{
    const char* folder = ProgramInfo.desktopFolder;
    if (!BaselineTaken || !folder[0] || lstrcmpiA(folder, BaselineFolder) != 0 || !IsFolder(folder))
        return TRUE;
    sweep->desktop = TRUE;
    return SweepFolder(sweep, folder, "");
}

// Only a folder named Temp or Tmp is emptied, and never one that holds the
// Windows folder, the system folder or the shell: a TEMP that names a drive's
// root, the Windows folder or a profile (where Windows falls back when none is
// set) stays as it is. What is in use is passed by quietly.
static void SweepTemporaryFolder(FileSweep* sweep)
{
    char folder[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return;
    char form[MAX_PATH];
    ComparableForm(folder, form);
    int last = lstrlenA(form);
    while (last > 0 && form[last - 1] != '\\')
        last--;
    if (lstrcmpA(form + last, "TEMP") != 0 && lstrcmpA(form + last, "TMP") != 0)
        return;
    for (int i = 0; i < sweep->protectedCount; i++) {
        if (i < sweep->systemPaths ? IsSameOrInside(sweep->protectedPaths[i], form)
                                   : lstrcmpA(sweep->protectedPaths[i], form) == 0)
            return;
    }
    sweep->desktop = FALSE;
    SweepFolder(sweep, folder, NULL);
}

typedef void(WINAPI* AddToRecentDocsProc)(UINT flags, LPCVOID path);

static void ClearRecentDocuments()
{
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell)
        return;
    AddToRecentDocsProc addToRecentDocs = (AddToRecentDocsProc)GetProcAddress(shell, "SHAddToRecentDocs");
    if (addToRecentDocs)
        addToRecentDocs(0, NULL);
    FreeLibrary(shell);
}

static void ClearClipboard()
{
    for (int attempt = 0; attempt < 10; attempt++) {
        if (OpenClipboard(MainWindow)) {
            EmptyClipboard();
            CloseClipboard();
            return;
        }
        if (!PumpMessages(50))
            return;
    }
}

// Hidden, so that the guest cannot interrupt it; a command that cannot start
// is passed by, one still running after the minute is left to finish by itself.
static void RunCleanupCommand()
{
    SessionSettings settings;
    ReadSessionSettings(&settings);
    if (!settings.cleanupCommand[0])
        return;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, settings.cleanupCommand, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= CLEANUP_WAIT)
            break;
        DWORD woken = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, CLEANUP_WAIT - spent, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1 || !PumpMessages(0))
            break;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Re-entered from the messages it pumps, it does nothing.
BOOL ResetForNextGuest(char* problem, int problemSize)
{
    if (problemSize > 0)
        problem[0] = 0;
    if (Resetting)
        return TRUE;
    Resetting = TRUE;
    // No click reaches the shell while the reset pumps its messages.
    BOOL wasDisabled = MainWindow ? EnableWindow(MainWindow, FALSE) : TRUE;
    CloseGuestWindows();
    FileSweep sweep;
    ZeroMemory(&sweep, sizeof sweep);
    sweep.problem = problem;
    sweep.problemSize = problemSize;
    ProtectShellPaths(&sweep);
    BOOL clean = SweepDesktop(&sweep);
    SweepTemporaryFolder(&sweep);
    ClearRecentDocuments();
    ClearClipboard();
    RunCleanupCommand();
    if (IsWindow(MainWindow))
        RefreshDesktop(false);
    if (!wasDisabled)
        EnableWindow(MainWindow, TRUE);
    Resetting = FALSE;
    return clean;
}
