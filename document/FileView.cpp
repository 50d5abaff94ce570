#include "document/FileView.h"

#include <commdlg.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "app/App.h"
#include "app/Layout.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/FileWatch.h"
#include "document/LineEnds.h"
#include "document/LoadCost.h"
#include "document/OpenDocument.h"
#include "document/TextEncoding.h"
#include "editor/AddressSpace.h"
#include "editor/EditorControl.h"
#include "res/resource.h"
#include "tools/FindDialog.h"

namespace {

// Bytes read at a time by the index and by Find.
const DWORD BLOCK = 4 << 20;
// Bytes of the file's start that tell its cost and encoding.
const DWORD SAMPLE = 4 << 20;

struct ViewState {
    bool open = false;
    char path[260] = "";
    HANDLE file = INVALID_HANDLE_VALUE;
    FileOffset size = 0;
    ViewEncoding encoding = VIEW_8BIT;
    size_t mark = 0;   // bytes of a byte order mark before the first line
    // The index, written by its thread under the lock.
    CRITICAL_SECTION lock;
    LineStarts starts;
    FileOffset indexed = 0;    // bytes scanned
    volatile LONG indexDone = 0;
    volatile LONG stopIndex = 0;
    HANDLE indexThread = 0;
    // The window the control holds.
    WindowSpan span = {0, 0, 0, 0};
    std::string bytes;                 // the file's bytes of the window
    std::vector<LONG> controlStarts;   // each window line's first character in the control
    std::vector<size_t> byteStarts;    // and its first byte in bytes
    bool moving = false;
    size_t windowBytes = VIEW_WINDOW_BYTES;
};

ViewState View;
bool LockMade = false;
// The scroll bar of the whole file beside the editor, whose own would stand for the window
// only: its positions are the file's bytes, scaled to SCROLL_RANGE.
const int SCROLL_RANGE = 1 << 15;
HWND ScrollBar = 0;
SCROLLINFO ScrollShown = {};
// True while a search or a wait for the index runs: messages other threads send are
// answered meanwhile, but none that would change the document (MainWindowProc).
bool Busy = false;

// Answers what other threads and programs sent, so that the program is not taken for
// hung during a long search or wait.
void AnswerSentMessages()
{
    MSG message;
    bool was = Busy;
    Busy = true;
    PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    Busy = was;
}

void UpdateScrollBar();
void HideControlBar();

HANDLE OpenShared(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, 0);
}

// Reads up to n bytes at offset; how many came.
size_t ReadAt(HANDLE file, FileOffset offset, void *buffer, size_t n)
{
    OVERLAPPED at = {};
    at.Offset = (DWORD)offset;
    at.OffsetHigh = (DWORD)(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(file, buffer, (DWORD)n, &got, &at))
        return 0;
    return got;
}

DWORD WINAPI BuildIndex(void *)
{
    HANDLE file = OpenShared(View.path);
    if (file == INVALID_HANDLE_VALUE) {
        InterlockedExchange(&View.indexDone, 1);
        return 0;
    }
    std::vector<unsigned char> block(BLOCK);
    std::vector<FileOffset> found;
    LineStartScanner scanner(View.encoding);
    FileOffset offset = 0;
    while (offset < View.size && !View.stopIndex) {
        size_t want = View.size - offset < BLOCK ? (size_t)(View.size - offset) : BLOCK;
        size_t got = ReadAt(file, offset, block.data(), want);
        if (got == 0)
            break;
        found.clear();
        scanner.Add(block.data(), got, offset, found);
        offset += got;
        if (offset >= View.size)
            scanner.Finish(found);
        EnterCriticalSection(&View.lock);
        for (FileOffset start : found)
            View.starts.Add(start);
        View.indexed = offset;
        LeaveCriticalSection(&View.lock);
    }
    CloseHandle(file);
    InterlockedExchange(&View.indexDone, 1);
    return 0;
}

