// Guest Restrictions: Windows' own policy values for the current user, shown
// as they stand each time the dialog opens and written only on OK.
#include "admin/Admin.h"
#include "core/Shared.h"
#include "core/Core.h"
#include "look/Look.h"
#include "res/resource.h"

static const char SystemPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
static const char ExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
static const char CommandPolicies[] = "Software\\Policies\\Microsoft\\Windows\\System";
static const char RunListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\RestrictRun";

struct GuestPolicy {
    int control;
    const char* keyPath;
    const char* valueName;
};

static const GuestPolicy GuestPolicies[] = {
    { IDC_GUEST_TASK_MANAGER, SystemPolicies, "DisableTaskMgr" },
    { IDC_GUEST_REGISTRY, SystemPolicies, "DisableRegistryTools" },
    { IDC_GUEST_COMMAND, CommandPolicies, "DisableCMD" },
    { IDC_GUEST_NO_RUN, ExplorerPolicies, "NoRun" },
    { IDC_GUEST_CONTEXT_MENU, ExplorerPolicies, "NoViewContextMenu" },
    { IDC_GUEST_RESTRICT_RUN, ExplorerPolicies, "RestrictRun" },
};

// Windows takes any nonzero number as on; 95's own tools stored some as 4 binary bytes.
static BOOL PolicyIsOn(const GuestPolicy* policy)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, policy->keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD number = 0, size = sizeof number, type = 0;
    LONG status = RegQueryValueExA(key, policy->valueName, NULL, &type, (BYTE*)&number, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && (type == REG_DWORD || type == REG_BINARY) && number != 0;
}

BOOL TaskManagerDisabled() { return PolicyIsOn(&GuestPolicies[0]); }

// Switched off means no value at all, not a 0.
static void WritePolicy(const GuestPolicy* policy, BOOL on)
{
    if (on) {
        WriteValue(HKEY_CURRENT_USER, policy->keyPath, policy->valueName, NULL, 1);
        return;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, policy->keyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, policy->valueName);
    RegCloseKey(key);
}

static void FillRunList(HWND list)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RunListKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0;; index++) {
        char name[16], file[MAX_PATH];
        DWORD nameSize = sizeof name, fileSize = sizeof file - 1, type = 0;
        LONG status = RegEnumValueA(key, index, name, &nameSize, NULL, &type, (BYTE*)file, &fileSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            continue;
        file[fileSize < sizeof file ? fileSize : sizeof file - 1] = 0;
        if (file[0])
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)file);
    }
    RegCloseKey(key);
}

// The list is written whole as "1", "2", ...; an empty list leaves no key.
static void WriteRunList(HWND list)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, RunListKey);
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count <= 0)
        return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, RunListKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    for (int item = 0; item < count; item++) {
        char file[MAX_PATH];
        if (SendMessageA(list, LB_GETTEXTLEN, item, 0) >= (LRESULT)sizeof file)
            continue;
        SendMessageA(list, LB_GETTEXT, item, (LPARAM)file);
        char name[16];
        wsprintfA(name, "%d", item + 1);
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)file, (DWORD)lstrlenA(file) + 1);
    }
    RegCloseKey(key);
}

static void GuestOnInit(HWND dialog)
{
    for (const GuestPolicy& policy : GuestPolicies)
        CheckDlgButton(dialog, policy.control, PolicyIsOn(&policy) ? BST_CHECKED : BST_UNCHECKED);
    FillRunList(GetDlgItem(dialog, IDC_GUEST_PROGRAMS));
    SendDlgItemMessageA(dialog, IDC_GUEST_PROGRAM_NAME, EM_LIMITTEXT, MAX_PATH - 1, 0);
}

static void GuestOnAdd(HWND dialog)
{
    char file[MAX_PATH];
    GetDlgItemTextA(dialog, IDC_GUEST_PROGRAM_NAME, file, sizeof file);
    if (!file[0])
        return;
    HWND list = GetDlgItem(dialog, IDC_GUEST_PROGRAMS);
    if (SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)file) == LB_ERR)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)file);
    SetDlgItemTextA(dialog, IDC_GUEST_PROGRAM_NAME, "");
}

static void GuestOnRemove(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_GUEST_PROGRAMS);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR)
        SendMessageA(list, LB_DELETESTRING, selected, 0);
}

static void GuestClose(HWND dialog, INT_PTR result)
{
    EndDialog(dialog, result);
}

static void GuestOnOk(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_GUEST_PROGRAMS);
    // Windows would then let no program at all start from Explorer.
    if (IsDlgButtonChecked(dialog, IDC_GUEST_RESTRICT_RUN) == BST_CHECKED
        && SendMessageA(list, LB_GETCOUNT, 0, 0) <= 0) {
        MessageBoxA(dialog, "Add at least one program to the list before choosing \"Run only these programs\".",
                    ProgramInfo.caption, MB_OK | MB_ICONWARNING);
        return;
    }
    WriteRunList(list);
    for (const GuestPolicy& policy : GuestPolicies)
        WritePolicy(&policy, IsDlgButtonChecked(dialog, policy.control) == BST_CHECKED);
    GuestClose(dialog, 1);
}

INT_PTR CALLBACK GuestRestrictionsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogLook.HeadingText = "Guest Restrictions";
    switch (message) {
    case WM_INITDIALOG: GuestOnInit(dialog); return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_GUEST_ADD:    GuestOnAdd(dialog); return 0;
        case IDC_GUEST_REMOVE: GuestOnRemove(dialog); return 0;
        case IDC_GUEST_OK:     GuestOnOk(dialog); return 0;
        case IDC_GUEST_CANCEL: GuestClose(dialog, 2); return 0;
        }
        break;                 // IDCANCEL falls to the look: Escape leaves it open
    }
    return HandleDialogLook(&DialogLook, dialog, message, wParam, lParam);
}
