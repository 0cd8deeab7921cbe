#include "support/MediaSupport.h"
#include <cstring>

void WriteWaveFile(const std::string& path, DWORD milliseconds)
{
    const DWORD rate = 8000;
    DWORD samples = rate * milliseconds / 1000;
    std::string data;
    auto put32 = [&data](DWORD v) { for (int i = 0; i < 4; i++) data += (char)((v >> (8 * i)) & 255); };
    auto put16 = [&data](WORD v) { data += (char)(v & 255); data += (char)(v >> 8); };
    data += "RIFF";
    put32(36 + samples);
    data += "WAVEfmt ";
    put32(16);
    put16(1);       // PCM
    put16(1);       // mono
    put32(rate);
    put32(rate);    // bytes per second
    put16(1);       // block align
    put16(8);       // bits
    data += "data";
    put32(samples);
    data.append(samples, (char)0x80);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    WriteFile(file, data.data(), (DWORD)data.size(), &written, NULL);
    CloseHandle(file);
}

std::string SampleMedia(const char* name)
{
    std::string source = __FILE__;   // .../tests/support/MediaSupport.cpp
    for (char& c : source)
        if (c == '/')
            c = '\\';
    size_t support = source.rfind("\\support\\");
    std::string folder = source.substr(0, support) + "\\media\\" + name;
    if (folder.size() > 1 && folder[0] == '\\')
        folder = "Z:" + folder;
    return folder;
}

static const char McieExtensions[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\MCI Extensions";

Mp3AsWaveAudio::Mp3AsWaveAudio() : saved(HKEY_LOCAL_MACHINE, McieExtensions, "mp3")
{
    SetRegString(HKEY_LOCAL_MACHINE, McieExtensions, "mp3", "WaveAudio");
}

static BOOL CALLBACK CloseMciBox(HWND window, LPARAM data)
{
    char title[64] = "";
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(window) &&
        (strstr(title, "MCI") || GetDlgItem(window, 0xFFFF))) {
        std::string text = MessageBoxText(window);
        if (strstr(title, "MCI") || text.find("MCI") != std::string::npos ||
            text.find("device") != std::string::npos) {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            InterlockedIncrement((volatile LONG*)data);
        }
    }
    return TRUE;
}

static DWORD WINAPI CloseMciBoxes(void* argument)
{
    MciErrorCloser* closer = (MciErrorCloser*)argument;
    while (!closer->stop) {
        EnumWindows(CloseMciBox, (LPARAM)&closer->closed);
        Sleep(100);
    }
    return 0;
}

MciErrorCloser::MciErrorCloser()
{
    thread = CreateThread(NULL, 0, CloseMciBoxes, this, 0, NULL);
}

MciErrorCloser::~MciErrorCloser()
{
    InterlockedExchange(&stop, 1);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
}