// While the program waits for the index or searches the file: answers what other threads
// send, paints, and drops what is typed (keys would act on a window about to go); false
// when Esc was pressed, to give the wait up.
bool KeepWaiting()
{
    AnswerSentMessages();
    MSG message;
    bool going = true;
    while (PeekMessageA(&message, 0, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
            going = false;
    while (PeekMessageA(&message, 0, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
    return going;
}

// Whether the index holds line and bytesAfter bytes after its start, or is complete.
bool IndexReaches(FileOffset line, FileOffset bytesAfter)
{
    EnterCriticalSection(&View.lock);
    bool enough = View.indexDone || (View.starts.size() > line + 1 &&
                                     View.indexed > View.starts[line] + bytesAfter);
    LeaveCriticalSection(&View.lock);
    return enough;
}

// Whether the index covers the file up to offset, or is complete.
bool IndexCovers(FileOffset offset)
{
    EnterCriticalSection(&View.lock);
    bool enough = View.indexDone || View.indexed > offset;
    LeaveCriticalSection(&View.lock);
    return enough;
}

// Waits until the index holds line and bytesAfter bytes after its start (or is
// complete); false when the user gave the wait up.
bool WaitForIndex(FileOffset line, FileOffset bytesAfter)
{
    while (!IndexReaches(line, bytesAfter)) {
        Sleep(5);
        if (!KeepWaiting())
            return false;
    }
    return true;
}

// Waits until the index covers the file up to offset; false when the user gave it up.
bool WaitForOffset(FileOffset offset)
{
    while (!IndexCovers(offset)) {
        Sleep(5);
        if (!KeepWaiting())
            return false;
    }
    return true;
}

bool WaitForWholeIndex()
{
    while (!View.indexDone) {
        Sleep(5);
        if (!KeepWaiting())
            return false;
    }
    return true;
}

// The window's text as the control gets it: UTF-16 with LF line ends.
std::u16string WindowText(const std::string &bytes)
{
    std::u16string wide(bytes.size(), u'\0');
    if (UnitBytes(View.encoding) == 2) {
        wide.resize(bytes.size() / 2);
        for (size_t i = 0; i < wide.size(); ++i)
            wide[i] = (char16_t)UnitAt((const unsigned char *)bytes.data() + 2 * i, View.encoding);
    } else {
        int n = MultiByteToWideChar(View.encoding == VIEW_UTF8 ? CP_UTF8 : CP_ACP, 0, bytes.data(),
                                    (int)bytes.size(), (wchar_t *)&wide[0], (int)wide.size());
        wide.resize(n > 0 ? (size_t)n : 0);
    }
    wide.resize(WriteLineEnds(&wide[0], wide.size(), LINE_ENDS_LF, &wide[0]));
    return wide;
}

// UTF-16 units the bytes [from, to) of the window make in the control.
LONG UnitsOf(size_t from, size_t to)
{
    if (to <= from)
        return 0;
    if (UnitBytes(View.encoding) == 2)
        return (LONG)((to - from) / 2);
    return MultiByteToWideChar(View.encoding == VIEW_UTF8 ? CP_UTF8 : CP_ACP, 0,
                               View.bytes.data() + from, (int)(to - from), 0, 0);
}

// Puts the lines of span into the control, with the caret at the file's line and byte
// column (and a selection of selectBytes bytes from it).
void ShowSpan(const WindowSpan &span, FileOffset line, size_t byteColumn, size_t selectBytes)
{
    HWND editor;
    byteColumn -= byteColumn % UnitBytes(View.encoding);
    View.moving = true;
    View.span = span;
    size_t length = (size_t)(span.finish - span.begin);
    View.bytes.assign(length, '\0');
    length = ReadAt(View.file, span.begin, &View.bytes[0], length);
    // The byte order mark is no part of the text.
    size_t skipped = span.begin == 0 ? View.mark : 0;
    if (skipped > length)
        skipped = length;
    View.bytes.erase(0, skipped);
    length -= skipped;
    View.bytes.resize(CutWindow((const unsigned char *)View.bytes.data(), length,
                                4 * View.windowBytes, View.encoding));
    // Where each line begins, in the window's bytes and in the control.
    View.byteStarts.clear();
    View.controlStarts.clear();
    LineStartScanner scanner(View.encoding);
    std::vector<FileOffset> starts(1, 0);
    scanner.Add((const unsigned char *)View.bytes.data(), View.bytes.size(), 0, starts);
    scanner.Finish(starts);
    LONG units = 0;
    size_t previous = 0;
    for (FileOffset start : starts) {
        if (start > View.bytes.size())
            break;
        // A line end is one character in the control, however many bytes it has.
        if (!View.byteStarts.empty()) {
            // A line holds no CR or LF but its own line end, at its end.
            size_t end = (size_t)start, u = UnitBytes(View.encoding);
            while (end >= previous + u) {
                unsigned unit = UnitAt((const unsigned char *)View.bytes.data() + end - u,
                                       View.encoding);
                if (unit != '\n' && unit != '\r')
                    break;
                end -= u;
            }
            units += UnitsOf(previous, end) + 1;
        }
        View.byteStarts.push_back((size_t)start);
        View.controlStarts.push_back(units);
        previous = (size_t)start;
    }
    std::u16string text = WindowText(View.bytes);
    // Emptied as any document is: a window of many short lines goes with its control.
    editor = EditorControl.Empty();
    SendMessageA(editor, EM_SETREADONLY, FALSE, 0);
    EditorControl.SuspendWrap();
    // The whole file's scroll bar stands beside the editor in place of the control's own.
    HideControlBar();
    StreamInUnicode(editor, text.data(), text.size());
    SendMessageA(editor, EM_SETREADONLY, TRUE, 0);
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    SendMessageA(editor, EM_EMPTYUNDOBUFFER, 0, 0);

    FileOffset index = line >= span.first ? line - span.first : 0;
    if (index >= View.byteStarts.size())
        index = View.byteStarts.size() - 1;
    size_t lineStart = View.byteStarts[(size_t)index];
    size_t lineEnd = index + 1 < View.byteStarts.size() ? View.byteStarts[(size_t)index + 1]
                                                        : View.bytes.size();
    size_t caretByte = lineStart + byteColumn < lineEnd ? lineStart + byteColumn : lineEnd;
    LONG caret = View.controlStarts[(size_t)index] + UnitsOf(lineStart, caretByte);
    size_t selectEnd = caretByte + selectBytes < View.bytes.size() ? caretByte + selectBytes
                                                                     : View.bytes.size();
    LONG anchor = caret + UnitsOf(caretByte, selectEnd);
    // The line a third of the way down the screen, then the caret on it.
    SendMessageA(editor, EM_SETSEL, 0, 0);
    SendMessageA(editor, EM_SCROLLCARET, 0, 0);
    RECT area = {0, 0, 0, 0};
    GetClientRect(editor, &area);
    POINTL first = {0, 0}, second = {0, 0};
    int visible = 0;
    if (View.controlStarts.size() > 1) {
        SendMessageA(editor, EM_POSFROMCHAR, (WPARAM)&first, View.controlStarts[0]);
        SendMessageA(editor, EM_POSFROMCHAR, (WPARAM)&second, View.controlStarts[1]);
        if (second.y > first.y)
            visible = (area.bottom - area.top) / (second.y - first.y);
    }
    LONG shown = (LONG)index - visible / 3;
    if (shown > 0)
        SendMessageA(editor, EM_LINESCROLL, 0, shown);
    SendMessageA(editor, EM_SETSEL, caret, anchor);
    HideControlBar();
    // A selection that did not change (the caret at the start again) says nothing: the
    // status bar is brought up to date here (and the window stays where it is now).
    SelectionChanged();
    View.moving = false;
    UpdateScrollBar();
}

// How near the window's first or last line the caret or the lines shown may come before
// the window moves: a few screens, less in a window of few (long) lines.
size_t EdgeLines()
{
    size_t lines = View.controlStarts.size() / 8;
    return lines < (size_t)VIEW_EDGE_LINES ? lines : (size_t)VIEW_EDGE_LINES;
}

// Whether the file goes on after the window.
bool MoreAfter()
{
    return View.span.begin + (View.span.begin == 0 ? View.mark : 0) + View.bytes.size() < View.size;
}

// The file offset where the window's line (an index into byteStarts) begins.
FileOffset WindowLineOffset(size_t index)
{
    FileOffset base = View.span.begin + (View.span.begin == 0 ? View.mark : 0);
    return base + (index < View.byteStarts.size() ? View.byteStarts[index] : View.bytes.size());
}


void ShownLines(size_t *first, size_t *last);

// Keeps the control's own vertical bar hidden while the whole file's bar stands beside it:
// Wine's control (ES_DISABLENOSCROLL) shows its bar again when a window's text is laid out,
// and takes a second hide for one already done: shown, then hidden, before any paint.
void HideControlBar()
{
    HWND editor = EditorControl.control;
    if (!ScrollBar || !editor || !(GetWindowLongA(editor, GWL_STYLE) & WS_VSCROLL))
        return;
    SendMessageA(editor, EM_SHOWSCROLLBAR, SB_VERT, TRUE);
    SendMessageA(editor, EM_SHOWSCROLLBAR, SB_VERT, FALSE);
}

// Sets the whole file's scroll bar to the lines shown.
void UpdateScrollBar()
{
    if (!ScrollBar || View.controlStarts.empty() || View.size == 0)
        return;
    size_t first = 0, last = 0;
    ShownLines(&first, &last);
    double scale = (double)SCROLL_RANGE / (double)View.size;
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    info.nMax = SCROLL_RANGE - 1;
    info.nPage = (UINT)((double)(WindowLineOffset(last + 1) - WindowLineOffset(first)) * scale);
    if (info.nPage < 1)
        info.nPage = 1;
    info.nPos = (int)((double)WindowLineOffset(first) * scale);
    if (info.nPos > SCROLL_RANGE - (int)info.nPage)
        info.nPos = SCROLL_RANGE - (int)info.nPage;
    if (info.nPage == ScrollShown.nPage && info.nPos == ScrollShown.nPos)
        return;
    ScrollShown = info;
    SetScrollInfo(ScrollBar, SB_CTL, &info, TRUE);
}

// Shows line (and byte column) of the file, moving the window there.
bool ShowLine(FileOffset line, size_t byteColumn = 0, size_t selectBytes = 0)
{
    WaitCursor wait;
    if (!WaitForIndex(line, 2 * View.windowBytes))
        return false;
    // The index is only read here, under its lock: no copy of millions of starts.
    EnterCriticalSection(&View.lock);
    if (line >= View.starts.size())
        line = View.starts.size() - 1;
    WindowSpan span = ChooseWindow(View.starts, View.size, line, View.windowBytes);
    LeaveCriticalSection(&View.lock);
    ShowSpan(span, line, byteColumn, selectBytes);
    return true;
}

// Shows line as the first line in the editor, the caret at its start.
void ShowLineAtTop(FileOffset line)
{
    if (!ShowLine(line) || line < View.span.first)
        return;
    LONG shown = (LONG)SendMessageA(EditorControl.control, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(EditorControl.control, EM_LINESCROLL, 0, (LONG)(line - View.span.first) - shown);
    UpdateScrollBar();
}

// The window's line index and byte (in the window) of a control position.
size_t WindowLineOf(LONG position)
{
    size_t index = 0;
    for (size_t step = View.controlStarts.size(); step > 0; step /= 2)
        while (index + step < View.controlStarts.size() &&
               View.controlStarts[index + step] <= position)
            index += step;
    return index;
}

// The window's lines the editor shows: the first, and the one at its bottom.
void ShownLines(size_t *first, size_t *last)
{
    HWND editor = EditorControl.control;
    *first = (size_t)SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (*first >= View.controlStarts.size())
        *first = View.controlStarts.size() - 1;
    RECT area = {0, 0, 0, 0};
    GetClientRect(editor, &area);
    POINTL bottom = {0, area.bottom > 0 ? area.bottom - 1 : 0};
    *last = WindowLineOf((LONG)SendMessageA(editor, EM_CHARFROMPOS, 0, (LPARAM)&bottom));
}

// Moves the window when the lines shown come near one of its edges (the wheel, the
// control's scrolling), keeping the first line shown first; the caret goes to it.
void FollowShownLines()
{
    size_t first = 0, last = 0;
    ShownLines(&first, &last);
    size_t lines = View.controlStarts.size();
    bool nearTop = first < EdgeLines() && View.span.first > 0;
    bool nearBottom = last + EdgeLines() >= lines && MoreAfter();
    if (nearTop || nearBottom)
        ShowLineAtTop(View.span.first + first);
}

// Ctrl+End: the last line, with the caret at its end.
void ShowLastLine()
{
    WaitCursor wait;
    if (!WaitForWholeIndex())
        return;
    size_t lines = FileViewIndexedLines(false);
    if (!ShowLine(lines ? lines - 1 : 0))
        return;
    GETTEXTLENGTHEX count = {GTL_NUMCHARS, 1200};
    LONG end = (LONG)SendMessageA(EditorControl.control, EM_GETTEXTLENGTHEX, (WPARAM)&count, 0);
    SendMessageA(EditorControl.control, EM_SETSEL, end, end);
    SendMessageA(EditorControl.control, EM_SCROLLCARET, 0, 0);
    UpdateScrollBar();
}

size_t ByteOf(LONG position)
{
    size_t index = WindowLineOf(position);
    size_t at = View.byteStarts[index];
    size_t end = index + 1 < View.byteStarts.size() ? View.byteStarts[index + 1] : View.bytes.size();
    LONG units = position - View.controlStarts[index];
    // Forward one character at a time until the units are reached.
    while (at < end && units > 0) {
        size_t next = at + UnitBytes(View.encoding);
        if (View.encoding == VIEW_UTF8)
            while (next < end && ((unsigned char)View.bytes[next] & 0xC0) == 0x80)
                ++next;
        else if (View.encoding == VIEW_8BIT && IsDBCSLeadByte((BYTE)View.bytes[at]) && next < end)
            ++next;
        units -= UnitsOf(at, next);
        at = next;
    }
    return at;
}

// Shows the line that holds offset as the first line in the editor: by scrolling when it
// lies in the window away from its edges, else by moving the window.
void ShowOffsetAtTop(FileOffset offset)
{
    FileOffset base = WindowLineOffset(0);
    size_t lines = View.byteStarts.size();
    if (offset >= base && offset < WindowLineOffset(lines)) {
        size_t index = 0;
        for (size_t step = lines; step > 0; step /= 2)
            while (index + step < lines && WindowLineOffset(index + step) <= offset)
                index += step;
        if ((index >= EdgeLines() || View.span.first == 0) &&
            (index + EdgeLines() < lines || !MoreAfter())) {
            LONG shown = (LONG)SendMessageA(EditorControl.control, EM_GETFIRSTVISIBLELINE, 0, 0);
            SendMessageA(EditorControl.control, EM_LINESCROLL, 0, (LONG)index - shown);
            return;
        }
    }
    WaitCursor wait;
    if (!WaitForOffset(offset))
        return;
    EnterCriticalSection(&View.lock);
    FileOffset line = View.starts.LineOf(offset);
    LeaveCriticalSection(&View.lock);
    ShowLineAtTop(line);
}

// The document format of a file's first bytes, how a view reads it, and the bytes of
// its byte order mark.
int FormatOfSample(const unsigned char *bytes, size_t n, ViewEncoding *encoding, size_t *mark)
{
    static const struct {
        int format;
        ViewEncoding encoding;
        size_t mark;
    } sixteenBit[] = {{FORMAT_UNICODE_LE, VIEW_UTF16LE, 2}, {FORMAT_UNICODE_BE, VIEW_UTF16BE, 2},
                      {FORMAT_MULTI_BYTE, VIEW_UTF16LE, 0}};
    for (const auto &kind : sixteenBit) {
        if (LooksSixteenBit(kind.format, bytes, n)) {
            *encoding = kind.encoding;
            *mark = kind.mark;
            return kind.format;
        }
    }
    bool marked = HasUtf8ByteOrderMark(bytes, n);
    *mark = marked ? 3 : 0;
    *encoding = marked || LooksUtf8(bytes, n) ? VIEW_UTF8 : VIEW_8BIT;
    return *encoding == VIEW_UTF8 ? FORMAT_UTF8 : FORMAT_PLAIN;
}

// The control's cost of a file's first bytes.
TextCost CostOfSample(const unsigned char *bytes, size_t n, ViewEncoding encoding)
{
    static const CostEncoding costs[] = {COST_8BIT, COST_UTF8, COST_UTF16LE, COST_UTF16BE};
    TextCostCounter counter(costs[encoding]);
    counter.Add(bytes, n);
    return counter.Cost();
}

}  // namespace

bool IsFileViewOpen()
{
    return View.open;
}

bool IsFileViewBusy()
{
    return Busy;
}

bool WantsFileView(const char *path)
{
    HANDLE file = OpenShared(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    std::string sample;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        sample.resize(size.QuadPart < SAMPLE ? (size_t)size.QuadPart : SAMPLE);
        sample.resize(ReadAt(file, 0, &sample[0], sample.size()));
    }
    CloseHandle(file);
    // RTF, and 8-bit data with null characters (which end a text), load as they always have.
    if (sample.empty() || sample.compare(0, 5, "{\\rtf") == 0)
        return false;
    const unsigned char *bytes = (const unsigned char *)sample.data();
    ViewEncoding encoding;
    size_t mark;
    FormatOfSample(bytes, sample.size(), &encoding, &mark);
    if (UnitBytes(encoding) == 1 && memchr(sample.data(), 0, sample.size()))
        return false;
    if (size.QuadPart > LARGEST_FILE)
        return true;
    double estimate = EstimatedControlBytes(CostOfSample(bytes, sample.size(), encoding)) *
                      (double)size.QuadPart /
                      (double)sample.size();
    // A whole load holds the file and its 16-bit copy besides.
    return estimate > ControlBudget(AddressSpaceLeft(), 3.0 * (double)size.QuadPart,
                                    LoadMemoryLimit);
}

int OpenFileView(HWND owner, const char *path)
{
    CloseFileView();
    HANDLE file = OpenShared(path);
    LARGE_INTEGER size;
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size)) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return 0;
    }
    if (!LockMade) {
        InitializeCriticalSection(&View.lock);
        LockMade = true;
    }
    WaitCursor wait;
    View.file = file;
    View.size = (FileOffset)size.QuadPart;
    lstrcpynA(View.path, path, sizeof View.path);
    std::string sample(View.size < SAMPLE ? (size_t)View.size : SAMPLE, '\0');
    sample.resize(ReadAt(file, 0, &sample[0], sample.size()));
    const unsigned char *bytes = (const unsigned char *)sample.data();
    int format = FormatOfSample(bytes, sample.size(), &View.encoding, &View.mark);
    // As many bytes of the file as the control may hold at the cost of its first ones.
    double perByte = sample.empty() ? 0
                                    : EstimatedControlBytes(CostOfSample(bytes, sample.size(),
                                                                         View.encoding)) /
                                          sample.size();
    View.windowBytes = VIEW_WINDOW_BYTES;
    if (perByte * VIEW_WINDOW_BYTES > VIEW_WINDOW_COST)
        View.windowBytes = (size_t)(VIEW_WINDOW_COST / perByte);
    if (View.windowBytes < LEAST_VIEW_WINDOW_BYTES)
        View.windowBytes = LEAST_VIEW_WINDOW_BYTES;
    View.starts.clear();
    View.starts.Add(0);
    View.indexed = 0;
    View.indexDone = 0;
    View.stopIndex = 0;
    View.open = true;

    if (MainWindow && !ScrollBar) {
        ScrollBar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0,
                                    0, 0, MainWindow, 0, GetModuleHandleA(0), 0);
        ScrollShown = SCROLLINFO();
        MainLayout.scroll = ScrollBar;
        RECT rect;
        LayoutMainWindow(MainLayout, &rect);
    }
    HWND editor = EditorControl.Empty();
    EditorControl.SetTextMode(TEXT_PLAIN);
    editor = EditorControl.control;
    SendMessageA(editor, WM_SETFONT, (WPARAM)DocumentFont, 0);
    // Lines of the control are the file's lines: unwrapped.
    EditorControl.SuspendWrap();
    SendMessageA(editor, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);

    // The first screen needs no index: the window at the top is found from the file's start.
    std::vector<FileOffset> first(1, 0);
    LineStartScanner scanner(View.encoding);
    size_t unit = UnitBytes(View.encoding);
    size_t head = sample.size() < View.windowBytes + unit ? sample.size() : View.windowBytes + unit;
    scanner.Add(bytes, head, 0, first);
    if (head == View.size)
        scanner.Finish(first);
    ShowSpan(ChooseWindow(LineStarts(first), head == View.size ? View.size : head, 0, View.windowBytes), 0,
             0, 0);
    View.indexThread = CreateThread(0, 0, BuildIndex, 0, 0, 0);

    DocumentFormat = format;
    Utf8ByteOrderMark = View.encoding == VIEW_UTF8 && View.mark > 0;
    if (unit == 2) {
        std::u16string units = WindowText(sample.substr(View.mark, SAMPLE / 4));
        DocumentLineEnds = MajorityLineEnds(CountLineEnds(units.data(), units.size()));
    } else {
        DocumentLineEnds = MajorityLineEnds(CountLineEnds(sample.data(), sample.size()));
    }
    DocumentLineEndsMixed = false;
    SetCurrentDocument(owner, path);
    // The file is shown, not held: a log that grows is not followed into the window.
    WatchDocumentFile(owner, 0);
    // Scrolling (the wheel, the keys) moves no caret: what is shown is looked at.
    if (MainWindow)
        SetTimer(MainWindow, VIEW_SCROLL_TIMER, VIEW_SCROLL_PERIOD, 0);
    UpdateScrollBar();
    return 1;
}

