// The Task Manager: the titles of the visible top-level windows, refreshed
// every second, and "End Task" for the process behind the chosen one.
#include "tools/Tools.h"
#include "core/Shared.h"
#include "look/Look.h"
#include "res/resource.h"

static const char NotPermittedText[] =
    "Operation Not Permitted! If you want to quit Halcyne press the 'Quit to Windows' button.";

void FillListBox(StringList list, HWND listBox)
{
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
    int count = ListCount(list);
    for (int index = 1; index <= count; index++) {
        const char* text = ListGet(list, index, NULL);
        // Untitled windows and one-letter titles are left out.
        if (text && lstrlenA(text) >= 2)
            SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)text);
    }
}

BOOL EndWindowProcess(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(0x1F0FFF, FALSE, processId);
    if (!process)
        return FALSE;
    BOOL ended = TerminateProcess(process, 19);
    CloseHandle(process);
    return ended;
}

static void FillTaskList(HWND dialog)
{
    StringList windows = NULL;
    StringList titles = ListVisibleTitles(&windows);
    FillListBox(titles, GetDlgItem(dialog, IDC_TASK_LIST));
    ListClear(&titles);
}

static void TaskOnInit(HWND dialog)
{
    SetTimer(dialog, IDT_TASK_MANAGER, 1000, NULL);
    FillTaskList(dialog);
}

// The selection is kept by its place in the list, not by its title.
static void TaskOnTimer(HWND dialog)
{
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETCURSEL, 0, 0);
    FillTaskList(dialog);
    SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_SETCURSEL, (WPARAM)selected, 0);
}

static BOOL IsProtectedWindow(HWND dialog, HWND window)
{
    return window == MainWindow || window == OptionsPanelWindow || window == dialog;
}

// The selected line stands for the top-most window whose title begins with
// it, looked up in a fresh enumeration.
static void EndSelectedTask(HWND dialog, StringList windows, StringList titles)
{
    LRESULT selected = SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return;
    char line[64];
    LRESULT length = SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETTEXTLEN, (WPARAM)selected, 0);
    if (length == LB_ERR || length >= (LRESULT)sizeof line)
        return;
    SendDlgItemMessageA(dialog, IDC_TASK_LIST, LB_GETTEXT, (WPARAM)selected, (LPARAM)line);
    int position = ListFindPrefix(titles, line, (BYTE)lstrlenA(line));
    if (position == -1)
        return;
    const char* handleText = ListGet(windows, position, NULL);
    if (!handleText)
        return;
    HWND window = TextToWindow(handleText);
    if (IsProtectedWindow(dialog, window)) {
        MessageBoxA(dialog, NotPermittedText, ProgramInfo.caption, MB_ICONWARNING | MB_OK);
        return;
    }
    EndWindowProcess(window);
}

static void TaskOnEndTask(HWND dialog)
{
    StringList windows = NULL;
    StringList titles = ListVisibleTitles(&windows);
    EndSelectedTask(dialog, windows, titles);
    ListClear(&titles);
}

static void TaskOnExit(HWND dialog)
{
    KillTimer(dialog, IDT_TASK_MANAGER);
    EndDialog(dialog, 1);
}

// Stores no heading: the one the last dialog stored shows.
INT_PTR CALLBACK TaskManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: TaskOnInit(dialog); return 0;
    case WM_TIMER:      TaskOnTimer(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TASK_END: TaskOnEndTask(dialog); return 0;
        case IDCANCEL:     TaskOnExit(dialog); return 0;
        }
        break;
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}
