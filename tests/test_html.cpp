// The HTML viewer and the built-in help: the address, the showing, the help document.
#include "media/Media.h"
#include "app/App.h"
#include "res/resource.h"
#include "support/MediaSupport.h"
#include <gtest/gtest.h>
#include <commdlg.h>
#include <richedit.h>
#include <string>
#include <vector>

namespace {

const char ViewClass[] = "HalcyneHtmlView";

// The page's text as the view shows it (also across processes).
std::string ViewText(HWND view)
{
    HWND edit = FindWindowExA(view, NULL, "RichEdit20A", NULL);
    std::string text(32 * 1024, '\0');
    LRESULT length = SendMessageA(edit, WM_GETTEXT, text.size(), (LPARAM)&text[0]);
    text.resize(length > 0 ? (size_t)length : 0);
    std::string flat;
    for (char c : text)
        if (c != '\n')
            flat += c;
    return flat;
}

std::string HelpResource()
{
    HRSRC found = FindResourceA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_HELP_HTML), MAKEINTRESOURCEA(23));
    if (!found)
        return "";
    const char* bytes = (const char*)LockResource(LoadResource(GetModuleHandleA(NULL), found));
    return std::string(bytes, SizeofResource(GetModuleHandleA(NULL), found));
}

// What the timer saw while the help was open.
struct HelpVisit {
    std::string title, text;
    bool engineLoaded = false;
    LRESULT firstLine = -1, lineAfterLink = -1;
    std::string lineShownAfterLink;
};
HelpVisit Visit;

void CALLBACK LookAtHelp(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND view = FindOwnWindow(ViewClass, NULL);
    if (!view)
        return;
    KillTimer(NULL, id);
    Visit.title = WindowText(view);
    Visit.text = ViewText(view);
    Visit.engineLoaded = GetModuleHandleA("mshtml.dll") != NULL;
    HWND edit = FindWindowExA(view, NULL, "RichEdit20A", NULL);
    Visit.firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    // Click the topic "Task Manager" of the list: the page scrolls to its section.
    FINDTEXTA find = {{0, -1}, "Task Manager"};
    LRESULT at = SendMessageA(edit, EM_FINDTEXT, FR_DOWN, (LPARAM)&find);
    POINTL point = {0, 0};
    SendMessageA(edit, EM_POSFROMCHAR, (WPARAM)&point, at + 2);
    LPARAM where = MAKELPARAM(point.x + 2, point.y + 4);
    SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageA(edit, WM_LBUTTONUP, 0, where);
    Visit.lineAfterLink = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    char line[256] = "";
    *(WORD*)line = sizeof line - 1;
    LRESULT length = SendMessageA(edit, EM_GETLINE, Visit.lineAfterLink, (LPARAM)line);
    line[length < 255 ? length : 255] = 0;
    Visit.lineShownAfterLink = line;
    PostMessageA(view, WM_CLOSE, 0, 0);
}

// Shows a page with the timer looking at it once it opens.
template <typename Show> void VisitHelp(Show show)
{
    Visit = HelpVisit();
    UINT_PTR timer = SetTimer(NULL, 0, 100, LookAtHelp);
    show();
    KillTimer(NULL, timer);
}

}  // namespace

TEST(HtmlAddress, ExecutablePathUnescaped)
{
    TempFolder folder;
    std::string spaced = folder.path + "\\with space";
    CreateDirectoryA(spaced.c_str(), NULL);
    std::string copy = spaced + "\\halcyne.exe";
    ASSERT_TRUE(CopyFileA(ShellExePath().c_str(), copy.c_str(), FALSE));
    HMODULE module = LoadLibraryExA(copy.c_str(), NULL, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, module);
    char modulePath[MAX_PATH];
    GetModuleFileNameA(module, modulePath, MAX_PATH);
    AppInstance = module;
    char address[MAX_PATH];
    ASSERT_TRUE(BuildResourceUrl(134, address));
    EXPECT_EQ(std::string("res://") + modulePath + "/134", address);
    EXPECT_NE(std::string::npos, std::string(address).find("with space\\halcyne.exe/134"));
    // The page stored under that address is the help.
    VisitHelp([&] { ShowHtmlDocument(NULL, address); });
    EXPECT_EQ("ONLINEHELP", Visit.title);
    AppInstance = GetModuleHandleA(NULL);
    FreeLibrary(module);
}

