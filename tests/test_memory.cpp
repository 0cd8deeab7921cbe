// The memory cleaner and the Memory Manager: the figures as shown, the block
// the cleaner takes, and a real run from the dialog's "Clean" button.
#include "tools/Tools.h"
#include "admin/Admin.h"
#include "app/App.h"
#include "look/Look.h"
#include "res/resource.h"
#include "support/AdminSupport.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

const SIZE_T Megabyte = 1024 * 1024;
const SIZE_T TestBlockLimit = 4 * Megabyte;

std::string MemorySize(SIZE_T bytes, BOOL addOneMegabyte)
{
    char text[64] = "";
    FormatMemorySize(text, bytes, addOneMegabyte);
    return text;
}

std::string Completion(int position, int upper)
{
    char text[64] = "";
    FormatCompletion(text, position, upper);
    return text;
}

MEMORYSTATUS MemoryStatus()
{
    MEMORYSTATUS status;
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return status;
}

SYSTEM_INFO SystemInfo()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info;
}

}  // namespace

TEST(MemoryFigures, SizesReadKilobytesThenMegabytesWithPhysicalRoundedUp)
{
    EXPECT_EQ("262144 KB   257 MB", MemorySize(256 * Megabyte, TRUE)) << "exactly 256 MB of RAM";
    EXPECT_EQ("262144 KB   256 MB", MemorySize(256 * Megabyte, FALSE)) << "a page file of 256 MB";
    // 255.6 MB of RAM: the truncated 255 plus one.
    EXPECT_EQ("261734 KB   256 MB", MemorySize(268016025, TRUE));
    EXPECT_EQ("261734 KB   255 MB", MemorySize(268016025, FALSE));
    EXPECT_EQ("0 KB   1 MB", MemorySize(0, TRUE));
    EXPECT_EQ("0 KB   0 MB", MemorySize(1023, FALSE));
    EXPECT_EQ("1 KB   0 MB", MemorySize(1024, FALSE));
    // The largest figure a 32-bit status can report.
    EXPECT_EQ("4194303 KB   4096 MB", MemorySize(0xFFFFFFFF, TRUE));
    EXPECT_EQ("4194303 KB   4095 MB", MemorySize(0xFFFFFFFF, FALSE));
}

TEST(MemoryFigures, ProcessorLevelsMapToFourWords)
{
    struct Case { WORD level; const char* word; };
    for (Case c : { Case{ 15, "New Technology" }, Case{ 7, "New Technology" }, Case{ 6, "Recommended" },
                    Case{ 5, "Minimum Required" }, Case{ 4, "Obsolete" }, Case{ 0, "Obsolete" },
                    Case{ 0xFFFF, "New Technology" } })   // the level is unsigned
        EXPECT_STREQ(c.word, ProcessorQuality(c.level)) << "level " << c.level;
}

TEST(MemoryFigures, CompletionIsWholePercentOfTheBarsRange)
{
    EXPECT_EQ("0 %", Completion(0, 4 * (int)Megabyte)) << "before any run";
    EXPECT_EQ("0 %", Completion(0, 0)) << "an empty range";
    EXPECT_EQ("0 %", Completion(65536, 999)) << "a range below 1000 would divide by zero";
    EXPECT_EQ("0 %", Completion(1, 100)) << "the placeholder range while a run starts";
    EXPECT_EQ("50 %", Completion(2 * (int)Megabyte, 4 * (int)Megabyte));
    EXPECT_EQ("1 %", Completion(65536, 64 * 65536));
    // A full bar reads 100 whatever the block size.
    for (int upper : {65536, 4 * 65536, 4 * (int)Megabyte, 512 * (int)Megabyte, 0x7FFF0000})
        EXPECT_EQ("100 %", Completion(upper, upper)) << "range " << upper;
}

