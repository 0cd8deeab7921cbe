// Worker threads start through the run-time library found at run time, so
// the shell runs where the linked run-time's thread start is not wanted.
#include "core/Core.h"
#include <stdint.h>

typedef uintptr_t (__cdecl* BeginThreadFunction)(WorkerRoutine, unsigned, void*);
typedef void (__cdecl* EndThreadFunction)();

// Loaded once and kept: a running worker must never lose its library.
static HMODULE RuntimeLibrary()
{
    static HMODULE library = NULL;
    if (!library)
        library = LoadLibraryA("CRTDLL.DLL");
    return library;
}

static FARPROC RuntimeFunction(const char* name)
{
    HMODULE library = RuntimeLibrary();
    if (!library)
        return NULL;
    FARPROC function = GetProcAddress(library, name);
    if (!function)
        MessageBoxA(NULL, "Error: the file CRTDLL.DLL is corrupted", "Error", MB_OK);
    return function;
}

void StartWorkerThread(WorkerRoutine routine, unsigned stackSize, void* argument)
{
    BeginThreadFunction begin = (BeginThreadFunction)(void*)RuntimeFunction("_beginthread");
    if (begin)
        begin(routine, stackSize, argument);
}

void EndWorkerThread()
{
    EndThreadFunction end = (EndThreadFunction)(void*)RuntimeFunction("_endthread");
    if (end)
        end();
}
