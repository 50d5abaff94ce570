#include "app/OutputWindow.h"

#include <richedit.h>
#include <string.h>
#include <string>

#include "app/App.h"
#include "app/MainWindow.h"
#include "app/OutputLog.h"
#include "app/OutputTrim.h"
#include "app/Settings.h"
#include "app/TraceText.h"
#include "editor/EditorControl.h"
#include "editor/FileLines.h"
#include "editor/HeapAnchors.h"

// A sender waits for each message to be answered, so a message only stores its text; the
// control gets the stored text in one piece a moment later. (Typing each character made the
// control re-wrap, scroll and report a selection change per character, and every logging
// program waited for it; each hand-over to the control also costs a good deal on its own,
// so lines are handed over when the flow pauses rather than one by one.)
static const UINT HAND_OVER_TICK = 25;      // how often waiting lines are looked at
static const DWORD HAND_OVER_PAUSE = 25;    // a pause this long in the flow shows them
static const DWORD HAND_OVER_AGE = 250;     // a steady flow still shows this often
static const size_t HAND_OVER_SIZE = 65536; // and whenever this much text waits
static const UINT_PTR HAND_OVER_TIMER = 0x4F58;  // "OX": apart from the main window's timers

// The limit grows in steps of this many characters.
static const int LIMIT_STEP = 32768;

static std::string Waiting;       // typed form of the received text not yet in the control
static DWORD WaitingSince;        // tick count of the first waiting text
static DWORD LastArrival;         // tick count of the latest text
static std::string WaitingTitle;  // the title to show, when TitleWaiting
static bool TitleWaiting;
static HWND ReceivingWindow;      // the window the texts came to (its title, its timer)
static bool TimerRunning;
static bool HandingOver;          // the hand-over's own messages pass the hook
static bool Counting;             // and so do the status bar's, which count the lines held
static WNDPROC ControlProc;       // the editor's own procedure, behind the hook
static HWND HookedEditor;         // the control the waiting text belongs to

// What the control holds, counted from what went in (exact again at each trim).
static long long LinesHeld;
static long long CharsHeld;
static long long MaxLines = DEFAULT_MAX_LINES;  // win.ini [OXR] MaxLines; 0 keeps all
static long long ShortageLimit;   // lines kept since the control took no more; 0 none
static int DroppedNote;           // 0, or what the status bar says: 1 dropped, 2 for memory

// A place whose file line is known, so the status bar counts lines only from there: the
// text before it is as it was when counted (lines go in after it; a trim counts again and
// the user's edits forget it). Counting from the top read megabytes at every hand-over.
static HWND CountedEditor;
static long long CountedPosition, CountedLines;
static long long CountedLength;   // the control's length then: any other change forgets it

// Pieces of the kept text put into a fresh control: one call each, as a hand-over.
static const size_t REBUILD_PIECE_LINES = 1000;
// A 32-bit process with less address space left than this trims as when it is full.
static const unsigned long long ADDRESS_SPACE_RESERVE = 256ULL * 1024 * 1024;
// Keep the memory of a trimmed control for the fresh one (it fills in about half the time).
static HeapAnchors Anchors;

size_t TraceTextLength(const COPYDATASTRUCT *data)
{
    if (!data->cbData || !data->lpData)
        return 0;
    const char *text = (const char *)data->lpData;
    const char *end = (const char *)memchr(text, 0, data->cbData);
    return end ? (size_t)(end - text) : data->cbData;
}

// Raises the limit until the text fits with a few characters to spare.
static void MakeRoomFor(HWND editor, size_t length)
{
    // The limit has no getter in the wrapper; reading it changes nothing.
    // Signed: the length counts line ends as CR LF and may pass the limit.
    long long limit = (long long)SendMessageA(editor, EM_GETLIMITTEXT, 0, 0);
    long long used = GetWindowTextLengthA(editor);
    long long needed = (long long)length + 4;
    if (limit - used >= needed)
        return;
    long long wanted = limit;
    while (wanted - used < needed)
        wanted += LIMIT_STEP;
    EditorControl.SetTextLimit(wanted > 0x7FFFFFFF ? 0x7FFFFFFF : (int)wanted);
}

