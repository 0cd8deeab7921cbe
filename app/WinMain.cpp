#include "app/App.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return StartShell(instance, commandLine);
}