TEST(HtmlAddress, TooLongForTheBufferGivesNone)
{
    char address[MAX_PATH];
    AppInstance = GetModuleHandleA(NULL);
    ASSERT_TRUE(BuildResourceUrl(7, address));
    EXPECT_EQ("/7", std::string(address).substr(std::string(address).size() - 2));
    std::string longAddress(300, 'x');
    EXPECT_EQ(0, ShowHtmlDocument(NULL, longAddress.c_str()));   // shows nothing, returns
}

TEST(HtmlViewer, HelpShowsTheDocumentAndLinksScrollToTheirSections)
{
    AppInstance = GetModuleHandleA(NULL);
    ASSERT_EQ(nullptr, GetModuleHandleA("mshtml.dll"));
    VisitHelp(ShowBuiltInHelp);
    EXPECT_EQ("ONLINEHELP", Visit.title);
    for (const char* part : {"Halcyne 2.0 Online Help", "2.06A", "19. HTML Viewer (F8)"})
        EXPECT_NE(std::string::npos, Visit.text.find(part)) << part;
    EXPECT_EQ(std::string::npos, Visit.text.find("<"));
    EXPECT_TRUE(Visit.engineLoaded);
    EXPECT_EQ(0, Visit.firstLine);
    EXPECT_GT(Visit.lineAfterLink, 20);
    EXPECT_NE(std::string::npos, Visit.lineShownAfterLink.find("Task Manager")) << Visit.lineShownAfterLink;
    // The engine library is loaded for each showing and unloaded after it.
    EXPECT_EQ(nullptr, GetModuleHandleA("mshtml.dll"));
    VisitHelp(ShowBuiltInHelp);
    EXPECT_EQ("ONLINEHELP", Visit.title);
    EXPECT_TRUE(Visit.engineLoaded);
    EXPECT_EQ(nullptr, GetModuleHandleA("mshtml.dll"));
}

// A quit message while a page shows ends the page before the engine is
// unloaded, and stays for the caller's loop.
TEST(HtmlViewer, QuitWhileShowingEndsThePageAndIsKept)
{
    AppInstance = GetModuleHandleA(NULL);
    static HWND shown;
    struct Quit {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            if (!(shown = FindOwnWindow(ViewClass, NULL)))
                return;
            KillTimer(NULL, id);
            PostQuitMessage(7);
        }
    };
    UINT_PTR timer = SetTimer(NULL, 0, 100, Quit::Tick);
    ShowBuiltInHelp();
    KillTimer(NULL, timer);
    ASSERT_NE(nullptr, shown);
    EXPECT_FALSE(IsWindow(shown));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7, (int)msg.wParam);
}

// A long paragraph reaches the view in pieces, and one past the length limit
// goes on as a new paragraph: no word is cut and no space lost or doubled.
TEST(HtmlViewer, LongParagraphsKeepEveryWordAndBreakOnlyBetweenWords)
{
    std::string shortText, longText;
    for (int i = 0; shortText.size() < 3000; i++)
        shortText += (i ? " word" : "word") + std::to_string(i);
    for (int i = 0; longText.size() < 17000; i++)
        longText += (i ? " item" : "item") + std::to_string(i);
    TempFolder folder;
    std::string source = longText;
    for (size_t at = 70; at < source.size(); at += 70)
        source[source.find(' ', at)] = '\n';   // line breaks in the source are spaces too
    folder.Write("long.htm", "<html><head><title>Long</title></head><body><p>" + shortText + "</p><p>" + source +
                                 "</p></body></html>");
    static std::string shown;
    struct Read {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            HWND view = FindOwnWindow(ViewClass, "Long");
            if (!view)
                return;
            KillTimer(NULL, id);
            shown = ViewText(view);
            PostMessageA(view, WM_CLOSE, 0, 0);
        }
    };
    shown.clear();
    UINT_PTR timer = SetTimer(NULL, 0, 100, Read::Tick);
    ShowHtmlDocument(NULL, folder.File("long.htm").c_str());
    KillTimer(NULL, timer);
    ASSERT_EQ(0u, shown.find(shortText + "\r\r")) << shown.substr(0, 200);
    std::string rest = shown.substr(shortText.size() + 2);
    size_t broken = rest.find('\r');
    ASSERT_NE(std::string::npos, broken);
    EXPECT_GE(broken, 16000u);
    EXPECT_EQ(' ', longText[broken]) << "the paragraph went on at a space";
    rest[broken] = ' ';
    EXPECT_EQ(0u, rest.find(longText + "\r")) << rest.substr(0, 200);
}