TEST(CleanerBlock, PhysicalMemoryInWholeAllocationBlocksWithinTheLimit)
{
    const DWORD g = 65536;
    EXPECT_EQ(256 * Megabyte, CleanerBlockSize(256 * Megabyte, g, 0)) << "no limit";
    EXPECT_EQ(256 * Megabyte, CleanerBlockSize(256 * Megabyte + 1000, g, 0)) << "rounded down";
    EXPECT_EQ(256 * Megabyte - g, CleanerBlockSize(256 * Megabyte - 1, g, 0));
    EXPECT_EQ((SIZE_T)0, CleanerBlockSize(g - 1, g, 0)) << "less than one block";
    EXPECT_EQ((SIZE_T)g, CleanerBlockSize(g, g, 0));
    EXPECT_EQ((SIZE_T)0, CleanerBlockSize(256 * Megabyte, 0, 0)) << "no granularity";
    EXPECT_EQ(4 * Megabyte, CleanerBlockSize(256 * Megabyte, g, 4 * Megabyte)) << "the limit";
    EXPECT_EQ(4 * Megabyte, CleanerBlockSize(256 * Megabyte, g, 4 * Megabyte + g - 1));
    EXPECT_EQ((SIZE_T)0, CleanerBlockSize(256 * Megabyte, g, 1000)) << "a limit under one block";
    EXPECT_EQ(8 * Megabyte, CleanerBlockSize(8 * Megabyte, g, 64 * Megabyte)) << "limit above RAM";
    // The bar counts bytes in an int: a 4 GB machine gets the largest whole
    // number of blocks below 2 GB.
    EXPECT_EQ((SIZE_T)0x7FFF0000, CleanerBlockSize((SIZE_T)0xFFFFFFFF, g, 0));
    EXPECT_EQ((SIZE_T)0x7FFF0000, CleanerBlockSize((SIZE_T)0x80000000, g, 0));
    EXPECT_EQ((SIZE_T)0x7FFFF000, CleanerBlockSize((SIZE_T)0xFFFFFFFF, 4096, 0));
}

TEST(CleanerBlock, LargestFreeRegionCanBeReservedInOnePiece)
{
    const DWORD g = SystemInfo().dwAllocationGranularity;
    EXPECT_EQ((SIZE_T)0, LargestFreeRegion(0));
    SIZE_T largest = LargestFreeRegion(g);
    ASSERT_GT(largest, (SIZE_T)0);
    EXPECT_EQ((SIZE_T)0, largest % g);
    // Only what the cleaner can ask for matters: at most a bar's range.
    SIZE_T wanted = largest < (SIZE_T)0x7FFF0000 ? largest : (SIZE_T)0x7FFF0000;
    void* block = VirtualAlloc(NULL, wanted, MEM_RESERVE, PAGE_READWRITE | PAGE_NOCACHE);
    EXPECT_NE(nullptr, block) << wanted << " bytes";
    if (block)
        VirtualFree(block, 0, MEM_RELEASE);
    // With a block taken out of the address space the largest region does not grow.
    void* taken = VirtualAlloc(NULL, 16 * Megabyte, MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, taken);
    EXPECT_LE(LargestFreeRegion(g), largest);
    VirtualFree(taken, 0, MEM_RELEASE);
}

