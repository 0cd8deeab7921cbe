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

static void ShowThroughEngine(ShowHtmlDialogProc showDialog, HWND owner, const char* page)
{
    int wideLength = lstrlenA(page) + 1;
    WCHAR* wide = (WCHAR*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, wideLength * sizeof(WCHAR));
    if (!wide)
        return;
    MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, page, wideLength, wide, wideLength);
    IMoniker* moniker = NULL;
    CreateUrlMonikerProc createMoniker = CreateUrlMonikerEntry();
    if (createMoniker && SUCCEEDED(createMoniker(NULL, wide, &moniker)) && moniker)
        showDialog(owner, moniker, NULL, NULL, NULL);
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