void CloseFileView()
{
    if (!View.open)
        return;
    if (MainWindow)
        KillTimer(MainWindow, VIEW_SCROLL_TIMER);
    InterlockedExchange(&View.stopIndex, 1);
    if (View.indexThread) {
        WaitForSingleObject(View.indexThread, INFINITE);
        CloseHandle(View.indexThread);
        View.indexThread = 0;
    }
    CloseHandle(View.file);
    View.file = INVALID_HANDLE_VALUE;
    View.open = false;
    View.starts.clear();
    View.bytes.clear();
    View.byteStarts.clear();
    View.controlStarts.clear();
    HWND editor = EditorControl.Empty();
    SendMessageA(editor, EM_SETREADONLY, FALSE, 0);
    if (ScrollBar) {
        SendMessageA(editor, EM_SHOWSCROLLBAR, SB_VERT, TRUE);
        MainLayout.scroll = 0;
        DestroyWindow(ScrollBar);
        ScrollBar = 0;
        RECT rect;
        LayoutMainWindow(MainLayout, &rect);
    }
    EditorControl.ResumeWrap();
}

void FileViewPlace(LONG position, FileOffset *line, FileOffset *column)
{
    *line = *column = 0;
    if (!View.open || View.controlStarts.empty())
        return;
    size_t index = WindowLineOf(position);
    *line = View.span.first + index;
    *column = (FileOffset)(position - View.controlStarts[index]);
}

