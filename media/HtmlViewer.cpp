// The HTML viewer and the built-in help, shown in the browser engine's HTML dialog.
#include "media/Media.h"
#include "core/Shared.h"
#include "res/resource.h"

BOOL BuildResourceUrl(UINT resourceId, char* address)
{
    char module[MAX_PATH];
    char number[16];
    DWORD length = GetModuleFileNameA(AppInstance, module, MAX_PATH);
    address[0] = 0;
    if (length == 0 || length >= MAX_PATH)
        return FALSE;
    wsprintfA(number, "/%u", resourceId);
    // An address that does not fit would name another file: better none at all.
    if (6 + lstrlenA(module) + lstrlenA(number) > MAX_PATH - 1)
        return FALSE;
    lstrcpyA(address, "res://");
    lstrcatA(address, module);
    lstrcatA(address, number);
    return TRUE;
}

typedef HRESULT (WINAPI* CreateUrlMonikerProc)(IMoniker* context, LPCWSTR url, IMoniker** moniker);

// The URL library comes with the browser engine, so it is looked up when a
// page is first shown and kept from then on.
static CreateUrlMonikerProc CreateUrlMonikerEntry()
{
    static HMODULE library = NULL;
    if (!library)
        library = LoadLibraryA("URLMON.DLL");
    return library ? (CreateUrlMonikerProc)(void*)GetProcAddress(library, "CreateURLMoniker") : NULL;
}

// While the engine's dialog is up, its own ways out are kept from the guest:
// the context menu (View Source opens Notepad, whose File / Open browses the
// disks), its help, printing and opening (with their file browsers), and new
// browser windows. The engine's modal loop runs on this thread, so hooks of
// this thread see all that reaches it; they are set only for the showing.
static HHOOK DialogMessageHook;
static HHOOK DialogCreationHook;
static int DialogDepth;

// With Ctrl: open, open an address, new window, print, save, the browser's bars.
static const char EngineControlKeys[] = "OLNPSEHIB";

static BOOL IsEngineControlKey(WPARAM key)
{
    if (!(GetKeyState(VK_CONTROL) & 0x8000))
        return FALSE;
    for (const char* c = EngineControlKeys; *c; c++)
        if (key == (WPARAM)(BYTE)*c)
            return TRUE;
    return FALSE;
}

static BOOL IsEngineWayOut(const MSG* msg)
{
    switch (msg->message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case 0x004D:   // the platform's own message for F1 (WM_KEYF1)
        return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // F10 alone offers nothing either, so it goes with Shift+F10.
        return msg->wParam == VK_APPS || msg->wParam == VK_F10 || msg->wParam == VK_F1
            || IsEngineControlKey(msg->wParam);
    }
    return FALSE;
}

static LRESULT CALLBACK DialogMessageProc(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = (MSG*)lParam;
    if (code == HC_ACTION && IsEngineWayOut(msg))
        msg->message = WM_NULL;
    return CallNextHookEx(DialogMessageHook, code, wParam, lParam);
}

static BOOL IsBrowserFrame(HWND window)
{
    static const char* const frames[] = { "IEFrame", "CabinetWClass", "ExploreWClass" };
    char name[32];
    if (!GetClassNameA(window, name, sizeof name))
        return FALSE;
    for (const char* frame : frames)
        if (lstrcmpiA(name, frame) == 0)
            return TRUE;
    return FALSE;
}

static LRESULT CALLBACK DialogCreationProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && IsBrowserFrame((HWND)wParam))
        return 1;   // the window is not made
    return CallNextHookEx(DialogCreationHook, code, wParam, lParam);
}

// The engine opens its browser windows on threads of their own, which the
// creation hook does not see: where the platform reports new windows of the
// process (98 and 2000 on), such a window is closed as soon as it exists.
typedef HWINEVENTHOOK(WINAPI* SetWinEventHookProc)(DWORD first, DWORD last, HMODULE module, WINEVENTPROC procedure,
                                                   DWORD process, DWORD thread, DWORD flags);
typedef BOOL(WINAPI* UnhookWinEventProc)(HWINEVENTHOOK hook);
static HWINEVENTHOOK DialogFrameWatch;

static void CALLBACK DialogFrameEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD)
{
    if (object == OBJID_WINDOW && window && IsBrowserFrame(window))
        PostMessageA(window, WM_CLOSE, 0, 0);
}

static void WatchForFrames()
{
    SetWinEventHookProc watch =
        (SetWinEventHookProc)(void*)GetProcAddress(GetModuleHandleA("USER32.DLL"), "SetWinEventHook");
    if (watch)
        DialogFrameWatch = watch(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, NULL, DialogFrameEvent,
                                 GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
}

static void StopWatchingForFrames()
{
    UnhookWinEventProc unhook =
        (UnhookWinEventProc)(void*)GetProcAddress(GetModuleHandleA("USER32.DLL"), "UnhookWinEvent");
    if (DialogFrameWatch && unhook)
        unhook(DialogFrameWatch);
    DialogFrameWatch = NULL;
}

static void CloseDialogRoutes()
{
    if (DialogDepth++ > 0)
        return;
    DialogMessageHook = SetWindowsHookExA(WH_GETMESSAGE, DialogMessageProc, NULL, GetCurrentThreadId());
    DialogCreationHook = SetWindowsHookExA(WH_CBT, DialogCreationProc, NULL, GetCurrentThreadId());
    WatchForFrames();
}

static void OpenDialogRoutes()
{
    if (--DialogDepth > 0)
        return;
    if (DialogMessageHook)
        UnhookWindowsHookEx(DialogMessageHook);
    if (DialogCreationHook)
        UnhookWindowsHookEx(DialogCreationHook);
    DialogMessageHook = DialogCreationHook = NULL;
    StopWatchingForFrames();
}

static void ShowThroughEngine(ShowHtmlDialogProc showDialog, HWND owner, const char* page)
{
    int wideLength = lstrlenA(page) + 1;
    WCHAR* wide = (WCHAR*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, wideLength * sizeof(WCHAR));
    if (!wide)
        return;
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, page, wideLength, wide, wideLength);
    IMoniker* moniker = NULL;
    CreateUrlMonikerProc createMoniker = CreateUrlMonikerEntry();
    if (createMoniker && SUCCEEDED(createMoniker(NULL, wide, &moniker)) && moniker) {
        CloseDialogRoutes();
        showDialog(owner, moniker, NULL, NULL, NULL);
        OpenDialogRoutes();
    }
    HeapFree(GetProcessHeap(), 0, wide);
    if (moniker)
        moniker->Release();
}

int ShowHtmlDocument(HWND owner, const char* url)
{
    char page[MAX_PATH];
    if (!url || lstrlenA(url) > MAX_PATH - 1)
        return 0;
    lstrcpyA(page, url);
    HMODULE engine = LoadLibraryA("MSHTML.DLL");
    if (!engine)
        return 0;
    ShowHtmlDialogProc showDialog = (ShowHtmlDialogProc)GetProcAddress(engine, "ShowHTMLDialog");
    if (!showDialog) {
        FreeLibrary(engine);
        return 0;
    }
    // The help can come before anything else has set up COM (the command line).
    HRESULT com = CoInitialize(NULL);
    ShowThroughEngine(showDialog, owner, page);
    if (SUCCEEDED(com))
        CoUninitialize();
    FreeLibrary(engine);
    return 0;
}

void ShowBuiltInHelp()
{
    char address[MAX_PATH];
    if (BuildResourceUrl(IDR_HELP_HTML, address))
        ShowHtmlDocument(NULL, address);
}
