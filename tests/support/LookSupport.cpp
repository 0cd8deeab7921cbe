#include "support/LookSupport.h"
#include <cstdlib>

COLORREF WindowPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    return pixels[(size_t)y * width + x];
}

static bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs((int)GetRValue(a) - (int)GetRValue(b)) <= tolerance &&
           abs((int)GetGValue(a) - (int)GetGValue(b)) <= tolerance &&
           abs((int)GetBValue(a) - (int)GetBValue(b)) <= tolerance;
}

int WindowPixels::Count(int left, int top, int right, int bottom, COLORREF colour, int tolerance) const
{
    int count = 0;
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            if (x >= 0 && y >= 0 && x < width && y < height && Near(At(x, y), colour, tolerance))
                count++;
    return count;
}

WindowPixels GrabWindow(HWND window)
{
    WindowPixels result;
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return result;
    result.width = rect.right - rect.left;
    result.height = rect.bottom - rect.top;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    bool own = process == GetCurrentProcessId();
    HWND source = own ? window : NULL;
    HDC dc = own ? GetWindowDC(window) : GetDC(NULL);
    int x = own ? 0 : rect.left, y = own ? 0 : rect.top;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = result.width;
    info.bmiHeader.biHeight = -result.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, result.width, result.height, dc, x, y, SRCCOPY);
    GdiFlush();
    result.pixels.resize((size_t)result.width * result.height);
    const DWORD* source32 = (const DWORD*)bits;
    for (size_t i = 0; i < result.pixels.size(); i++) {
        DWORD p = source32[i];   // 0x00RRGGBB in a DIB
        result.pixels[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(source, dc);
    return result;
}

POINT ClientOrigin(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    origin.x -= rect.left;
    origin.y -= rect.top;
    return origin;
}

int HeadingPixels(HWND dialog, COLORREF colour)
{
    POINT client = ClientOrigin(dialog);
    RECT rect;
    GetClientRect(dialog, &rect);
    return GrabWindow(dialog).Count(client.x, client.y, client.x + rect.right, client.y + 45, colour);
}

WineDrawnFrames::WineDrawnFrames(const char* exeName)
{
    // Only Wine has this setting; on Windows leave the registry alone.
    if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return;
    key = std::string("Software\\Wine\\AppDefaults\\") + exeName + "\\X11 Driver";
    HKEY handle;
    keyExisted = RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (keyExisted) {
        RegCloseKey(handle);
        key.clear();  // someone configured it already: theirs stays as it is
        return;
    }
    std::string exeKey = key.substr(0, key.rfind('\\'));
    if (RegOpenKeyExA(HKEY_CURRENT_USER, exeKey.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        RegCloseKey(handle);
        exeKeyExisted = true;
    }
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &handle, NULL) ==
        ERROR_SUCCESS) {
        RegSetValueExA(handle, "Decorated", 0, REG_SZ, (const BYTE*)"N", 2);
        RegCloseKey(handle);
    }
}

WineDrawnFrames::~WineDrawnFrames()
{
    if (key.empty())
        return;
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    if (!exeKeyExisted)
        RegDeleteKeyA(HKEY_CURRENT_USER, key.substr(0, key.rfind('\\')).c_str());
}