void FileViewFollowCaret()
{
    if (!View.open || View.moving || View.controlStarts.empty())
        return;
    CHARRANGE selection;
    SendMessageA(EditorControl.control, EM_EXGETSEL, 0, (LPARAM)&selection);
    // Only a caret, not a selection being made, takes the window along.
    if (selection.cpMin != selection.cpMax)
        return;
    size_t index = WindowLineOf(selection.cpMin);
    size_t lines = View.controlStarts.size();
    bool nearTop = index < EdgeLines() && View.span.first > 0;
    bool nearBottom = index + EdgeLines() >= lines && MoreAfter();
    if (!nearTop && !nearBottom)
        return;
    size_t byte = ByteOf(selection.cpMin);
    ShowLine(View.span.first + index, byte - View.byteStarts[index]);
}

bool OnFileViewTimer(WPARAM timer)
{
    if (timer != VIEW_SCROLL_TIMER)
        return false;
    if (!View.open || View.moving || View.controlStarts.empty())
        return true;
    FollowShownLines();
    HideControlBar();
    UpdateScrollBar();
    return true;
}

bool OnFileViewScroll(HWND bar, WPARAM request)
{
    if (!ScrollBar || bar != ScrollBar)
        return false;
    if (!View.open || View.moving || View.controlStarts.empty())
        return true;
    switch (LOWORD(request)) {
    case SB_LINEUP: case SB_LINEDOWN: case SB_PAGEUP: case SB_PAGEDOWN:
        SendMessageA(EditorControl.control, WM_VSCROLL, LOWORD(request), 0);
        FollowShownLines();
        break;
    case SB_TOP:
        ShowLineAtTop(0);
        break;
    case SB_BOTTOM:
        ShowLastLine();
        break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION:
        // The range fits the message's 16 bits.
        ShowOffsetAtTop((FileOffset)((double)HIWORD(request) * (double)View.size / SCROLL_RANGE));
        if (LOWORD(request) == SB_THUMBTRACK)
            return true;  // the thumb stays where it is dragged to
        break;
    }
    UpdateScrollBar();
    return true;
}

