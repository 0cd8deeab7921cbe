// The memory cleaner, which forces other programs' pages out of physical
// memory. It has no window of its own: it only reports to a progress bar.
#include "core/Core.h"
#include <commctrl.h>

static SIZE_T CleanerBlockLimit;

SIZE_T GetCleanerBlockLimit() { return CleanerBlockLimit; }
void SetCleanerBlockLimit(SIZE_T limit) { CleanerBlockLimit = limit; }

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
