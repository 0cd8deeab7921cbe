// The open-file dialog of the wallpaper chooser and of Advanced Options.
// COMDLG32 is loaded on first use, so the exe starts without it.
#include "look/Look.h"
#include "core/Shared.h"

typedef BOOL(WINAPI* GetOpenFileNameProc)(OPENFILENAMEA* record);

static HMODULE CommonDialogs;
static GetOpenFileNameProc GetOpenFileNameEntry;

void InitOpenFileRecord(OPENFILENAMEA* record, char* fileName, const char* filter, const char* title)
{
    ZeroMemory(fileName, MAX_PATH);
    ZeroMemory(record, sizeof *record);
    // 76 and 88 are the two layouts' sizes in 32-bit code; the names keep 64-bit builds right.
    record->lStructSize = OpenFileNameSize >= 88 ? sizeof(OPENFILENAMEA) : OPENFILENAME_SIZE_VERSION_400A;
    record->hwndOwner = MainWindow;
    record->hInstance = AppInstance;
    record->lpstrFilter = filter;
    record->lpstrFile = fileName;
    record->nMaxFile = MAX_PATH;
    record->lpstrTitle = title;
    record->Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
}

BOOL ShowOpenFileDialog(OPENFILENAMEA* record)
{
    if (!GetOpenFileNameEntry) {
        if (!CommonDialogs)
            CommonDialogs = LoadLibraryA("comdlg32.dll");
        if (CommonDialogs)
            GetOpenFileNameEntry =
                (GetOpenFileNameProc)(void*)GetProcAddress(CommonDialogs, "GetOpenFileNameA");
    }
    return GetOpenFileNameEntry ? GetOpenFileNameEntry(record) : FALSE;
}