// Characters in the control, each line end counted once (cheap: no walk over the text).
static long long ControlLength(HWND editor)
{
    GETTEXTLENGTHEX measure = {GTL_NUMCHARS, 1200};
    return (long long)SendMessageA(editor, EM_GETTEXTLENGTHEX, (WPARAM)&measure, 0);
}

static void ForgetCount()
{
    CountedEditor = 0;
}

static void RememberCount(HWND editor, long long position, long long lines, long long length)
{
    CountedEditor = editor;
    CountedPosition = position;
    CountedLines = lines;
    CountedLength = length;
}

// Text of lines paragraph ends went in at a position, the control growing from before to
// after characters: a known place before it stays, and one right there moves on past it.
static void CountInserted(HWND editor, long long at, long long before, long long after,
                          long long lines)
{
    if (editor != CountedEditor && before == 0)
        RememberCount(editor, 0, 0, 0);  // an empty control: its first line is known
    if (editor != CountedEditor || CountedLength != before || at < CountedPosition) {
        ForgetCount();
        return;
    }
    if (at == CountedPosition) {
        CountedPosition += after - before;
        CountedLines += lines;
    }
    CountedLength = after;
}

bool OutputWindowLineOf(HWND editor, int position, FileLinePlace *place)
{
    if (!editor || editor != HookedEditor)
        return false;
    // Lines waiting stay waiting: a hand-over of its own for each status line cost as
    // much as the hand-overs of the flow.
    Counting = true;
    long long length = ControlLength(editor);
    bool known = editor == CountedEditor && length == CountedLength;
    bool part = known && position >= CountedPosition - position;
    if (part)
        *place = FileLineAfter(editor, position, (int)CountedPosition, (int)CountedLines);
    else
        *place = FileLineOf(editor, position);
    // The caret mostly follows the lines: counting from here is cheapest next time.
    RememberCount(editor, position, place->line, length);
    Counting = false;
    return true;
}

