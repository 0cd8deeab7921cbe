// Settings live in the registry and in the system's INI files. Every call
// opens its key, does one read or write and closes it again: nothing is
// cached, so what one dialog writes the next read sees.
#include "core/Core.h"

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

// Reads a string of at most 255 characters into a 256-byte buffer. Data
// stored without a terminator is cut at the buffer's end. Returns FALSE when
// the value is absent, not a string, or too long to fit (left untouched).
static BOOL QueryString(HKEY key, const char* valueName, char* buffer)
{
    char data[StoredStringSize + 1];
    DWORD size = StoredStringSize;
    DWORD type = 0;
    buffer[0] = 0;
    if (RegQueryValueExA(key, valueName, NULL, &type, (BYTE*)data, &size) != ERROR_SUCCESS)
        return FALSE;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return FALSE;
    data[size < StoredStringSize ? size : StoredStringSize] = 0;
    lstrcpynA(buffer, data, StoredStringSize);
    return TRUE;
}

static BOOL ValueTooLong(HKEY key, const char* valueName)
{
    DWORD size = 0;
    return RegQueryValueExA(key, valueName, NULL, NULL, NULL, &size) == ERROR_SUCCESS
        && size > StoredStringSize;
}

static DWORD QueryDword(HKEY key, const char* valueName)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    DWORD type = 0;
    if (RegQueryValueExA(key, valueName, NULL, &type, (BYTE*)&number, &size) != ERROR_SUCCESS
        || type != REG_DWORD)
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
    if (disposition == REG_OPENED_EXISTING_KEY)
        result = QueryDword(key, valueName);
    if (result == 0) {
        RegSetValueExA(key, valueName, 0, REG_DWORD, (const BYTE*)&defaultNumber, sizeof defaultNumber);
        result = QueryDword(key, valueName);
    }
    RegCloseKey(key);
    return result;
}

int ReadStringWithDefault(char* out, HKEY root, const char* keyPath, const char* valueName,
                          const char* defaultText)
{
    char buffer[StoredStringSize];
    buffer[0] = 0;
    DWORD disposition = 0;
    HKEY key = CreateKey(root, keyPath, &disposition);
    if (key) {
        if (disposition == REG_OPENED_EXISTING_KEY)
            QueryString(key, valueName, buffer);
        // A value too long for the store belongs to someone else: leave it.
        if (!buffer[0] && !ValueTooLong(key, valueName) && defaultText
            && lstrlenA(defaultText) < (int)StoredStringSize) {
            RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)defaultText,
                           (DWORD)lstrlenA(defaultText) + 1);
            QueryString(key, valueName, buffer);
        }
        RegCloseKey(key);
    }
    lstrcpyA(out, buffer);
    return 0;
}

DWORD ReadDword(HKEY root, const char* keyPath, const char* valueName)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    DWORD result = QueryDword(key, valueName);
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