namespace {

// What the cleaner tells the dialog's progress bar, seen from a subclass.
struct BarRecord {
    WNDPROC original = NULL;
    std::vector<LPARAM> ranges;   // upper limits of PBM_SETRANGE32
    WPARAM step = 0;
    int steps = 0;
    HWND exitDialog = NULL;       // when set, the first step presses "Exit"
    std::set<DWORD> threadsBefore;
    std::vector<HANDLE> workers;  // threads new at that step: the cleaner
};
BarRecord Bar;
std::set<DWORD> ThreadsOfThisProcess();

LRESULT CALLBACK RecordingBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == PBM_SETRANGE32)
        Bar.ranges.push_back(lParam);
    if (message == PBM_SETSTEP)
        Bar.step = wParam;
    if (message == PBM_STEPIT) {
        Bar.steps++;
        if (Bar.exitDialog) {
            HWND dialog = Bar.exitDialog;
            Bar.exitDialog = NULL;
            // The worker waits inside this step, so it is surely alive now.
            for (DWORD id : ThreadsOfThisProcess())
                if (!Bar.threadsBefore.count(id) && id != GetCurrentThreadId()) {
                    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
                    if (thread)
                        Bar.workers.push_back(thread);
                }
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MEMORY_EXIT, BN_CLICKED),
                         (LPARAM)GetDlgItem(dialog, IDC_MEMORY_EXIT));
        }
    }
    return CallWindowProcA(Bar.original, bar, message, wParam, lParam);
}

void RecordBar(HWND dialog)
{
    Bar = BarRecord();
    HWND bar = GetDlgItem(dialog, IDC_MEMORY_PROGRESS);
    Bar.original = (WNDPROC)SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)RecordingBarProc);
}


std::string ItemText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

bool CleanVisible(HWND dialog)
{
    return IsWindowVisible(GetDlgItem(dialog, IDC_MEMORY_CLEAN)) != 0;
}

int BarPosition(HWND dialog)
{
    return (int)SendDlgItemMessageA(dialog, IDC_MEMORY_PROGRESS, PBM_GETPOS, 0, 0);
}

// "N KB   M MB" read back into its two numbers.
bool ParseSize(const std::string& text, long* kilobytes, long* megabytes)
{
    char kb[8] = "", mb[8] = "";
    int end = 0;
    if (sscanf(text.c_str(), "%ld %2s   %ld %2s%n", kilobytes, kb, megabytes, mb, &end) != 4)
        return false;
    return std::string(kb) == "KB" && std::string(mb) == "MB" && end == (int)text.size() &&
           text.find(" KB   ") != std::string::npos;
}

std::set<DWORD> ThreadsOfThisProcess()
{
    std::set<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

struct MemoryManager : ShellDialogTest {
    SIZE_T savedLimit = 0;
    void SetUp() override
    {
        ShellDialogTest::SetUp();
        MainWindow = StandIn("owner");
        OptionsPanelWindow = StandIn("panel", WS_POPUP | WS_CAPTION);
        savedLimit = GetCleanerBlockLimit();
        SetCleanerBlockLimit(TestBlockLimit);
    }
    void TearDown() override
    {
        SetCleanerBlockLimit(savedLimit);
        ShellDialogTest::TearDown();
    }
    INT_PTR Run() { return RunDialog(IDD_MEMORY_MANAGER, MemoryManagerProc, MainWindow); }
};

}  // namespace

