// Settings live in the registry and in the system's INI files. Every call
// opens its key, does one read or write and closes it again: nothing is
// cached, so what one dialog writes the next read sees.
#include "core/Core.h"
#include "core/Shared.h"

const char ProductKey[] = "Software\\Hx_";

// Strings go in with a fixed data length; one that does not fit is refused
// so that a path is never stored cut short.
static const DWORD StoredStringSize = 256;

static HKEY CreateKey(HKEY root, const char* keyPath, DWORD* disposition)
{
    HKEY key = NULL;
    if (RegCreateKeyExA(root, keyPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &key, disposition) != ERROR_SUCCESS)
        return NULL;
    return key;
}

// How a stored string read out: a string that fits, no value at all, or
// something the store cannot take for a string (another type, 256 characters
// or more, any other read error).
enum StringRead { STRING_READ, STRING_ABSENT, STRING_UNREADABLE };

// Reads a string of at most 255 characters into a 256-byte buffer; the
// buffer is left empty unless the string fits.
static StringRead QueryString(HKEY key, const char* valueName, char* buffer)
{
    char data[StoredStringSize + 1];
    DWORD size = StoredStringSize;
    DWORD type = 0;
    buffer[0] = 0;
    LONG status = RegQueryValueExA(key, valueName, NULL, &type, (BYTE*)data, &size);
    if (status == ERROR_FILE_NOT_FOUND)
        return STRING_ABSENT;
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return STRING_UNREADABLE;
    data[size < StoredStringSize ? size : StoredStringSize] = 0;
    if (lstrlenA(data) >= (int)StoredStringSize)
        return STRING_UNREADABLE;
    lstrcpynA(buffer, data, StoredStringSize);
    return STRING_READ;
}

// A number, or 0 when the value is absent or not a DWORD. `defaultable` says
// whether a default may go there: only over no value or over a DWORD.
static DWORD QueryDword(HKEY key, const char* valueName, BOOL* defaultable)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, valueName, NULL, &type, (BYTE*)&number, &size);
    if (defaultable)
        *defaultable = status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && type == REG_DWORD);
    if (status != ERROR_SUCCESS || type != REG_DWORD)
        return 0;
    return number;
}

int WriteValue(HKEY root, const char* keyPath, const char* valueName, const char* text, DWORD number)
{
    if (text && lstrlenA(text) >= (int)StoredStringSize)
        return 0;
    HKEY key = CreateKey(root, keyPath, NULL);
    if (!key)
        return 0;
    if (text) {
        // Filler after the terminator carries no meaning; zeros keep it tidy.
        char buffer[260];
        ZeroMemory(buffer, sizeof buffer);
        lstrcpynA(buffer, text, sizeof buffer);
        RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)buffer, StoredStringSize);
    } else {
        RegSetValueExA(key, valueName, 0, REG_DWORD, (const BYTE*)&number, sizeof number);
    }
    RegCloseKey(key);
    return 0;
}

DWORD ReadDwordWithDefault(HKEY root, const char* keyPath, const char* valueName, DWORD defaultNumber)
{
    DWORD disposition = 0;
    HKEY key = CreateKey(root, keyPath, &disposition);
    if (!key)
        return 0;
    DWORD result = 0;
    BOOL defaultable = TRUE;
    if (disposition == REG_OPENED_EXISTING_KEY)
        result = QueryDword(key, valueName, &defaultable);
    // A value of another type is someone else's data: it is never replaced.
    if (result == 0 && defaultable) {
        RegSetValueExA(key, valueName, 0, REG_DWORD, (const BYTE*)&defaultNumber, sizeof defaultNumber);
        result = QueryDword(key, valueName, NULL);
    }
    RegCloseKey(key);
    return result;
}

// The default goes only over no value or an empty string; a value the store
// cannot read as a string stays as it is. With `readOnlyToo`, a key that may
// be read but not written is still read.
static BOOL ReadDefaulted(char* out, HKEY root, const char* keyPath, const char* valueName,
                          const char* defaultText, BOOL readOnlyToo)
{
    char buffer[StoredStringSize];
    buffer[0] = 0;
    DWORD disposition = 0;
    HKEY key = CreateKey(root, keyPath, &disposition);
    BOOL writable = key != NULL;
    if (!key && readOnlyToo && RegOpenKeyExA(root, keyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS)
        disposition = REG_OPENED_EXISTING_KEY;
    StringRead state = STRING_UNREADABLE;
    if (key) {
        state = disposition == REG_OPENED_EXISTING_KEY ? QueryString(key, valueName, buffer)
                                                        : STRING_ABSENT;
        BOOL empty = state == STRING_ABSENT || (state == STRING_READ && !buffer[0]);
        if (writable && empty && defaultText && lstrlenA(defaultText) < (int)StoredStringSize) {
            RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)defaultText,
                           (DWORD)lstrlenA(defaultText) + 1);
            state = QueryString(key, valueName, buffer);
        }
        RegCloseKey(key);
    }
    lstrcpyA(out, buffer);
    return state != STRING_UNREADABLE;
}

int ReadStringWithDefault(char* out, HKEY root, const char* keyPath, const char* valueName,
                          const char* defaultText)
{
    ReadDefaulted(out, root, keyPath, valueName, defaultText, FALSE);
    return 0;
}

BOOL ReadStringChecked(char* out, HKEY root, const char* keyPath, const char* valueName,
                       const char* defaultText)
{
    return ReadDefaulted(out, root, keyPath, valueName, defaultText, TRUE);
}

DWORD ReadDword(HKEY root, const char* keyPath, const char* valueName)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    DWORD result = QueryDword(key, valueName, NULL);
    RegCloseKey(key);
    return result;
}

int ReadString(char* out, HKEY root, const char* keyPath, const char* valueName)
{
    char buffer[StoredStringSize];
    buffer[0] = 0;
    HKEY key = NULL;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        QueryString(key, valueName, buffer);
        RegCloseKey(key);
    }
    lstrcpyA(out, buffer);
    return 0;
}

BOOL WriteIniString(const char* file, const char* section, const char* entry, const char* value)
{
    return WritePrivateProfileStringA(section, entry, value, file);
}

DWORD ReadIniString(char* out, const char* file, const char* section, const char* entry)
{
    return GetPrivateProfileStringA(section, entry, "ERROR", out, 256, file);
}

BOOL StorePath(HWND owner, HKEY root, const char* keyPath, const char* valueName, const char* path)
{
    WriteValue(root, keyPath, valueName, path, 0);
    char stored[256];
    ReadString(stored, root, keyPath, valueName);
    if (lstrcmpA(stored, path) == 0)
        return TRUE;
    MessageBoxA(owner, "Path too long: it was not stored !", ProgramInfo.caption, MB_OK | MB_ICONWARNING);
    return FALSE;
}
