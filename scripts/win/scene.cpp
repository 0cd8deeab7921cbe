// Drives a running shell to one view for scripts/screenshot.sh and returns
// once that view is painted (0), or 1 when it did not come within the limit.
//   scene desktop | refresh | tip | panel | memory | taskmanager | sessions | players | help | setup
//         | session | warning | bill   (screenshot.sh turns sessions on for these)
// (setup: the setup program's password page, with a password typed; no shell runs)
#include <windows.h>
#include <cstring>
#include <string>
#include "res/resource.h"
#include "Painted.h"

static const DWORD Limit = 20000;

static HWND WaitPainted(const char* className, const char* title)
{
    return WaitPainted(className, title, Limit, 20);
}

static void Key(HWND window, UINT key)
{
    LPARAM scan = (LPARAM)MapVirtualKeyA(key, 0) << 16;
    PostMessageA(window, WM_KEYDOWN, key, 1 | scan);
    PostMessageA(window, WM_KEYUP, key, 1 | scan | 0xC0000000);
}

static void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// F3 and OK with the password as the fresh machine has it (none).
static HWND OpenPanel(HWND main)
{
    Key(main, VK_F3);
    HWND security = WaitPainted("#32770", "Security (F3)");
    if (!security)
        return NULL;
    Click(security, IDC_SECURITY_OK);
    return WaitPainted("#32770", "Halcyne 2.0 Options Panel");
}

static HWND FromPanel(HWND main, int button, const char* title)
{
    HWND panel = OpenPanel(main);
    if (!panel)
        return NULL;
    Click(panel, button);
    return WaitPainted("#32770", title);
}

static BOOL CALLBACK FindPasswordField(HWND window, LPARAM found)
{
    char name[16];
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Edit") != 0 || !(GetWindowLongA(window, GWL_STYLE) & ES_PASSWORD))
        return TRUE;
    *(HWND*)found = window;
    return FALSE;
}

// Next on the components page, then both password fields filled in.
static bool ShowSetupPasswordPage()
{
    HWND setup = NULL, field = NULL;
    DWORD start = GetTickCount();
    // NSIS ends the caption with a space.
    while (!(setup = FindWindowA("#32770", "Halcyne 2 Setup ")) && GetTickCount() - start < Limit)
        Sleep(20);
    // Next, again each second until the page shows: a click may come before
    // the first page can take it.
    DWORD clicked = start - 1000;
    while (setup && !field && GetTickCount() - start < Limit) {
        if (GetTickCount() - clicked >= 1000) {
            Click(setup, IDOK);
            clicked = GetTickCount();
        }
        Sleep(20);
        EnumChildWindows(setup, FindPasswordField, (LPARAM)&field);
    }
    if (!field)
        return false;
    for (HWND edit = field; edit; edit = FindWindowExA(GetParent(field), edit, "Edit", NULL))
        SendMessageA(edit, WM_SETTEXT, 0, (LPARAM)"letmein");
    // The page's caret keeps an update region: its thread's answer is the sign instead.
    DWORD_PTR answer;
    return SendMessageTimeoutA(setup, WM_NULL, 0, 0, SMTO_NORMAL, Limit, &answer) != 0;
}

static std::string FieldText(HWND main)
{
    char text[128] = "";
    SendMessageTimeoutA(GetDlgItem(main, IDC_SESSION_FIELD), WM_GETTEXT, sizeof text, (LPARAM)text,
                        SMTO_ABORTIFHUNG, 2000, NULL);
    return text;
}

// A key begins the guest's session; the field then counts a started minute.
static bool BeginSession(HWND main, const char* shows)
{
    DWORD start = GetTickCount();
    while (!GetDlgItem(main, IDC_SESSION_FIELD) && GetTickCount() - start < Limit)
        Sleep(20);
    Key(main, VK_F24);
    while (FieldText(main).find(shows) == std::string::npos && GetTickCount() - start < Limit)
        Sleep(50);
    return FieldText(main).find(shows) != std::string::npos;
}

static bool ShowSession(HWND main, const char* scene)
{
    if (!strcmp(scene, "session"))
        return BeginSession(main, "0.50") && WaitPainted("Win", "Tavix Halcyne 2.0");
    if (!strcmp(scene, "warning"))
        return BeginSession(main, "0:5") && WaitPainted("HxSessionWarning", NULL);
    // The bill: "End Session" from the commands menu, and OK to its question.
    if (!BeginSession(main, "0.50"))
        return false;
    PostMessageA(main, WM_COMMAND, IDM_END_SESSION, 0);
    HWND question = WaitPainted("#32770", "Halcyne 2.08");
    if (!question)
        return false;
    PostMessageA(question, WM_COMMAND, IDOK, 0);
    return WaitPainted("#32770", "End of Session") != NULL;
}

static bool Show(HWND main, const char* scene)
{
    if (!strcmp(scene, "session") || !strcmp(scene, "warning") || !strcmp(scene, "bill"))
        return ShowSession(main, scene);
    if (!strcmp(scene, "desktop"))
        return true;
    if (!strcmp(scene, "refresh")) {
        // The refresh builds a new view: wait for it, then for the paint.
        HWND before = FindWindowExA(main, NULL, "SysListView32", NULL);
        Key(main, VK_F5);
        DWORD start = GetTickCount();
        while (FindWindowExA(main, NULL, "SysListView32", NULL) == before && GetTickCount() - start < Limit)
            Sleep(20);
        return WaitPainted("Win", "Tavix Halcyne 2.0") != NULL;
    }
    if (!strcmp(scene, "tip")) {
        Key(main, VK_F11);
        return WaitPainted("#32770", "Tip of the Day") != NULL;
    }
    if (!strcmp(scene, "panel"))
        return OpenPanel(main) != NULL;
    if (!strcmp(scene, "memory"))
        return FromPanel(main, IDC_PANEL_MEMORY_STATUS, "Memory Options") != NULL;
    if (!strcmp(scene, "taskmanager"))
        return FromPanel(main, IDC_PANEL_TASK_MANAGER, "Task Manager") != NULL;
    if (!strcmp(scene, "sessions"))
        return FromPanel(main, IDC_PANEL_SESSIONS, "Guest Sessions") != NULL;
    if (!strcmp(scene, "players")) {
        Key(main, VK_F6);
        HWND mp3 = WaitPainted("#32770", "HX2 MP3 Player (F6)");
        Key(main, VK_F7);
        HWND movie = WaitPainted("#32770", "Tavix Home Theatre (F7)");
        if (!mp3 || !movie)
            return false;
        Click(movie, IDC_MOVIE_PLAY);
        DWORD start = GetTickCount();
        while (!FindWindowExA(movie, NULL, "MCIWndClass", NULL) && GetTickCount() - start < Limit)
            Sleep(20);
        Sleep(1000);   // a second of the movie, so a frame is on the screen
        return WaitPainted("#32770", "Tavix Home Theatre (F7)") != NULL;
    }
    if (!strcmp(scene, "help")) {
        Key(main, VK_F12);
        return WaitPainted("HalcyneHtmlView", NULL) != NULL;
    }
    return false;
}

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    if (!strcmp(argv[1], "setup"))
        return ShowSetupPasswordPage() ? 0 : 1;
    HWND main = WaitPainted("Win", "Tavix Halcyne 2.0");
    if (!main)
        return 1;
    return Show(main, argv[1]) ? 0 : 1;
}