TEST(HelpDocument, TopicsLinkToTheirSectionsInOrder)
{
    std::string html = HelpResource();
    ASSERT_FALSE(html.empty());
    for (const char* part : {"<title>ONLINEHELP</title>", "HTML 4.0 Transitional", "iso-8859-1", "Halcyne 2.0 Online Help"})
        EXPECT_NE(std::string::npos, html.find(part)) << part;
    for (const char* part : {"<script", "<img"})
        EXPECT_EQ(std::string::npos, html.find(part)) << part;
    EXPECT_EQ(std::string::npos, html.find("log off"));   // Shut Down offers no such choice
    const std::vector<std::pair<std::string, int>> topics = {
        {"Desktop Files - Display Extension", 19}, {"Halcyne Taskbar", 1}, {"About (F1)", 2},
        {"Login (F3)", 3}, {"Memory Cleanup (Silent Mode)", 4}, {"Refresh (F5)", 5}, {"Shut Down (F4)", 6},
        {"Boot Halcyne", 7}, {"Enable Dos Security", 8}, {"Disable Internet Explorer", 9},
        {"Conservative Memory Allocation", 10}, {"Free Memory At Each Application Startup", 11},
        {"Memory Status", 12}, {"Task Manager", 13}, {"Choose Wallpaper", 14}, {"Change display settings", 18},
        {"Mp3 Player (F6)", 15}, {"Tavix Movie Player or Tavix Home Theatre (F7)", 16}, {"HTML Viewer (F8)", 17}};
    size_t list = html.find("<ol>");
    size_t listEnd = html.find("</ol>");
    ASSERT_NE(std::string::npos, list);
    size_t at = list;
    for (const auto& topic : topics) {
        std::string link = "<li><a href=\"#" + std::to_string(topic.second) + "\">" + topic.first + "</a></li>";
        size_t found = html.find(link, at);
        EXPECT_NE(std::string::npos, found) << link;
        EXPECT_LT(found, listEnd) << link;
        if (found != std::string::npos)
            at = found;
    }
    // The sections, each opened by its anchor and a bold title, in their own order.
    const int sections[] = {2, 4, 3, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14, 18, 15, 16, 17, 1, 19};
    size_t previous = listEnd;
    for (int anchor : sections) {
        std::string name = "<a name=\"" + std::to_string(anchor) + "\"></a><b>";
        size_t found = html.find(name);
        ASSERT_NE(std::string::npos, found) << name;
        EXPECT_EQ(std::string::npos, html.find(name, found + 1)) << name;
        EXPECT_GT(found, previous) << name;
        previous = found;
    }
    size_t options = html.find("<b>Options Panel</b>");
    size_t advanced = html.find("<b>Advanced Options</b>");
    size_t htmlHeading = html.find("<b>HTML</b>");
    EXPECT_LT(html.find("name=\"5\""), options);
    EXPECT_LT(options, html.find("<b>Security</b>"));
    EXPECT_LT(html.find("name=\"18\""), advanced);
    EXPECT_LT(advanced, html.find("<b>Multimedia</b>"));
    EXPECT_LT(html.find("name=\"16\""), htmlHeading);
    EXPECT_LT(htmlHeading, html.find("name=\"17\""));
}