bool FileViewKey(const MSG &message)
{
    if (!View.open || message.hwnd != EditorControl.control || message.message != WM_KEYDOWN ||
        GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0)
        return false;
    if (message.wParam == VK_HOME) {
        ShowLine(0);
        return true;
    }
    if (message.wParam == VK_END) {
        ShowLastLine();
        return true;
    }
    return false;
}

void FileViewGotoLine(FileOffset line)
{
    if (View.open)
        ShowLine(line);
}

void FileViewGotoOffset(FileOffset offset)
{
    if (!View.open)
        return;
    if (offset > View.size)
        offset = View.size;
    WaitCursor wait;
    if (!WaitForOffset(offset))
        return;
    EnterCriticalSection(&View.lock);
    FileOffset line = View.starts.LineOf(offset);
    FileOffset start = View.starts.empty() ? 0 : View.starts[line];
    LeaveCriticalSection(&View.lock);
    if (line == 0 && offset >= View.mark)
        offset -= View.mark;
    ShowLine(line, (size_t)(offset - start));
}

int FileViewFind(HWND owner)
{
    if (!View.open || !FindText[0])
        return 0;
    // The text as the file holds it.
    std::string needle = FindText;
    if (View.encoding != VIEW_8BIT) {
        std::wstring wide(needle.size(), L'\0');
        wide.resize(MultiByteToWideChar(CP_ACP, 0, needle.data(), (int)needle.size(), &wide[0],
                                        (int)wide.size()));
        if (View.encoding == VIEW_UTF8) {
            needle.assign(wide.size() * 3, '\0');
            needle.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(),
                                              &needle[0], (int)needle.size(), 0, 0));
        } else {
            needle.clear();
            for (wchar_t unit : wide) {
                char low = (char)(unit & 0xFF), high = (char)(unit >> 8);
                needle += View.encoding == VIEW_UTF16BE ? std::string{high, low}
                                                        : std::string{low, high};
            }
        }
    }
    bool down = (FindFlags & FR_DOWN) != 0;
    FileSearch search = {needle, View.encoding, (FindFlags & FR_MATCHCASE) != 0,
                         (FindFlags & FR_WHOLEWORD) != 0, down};
    // Down starts after the selection and Up before it, so a selected match is never
    // found again.
    CHARRANGE selection;
    SendMessageA(EditorControl.control, EM_EXGETSEL, 0, (LPARAM)&selection);
    FileOffset from = WindowLineOffset(0) + ByteOf(down ? selection.cpMax : selection.cpMin);
    WaitCursor wait;
    HANDLE file = OpenShared(View.path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    long long found = SearchFile(
        search, from, View.size, BLOCK,
        [](void *file, FileOffset offset, unsigned char *buffer, size_t n) {
            return ReadAt((HANDLE)file, offset, buffer, n);
        },
        file, [](void *) { return KeepWaiting(); }, 0);
    CloseHandle(file);
    if (found == -2)
        return 0;  // Esc
    // The byte order mark is no text.
    if (found >= 0 && (FileOffset)found < View.mark)
        found = -1;
    if (found < 0) {
        if (MessageBoxA(owner, "No more matches found.\n\nReset to start of file?", AppName,
                        MB_YESNO) == IDYES) {
            if (down)
                ShowLine(0);
            else
                ShowLastLine();
        }
        return 0;
    }
    if (!WaitForOffset((FileOffset)found + needle.size()))
        return 0;
    EnterCriticalSection(&View.lock);
    FileOffset line = View.starts.LineOf((FileOffset)found);
    FileOffset start = View.starts[line] + (line == 0 ? View.mark : 0);
    LeaveCriticalSection(&View.lock);
    ShowLine(line, (size_t)((FileOffset)found - start), needle.size());
    return 1;
}

