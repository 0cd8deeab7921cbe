// The Memory Manager dialog: the memory figures, and the cleaner run with a
// progress bar.
#include "tools/Tools.h"
#include "look/Look.h"
#include "res/resource.h"
#include <commctrl.h>


void FormatMemorySize(char* text, SIZE_T bytes, BOOL addOneMegabyte)
{
    int kilobytes = (int)(bytes >> 10);
    int megabytes = (int)(bytes >> 20) + (addOneMegabyte ? 1 : 0);
    wsprintfA(text, "%i KB   %i MB", kilobytes, megabytes);
}

const char* ProcessorQuality(WORD level)
{
    if (level > 6)
        return "New Technology";
    if (level == 6)
        return "Recommended";
    if (level == 5)
        return "Minimum Required";
    return "Obsolete";
}

void FormatCompletion(char* text, int position, int upper)
{
    int perMille = upper / 1000;
    if (position == 0 || perMille == 0) {
        lstrcpyA(text, "0 %");
        return;
    }
    wsprintfA(text, "%i %%", (position / 10) / perMille);
}

static void FillMemoryStatistics(HWND dialog, int loadId, int freePhysicalId, int totalPhysicalId,
                          int totalPageFileId, int freePageFileId, int blockId, int processorId)
{
    MEMORYSTATUS status;
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    char text[64];
    wsprintfA(text, "%u%%", (unsigned)status.dwMemoryLoad);
    SetDlgItemTextA(dialog, loadId, text);
    FormatMemorySize(text, status.dwTotalPhys, TRUE);
    SetDlgItemTextA(dialog, totalPhysicalId, text);
    FormatMemorySize(text, status.dwAvailPhys, TRUE);
    SetDlgItemTextA(dialog, freePhysicalId, text);
    FormatMemorySize(text, status.dwTotalPageFile, FALSE);
    SetDlgItemTextA(dialog, totalPageFileId, text);
    FormatMemorySize(text, status.dwAvailPageFile, FALSE);
    SetDlgItemTextA(dialog, freePageFileId, text);
    wsprintfA(text, "%u Bytes", (unsigned)info.dwAllocationGranularity);
    SetDlgItemTextA(dialog, blockId, text);
    SetDlgItemTextA(dialog, processorId, ProcessorQuality(info.wProcessorLevel));
}

static void ShowMemoryFigures(HWND dialog)
{
    FillMemoryStatistics(dialog, IDC_MEMORY_LOAD, IDC_MEMORY_FREE_PHYSICAL, IDC_MEMORY_TOTAL_PHYSICAL,
                         IDC_MEMORY_TOTAL_PAGE_FILE, IDC_MEMORY_FREE_PAGE_FILE, IDC_MEMORY_BLOCK,
                         IDC_MEMORY_PROCESSOR);
}

static void MemoryOnInit(HWND dialog)
{
    SetTimer(dialog, IDT_MEMORY_MANAGER, 1000, NULL);
    ShowMemoryFigures(dialog);
    SendDlgItemMessageA(dialog, IDC_MEMORY_PROGRESS, PBM_SETBKCOLOR, 0, (LPARAM)RGB(225, 225, 225));
    SendDlgItemMessageA(dialog, IDC_MEMORY_PROGRESS, PBM_SETBARCOLOR, 0, (LPARAM)RGB(38, 176, 69));
}

static void MemoryOnTimer(HWND dialog)
{
    int upper = (int)SendDlgItemMessageA(dialog, IDC_MEMORY_PROGRESS, PBM_GETRANGE, FALSE, 0);
    int position = (int)SendDlgItemMessageA(dialog, IDC_MEMORY_PROGRESS, PBM_GETPOS, 0, 0);
    char text[32];
    FormatCompletion(text, position, upper);
    SetDlgItemTextA(dialog, IDC_MEMORY_PERCENT, text);
    ShowMemoryFigures(dialog);
    if (upper == position) {
        ShowWindow(GetDlgItem(dialog, IDC_MEMORY_CLEAN), SW_SHOW);
        SendDlgItemMessageA(dialog, IDC_MEMORY_PROGRESS, PBM_SETPOS, 0, 0);
    }
}

static void MemoryOnClean(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_MEMORY_PROGRESS);
    ShowWindow(GetDlgItem(dialog, IDC_MEMORY_CLEAN), SW_HIDE);
    // Until the cleaner sets its own range the bar must not look finished.
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    StartWorkerThread(MemoryCleaner, 0, bar);
}

static void MemoryOnExit(HWND dialog)
{
    KillTimer(dialog, IDT_MEMORY_MANAGER);
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK MemoryManagerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = "Memory Manager";
    switch (message) {
    case WM_INITDIALOG: MemoryOnInit(dialog); return 0;
    case WM_TIMER:      MemoryOnTimer(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MEMORY_CLEAN: MemoryOnClean(dialog); return 0;
        case IDC_MEMORY_EXIT:  MemoryOnExit(dialog); return 0;
        }
        break;                 // IDCANCEL falls to the look: Escape leaves it open
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}
