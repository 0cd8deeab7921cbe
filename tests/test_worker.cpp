// Worker threads started through the run-time library loaded by name.
#include <gtest/gtest.h>
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
    }
    Sleep(50);
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
