// MSHTML.DLL for Wine, whose own ShowHTMLDialog shows nothing: a small HTML
// dialog of ours behind the same export. It is built only for running under
// Wine (put in the prefix's system folder and preferred through a DLL
// override) and never shipped for Windows, where the system's engine serves. It reads the page the
// moniker names, from a file or from a module's HTML resource, and shows it in
// a rich edit control: headings, paragraphs, lists, bold and italic, colours,
// alignment, rules, and links inside the page that scroll to their anchors.
#include <windows.h>
#include <objbase.h>
#include <urlmon.h>
#include <richedit.h>
#include <cctype>
#include <cstdlib>
#include <cstring>

static const char HtmlViewClass[] = "HalcyneHtmlView";
// The engine's browser window, opened by links that leave the page.
static const char BrowserFrameClass[] = "IEFrame";
// The window's count of what the engine would have acted on.
static const char EngineCommandsProperty[] = "EngineCommands";
static HINSTANCE ThisModule;
// Larger pages are not read.
static const DWORD PageLimit = 16 * 1024 * 1024;

enum { MaxDepth = 32, MaxLinks = 128, MaxAnchors = 128, RunSize = 512, MaxIndent = 8, MaxColours = 64 };
// The rich edit control joins the text of a paragraph that has one look into
// one run, and measures the rest of the run again for each line it breaks
// off: time growing with the square of the run. So text goes in pieces
// ending after a space, every other piece in a second entry of the font
// table that names the same font (the control sees two looks, the screen
// one). A paragraph longer than the limit, which the control would lay out
// again whole for each link marked in it, goes on as a new one at its next
// space, or anywhere once far past it (a word that never ends).
enum { PieceLength = 200, ParagraphLimit = 16000, ParagraphHardLimit = 4 * ParagraphLimit };
// What the control is given at most: past about this many characters or
// paragraphs its layout of a page would outgrow the process's memory, so
// the rest of the page is left off and a closing line says so.
enum { MaxDocumentLength = 4000000, MaxParagraphs = 150000 };

struct HtmlFormat {
    BYTE bold, italic, underline, link;
    COLORREF colour;
    LONG height;   // twips
    WORD align;    // PFA_LEFT, PFA_CENTER, PFA_RIGHT
    BYTE listKind; // 0 none, 1 bullets, 2 numbers
    int listCounter;
    int listDepth;
};

struct HtmlElement {
    char tag[12];
    HtmlFormat format;
};

struct HtmlLink {
    LONG start, end;
    char target[64];
};

struct HtmlAnchor {
    LONG position;
    char name[64];
};

// Everything one showing needs; lives on the heap for the window's lifetime.
// The page is written as RTF into `rtf` and given to the control in one
// piece: each insertion into a rich edit control costs more the longer its
// text, so inserting run by run took time growing faster than the page.
struct HtmlView {
    HWND edit;
    LONG length;   // characters the document will hold
    char* rtf;
    SIZE_T rtfLength, rtfSize;
    BOOL rtfFull;  // too long, or memory ran out: the rest of the page is left off
    LONG paragraphs;
    BOOL otherFont;   // this piece names the font through its second entry
    COLORREF colours[MaxColours];
    int colourCount;
    HtmlElement stack[MaxDepth];
    int depth;
    char run[RunSize];
    int runLength;
    BOOL inParagraph;
    LONG paragraphStart;   // where the open paragraph's text begins
    BOOL pendingSpace;
    BOOL lastBlank;
    char linkTarget[64];
    LONG linkStart;
    HtmlLink links[MaxLinks];
    int linkCount;
    HtmlAnchor anchors[MaxAnchors];
    int anchorCount;
    char title[128];
};

static HtmlFormat* Current(HtmlView* view)
{
    return &view->stack[view->depth].format;
}

// Counted while writing, since positions are needed before the control
// holds the text.
static LONG TextEnd(HtmlView* view)
{
    return view->length;
}

// Doubling keeps the whole document's writing linear in its size.
static void AppendRtf(HtmlView* view, const char* bytes, SIZE_T count)
{
    if (view->length > MaxDocumentLength || view->paragraphs > MaxParagraphs)
        view->rtfFull = TRUE;
    if (view->rtfFull)
        return;
    if (view->rtfLength + count > view->rtfSize) {
        SIZE_T size = view->rtfSize ? view->rtfSize * 2 : 65536;
        while (size < view->rtfLength + count)
            size *= 2;
        char* grown = view->rtf ? (char*)HeapReAlloc(GetProcessHeap(), 0, view->rtf, size)
                                : (char*)HeapAlloc(GetProcessHeap(), 0, size);
        if (!grown) {
            view->rtfFull = TRUE;
            return;
        }
        view->rtf = grown;
        view->rtfSize = size;
    }
    CopyMemory(view->rtf + view->rtfLength, bytes, count);
    view->rtfLength += count;
}

