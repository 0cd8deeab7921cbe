// The memory cleaner, which forces other programs' pages out of physical
// memory, and the Memory Manager dialog that shows the figures and runs it.
#include "tools/Tools.h"
#include "admin/Admin.h"
#include "look/Look.h"
#include "res/resource.h"
#include <commctrl.h>

SIZE_T CleanerBlockLimit;

static const DWORD CleanerProtection = PAGE_READWRITE | PAGE_NOCACHE;

SIZE_T CleanerBlockSize(SIZE_T physical, DWORD granularity, SIZE_T limit)
{
    if (granularity == 0)
        return 0;
    SIZE_T size = physical;
    if (limit != 0 && size > limit)
        size = limit;
    // The bar counts bytes in an int.
    if (size > 0x7FFFFFFF)
        size = 0x7FFFFFFF;
    return size / granularity * granularity;
}

SIZE_T LargestFreeRegion(DWORD granularity)
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    if (granularity == 0)
        return 0;
    SIZE_T largest = 0;
    char* address = (char*)info.lpMinimumApplicationAddress;
    char* end = (char*)info.lpMaximumApplicationAddress;
    MEMORY_BASIC_INFORMATION region;
    while (address < end && VirtualQuery(address, &region, sizeof region) == sizeof region) {
        char* next = (char*)region.BaseAddress + region.RegionSize;
        if (region.State == MEM_FREE) {
            SIZE_T start = ((SIZE_T)region.BaseAddress + granularity - 1) / granularity * granularity;
            SIZE_T stop = (SIZE_T)next;
            if (stop > start && (stop - start) / granularity * granularity > largest)
                largest = (stop - start) / granularity * granularity;
        }
        if (next <= address)
            break;
        address = next;
    }
    return largest;
}

// Physical memory as reported is often more than the process can reserve in
// one piece (2 GB and up for a 32-bit process): take the largest block that
// can be had instead of giving up.
static char* ReserveCleanerBlock(SIZE_T* size, DWORD granularity)
{
    while (*size >= granularity && granularity != 0) {
        void* base = VirtualAlloc(NULL, *size, MEM_RESERVE, CleanerProtection);
        if (base)
            return (char*)base;
        SIZE_T largest = LargestFreeRegion(granularity);
        *size = largest < *size ? largest : *size / 2 / granularity * granularity;
    }
    return NULL;
}

// Commits the whole reservation or, when the system cannot back all of it,
// the longest run of whole blocks from its start that it can.
static BOOL CommitCleanerBlock(char* base, SIZE_T* size, DWORD granularity)
{
    if (VirtualAlloc(base, *size, MEM_COMMIT, CleanerProtection))
        return TRUE;
    SIZE_T good = 0, bad = *size / granularity;
    while (bad - good > 1) {
        SIZE_T middle = good + (bad - good) / 2;
        if (VirtualAlloc(base, middle * granularity, MEM_COMMIT, CleanerProtection)) {
            VirtualFree(base, middle * granularity, MEM_DECOMMIT);
            good = middle;
        } else {
            bad = middle;
        }
    }
    if (good == 0 || !VirtualAlloc(base, good * granularity, MEM_COMMIT, CleanerProtection))
        return FALSE;
    *size = good * granularity;
    return TRUE;
}

// An empty range tells the Memory Manager that the run is over, so that its
// "Clean" button comes back although nothing was cleaned.
static void ReportNothingCleaned(HWND progressBar)
{
    if (progressBar)
        SendMessageA(progressBar, PBM_SETRANGE32, 0, 0);
}

void __cdecl MemoryCleaner(void* progressBar)
{
    HWND bar = (HWND)progressBar;
    MEMORYSTATUS status;
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    DWORD granularity = info.dwAllocationGranularity;
    SIZE_T size = CleanerBlockSize(status.dwTotalPhys, granularity, CleanerBlockLimit);

    char* base = ReserveCleanerBlock(&size, granularity);
    if (!base) {
        ReportNothingCleaned(bar);
        EndWorkerThread();
        return;
    }
    if (!CommitCleanerBlock(base, &size, granularity)) {
        VirtualFree(base, 0, MEM_RELEASE);
        ReportNothingCleaned(bar);
        EndWorkerThread();
        return;
    }
    if (bar) {
        SendMessageA(bar, PBM_SETRANGE32, 0, (LPARAM)size);
        SendMessageA(bar, PBM_SETSTEP, (WPARAM)granularity, 0);
    }
    // Writing every block makes the whole block resident; the first copy is
    // the first block onto itself.
    for (SIZE_T offset = 0; offset < size; offset += granularity) {
        MoveMemory(base + offset, base, granularity);
        if (bar)
            SendMessageA(bar, PBM_STEPIT, 0, 0);
    }
    VirtualFree(base, size, MEM_DECOMMIT);
    VirtualFree(base, 0, MEM_RELEASE);
    EndWorkerThread();
}

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

void FillMemoryStatistics(HWND dialog, int loadId, int freePhysicalId, int totalPhysicalId,
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
    RepaintActiveCaption(OptionsPanelWindow, &DialogLook);
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