// Puts the text in at the caret as one undo step, with the selection follow-up once;
// false when the control took in less than the text (it is running out of memory).
static bool InsertAtCaret(HWND editor, const std::string &text)
{
    size_t breaks = 0;
    for (char c : text)
        breaks += c == '\r';
    // The control counts a paragraph break as CR LF in its length.
    MakeRoomFor(editor, text.size() + breaks);
    long long before = ControlLength(editor);
    CHARRANGE selection = {0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    LRESULT events = SendMessageA(editor, EM_GETEVENTMASK, 0, 0);
    SendMessageA(editor, EM_SETEVENTMASK, 0, events & ~ENM_SELCHANGE);
    // Text the user selected is neither replaced nor moved: the lines go to the end.
    bool selected = selection.cpMin != selection.cpMax;
    if (selected) {
        CHARRANGE end = {-1, -1};
        SendMessageA(editor, EM_EXSETSEL, 0, (LPARAM)&end);
    }
    SendMessageA(editor, EM_REPLACESEL, TRUE, (LPARAM)text.c_str());
    if (selected)
        SendMessageA(editor, EM_EXSETSEL, 0, (LPARAM)&selection);
    else
        SendMessageA(editor, EM_SCROLLCARET, 0, 0);
    SendMessageA(editor, EM_SETEVENTMASK, 0, events);
    SendMessageA(editor, EM_STOPGROUPTYPING, 0, 0);
    LinesHeld += (long long)breaks;
    CharsHeld += (long long)text.size();
    Anchors.After(breaks);
    long long after = ControlLength(editor);
    CountInserted(editor, selected ? before : selection.cpMin, before, after, (long long)breaks);
    // A multi-byte code page makes fewer characters than bytes, never fewer than half.
    return (after - before) * 2 >= (long long)text.size();
}

// True when a 32-bit process has little address space left: the next allocations fail.
static bool AddressSpaceShort()
{
    MEMORYSTATUSEX memory;
    memory.dwLength = sizeof memory;
    if (!GlobalMemoryStatusEx(&memory))
        return false;
    return memory.ullTotalVirtual <= 4ULL * 1024 * 1024 * 1024 &&
           memory.ullAvailVirtual < ADDRESS_SPACE_RESERVE;
}

static TrimLimits CurrentLimits()
{
    TrimLimits limits = {MaxLines, COST_BUDGET};
    if (ShortageLimit > 0 && (limits.maxLines == 0 || ShortageLimit < limits.maxLines))
        limits.maxLines = ShortageLimit;
    return limits;
}

// The kept text into the fresh control, a piece of many lines at a time, without undo
// records (freed records make Wine's control slow to append).
static void PutKeptText(HWND fresh, const char16_t *text, size_t length)
{
    SendMessageA(fresh, EM_SETUNDOLIMIT, 0, 0);
    for (size_t at = 0; at < length;) {
        size_t end = at, lines = 0;
        while (end < length && lines < REBUILD_PIECE_LINES)
            lines += text[end++] == u'\r';
        ReplaceSelectionUnicode(fresh, text + at, end - at, false);
        Anchors.After(lines);
        at = end;
    }
    SendMessageA(fresh, EM_SETUNDOLIMIT, 100, 0);
}

static void HookEditor(HWND editor);

// Drops the oldest lines when the limits (or a control that takes no more) ask for it.
// Wine's control removes lines from the top in time that grows with the lines below them
// (3,000 of 30,000 took minutes), so a fresh control takes the kept lines instead.
static void TrimOldLines(bool shortage)
{
    HWND editor = HookedEditor;
    size_t length = 0;
    char16_t *text = GetUnicodeText(editor, &length, false);
    if (!text)
        return;  // no memory even for a copy: the next hand-over tries again
    long long lines = CountLines(text, length);
    if (shortage)
        ShortageLimit = LimitAfterShortage(lines, CurrentLimits().maxLines);
    size_t cut = 0;
    long long drop = LinesToDrop(text, length, CurrentLimits(), &cut);
    LinesHeld = lines;
    CharsHeld = (long long)length;
    if (!drop) {
        delete[] text;
        return;
    }
    CHARRANGE selection;
    SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
    bool atEnd = selection.cpMin == selection.cpMax && (size_t)selection.cpMax >= length;
    LRESULT firstLine = SendMessageA(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    long long firstChar = (long long)SendMessageA(editor, EM_LINEINDEX, firstLine, 0);
    bool modified = SendMessageA(editor, EM_GETMODIFY, 0, 0) != 0;

    Anchors.Hold();
    HWND fresh = EditorControl.Empty();
    // Filled unseen: a control that is not drawn takes the lines in about two thirds of
    // the time (no scroll bar, caret or paint after each piece).
    SendMessageA(fresh, WM_SETREDRAW, FALSE, 0);
    LRESULT events = SendMessageA(fresh, EM_GETEVENTMASK, 0, 0);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, events & ~ENM_SELCHANGE);
    PutKeptText(fresh, text + cut, length - cut);
    Anchors.LetGo();
    long long keptEnds = CountLines(text + cut, length - cut) - (text[length - 1] != u'\r');
    delete[] text;
    CHARRANGE kept = {(LONG)KeptPosition(selection.cpMin, (long long)cut),
                      (LONG)KeptPosition(selection.cpMax, (long long)cut)};
    SendMessageA(fresh, EM_EXSETSEL, 0, (LPARAM)&kept);
    if (atEnd) {
        SendMessageA(fresh, EM_SCROLLCARET, 0, 0);
    } else {
        // The lines the user was reading stay in view.
        LRESULT line = SendMessageA(fresh, EM_EXLINEFROMCHAR, 0,
                                    (LPARAM)KeptPosition(firstChar, (long long)cut));
        LRESULT top = SendMessageA(fresh, EM_GETFIRSTVISIBLELINE, 0, 0);
        SendMessageA(fresh, EM_LINESCROLL, 0, line - top);
    }
    SendMessageA(fresh, EM_SETMODIFY, modified, 0);
    SendMessageA(fresh, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(fresh, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, events);
    if (ControlLength(fresh) == (long long)(length - cut))
        RememberCount(fresh, (long long)(length - cut), keptEnds, (long long)(length - cut));
    else
        ForgetCount();
    HookEditor(fresh);
    LinesHeld -= drop;
    CharsHeld -= (long long)cut;
    if (shortage || DroppedNote < 2)
        DroppedNote = shortage ? 2 : 1;
}

// After text went in: trims when the limits are passed or the control took no more.
static void KeepWithinLimits(bool taken)
{
    bool shortage = !taken || AddressSpaceShort();
    if (shortage || TrimDue(LinesHeld, CharsHeld, CurrentLimits()))
        TrimOldLines(shortage);
}

const char *OutputWindowNote()
{
    if (!OutputWindowMode() || !DroppedNote)
        return "";
    return DroppedNote == 2 ? "    Earlier lines dropped: out of memory"
                            : "    Earlier lines dropped";
}

void ReadOutputSettings()
{
    MaxLines = GetPrivateProfileIntA("OXR", "MaxLines", DEFAULT_MAX_LINES, PairPath(SettingsFile));
    if (MaxLines < 0)
        MaxLines = DEFAULT_MAX_LINES;
    ShortageLimit = 0;
    OpenOutputLog(0);
}

void ClearOutputWindow()
{
    HandOverTraceLines();
    HandingOver = true;
    HWND fresh = EditorControl.Empty();
    Anchors.Clear();  // an emptied window gives its memory back
    if (fresh) {
        HookEditor(fresh);
        RememberCount(fresh, 0, 0, 0);
    }
    HandingOver = false;
    LinesHeld = CharsHeld = 0;
    DroppedNote = 0;
    SelectionChanged();
}

static VOID CALLBACK HandOverLater(HWND, UINT, UINT_PTR, DWORD);
static bool TrimPending;  // a trim waits for the timer: the control was in a message

// The hand-over; without mayTrim (inside one of the control's own messages, which must
// reach the control it was sent to) a due trim waits for the timer.
static void HandOver(bool mayTrim)
{
    // Lines wait while a text goes in by pieces: they must not land between two.
    if (HandingOver || IsLoadingInPieces())
        return;
    HandingOver = true;
    if (TimerRunning && ReceivingWindow)
        KillTimer(ReceivingWindow, HAND_OVER_TIMER);
    TimerRunning = false;
    if (TitleWaiting && ReceivingWindow)
        SetWindowTextA(ReceivingWindow, WaitingTitle.c_str());
    TitleWaiting = false;
    std::string text;
    text.swap(Waiting);
    bool taken = true;
    if (!text.empty() && EditorControl.control == HookedEditor && IsWindow(HookedEditor)) {
        taken = InsertAtCaret(HookedEditor, text);
        TrimPending = true;
    }
    if (TrimPending && mayTrim) {
        TrimPending = false;
        KeepWithinLimits(taken);
    } else if (TrimPending && !TimerRunning && ReceivingWindow) {
        TimerRunning = SetTimer(ReceivingWindow, HAND_OVER_TIMER, HAND_OVER_TICK, HandOverLater) != 0;
    }
    // What the held-back selection change would have done.
    if (!text.empty())
        SelectionChanged();
    HandingOver = false;
}

void HandOverTraceLines()
{
    HandOver(true);
}

// True when the waiting lines should go in now: the flow paused, or they waited long enough.
static bool HandOverDue()
{
    DWORD now = GetTickCount();
    return Waiting.size() >= HAND_OVER_SIZE || now - LastArrival >= HAND_OVER_PAUSE ||
           now - WaitingSince >= HAND_OVER_AGE;
}

static VOID CALLBACK HandOverLater(HWND, UINT, UINT_PTR, DWORD)
{
    if (HandOverDue() || TrimPending)
        HandOverTraceLines();
}

// Messages that read or change the text or the caret, and the user's input: the lines
// received before them go in first, so they see (and act after) every line answered.
static bool NeedsWaitingLines(UINT message)
{
    switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_CHAR:
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_SETTEXT: case EM_REPLACESEL: case EM_STREAMIN: case EM_SETTEXTEX:
    case WM_CUT: case WM_PASTE: case WM_CLEAR: case WM_UNDO: case EM_UNDO: case EM_REDO:
    case EM_SETSEL: case EM_EXSETSEL:
    case WM_GETTEXT: case WM_GETTEXTLENGTH: case EM_GETTEXTEX: case EM_GETTEXTLENGTHEX:
    case EM_GETTEXTRANGE: case EM_GETSELTEXT: case EM_GETLINE: case EM_STREAMOUT: case WM_COPY:
    case EM_FINDTEXT: case EM_FINDTEXTEX: case EM_FINDTEXTW: case EM_FINDTEXTEXW:
    case EM_GETMODIFY: case EM_CANUNDO:
        return true;
    }
    return false;
}

// Messages by which the user or another part of the program may change the text.
static bool MayChangeText(UINT message)
{
    switch (message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_CHAR: case WM_IME_CHAR: case WM_IME_COMPOSITION:
    case WM_SETTEXT: case EM_REPLACESEL: case EM_STREAMIN: case EM_SETTEXTEX:
    case WM_CUT: case WM_PASTE: case EM_PASTESPECIAL: case WM_CLEAR:
    case WM_UNDO: case EM_UNDO: case EM_REDO:
        return true;
    }
    return false;
}

static LRESULT CALLBACK EditorHook(HWND editor, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!HandingOver && MayChangeText(message))
        ForgetCount();
    if (!HandingOver && !Counting && (!Waiting.empty() || TitleWaiting) &&
        NeedsWaitingLines(message))
        HandOver(false);
    return CallWindowProcA(ControlProc, editor, message, wParam, lParam);
}