int FileViewSaveCopy(HWND owner, const char *to)
{
    if (!View.open)
        return 0;
    char target[260] = "";
    if (to) {
        lstrcpynA(target, to, sizeof target);
    } else {
        OPENFILENAMEA dialog;
        memset(&dialog, 0, sizeof dialog);
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = "All Files (*.*)\0*.*\0";
        dialog.lpstrFile = target;
        dialog.nMaxFile = sizeof target;
        dialog.lpstrTitle = "Save a Copy of the File As";
        dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
        if (!GetSaveFileNameA(&dialog))
            return 0;
    }
    WaitCursor wait;
    if (!CopyFileA(View.path, target, FALSE)) {
        MessageBoxA(owner, "Failed to save file.", AppName, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

bool FileViewAllowsCommand(int id)
{
    switch (id) {
    case IDC_OPEN: case IDC_NEW: case IDC_SAVE: case IDC_SAVE_AS: case IDC_EXIT:
    case IDC_COPY: case IDC_SELECT_ALL: case IDC_FIND: case IDC_FIND_NEXT: case IDC_GOTO:
    case IDC_STATUSBAR: case IDC_TOOLBAR: case IDC_ALWAYS_ON_TOP: case IDC_ABOUT:
        return true;
    }
    return id >= IDC_RECENT_FIRST && id <= IDC_RECENT_LAST;
}

FileOffset FileViewFirstLine()
{
    return View.span.first;
}

size_t FileViewIndexedLines(bool wait)
{
    if (!View.open)
        return 0;
    while (wait && !View.indexDone) {
        Sleep(5);
        AnswerSentMessages();
    }
    EnterCriticalSection(&View.lock);
    size_t lines = (size_t)View.starts.size();
    LeaveCriticalSection(&View.lock);
    return lines;
}
