// Times the Wine HTML dialog on a generated page, run under Wine by
// bench/standin.sh:
//   htmltiming <kind> <megabytes> <folder>
// kinds: text (one long paragraph of words, with line breaks in the source),
// paragraphs (the same words, a paragraph every 80 of them),
// lists (lists opened inside each other and never closed), comments
// (comments never closed, between words). Prints the seconds from the call
// to the page's window being painted, seconds per megabyte, and the
// process's peak memory.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <cstdio>
#include <cstring>
#include <string>

typedef HRESULT(WINAPI* ShowHtmlDialogProc)(HWND, IMoniker*, VARIANT*, WCHAR*, VARIANT*);

static double Now()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

static std::string MakePage(const char* kind, size_t size)
{
    static const char* const words[] = {"guest", "desktop", "library", "cafe", "screen", "print",
                                        "network", "window", "session", "keyboard", "time", "a"};
    std::string page = "<html><head><title>Bench</title></head><body>";
    page.reserve(size + 256);
    size_t line = 0;
    for (unsigned i = 0; page.size() < size; i++) {
        const char* word = words[(i * 7 + i / 13) % 12];
        if (strcmp(kind, "lists") == 0) {
            page += "<ul><li>";
            page += word;
            page += '\n';
        } else if (strcmp(kind, "comments") == 0) {
            page += "<!-- ";
            page += word;
            page += "> ";
            page += word;
            page += ' ';
        } else if (strcmp(kind, "paragraphs") == 0) {
            page += word;
            page += i % 80 == 79 ? "\n<p>" : " ";
        } else {
            page += word;
            line += strlen(word) + 1;
            page += line > 72 ? '\n' : ' ';
            if (line > 72)
                line = 0;
        }
    }
    return page + "</body></html>\n";
}

static BOOL CALLBACK ChildHasUpdate(HWND child, LPARAM found)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, NULL, FALSE))
        *(BOOL*)found = TRUE;
    return TRUE;
}

static double Painted;

// The page counts as shown once its window and the view inside are painted.
static void CALLBACK LookForPage(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND view = FindWindowA("HalcyneHtmlView", "Bench");
    DWORD process = 0;
    if (view)
        GetWindowThreadProcessId(view, &process);
    if (!view || process != GetCurrentProcessId() || !IsWindowVisible(view))
        return;
    BOOL pending = GetUpdateRect(view, NULL, FALSE);
    EnumChildWindows(view, ChildHasUpdate, (LPARAM)&pending);
    if (pending)
        return;
    Painted = Now();
    KillTimer(NULL, id);
    PostMessageA(view, WM_CLOSE, 0, 0);
}

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: htmltiming text|paragraphs|lists|comments <megabytes> <folder>\n");
        return 2;
    }
    double megabytes = atof(argv[2]);
    std::string path = std::string(argv[3]) + "\\bench-" + argv[1] + ".htm";
    // Kept under the size by the last item's length and the closing tags, so
    // that "16 MB" stays within the largest page the dialog reads.
    std::string page = MakePage(argv[1], (size_t)(megabytes * 1024 * 1024) - 64);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE || !WriteFile(file, page.data(), (DWORD)page.size(), &written, NULL)) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    CloseHandle(file);
    CoInitialize(NULL);
    HMODULE engine = LoadLibraryA("MSHTML.DLL");
    ShowHtmlDialogProc show = engine ? (ShowHtmlDialogProc)(void*)GetProcAddress(engine, "ShowHTMLDialog") : NULL;
    WCHAR widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    IMoniker* moniker = NULL;
    if (!show || FAILED(CreateFileMoniker(widePath, &moniker))) {
        fprintf(stderr, "no HTML dialog to time\n");
        return 1;
    }
    SetTimer(NULL, 0, 10, LookForPage);
    double start = Now();
    HRESULT result = show(NULL, moniker, NULL, NULL, NULL);
    moniker->Release();
    DeleteFileA(path.c_str());
    if (FAILED(result) || Painted == 0) {
        fprintf(stderr, "the page was not shown (0x%08lx)\n", (unsigned long)result);
        return 1;
    }
    double seconds = Painted - start;
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    printf("%-10s %5.1f MB %8.2f s %6.2f s/MB   peak memory %5.0f MB\n", argv[1], page.size() / 1048576.0, seconds,
           seconds / (page.size() / 1048576.0), memory.PeakWorkingSetSize / 1048576.0);
    return 0;
}