static void HookEditor(HWND editor)
{
    if (editor != HookedEditor)
        HandOverTraceLines();  // text for a control that went away goes nowhere
    HookedEditor = editor;
    if ((WNDPROC)GetWindowLongPtrA(editor, GWLP_WNDPROC) == EditorHook)
        return;
    ControlProc = (WNDPROC)SetWindowLongPtrA(editor, GWLP_WNDPROC, (LONG_PTR)EditorHook);
}

LRESULT ReceiveTraceLine(HWND window, const COPYDATASTRUCT *data)
{
    if (!data || (data->cbData && !data->lpData))
        return 0;
    HWND editor = EditorControl.control;
    size_t length = TraceTextLength(data);
    if (!length && !editor)
        return 0;
    const char *text = (const char *)data->lpData;
    WriteOutputLog(text, length);
    if (editor)
        HookEditor(editor);
    ReceivingWindow = window;
    bool idle = Waiting.empty() && !TitleWaiting;
    if (ModeFlags & MODE_TITLE_OUTPUT) {
        size_t start = 0;
        size_t size = TitleLine(length ? text : "", length, &start);
        WaitingTitle.assign(length ? text + start : "", size);
        TitleWaiting = true;
    }
    if ((ModeFlags & MODE_OUTPUT) && length && editor)
        AppendTypedText(Waiting, text, length);
    if (Waiting.empty() && !TitleWaiting)
        return 1;
    LastArrival = GetTickCount();
    if (idle)
        WaitingSince = LastArrival;
    if (!TimerRunning)
        TimerRunning = SetTimer(window, HAND_OVER_TIMER, HAND_OVER_TICK, HandOverLater) != 0;
    // A flow without pauses may keep the timer from coming at all.
    if (!TimerRunning || Waiting.size() >= HAND_OVER_SIZE ||
        LastArrival - WaitingSince >= HAND_OVER_AGE)
        HandOverTraceLines();
    return 1;
}
