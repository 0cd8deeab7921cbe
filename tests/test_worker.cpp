// Worker threads started through the run-time library loaded by name.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "core/Core.h"
#include "support/TestSupport.h"

namespace {

struct Shared {
    HANDLE done;
    DWORD thread;
    volatile LONG ranPastEnd;
};

void __cdecl Worker(void* argument)
{
    Shared* shared = (Shared*)argument;
    shared->thread = GetCurrentThreadId();
    SetEvent(shared->done);
    EndWorkerThread();
    InterlockedExchange(&shared->ranPastEnd, 1);
}

TEST(WorkerThread, RunsTheRoutineOnAnotherThreadThatEndsThere)
{
    Shared shared = {CreateEventA(NULL, TRUE, FALSE, NULL), 0, 0};
    StartWorkerThread(Worker, 0, &shared);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(shared.done, 5000));
    EXPECT_NE(GetCurrentThreadId(), shared.thread);
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, shared.thread);
    if (thread) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
        CloseHandle(thread);
    } else {
        Sleep(50);   // the thread cannot be watched: give it the time to end
    }
    EXPECT_EQ(0, shared.ranPastEnd) << "the thread ended inside EndWorkerThread";
    CloseHandle(shared.done);
}

TEST(WorkerThread, TwoStartsRunTwoThreads)
{
    Shared first = {CreateEventA(NULL, TRUE, FALSE, NULL), 0, 0};
    Shared second = {CreateEventA(NULL, TRUE, FALSE, NULL), 0, 0};
    StartWorkerThread(Worker, 0, &first);
    StartWorkerThread(Worker, 0, &second);
    HANDLE both[2] = {first.done, second.done};
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 5000));
    EXPECT_NE(first.thread, second.thread);
    CloseHandle(first.done);
    CloseHandle(second.done);
}

}  // namespace

// The run-time library missing or damaged: this executable is started again,
// as a child that tries to start or end a worker and reports by exit code.
namespace {

const char ChildSwitch[] = "--worker-child=";
enum { RanNothing = 10, RoutineRan = 11, ReturnedFromEnd = 12 };

volatile LONG ChildRoutineRan;

void __cdecl ChildRoutine(void*)
{
    InterlockedExchange(&ChildRoutineRan, 1);
}

DWORD WINAPI EndingThread(void*)
{
    EndWorkerThread();
    return ReturnedFromEnd;
}

int RunWorkerChildIfAsked()
{
    const char* mode = strstr(GetCommandLineA(), ChildSwitch);
    if (!mode)
        return 0;
    mode += lstrlenA(ChildSwitch);
    if (strncmp(mode, "start", 5) == 0) {
        StartWorkerThread(ChildRoutine, 0, NULL);
        WaitFor([] { return ChildRoutineRan != 0; }, 1000);
        ExitProcess(ChildRoutineRan ? RoutineRan : RanNothing);
    }
    HANDLE thread = CreateThread(NULL, 0, EndingThread, NULL, 0, NULL);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    ExitProcess(code);
}
const int WorkerChildRan = RunWorkerChildIfAsked();

const char ChildOverridesKey[] = "Software\\Wine\\AppDefaults\\worker_child.exe\\DllOverrides";

struct WorkerChild {
    PROCESS_INFORMATION info = {};
    RegistryGuard overridesGuard{ HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\worker_child.exe" };
    // Copies this executable, with the damaged library beside it when asked,
    // into a folder of its own, and starts it there with the library's load
    // order ("" disables it, "native" prefers the one beside the exe).
    WorkerChild(const TempFolder& folder, const char* mode, const char* loadOrder, bool damaged)
    {
        SetRegString(HKEY_CURRENT_USER, ChildOverridesKey, "crtdll", loadOrder);
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, MAX_PATH);
        std::string copy = folder.File("worker_child.exe");
        CopyFileA(exe, copy.c_str(), FALSE);
        if (damaged)
            CopyFileA((ExeFolder() + "\\standin\\CRTDLL.dll").c_str(), folder.File("CRTDLL.dll").c_str(), FALSE);
        std::string line = "\"" + copy + "\" " + ChildSwitch + mode;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, folder.path.c_str(), &startup, &info);
    }
    DWORD Wait()
    {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(info.hProcess, 20000);
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    // The child's "Error" box: its text, after which it is dismissed.
    std::string DismissErrorBox()
    {
        HWND box = NULL;
        WaitFor([&] { return (box = FindTopLevel("#32770", "Error")) != NULL; }, 10000);
        if (!box)
            return "";
        std::string text = MessageBoxText(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    ~WorkerChild()
    {
        if (info.hProcess) {
            TerminateProcess(info.hProcess, 0);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
};

TEST(WorkerThreadRuntime, MissingLibraryStartsNothingAndSaysNothing)
{
    TempFolder folder;
    WorkerChild child(folder, "start", "", false);
    ASSERT_NE(nullptr, child.info.hProcess);
    bool boxSeen = false;
    WaitFor([&] {
        boxSeen = boxSeen || FindTopLevel("#32770", "Error") != NULL;
        return WaitForSingleObject(child.info.hProcess, 0) == WAIT_OBJECT_0;
    }, 20000);
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ((DWORD)RanNothing, child.Wait());
}

TEST(WorkerThreadRuntime, DamagedLibraryIsReportedOnStartAndOnEnd)
{
    struct Case { const char* mode; DWORD exitCode; const char* why; };
    for (Case c : { Case{ "start", RanNothing, "no thread without _beginthread" },
                    Case{ "end", ReturnedFromEnd, "the worker ends by returning" } }) {
        TempFolder folder;
        WorkerChild child(folder, c.mode, "native", true);
        ASSERT_NE(nullptr, child.info.hProcess) << c.mode;
        EXPECT_EQ("Error: the file CRTDLL.DLL is corrupted", child.DismissErrorBox()) << c.mode;
        EXPECT_EQ(c.exitCode, child.Wait()) << c.why;
    }
}

}  // namespace