TEST(HelpShell, HelpOnTheCommandLineComesBeforeAnyWindowAndEnds)
{
    ShellProcess shell;
    ASSERT_TRUE(shell.Start("-help"));
    HWND help = shell.WaitForWindow(ViewClass, "ONLINEHELP");
    ASSERT_NE(nullptr, help);
    EXPECT_TRUE(shell.Windows("Win").empty());
    PostMessageA(help, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(shell.WaitForExit(10000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

TEST(HelpShell, F12ShowsTheHelpAndF8TheChosenFile)
{
    SavedValue savedFile(HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile");
    DeleteRegValue(HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile");
    DesktopShell run;
    ASSERT_TRUE(run.Start());

    PostKey(run.main, VK_F12);
    HWND help = run.shell.WaitForWindow(ViewClass, "ONLINEHELP");
    ASSERT_NE(nullptr, help);
    PostMessageA(help, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(help); }));

    // Never set: F8 stores the empty value and shows nothing.
    PostKey(run.main, VK_F8);
    std::string value = "unset";
    EXPECT_TRUE(WaitFor([&] { return GetRegString(HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile", &value); }));
    EXPECT_EQ("", value);
    EXPECT_TRUE(Holds([&] { return run.shell.Windows(ViewClass).empty(); }, 500));

    run.desktop.Write("rules.htm", "<html><head><title>House Rules</title></head><body><h1>Rules</h1>"
                               "<p>No <b>food</b> near the keyboards.&#4294967361;</p></body></html>");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile", run.desktop.File("rules.htm").c_str());
    PostKey(run.main, VK_F8);
    HWND page = run.shell.WaitForWindow(ViewClass, "House Rules");
    ASSERT_NE(nullptr, page);
    std::string text = ViewText(page);
    EXPECT_NE(std::string::npos, text.find("No food near the keyboards.?")) << text;   // no wrapped entity
    PostMessageA(page, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(page); }));
}

// Without the engine library, or with one that lacks ShowHTMLDialog, F8 and
// F12 show nothing, and without the media library neither does the movie
// player's Play; the shell runs on (About still opens after them).
TEST(HelpShell, WithoutTheirLibrariesF7F8AndF12ShowNothing)
{
    QuietShell quiet;
    RegistryGuard overrides(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\halcyne.exe\\DllOverrides");
    SetRegString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\halcyne.exe\\DllOverrides", "msvfw32", "");
    SetRegString(HKEY_CURRENT_USER, "Software\\Hx_", "DesktopMovie", SampleMedia("movie320x240.avi").c_str());
    quiet.desktop.Write("rules.htm", "<html><head><title>House Rules</title></head></html>");
    SetRegString(HKEY_CURRENT_USER, "Software\\HX_", "HTMLFile", quiet.desktop.File("rules.htm").c_str());
    TempFolder copy;
    ASSERT_TRUE(CopyFileA(ShellExePath().c_str(), copy.File("halcyne.exe").c_str(), FALSE));
    // A library by the engine's name without the entry point, beside the exe.
    ASSERT_TRUE(CopyFileA((ExeFolder() + "\\standin\\CRTDLL.dll").c_str(), copy.File("MSHTML.dll").c_str(), FALSE));
    for (bool present : {true, false}) {
        if (!present) {
            DeleteFileA(copy.File("MSHTML.dll").c_str());
            SetRegString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\halcyne.exe\\DllOverrides", "mshtml", "");
        }
        quiet.shell.exePath = copy.File("halcyne.exe");
        ASSERT_TRUE(quiet.Start());
        PostKey(quiet.main, VK_F7);
        HWND movie = quiet.shell.WaitForWindow("#32770", "Tavix Home Theatre (F7)");
        ClickButton(movie, IDC_MOVIE_PLAY);
        RECT rect;
        GetWindowRect(movie, &rect);
        EXPECT_EQ(211, rect.right - rect.left) << "Play without the media library";
        PostKey(quiet.main, VK_F12);
        PostKey(quiet.main, VK_F8);
        PostKey(quiet.main, VK_F1);
        EXPECT_NE(nullptr, quiet.shell.WaitForWindow("#32770", "About (F1)", 10000)) << present;
        EXPECT_TRUE(quiet.shell.Windows(ViewClass).empty()) << present;
        quiet.shell.Kill();
    }
}