TEST_F(MemoryManager, ShowsTheFiguresOfThisMachineAndEscapeLeavesItOpen)
{
    MEMORYSTATUS status = MemoryStatus();
    SYSTEM_INFO info = SystemInfo();

    std::string caption, heading, load, total, freePhysical, pageFile, freePageFile, block, processor,
        percent;
    bool openAfterEscape = false;
    WhenShown("Memory Options", [&](HWND dialog) {
        caption = WindowText(dialog);
        heading = DialogLook.HeadingText ? DialogLook.HeadingText : "(none)";
        load = ItemText(dialog, IDC_MEMORY_LOAD);
        total = ItemText(dialog, IDC_MEMORY_TOTAL_PHYSICAL);
        freePhysical = ItemText(dialog, IDC_MEMORY_FREE_PHYSICAL);
        pageFile = ItemText(dialog, IDC_MEMORY_TOTAL_PAGE_FILE);
        freePageFile = ItemText(dialog, IDC_MEMORY_FREE_PAGE_FILE);
        block = ItemText(dialog, IDC_MEMORY_BLOCK);
        processor = ItemText(dialog, IDC_MEMORY_PROCESSOR);
        // The percentage follows the bar from the first tick on.
        WaitInDialog(dialog, [&] { return ItemText(dialog, IDC_MEMORY_PERCENT) == "0 %"; }, 5000);
        percent = ItemText(dialog, IDC_MEMORY_PERCENT);

        HWND clean = GetDlgItem(dialog, IDC_MEMORY_CLEAN);
        SetFocus(clean);
        PostMessageA(clean, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(clean, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        WaitInDialog(dialog, [] { return false; }, 400);
        openAfterEscape = IsWindowVisible(dialog) != 0;
        ClickButton(dialog, IDC_MEMORY_EXIT);
    });
    EXPECT_EQ(1, Run());
    EXPECT_EQ("Memory Options", caption);
    EXPECT_EQ("Memory Manager", heading);

    long kb = 0, mb = 0;
    EXPECT_TRUE(ParseSize(total, &kb, &mb)) << total;
    EXPECT_EQ((long)(status.dwTotalPhys >> 10), kb) << total;
    EXPECT_EQ((long)(status.dwTotalPhys >> 20) + 1, mb) << "physical megabytes are one more";
    EXPECT_TRUE(ParseSize(freePhysical, &kb, &mb)) << freePhysical;
    EXPECT_EQ((kb >> 10) + 1, mb) << freePhysical;
    EXPECT_TRUE(ParseSize(pageFile, &kb, &mb)) << pageFile;
    EXPECT_EQ((long)(status.dwTotalPageFile >> 10), kb) << pageFile;
    EXPECT_EQ(kb >> 10, mb) << "page-file megabytes are truncated";
    EXPECT_TRUE(ParseSize(freePageFile, &kb, &mb)) << freePageFile;
    EXPECT_EQ(kb >> 10, mb) << freePageFile;

    int loadValue = -1;
    char rest[8] = "";
    EXPECT_EQ(2, sscanf(load.c_str(), "%d%7s", &loadValue, rest)) << load;
    EXPECT_STREQ("%", rest) << "no blank before the sign: " << load;
    EXPECT_TRUE(loadValue >= 0 && loadValue <= 100) << load;

    EXPECT_EQ(std::to_string(info.dwAllocationGranularity) + " Bytes", block);
    const char* word = info.wProcessorLevel > 6 ? "New Technology"
                       : info.wProcessorLevel == 6 ? "Recommended"
                       : info.wProcessorLevel == 5 ? "Minimum Required"
                                                   : "Obsolete";
    EXPECT_EQ(word, processor) << "level " << info.wProcessorLevel;
    EXPECT_EQ("0 %", percent);
    EXPECT_TRUE(openAfterEscape) << "Escape does not close the Memory Manager";
}

TEST_F(MemoryManager, CleanRunsTheCleanerToTheFullBarAndComesBack)
{
    MEMORYSTATUS status = MemoryStatus();
    SYSTEM_INFO info = SystemInfo();
    const SIZE_T expected = CleanerBlockSize(status.dwTotalPhys, info.dwAllocationGranularity,
                                             TestBlockLimit);
    ASSERT_EQ(TestBlockLimit, expected) << "this machine has more than the test's block";

    bool hiddenAtOnce = false, finished = false, cameBack = false, restarted = false;
    std::vector<std::string> percents;
    int positionAfter = -1;
    std::string after, nextTick;
    WhenShown("Memory Options", [&](HWND dialog) {
        RecordBar(dialog);
        ASSERT_TRUE(CleanVisible(dialog));
        ClickButton(dialog, IDC_MEMORY_CLEAN);
        hiddenAtOnce = !CleanVisible(dialog);
        finished = WaitInDialog(dialog, [&] {
            std::string text = ItemText(dialog, IDC_MEMORY_PERCENT);
            if (!text.empty() && (percents.empty() || percents.back() != text))
                percents.push_back(text);
            return CleanVisible(dialog);
        }, 60000);
        cameBack = finished;
        after = ItemText(dialog, IDC_MEMORY_PERCENT);
        positionAfter = BarPosition(dialog);
        // The tick after the end reads an empty bar again.
        WaitInDialog(dialog, [&] { return ItemText(dialog, IDC_MEMORY_PERCENT) == "0 %"; }, 5000);
        nextTick = ItemText(dialog, IDC_MEMORY_PERCENT);

        // A second run from the same dialog works the same way.
        int stepsBefore = Bar.steps;
        ClickButton(dialog, IDC_MEMORY_CLEAN);
        restarted = !CleanVisible(dialog) &&
                    WaitInDialog(dialog, [&] { return CleanVisible(dialog); }, 60000) &&
                    Bar.steps == 2 * stepsBefore;
        ClickButton(dialog, IDC_MEMORY_EXIT);
    });
    EXPECT_EQ(1, Run());
    EXPECT_TRUE(hiddenAtOnce) << "\"Clean\" hides while the run is under way";
    ASSERT_TRUE(finished);
    EXPECT_TRUE(cameBack);
    EXPECT_EQ("100 %", after);
    EXPECT_EQ(0, positionAfter) << "the bar is emptied when the run is over";
    EXPECT_EQ("0 %", nextTick);
    ASSERT_FALSE(Bar.ranges.empty());
    EXPECT_EQ((LPARAM)expected, Bar.ranges.back()) << "the bar counts the block's bytes";
    EXPECT_EQ((WPARAM)info.dwAllocationGranularity, Bar.step);
    EXPECT_TRUE(restarted) << "a second run from the same dialog";
    EXPECT_EQ((int)(expected / info.dwAllocationGranularity) * 2, Bar.steps)
        << "one step per allocation block, two runs";
    for (const std::string& text : percents) {
        int value = -1;
        EXPECT_EQ(1, sscanf(text.c_str(), "%d %%", &value)) << text;
        EXPECT_TRUE(value >= 0 && value <= 100) << text;
    }
}

// A run that gets no block still ends in a way the dialog understands.
TEST_F(MemoryManager, CleanComesBackWhenTheCleanerGetsNoBlock)
{
    SetCleanerBlockLimit(1000);   // less than one allocation block
    bool hidden = false, cameBack = false;
    WhenShown("Memory Options", [&](HWND dialog) {
        RecordBar(dialog);
        ClickButton(dialog, IDC_MEMORY_CLEAN);
        hidden = !CleanVisible(dialog);
        cameBack = WaitInDialog(dialog, [&] { return CleanVisible(dialog); }, 10000);
        ClickButton(dialog, IDC_MEMORY_EXIT);
    });
    EXPECT_EQ(1, Run());
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(cameBack) << "\"Clean\" returns although nothing was cleaned";
    EXPECT_EQ(0, Bar.steps);
}

// "Exit" in the middle of a run closes the dialog at once; the worker goes on
// to its end with no bar to report to.
TEST_F(MemoryManager, ExitDuringARunClosesAtOnceAndTheRunStillEnds)
{
    SetCleanerBlockLimit(32 * Megabyte);
    HWND shown = NULL;
    WhenShown("Memory Options", [&](HWND dialog) {
        shown = dialog;
        RecordBar(dialog);
        Bar.threadsBefore = ThreadsOfThisProcess();
        Bar.exitDialog = dialog;
        ClickButton(dialog, IDC_MEMORY_CLEAN);
    });
    EXPECT_EQ(1, Run());
    ASSERT_NE(nullptr, shown);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_GE(Bar.steps, 1);
    EXPECT_LT(Bar.steps, (int)(GetCleanerBlockLimit() / SystemInfo().dwAllocationGranularity))
        << "the dialog closed before the run ended";
    ASSERT_FALSE(Bar.workers.empty()) << "the cleaner's thread";
    for (HANDLE thread : Bar.workers) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 60000)) << "the run ends by itself";
        CloseHandle(thread);
    }
}