// Index into the document's colour table (0, the default, when it is full).
static int ColourIndex(HtmlView* view, COLORREF colour)
{
    for (int i = 0; i < view->colourCount; i++)
        if (view->colours[i] == colour)
            return i + 1;
    if (view->colourCount >= MaxColours)
        return 0;
    view->colours[view->colourCount++] = colour;
    return view->colourCount;
}

// One group per run of text, its look given in full; "\r" ends a paragraph.
// Bytes above 127 go as \'hh so the reader takes them in the ANSI code page.
static void InsertText(HtmlView* view, const char* text, const HtmlFormat* format)
{
    char group[RunSize * 5 + 64];
    int colour = ColourIndex(view, format->link ? RGB(0, 0, 204) : format->colour);
    int used = wsprintfA(group, "{%s%s%s%s\\cf%d\\fs%ld ", view->otherFont ? "\\f1" : "", format->bold ? "\\b" : "",
                         format->italic ? "\\i" : "", format->underline || format->link ? "\\ul" : "", colour,
                         format->height / 10);
    static const char hex[] = "0123456789abcdef";
    for (const char* t = text; *t && used < (int)sizeof group - 8; t++) {
        unsigned char c = (unsigned char)*t;
        if (c == '\r') {
            lstrcpyA(group + used, "\\par\r\n");
            used += 6;
            view->paragraphs++;
        } else if (c == '\\' || c == '{' || c == '}') {
            group[used++] = '\\';
            group[used++] = (char)c;
        } else if (c > 127) {
            group[used++] = '\\';
            group[used++] = '\'';
            group[used++] = hex[c >> 4];
            group[used++] = hex[c & 15];
        } else {
            group[used++] = (char)c;
        }
        view->length++;
    }
    group[used++] = '}';
    AppendRtf(view, group, used);
}

static void BeginParagraph(HtmlView* view)
{
    if (view->inParagraph)
        return;
    static const char* const aligns[] = {"", "\\ql", "\\qr", "\\qc"};   // by PFA_ value
    WORD align = Current(view)->align;
    int indent = Current(view)->listDepth;
    char paragraph[64];
    int used = wsprintfA(paragraph, "\\pard%s\\li%d ", align <= PFA_CENTER ? aligns[align] : "",
                         (indent < MaxIndent ? indent : MaxIndent) * 360);
    AppendRtf(view, paragraph, used);
    view->inParagraph = TRUE;
    view->paragraphStart = TextEnd(view);
    view->otherFont = FALSE;
    view->pendingSpace = FALSE;
    view->lastBlank = FALSE;
}

static void FlushRun(HtmlView* view)
{
    if (view->runLength <= 0 || view->runLength >= RunSize)
        return;
    view->run[view->runLength] = 0;
    BOOL spaceAfter = view->pendingSpace;   // seen after this run's text, before the tag that ends it
    BeginParagraph(view);
    view->pendingSpace = spaceAfter;
    InsertText(view, view->run, Current(view));
    view->runLength = 0;
}

static void EndParagraph(HtmlView* view)
{
    FlushRun(view);
    if (!view->inParagraph)
        return;
    InsertText(view, "\r", Current(view));
    view->inParagraph = FALSE;
    view->pendingSpace = FALSE;
}

static void AddChar(HtmlView* view, char c)
{
    LONG paragraphLength = view->inParagraph ? TextEnd(view) - view->paragraphStart + view->runLength : 0;
    if (c == ' ') {
        if (paragraphLength >= ParagraphLimit)
            EndParagraph(view);
        else if (view->inParagraph || view->runLength > 0)
            view->pendingSpace = TRUE;
        return;
    }
    if (paragraphLength >= ParagraphHardLimit)
        EndParagraph(view);
    if (view->runLength >= RunSize - 3)
        FlushRun(view);
    if (view->pendingSpace && (view->inParagraph || view->runLength > 0)) {
        view->run[view->runLength++] = ' ';
        if (view->runLength >= PieceLength) {
            FlushRun(view);
            view->otherFont = !view->otherFont;
        }
    }
    view->pendingSpace = FALSE;
    view->run[view->runLength++] = c;
}

// An empty line between blocks, never two in a row.
static void BlankLine(HtmlView* view)
{
    EndParagraph(view);
    if (view->lastBlank || TextEnd(view) == 0)
        return;
    InsertText(view, "\r", Current(view));
    view->lastBlank = TRUE;
}

static void CopyBounded(char* destination, const char* source, int size)
{
    lstrcpynA(destination, source, size);
}

// Reads attribute `name` of a tag's text into value; false when absent.
static BOOL TagAttribute(const char* tag, const char* name, char* value, int size)
{
    int nameLength = lstrlenA(name);
    const char* p = tag;
    while (*p && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
        p++;
    while (*p) {
        while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
            p++;
        const char* start = p;
        while (*p && *p != '=' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            p++;
        int length = (int)(p - start);
        const char* valueStart = p;
        int valueLength = 0;
        if (*p == '=') {
            p++;
            char quote = (*p == '"' || *p == '\'') ? *p++ : 0;
            valueStart = p;
            while (*p && (quote ? *p != quote : (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')))
                p++;
            valueLength = (int)(p - valueStart);
            if (quote && *p)
                p++;
        }
        if (length == nameLength && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, start, length,
                                                   name, nameLength) == CSTR_EQUAL) {
            CopyBounded(value, valueStart, valueLength + 1 < size ? valueLength + 1 : size);
            return TRUE;
        }
        if (length == 0 && !*p)
            break;
        if (length == 0)
            p++;
    }
    return FALSE;
}

static COLORREF ParseColour(const char* text, COLORREF fallback)
{
    struct Named { const char* name; COLORREF colour; };
    static const Named names[] = {
        {"black", RGB(0, 0, 0)},       {"white", RGB(255, 255, 255)}, {"red", RGB(255, 0, 0)},
        {"green", RGB(0, 128, 0)},     {"blue", RGB(0, 0, 255)},      {"navy", RGB(0, 0, 128)},
        {"gray", RGB(128, 128, 128)},  {"grey", RGB(128, 128, 128)},  {"silver", RGB(192, 192, 192)},
        {"maroon", RGB(128, 0, 0)},    {"purple", RGB(128, 0, 128)},  {"teal", RGB(0, 128, 128)},
        {"olive", RGB(128, 128, 0)},   {"yellow", RGB(255, 255, 0)},  {"darkblue", RGB(0, 0, 139)},
    };
    if (text[0] == '#' && lstrlenA(text) == 7) {
        DWORD value = 0;
        for (int i = 1; i < 7; i++) {
            char c = text[i];
            int digit = (c >= '0' && c <= '9') ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            if (digit < 0)
                return fallback;
            value = value * 16 + digit;
        }
        return RGB((value >> 16) & 255, (value >> 8) & 255, value & 255);
    }
    for (const Named& named : names)
        if (lstrcmpiA(text, named.name) == 0)
            return named.colour;
    return fallback;
}

static WORD ParseAlign(const char* tag, WORD fallback)
{
    char align[16];
    if (!TagAttribute(tag, "align", align, sizeof align))
        return fallback;
    if (lstrcmpiA(align, "center") == 0)
        return PFA_CENTER;
    if (lstrcmpiA(align, "right") == 0)
        return PFA_RIGHT;
    if (lstrcmpiA(align, "left") == 0)
        return PFA_LEFT;
    return fallback;
}

static BOOL IsTag(const char* name, const char* tag)
{
    return lstrcmpiA(name, tag) == 0;
}

static BOOL IsBlockTag(const char* name)
{
    static const char* const blocks[] = {"p", "div", "center", "h1", "h2", "h3", "h4", "h5", "h6",
                                         "ol", "ul", "li", "tr", "table", "blockquote", "dl", "dt", "dd"};
    for (const char* block : blocks)
        if (IsTag(name, block))
            return TRUE;
    return FALSE;
}

// False when the stack is full: the element then changes nothing.
static BOOL PushElement(HtmlView* view, const char* name)
{
    if (view->depth >= MaxDepth - 1)
        return FALSE;
    view->stack[view->depth + 1].format = view->stack[view->depth].format;
    view->depth++;
    CopyBounded(view->stack[view->depth].tag, name, sizeof view->stack[view->depth].tag);
    return TRUE;
}

static void PopElement(HtmlView* view, const char* name)
{
    for (int i = view->depth; i > 0; i--) {
        if (IsTag(view->stack[i].tag, name)) {
            view->depth = i - 1;
            return;
        }
    }
}

static void AddAnchor(HtmlView* view, const char* name)
{
    if (view->anchorCount >= MaxAnchors)
        return;
    FlushRun(view);
    HtmlAnchor* anchor = &view->anchors[view->anchorCount++];
    anchor->position = TextEnd(view);
    CopyBounded(anchor->name, name, sizeof anchor->name);
}

static void CloseLink(HtmlView* view)
{
    FlushRun(view);
    if (view->linkTarget[0] && view->linkCount < MaxLinks) {
        HtmlLink* link = &view->links[view->linkCount++];
        link->start = view->linkStart;
        link->end = TextEnd(view);
        CopyBounded(link->target, view->linkTarget, sizeof link->target);
    }
    view->linkTarget[0] = 0;
}

static void StartListItem(HtmlView* view)
{
    if (IsTag(view->stack[view->depth].tag, "li"))
        PopElement(view, "li");
    EndParagraph(view);
    int level = view->depth;
    while (level > 0 && !IsTag(view->stack[level].tag, "ol") && !IsTag(view->stack[level].tag, "ul"))
        level--;
    HtmlFormat* list = &view->stack[level].format;
    list->listCounter++;
    char marker[16];
    if (list->listKind == 2)
        wsprintfA(marker, "%d. ", list->listCounter);
    else
        lstrcpyA(marker, "\x95 ");
    PushElement(view, "li");
    BeginParagraph(view);
    for (const char* m = marker; *m; m++)
        view->run[view->runLength++] = *m;
}

static void OpenTag(HtmlView* view, const char* name, const char* tag)
{
    char value[64];
    if (IsTag(name, "br")) {
        EndParagraph(view);
        return;
    }
    if (IsTag(name, "hr")) {
        EndParagraph(view);
        if (!PushElement(view, "hr"))
            return;
        Current(view)->align = PFA_CENTER;
        Current(view)->colour = RGB(160, 160, 160);
        Current(view)->bold = 0;
        for (int i = 0; i < 40; i++)
            AddChar(view, '\x97');
        EndParagraph(view);
        PopElement(view, "hr");
        return;
    }
    if (IsTag(name, "a")) {
        if (TagAttribute(tag, "name", value, sizeof value))
            AddAnchor(view, value);
        if (TagAttribute(tag, "href", value, sizeof value)) {
            // A space before the link belongs to the text around it.
            if (view->pendingSpace && (view->inParagraph || view->runLength > 0)) {
                view->run[view->runLength++] = ' ';
                view->pendingSpace = FALSE;
            }
            FlushRun(view);
            if (!PushElement(view, "a"))
                return;
            Current(view)->link = 1;
            CopyBounded(view->linkTarget, value, sizeof view->linkTarget);
            BeginParagraph(view);
            view->linkStart = TextEnd(view);
        }
        return;
    }
    if (IsTag(name, "li")) {
        StartListItem(view);
        return;
    }
    if (IsTag(name, "p") && IsTag(view->stack[view->depth].tag, "p"))
        PopElement(view, "p");
    FlushRun(view);
    if (IsBlockTag(name)) {
        if (IsTag(name, "p") || name[0] == 'h' || name[0] == 'H' || IsTag(name, "ol") || IsTag(name, "ul"))
            BlankLine(view);
        else
            EndParagraph(view);
    }
    if (IsTag(name, "img") || IsTag(name, "meta") || IsTag(name, "link") || IsTag(name, "input"))
        return;
    if (!PushElement(view, name))
        return;
    HtmlFormat* format = Current(view);
    if (IsTag(name, "b") || IsTag(name, "strong") || IsTag(name, "th"))
        format->bold = 1;
    else if (IsTag(name, "i") || IsTag(name, "em"))
        format->italic = 1;
    else if (IsTag(name, "u"))
        format->underline = 1;
    else if (IsTag(name, "small"))
        format->height = 160;
    else if (IsTag(name, "center"))
        format->align = PFA_CENTER;
    else if (IsTag(name, "ol") || IsTag(name, "ul")) {
        format->listKind = IsTag(name, "ol") ? 2 : 1;
        format->listCounter = 0;
        format->listDepth++;
    } else if (IsTag(name, "font")) {
        if (TagAttribute(tag, "color", value, sizeof value))
            format->colour = ParseColour(value, format->colour);
        if (TagAttribute(tag, "size", value, sizeof value)) {
            static const LONG sizes[] = {150, 200, 240, 270, 360, 480, 720};
            int size = value[0] - '0';
            if (size >= 1 && size <= 7 && !value[1])
                format->height = sizes[size - 1];
        }
    } else if ((name[0] == 'h' || name[0] == 'H') && name[1] >= '1' && name[1] <= '6' && !name[2]) {
        static const LONG sizes[] = {360, 300, 260, 220, 200, 180};
        format->bold = 1;
        format->height = sizes[name[1] - '1'];
    }
    if (IsBlockTag(name) || IsTag(name, "body"))
        format->align = ParseAlign(tag, format->align);
}

static void CloseTag(HtmlView* view, const char* name)
{
    FlushRun(view);
    if (IsTag(name, "a")) {
        if (view->linkTarget[0])
            CloseLink(view);
        PopElement(view, "a");
        return;
    }
    if (IsTag(name, "p") || name[0] == 'h' || name[0] == 'H' || IsTag(name, "ol") || IsTag(name, "ul")) {
        PopElement(view, name);
        BlankLine(view);
        return;
    }
    if (IsBlockTag(name))
        EndParagraph(view);
    PopElement(view, name);
}

static char DecodeEntity(const char** cursor)
{
    struct Entity { const char* name; char value; };
    static const Entity entities[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'},
                                      {"nbsp", '\xA0'}, {"copy", '\xA9'}, {"apos", '\''}};
    const char* p = *cursor + 1;
    char name[12];
    int length = 0;
    while (*p && *p != ';' && length < (int)sizeof name - 1 && *p != ' ' && *p != '<')
        name[length++] = *p++;
    name[length] = 0;
    if (*p != ';')
        return '&';
    char result = 0;
    if (name[0] == '#') {
        int number = 0;
        // Past 255 the value only has to stay past it.
        for (const char* d = name + 1; *d >= '0' && *d <= '9'; d++)
            if (number < 256)
                number = number * 10 + (*d - '0');
        result = number > 0 && number < 256 ? (char)number : '?';
    } else {
        for (const Entity& entity : entities)
            if (lstrcmpA(name, entity.name) == 0)
                result = entity.value;
    }
    if (!result)
        return '&';
    *cursor = p;
    return result;
}

// Case ignored; never reads past the end of text.
static BOOL StartsWith(const char* text, const char* prefix)
{
    int length = lstrlenA(prefix);
    int available = 0;
    while (available < length && text[available])
        available++;
    return available == length &&
           CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text, length, prefix, length) == CSTR_EQUAL;
}

// Skips to the end of an element whose content is not shown (script, style).
static const char* SkipContent(const char* p, const char* name)
{
    for (; *p; p++) {
        if (p[0] == '<' && p[1] == '/' && StartsWith(p + 2, name))
            return p;
    }
    return p;
}

static void RenderHtml(HtmlView* view, const char* html)
{
    BOOL inTitle = FALSE;
    int titleLength = 0;
    const char* p = html;
    // The next comment end, looked for again only once passed: one search
    // per comment would run to the page's end for every unclosed one.
    const char* commentEnd = NULL;
    BOOL noCommentEnd = FALSE;
    while (*p && !view->rtfFull) {   // past what the view can hold, nothing more is shown
        if (*p == '<') {
            if (p[1] == '!') {
                const char* end = NULL;
                if (p[2] == '-' && p[3] == '-' && !noCommentEnd) {
                    if (!commentEnd || commentEnd < p + 4)
                        commentEnd = strstr(p + 4, "-->");
                    noCommentEnd = commentEnd == NULL;
                    end = commentEnd;
                }
                const char* close = end ? NULL : strchr(p, '>');
                p = end ? end + 3 : (close ? close + 1 : p + lstrlenA(p));
                continue;
            }
            const char* end = strchr(p, '>');
            if (!end)
                break;
            char tag[512];
            int length = (int)(end - p - 1);
            CopyBounded(tag, p + 1, length + 1 < (int)sizeof tag ? length + 1 : (int)sizeof tag);
            p = end + 1;
            BOOL closing = tag[0] == '/';
            char name[12];
            int n = 0;
            for (const char* t = tag + (closing ? 1 : 0);
                 *t && *t != ' ' && *t != '\t' && *t != '\r' && *t != '\n' && *t != '/' && n < 11; t++)
                name[n++] = *t;
            name[n] = 0;
            if (IsTag(name, "title")) {
                inTitle = !closing;
                continue;
            }
            if (!closing && (IsTag(name, "script") || IsTag(name, "style"))) {
                p = SkipContent(p, name);
                continue;
            }
            if (closing)
                CloseTag(view, name);
            else
                OpenTag(view, name, tag);
            continue;
        }
        char c = *p;
        if (c == '&')
            c = DecodeEntity(&p);
        p++;
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
        if (inTitle) {
            if (titleLength < (int)sizeof view->title - 1 && !(c == ' ' && titleLength == 0))
                view->title[titleLength++] = c;
            view->title[titleLength] = 0;
            continue;
        }
        AddChar(view, c);
    }
    EndParagraph(view);
}

static void ScrollToAnchor(HtmlView* view, const char* name)
{
    for (int i = 0; i < view->anchorCount; i++) {
        if (lstrcmpiA(view->anchors[i].name, name) != 0)
            continue;
        LONG position = view->anchors[i].position;
        CHARRANGE caret = {position, position};
        SendMessageA(view->edit, EM_EXSETSEL, 0, (LPARAM)&caret);
        // Lines differ in height here, so scroll by pixels to put the anchor at the top.
        POINT scroll = {0, 0};
        SendMessageA(view->edit, EM_GETSCROLLPOS, 0, (LPARAM)&scroll);
        POINTL anchor = {0, 0};
        SendMessageA(view->edit, EM_POSFROMCHAR, (WPARAM)&anchor, position);
        RECT page;
        SendMessageA(view->edit, EM_GETRECT, 0, (LPARAM)&page);
        scroll.y += anchor.y - page.top;
        SendMessageA(view->edit, EM_SETSCROLLPOS, 0, (LPARAM)&scroll);
        return;
    }
}

static HWND MakeBrowserFrame(HWND owner, const char* target)
{
    return CreateWindowExA(0, BrowserFrameClass, target, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, 400, 300, owner, NULL, ThisModule, NULL);
}

struct FrameStart {
    HANDLE made;
    char target[64];
};

// A window of its own, as the engine's new windows have; it keeps this
// library loaded for as long as it runs.
static DWORD WINAPI BrowserFrameThread(LPVOID argument)
{
    FrameStart* start = (FrameStart*)argument;
    HWND frame = MakeBrowserFrame(NULL, start->target);
    SetEvent(start->made);
    MSG msg;
    while (frame && IsWindow(frame) && GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    FreeLibraryAndExitThread(ThisModule, 0);
    return 0;
}

// A link that leaves the page opens a browser window: owned by the page (and
// gone with it), or with Shift on a thread of its own. Either exists (or was
// refused) when the click has been handled.
static void OpenBrowserFrame(HWND owner, const char* target, BOOL ownThread)
{
    if (!ownThread) {
        MakeBrowserFrame(owner, target);
        return;
    }
    char module[MAX_PATH];
    FrameStart start;
    CopyBounded(start.target, target, sizeof start.target);
    start.made = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (!start.made || !GetModuleFileNameA(ThisModule, module, MAX_PATH) || !LoadLibraryA(module)) {
        if (start.made)
            CloseHandle(start.made);
        return;
    }
    HANDLE thread = CreateThread(NULL, 0, BrowserFrameThread, &start, 0, NULL);
    if (thread) {
        WaitForSingleObject(start.made, INFINITE);   // the thread reads `start` until then
        CloseHandle(thread);
    } else {
        FreeLibrary(ThisModule);
    }
    CloseHandle(start.made);
}

static void FollowLink(HtmlView* view, const ENLINK* link)
{
    if (link->msg != WM_LBUTTONUP)
        return;
    for (int i = 0; i < view->linkCount; i++) {
        const HtmlLink* candidate = &view->links[i];
        if (link->chrg.cpMin >= candidate->start && link->chrg.cpMin < candidate->end) {
            if (candidate->target[0] == '#')
                ScrollToAnchor(view, candidate->target + 1);
            else
                OpenBrowserFrame(GetParent(view->edit), candidate->target, (link->wParam & MK_SHIFT) != 0);
            return;
        }
    }
}

static void SetPageMargins(HtmlView* view, int width, int height)
{
    RECT page = {12, 8, width - 12 - GetSystemMetrics(SM_CXVSCROLL), height - 8};
    if (page.right < page.left || page.bottom < page.top)
        return;
    // A new rectangle lays the whole page out again: only when it changes.
    RECT current;
    SendMessageA(view->edit, EM_GETRECT, 0, (LPARAM)&current);
    if (EqualRect(&current, &page))
        return;
    SendMessageA(view->edit, EM_SETRECT, 0, (LPARAM)&page);
    InvalidateRect(view->edit, NULL, TRUE);
}

struct HtmlPage {
    const char* html;
    HtmlView* view;
};

// The pieces of the document handed to the control one after another.
struct RtfSource {
    const char* parts[3];
    SIZE_T sizes[3];
    int part;
    SIZE_T offset;
};

static DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read)
{
    RtfSource* source = (RtfSource*)cookie;
    while (source->part < 3 && source->offset >= source->sizes[source->part]) {
        source->part++;
        source->offset = 0;
    }
    SIZE_T count = 0;
    if (source->part < 3) {
        count = source->sizes[source->part] - source->offset;
        if (count > (SIZE_T)size)
            count = (SIZE_T)size;
        CopyMemory(buffer, source->parts[source->part] + source->offset, count);
        source->offset += count;
    }
    *read = (LONG)count;
    return 0;
}

// The written page goes in with one stream; link effects need the
// control's own text, so they are set afterwards, one per link.
static void LoadDocument(HtmlView* view)
{
    char header[MaxColours * 32 + 128];
    int used = wsprintfA(header, "{\\rtf1\\ansi\\ansicpg%u\\deff0{\\fonttbl{\\f0\\fswiss Verdana;}{\\f1\\fswiss\\fprq2 Verdana;}}{\\colortbl;",
                         GetACP());
    for (int i = 0; i < view->colourCount; i++)
        used += wsprintfA(header + used, "\\red%d\\green%d\\blue%d;", GetRValue(view->colours[i]),
                          GetGValue(view->colours[i]), GetBValue(view->colours[i]));
    used += wsprintfA(header + used, "}\r\n");
    static const char cut[] = "\\pard\\qc {\\i\\cf0\\fs20 The rest of this page is too long to be shown.}\\par}";
    const char* end = view->rtfFull ? cut : "}";
    RtfSource source = {{header, view->rtf ? view->rtf : "", end}, {(SIZE_T)used, view->rtfLength, (SIZE_T)lstrlenA(end)}, 0, 0};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, ReadRtf};
    SendMessageA(view->edit, EM_STREAMIN, SF_RTF, (LPARAM)&stream);
    HeapFree(GetProcessHeap(), 0, view->rtf);
    view->rtf = NULL;
    for (int i = 0; i < view->linkCount; i++) {
        CHARRANGE range = {view->links[i].start, view->links[i].end};
        SendMessageA(view->edit, EM_EXSETSEL, 0, (LPARAM)&range);
        CHARFORMAT2A look;
        ZeroMemory(&look, sizeof look);
        look.cbSize = sizeof look;
        look.dwMask = CFM_LINK;
        look.dwEffects = CFE_LINK;
        SendMessageA(view->edit, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&look);
    }
}

static void HtmlViewOnCreate(HWND window, const CREATESTRUCTA* create)
{
    HtmlPage* page = (HtmlPage*)create->lpCreateParams;
    HtmlView* view = page->view;
    SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)view);
    RECT client;
    GetClientRect(window, &client);
    view->edit = CreateWindowExA(0, "RichEdit20A", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY,
                                 0, 0, client.right, client.bottom, window, (HMENU)1,
                                 ThisModule, NULL);
    // The control lays the whole page out again whenever its scroll bar comes
    // or goes; so the bar is brought up by a filler before the margins are set
    // and the page goes in, which then replaces the filler: one layout of a
    // long page. (A short page hides the bar again, which costs little.)
    char filler[128];
    FillMemory(filler, sizeof filler - 1, '\r');
    filler[sizeof filler - 1] = 0;
    SetWindowTextA(view->edit, filler);
    SetPageMargins(view, client.right, client.bottom);
    SendMessageA(view->edit, EM_SETBKGNDCOLOR, 0, RGB(255, 255, 255));
    SendMessageA(view->edit, EM_SETEVENTMASK, 0, ENM_LINK);
    // Rules and list markers make the text longer than the page it came from.
    SendMessageA(view->edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    view->stack[0].format.height = 200;
    view->stack[0].format.align = PFA_LEFT;
    SendMessageA(view->edit, WM_SETREDRAW, FALSE, 0);
    RenderHtml(view, page->html);
    LoadDocument(view);
    SendMessageA(view->edit, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view->edit, NULL, TRUE);
    CHARRANGE top = {0, 0};
    SendMessageA(view->edit, EM_EXSETSEL, 0, (LPARAM)&top);
    SendMessageA(view->edit, EM_SCROLLCARET, 0, 0);
}

static void HtmlViewOnSize(HWND window, int width, int height)
{
    HtmlView* view = (HtmlView*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!view)
        return;
    MoveWindow(view->edit, 0, 0, width, height, TRUE);
    SetPageMargins(view, width, height);
}

static LRESULT HtmlViewOnNotify(HWND window, const NMHDR* header)
{
    HtmlView* view = (HtmlView*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (view && header->code == EN_LINK)
        FollowLink(view, (const ENLINK*)header);
    return 0;
}

static void HtmlViewOnFocus(HWND window)
{
    HtmlView* view = (HtmlView*)GetWindowLongPtrA(window, GWLP_USERDATA);
    if (!view)
        return;
    SetFocus(view->edit);
    HideCaret(view->edit);   // a page to read, not to type in
}

static LRESULT CALLBACK HtmlViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: HtmlViewOnCreate(window, (const CREATESTRUCTA*)lParam); return 0;
    case WM_SIZE: HtmlViewOnSize(window, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_NOTIFY: return HtmlViewOnNotify(window, (const NMHDR*)lParam);
    case WM_SETFOCUS: HtmlViewOnFocus(window); return 0;
    case WM_DESTROY: RemovePropA(window, EngineCommandsProperty); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void UnescapeUrl(char* text)
{
    char* out = text;
    for (char* in = text; *in; in++) {
        if (in[0] == '%' && isxdigit((unsigned char)in[1]) && isxdigit((unsigned char)in[2])) {
            char hex[3] = {in[1], in[2], 0};
            *out++ = (char)strtol(hex, NULL, 16);
            in += 2;
        } else {
            *out++ = *in;
        }
    }
    *out = 0;
}

// The page's bytes with a terminator, on the heap; null when it cannot be read.
static char* ReadResourcePage(char* location)
{
    char* slash = strrchr(location, '/');
    if (!slash)
        return NULL;
    *slash = 0;
    const char* id = slash + 1;
    HMODULE module = LoadLibraryExA(location, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return NULL;
    LPCSTR name = (*id >= '0' && *id <= '9') ? MAKEINTRESOURCEA(atoi(id)) : id;
    char* page = NULL;
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(23));
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    const void* bytes = loaded ? LockResource(loaded) : NULL;
    if (bytes) {
        DWORD size = SizeofResource(module, found);
        page = (char*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1);
        if (page)
            CopyMemory(page, bytes, size);
    }
    FreeLibrary(module);
    return page;
}

static char* ReadFilePage(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    DWORD size = GetFileSize(file, NULL);
    char* page = NULL;
    if (size != INVALID_FILE_SIZE && size <= PageLimit)
        page = (char*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1);
    DWORD read = 0;
    if (page && !ReadFile(file, page, size, &read, NULL)) {
        HeapFree(GetProcessHeap(), 0, page);
        page = NULL;
    }
    CloseHandle(file);
    return page;
}

static char* ReadPage(IMoniker* moniker, char* address, int size)
{
    LPOLESTR name = NULL;
    IBindCtx* context = NULL;
    CreateBindCtx(0, &context);
    HRESULT result = moniker->GetDisplayName(context, NULL, &name);
    if (context)
        context->Release();
    if (FAILED(result) || !name)
        return NULL;
    WideCharToMultiByte(CP_ACP, 0, name, -1, address, size, NULL, NULL);
    address[size - 1] = 0;
    CoTaskMemFree(name);
    if (StartsWith(address, "res://")) {
        char location[MAX_PATH * 2];
        CopyBounded(location, address + 6, sizeof location);
        UnescapeUrl(location);
        return ReadResourcePage(location);
    }
    char path[MAX_PATH * 2];
    if (StartsWith(address, "file:")) {
        const char* rest = address + 5;
        while (*rest == '/')
            rest++;
        CopyBounded(path, rest, sizeof path);
        UnescapeUrl(path);
        for (char* c = path; *c; c++)
            if (*c == '/')
                *c = '\\';
    } else {
        CopyBounded(path, address, sizeof path);
    }
    return ReadFilePage(path);
}

static void RegisterHtmlViewClass()
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = HtmlViewProc;
    windowClass.hInstance = ThisModule;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = HtmlViewClass;
    RegisterClassA(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = BrowserFrameClass;
    RegisterClassA(&windowClass);
}

// The real engine acts in its loop on the keys and clicks that open its
// context menu, its help, printing and opening; here they are only counted,
// in a property of the window, for whoever wants to know what reached it.
static void NoteEngineCommand(HWND window, const MSG* msg)
{
    if (msg->hwnd != window && !IsChild(window, msg->hwnd))
        return;
    BOOL command = msg->message == WM_RBUTTONUP;
    if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
        BOOL control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        BOOL shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        WPARAM key = msg->wParam;
        command = key == VK_APPS || key == VK_F1 || (shift && key == VK_F10)
               || (control && (key == 'P' || key == 'O' || key == 'N'));
    }
    if (command)
        SetPropA(window, EngineCommandsProperty, (HANDLE)((INT_PTR)GetPropA(window, EngineCommandsProperty) + 1));
}

// Runs until the window is gone. A quit message ends the window too (the
// caller frees what it uses and may unload this library) and is left for
// the caller's loop.
static void RunModal(HWND window)
{
    MSG msg;
    while (IsWindow(window)) {
        BOOL result = GetMessageA(&msg, NULL, 0, 0);
        if (result <= 0) {
            DestroyWindow(window);
            if (result == 0)
                PostQuitMessage((int)msg.wParam);
            break;
        }
        NoteEngineCommand(window, &msg);
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
            (msg.hwnd == window || IsChild(window, msg.hwnd))) {
            DestroyWindow(window);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        // Never in place of the real engine: a stray copy of this library on
        // Windows refuses to load.
        if (!GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
            return FALSE;
        ThisModule = instance;
    }
    // The library is loaded for each showing, maybe elsewhere next time:
    // its window class must not outlive it.
    if (reason == DLL_PROCESS_DETACH) {
        UnregisterClassA(HtmlViewClass, instance);
        UnregisterClassA(BrowserFrameClass, instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI ShowHTMLDialog(HWND owner, IMoniker* moniker, VARIANT*, WCHAR*, VARIANT*)
{
    if (!moniker)
        return E_INVALIDARG;
    char address[MAX_PATH * 2];
    char* html = ReadPage(moniker, address, sizeof address);
    if (!html)
        return E_FAIL;
    HMODULE richEdit = LoadLibraryA("RICHED20.DLL");
    HtmlView* view = (HtmlView*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(HtmlView));
    if (!richEdit || !view) {
        if (richEdit)
            FreeLibrary(richEdit);
        HeapFree(GetProcessHeap(), 0, view);
        HeapFree(GetProcessHeap(), 0, html);
        return E_OUTOFMEMORY;
    }
    RegisterHtmlViewClass();
    HtmlPage page = {html, view};
    int width = 680, height = 560;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, HtmlViewClass, "", WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX,
                                  x, y, width, height, owner, NULL, ThisModule, &page);
    if (window) {
        SetWindowTextA(window, view->title[0] ? view->title : address);
        if (owner)
            EnableWindow(owner, FALSE);
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        UpdateWindow(window);
        RunModal(window);
        if (owner) {
            EnableWindow(owner, TRUE);
            SetActiveWindow(owner);
        }
    }
    HeapFree(GetProcessHeap(), 0, view->rtf);   // left when the window could not be made
    HeapFree(GetProcessHeap(), 0, view);
    HeapFree(GetProcessHeap(), 0, html);
    FreeLibrary(richEdit);
    return window ? S_OK : E_FAIL;
}
