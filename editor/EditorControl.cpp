#include "editor/EditorControl.h"

#include <richedit.h>
#include <stdint.h>
#include <string.h>
#include <new>
#include <string>

#include "document/LineEnds.h"
#include "editor/RtfIndents.h"
#include "editor/RtfScreen.h"
#include "editor/TextPieces.h"
#include "editor/AddressSpace.h"

EditorWrapper EditorControl = {0, 0};

size_t TextBufferLimit = SIZE_MAX;

char *NewTextBuffer(size_t size)
{
    if (size > TextBufferLimit)
        return 0;
    return new (std::nothrow) char[size];
}

char16_t *NewUnicodeBuffer(size_t units)
{
    if (units > TextBufferLimit / sizeof(char16_t))
        return 0;
    return new (std::nothrow) char16_t[units];
}

// True while SuspendWrap holds the text unwrapped.
static bool WrapSuspended = false;

int ScreenTwips(int thousandths)
{
    return (int)(thousandths * 1440.0 / 1000.0 + 0.5);
}

int EditorWrapper::GetTextMode()
{
    static const int modes[4] = {0, TEXT_PLAIN, TEXT_RICH, 0};
    if (!control)
        return 0;
    // Wine answers 41/42: the flag bits above the mode must be masked off.
    return modes[SendMessageA(control, EM_GETTEXTMODE, 0, 0) & 3];
}

namespace {

struct StreamBuffer {
    char *data;
    size_t capacity;
    size_t used;
    bool failed;   // memory ran out: what was collected is not the whole text
};

DWORD CALLBACK CollectChunk(DWORD_PTR cookie, LPBYTE chunk, LONG length, LONG *taken)
{
    StreamBuffer *buffer = (StreamBuffer *)cookie;
    *taken = 0;
    size_t n = length > 0 ? (size_t)length : 0;
    if (n >= buffer->capacity - buffer->used) {
        size_t larger = 2 * (buffer->capacity > n ? buffer->capacity : n);
        char *grown = NewTextBuffer(larger);
        if (!grown) {
            // A non-zero answer ends the stream; the caller sees the failure.
            buffer->failed = true;
            return 1;
        }
        memcpy(grown, buffer->data, buffer->used);
        delete[] buffer->data;
        buffer->data = grown;
        buffer->capacity = larger;
    }
    memcpy(buffer->data + buffer->used, chunk, n);
    buffer->used += n;
    buffer->data[buffer->used] = 0;
    *taken = (LONG)n;
    return 0;
}

struct TextSource {
    const char *next;
    size_t left;
};

DWORD CALLBACK GiveChunk(DWORD_PTR cookie, LPBYTE chunk, LONG capacity, LONG *given)
{
    TextSource *source = (TextSource *)cookie;
    size_t n = source->left < (size_t)capacity ? source->left : (size_t)capacity;
    // A CR LF split between two chunks would be read as two line ends.
    if (n > 1 && n < source->left && source->next[n - 1] == '\r' && source->next[n] == '\n')
        --n;
    memcpy(chunk, source->next, n);
    source->next += n;
    source->left -= n;
    *given = (LONG)n;
    return 0;
}

}  // namespace

static bool StreamWhole(HWND control, const char *text, size_t length, UINT format)
{
    TextSource source = {text, length};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, GiveChunk};
    SendMessageA(control, EM_STREAMIN, format, (LPARAM)&stream);
    if (stream.dwError != 0)
        return false;
    // RTF ends at its last closing brace, and the control stops reading there; plain
    // text must have been taken to the last byte.
    return (format & SF_RTF) || source.left == 0;
}

static bool LoadingInPieces = false;

// Undo steps the control keeps: its default, which the program leaves as it is.
const int DEFAULT_UNDO_LIMIT = 100;

bool IsLoadingInPieces()
{
    return LoadingInPieces;
}

static void AppendPiece(HWND control, const char *text, size_t length, bool undo)
{
    std::string piece(text, length);
    SendMessageA(control, EM_REPLACESEL, undo, (LPARAM)piece.c_str());
}

static void AppendPiece(HWND control, const char16_t *text, size_t length, bool undo)
{
    ReplaceSelectionUnicode(control, text, length, undo);
}

// Puts the caret at the end unless it is there already (or always): Wine's control finds
// a position from the top, a walk over every paragraph (a million lines: 0.27 s).
static void MoveCaretToEnd(HWND control, bool always = true)
{
    GETTEXTLENGTHEX count = {GTL_NUMCHARS, 1200};
    LONG end = (LONG)SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&count, 0);
    CHARRANGE range = {end, end}, now;
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&now);
    if (!always && now.cpMin == end && now.cpMax == end)
        return;
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
}

// Appends text[from, length) at the end piece by piece, with what other threads and
// programs sent meanwhile answered between the pieces, so that the program is not taken
// for hung (input waits in the queue); each piece is an undo step when undo is true.
// False when the control went away.
static bool StoppedForMemory = false;
bool (*PieceProgress)(size_t done, size_t total) = 0;
static bool StoppedByProgress = false;

bool PiecesStoppedByProgress()
{
    return StoppedByProgress;
}

bool PiecesStoppedForMemory()
{
    return StoppedForMemory;
}

template <typename Char>
static bool AppendPieces(HWND control, const Char *text, size_t length, size_t from, bool undo)
{
    GETTEXTLENGTHEX count = {GTL_NUMCHARS, 1200};
    long long needed = SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&count, 0) +
                       (long long)(length - from) + 1;
    if (needed > SendMessageA(control, EM_GETLIMITTEXT, 0, 0))
        SendMessageA(control, EM_EXLIMITTEXT, 0,
                     (LPARAM)(needed > 0x7FFFFFFF ? 0x7FFFFFFF : needed));
    bool wasLoading = LoadingInPieces;
    LoadingInPieces = true;
    // Each selection change would have the main window find the caret's line, which
    // Wine's control counts from the top: with a million lines in, every piece took
    // seconds. One change at the end says where the caret is.
    LRESULT events = SendMessageA(control, EM_SETEVENTMASK, 0, 0);
    StoppedForMemory = StoppedByProgress = false;
    for (size_t end = from; end < length && IsWindow(control);) {
        if (PieceProgress && !PieceProgress(end, length)) {
            StoppedByProgress = true;
            break;
        }
        // The estimate before the load can be wrong (Windows' control, another code
        // page): a load that would leave the process no room stops short instead.
        if (AddressSpaceLeft() < LEAST_ADDRESS_SPACE_LEFT) {
            StoppedForMemory = true;
            break;
        }
        MSG message;
        PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        MoveCaretToEnd(control, false);
        size_t next = PieceEnd(text, length, end);
        AppendPiece(control, text + end, next - end, undo);
        end = next;
    }
    LoadingInPieces = wasLoading;
    if (!IsWindow(control))
        return false;
    if (StoppedForMemory) {
        SendMessageA(control, EM_SETEVENTMASK, 0, events);
        return false;
    }
    SendMessageA(control, EM_SETEVENTMASK, 0, events);
    MoveCaretToEnd(control);
    return true;
}

// Replaces the whole text with a long plain text: its first piece streamed (which
// empties the control), the others appended. Text, selection, modified flag and undo
// stack end as one stream of the whole would leave them.
template <typename Char>
static bool StreamInPieces(HWND control, const Char *text, size_t length,
                           bool (*streamWhole)(HWND, const Char *, size_t))
{
    size_t end = PieceEnd(text, length, 0);
    if (!streamWhole(control, text, end))
        return false;
    LRESULT modified = SendMessageA(control, EM_GETMODIFY, 0, 0);
    // Wine's control records each appended line for undo and frees the records after
    // the append; its layout then walks those thousands of freed blocks for every
    // allocation (30,000 lines: 15 s instead of 0.3). No records, no walk.
    SendMessageA(control, EM_SETUNDOLIMIT, 0, 0);
    if (!AppendPieces(control, text, length, end, false))
        return false;
    CHARRANGE start = {0, 0};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&start);
    SendMessageA(control, EM_SCROLLCARET, 0, 0);  // the pieces scrolled to the end
    SendMessageA(control, EM_SETUNDOLIMIT, DEFAULT_UNDO_LIMIT, 0);
    SendMessageA(control, EM_SETMODIFY, modified, 0);
    return true;
}

static bool StreamWholeText(HWND control, const char *text, size_t length)
{
    return StreamWhole(control, text, length, SF_TEXT);
}

bool StreamInText(HWND control, const char *text, size_t length, UINT format)
{
    // The control's RTF reader crashes the process or stalls on some input.
    if ((format & SF_RTF) && ScreenRtf(text, length) != RTF_READABLE)
        return false;
    if (format == SF_TEXT && PieceEnd(text, length, 0) < length)
        return StreamInPieces(control, text, length, StreamWholeText);
    return StreamWhole(control, text, length, format);
}

bool StreamInOwnRtf(HWND control, const char *text, size_t length)
{
    RtfScreenResult screen = ScreenRtf(text, length);
    if (screen != RTF_READABLE && screen != RTF_TOO_SLOW)
        return false;
    return StreamWhole(control, text, length, SF_RTF);
}

char *EditorWrapper::GetText(int format, int lineEnd)
{
    if (!control)
        return 0;
    if (format < 0)
        format = GetTextMode();

    if (format == TEXT_PLAIN) {
        int length = GetWindowTextLengthA(control);
        char *text = NewTextBuffer((size_t)length + 2);
        if (!text)
            return 0;
        text[0] = 0;
        if (lineEnd == 13 || lineEnd == 10) {
            // Character positions count a paragraph end as one CR.
            TEXTRANGEA range;
            range.chrg.cpMin = 0;
            range.chrg.cpMax = length + 2;
            range.lpstrText = text;
            int copied = (int)SendMessageA(control, EM_GETTEXTRANGE, 0, (LPARAM)&range);
            if (copied < 0)
                copied = 0;
            if (copied > length)
                copied = length;
            text[copied] = 0;
            if (lineEnd == 10)
                for (char *p = text; *p; ++p)
                    if (*p == '\r')
                        *p = '\n';
        } else {
            GetWindowTextA(control, text, length + 2);
            text[length + 1] = 0;
        }
        return text;
    }

    return StreamOutRtf(control);
}

// The control's RTF as its writer wrote it (flags SF_RTF, with SFF_SELECTION for the
// selection), in a new buffer; null when memory runs out or the control reports an error.
static char *StreamOutAsWritten(HWND control, UINT flags)
{
    StreamBuffer buffer = {NewTextBuffer(4096), 4096, 0, false};
    if (!buffer.data)
        return 0;
    buffer.data[0] = 0;
    EDITSTREAM stream = {(DWORD_PTR)&buffer, 0, CollectChunk};
    SendMessageA(control, EM_STREAMOUT, flags, (LPARAM)&stream);
    if (buffer.failed || stream.dwError != 0) {
        delete[] buffer.data;
        return 0;
    }
    return buffer.data;
}

bool RtfWriterExchangesIndents()
{
    static int known = -1;
    if (known >= 0)
        return known != 0;
    HWND probe = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, 0,
                                 0, 0, 0);
    // Without the control's class there is nothing to ask yet: asked again next time.
    if (!probe)
        return false;
    SendMessageA(probe, WM_SETTEXT, 0, (LPARAM) "x");
    CHARRANGE all = {0, -1};
    SendMessageA(probe, EM_EXSETSEL, 0, (LPARAM)&all);
    PARAFORMAT para;
    memset(&para, 0, sizeof para);
    para.cbSize = sizeof para;
    para.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    para.dxStartIndent = PROBE_START_INDENT;
    para.dxOffset = PROBE_OFFSET;
    SendMessageA(probe, EM_SETPARAFORMAT, 0, (LPARAM)&para);
    char *rtf = StreamOutAsWritten(probe, SF_RTF);
    known = rtf && WriterExchangesIndents(rtf, strlen(rtf)) ? 1 : 0;
    delete[] rtf;
    DestroyWindow(probe);
    return known != 0;
}

// rtf (a new buffer, taken over) with its indent words as RTF means them, where the
// writer exchanges them; null when memory runs out.
static char *MendIndents(char *rtf)
{
    if (!rtf || !RtfWriterExchangesIndents())
        return rtf;
    std::string mended = MendExchangedIndents(rtf, strlen(rtf));
    delete[] rtf;
    char *copy = NewTextBuffer(mended.size() + 1);
    if (copy)
        memcpy(copy, mended.c_str(), mended.size() + 1);
    return copy;
}

char *StreamOutRtf(HWND control)
{
    return MendIndents(StreamOutAsWritten(control, SF_RTF));
}

void CopyDefaultFormat(HWND from, HWND to)
{
    CHARFORMAT2W format;
    memset(&format, 0, sizeof format);
    format.cbSize = sizeof format;
    SendMessageW(from, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&format);
    SendMessageW(to, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&format);
}

int EditorWrapper::SetTextMode(int mode)
{
    if (!control || (mode != TEXT_PLAIN && mode != TEXT_RICH))
        return 0;
    int length = GetWindowTextLengthA(control);
    int from = GetTextMode();
    // The text travels as UTF-16, so characters outside the code page survive (Wine's
    // RTF writer would replace them); a switch keeps no formatting either way.
    // Rich to rich keeps the formatting through RTF, unless the RTF screen refuses it:
    // then the text alone comes across, no character lost.
    size_t units = 0;
    bool keepRtf = from == TEXT_RICH && mode == TEXT_RICH;
    char *content = keepRtf ? GetText(TEXT_RICH, LINE_END_CRLF) : 0;
    if (content && ScreenRtf(content, strlen(content)) != RTF_READABLE) {
        delete[] content;
        content = 0;
    }
    char16_t *plain = content ? 0 : GetUnicodeText(control, &units);
    // Without a copy of the text the switch would empty the document.
    if (length && !plain && !content)
        return 0;
    CHARRANGE selection;
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&selection);
    // Setting the text clears the modified flag; a switch must not make unsaved
    // changes look saved.
    LRESULT modified = SendMessageA(control, EM_GETMODIFY, 0, 0);
    // The control only switches while it is empty and its undo stack is clear;
    // emptying the text clears both.
    Empty();
    SendMessageA(control, EM_SETTEXTMODE, mode == TEXT_PLAIN ? TM_PLAINTEXT : TM_RICHTEXT, 0);
    if (length && plain)
        StreamInUnicode(control, plain, units);
    else if (length && content)
        SendMessageA(control, WM_SETTEXT, 0, (LPARAM)content);
    SendMessageA(control, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&selection);
    delete[] plain;
    delete[] content;
    return 1;
}

int EditorWrapper::SetSelection(int start, int end)
{
    if (!control)
        return 0;
    CHARRANGE range = {start, end};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&range);
    return range.cpMax - range.cpMin;
}

int EditorWrapper::GetWrapMode()
{
    if (!control)
        return 0;
    if (lineWidth == 0)
        return WRAP_WINDOW;
    if (lineWidth == 1)
        return WRAP_NONE;
    return WRAP_PAGE;
}

void EditorWrapper::SetWrapMode(int mode, int width, HDC device)
{
    if (!control)
        return;
    if (device) {
        if (mode == WRAP_PAGE && width > 0)
            SendMessageA(control, EM_SETTARGETDEVICE, (WPARAM)device, width * 1440 / 1000);
        return;
    }
    if (mode < 0 && WrapSuspended) {
        // Putting the screen formatting back (after print preview) keeps it unwrapped; a
        // new page width (Page Setup) is kept for when wrapping comes back.
        if (width > 0 && lineWidth != 0 && lineWidth != 1)
            lineWidth = ScreenTwips(width);
        SendMessageA(control, EM_SETTARGETDEVICE, 0, 1);
        return;
    }
    WrapSuspended = false;
    if (mode < 0) {
        if (lineWidth == 0)
            mode = WRAP_WINDOW;
        else if (lineWidth == 1)
            mode = WRAP_NONE;
        else {
            mode = WRAP_PAGE;
            if (width <= 0)
                width = (int)(lineWidth * 1000.0 / 1440.0 + 0.5);
        }
    }
    switch (mode) {
    case WRAP_NONE:
        lineWidth = 1;
        SendMessageA(control, EM_SETTARGETDEVICE, 0, 1);
        break;
    case WRAP_WINDOW:
        lineWidth = 0;
        SendMessageA(control, EM_SETTARGETDEVICE, 0, 0);
        break;
    case WRAP_PAGE: {
        if (width <= 0)
            return;
        HDC screen = GetDC(control);
        lineWidth = ScreenTwips(width);
        SendMessageA(control, EM_SETTARGETDEVICE, (WPARAM)screen, lineWidth);
        ReleaseDC(control, screen);
        break;
    }
    default:
        // A stored setting may hold any number: wrap at that width.
        lineWidth = ScreenTwips(width);
        SendMessageA(control, EM_SETTARGETDEVICE, 0, lineWidth);
        break;
    }
}

void EditorWrapper::SuspendWrap()
{
    if (!control)
        return;
    WrapSuspended = true;
    SendMessageA(control, EM_SETTARGETDEVICE, 0, 1);
}

void EditorWrapper::ResumeWrap()
{
    if (!control || !WrapSuspended)
        return;
    WrapSuspended = false;
    SetWrapMode(-1, 0);
}

bool EditorWrapper::IsWrapSuspended()
{
    return control && WrapSuspended;
}

// The control's own window procedure, behind PasteGuard.
static WNDPROC ControlProcedure = 0;

// A long plain text replaced in one piece by a new control (ReplaceAllTextAsOneStep)
// leaves the control nothing to undo: the text before waits here, under the control's
// own undo steps, for the Undo that finds none left.
static std::u16string TextBefore;
static bool TextBeforeHeld = false;
static bool ModifiedBefore = false;

static void RestoreTextBefore()
{
    std::u16string text;
    text.swap(TextBefore);
    TextBeforeHeld = false;
    bool savedSince = !SendMessageA(EditorControl.control, EM_GETMODIFY, 0, 0);
    HWND fresh = EditorControl.Empty();
    StreamInUnicode(fresh, text.data(), text.size());
    // Unless the replaced text was saved meanwhile, the document is as it was before.
    SendMessageA(fresh, EM_SETMODIFY, savedSince || ModifiedBefore, 0);
    EditorControl.SetSelection(0, 0);
}

// What another thread may not send the control while a text goes in by pieces.
static bool ChangesControl(UINT message)
{
    switch (message) {
    case WM_SETTEXT: case EM_REPLACESEL: case EM_STREAMIN: case EM_SETTEXTEX:
    case WM_CHAR: case WM_KEYDOWN: case WM_CUT: case WM_PASTE: case WM_CLEAR:
    case WM_UNDO: case EM_UNDO: case EM_REDO: case EM_SETSEL: case EM_EXSETSEL:
    case EM_SETTEXTMODE: case EM_SETCHARFORMAT: case EM_SETPARAFORMAT: case WM_SETFONT:
    case EM_LIMITTEXT: case EM_EXLIMITTEXT: case EM_SETTARGETDEVICE: case WM_SETREDRAW:
        return true;
    }
    return false;
}

// Copies the selection of a rich text to the clipboard with the RTF mended, where the
// control's writer exchanges indents (its own copy would hand them on exchanged); false,
// with nothing done, elsewhere and for an empty selection.
static bool CopyMendedSelection(HWND control)
{
    if ((CallWindowProcA(ControlProcedure, control, EM_GETTEXTMODE, 0, 0) & 3) != TM_RICHTEXT)
        return false;
    CHARRANGE selection;
    CallWindowProcA(ControlProcedure, control, EM_EXGETSEL, 0, (LPARAM)&selection);
    if (selection.cpMin == selection.cpMax || !RtfWriterExchangesIndents())
        return false;
    char *rtf = MendIndents(StreamOutAsWritten(control, SF_RTF | SFF_SELECTION));
    // Each paragraph end may become CR LF.
    size_t units = 2 * (size_t)(selection.cpMax - selection.cpMin) + 2;
    HGLOBAL text = rtf ? GlobalAlloc(GMEM_MOVEABLE, units * sizeof(char16_t)) : 0;
    HGLOBAL rich = text ? GlobalAlloc(GMEM_MOVEABLE, strlen(rtf) + 1) : 0;
    bool copied = false;
    if (rich) {
        GETTEXTEX request;
        memset(&request, 0, sizeof request);
        request.cb = (DWORD)(units * sizeof(char16_t));
        request.flags = GT_SELECTION | GT_USECRLF;
        request.codepage = 1200;
        char16_t *unicode = (char16_t *)GlobalLock(text);
        unicode[0] = 0;
        CallWindowProcA(ControlProcedure, control, EM_GETTEXTEX, (WPARAM)&request, (LPARAM)unicode);
        unicode[units - 1] = 0;
        GlobalUnlock(text);
        memcpy(GlobalLock(rich), rtf, strlen(rtf) + 1);
        GlobalUnlock(rich);
        if (OpenClipboard(control)) {
            EmptyClipboard();
            // The clipboard owns what it took.
            if (SetClipboardData(CF_UNICODETEXT, text))
                text = 0;
            if (SetClipboardData(RegisterClipboardFormatA(CF_RTF), rich))
                rich = 0;
            copied = !text && !rich;
            CloseClipboard();
        }
    }
    if (text)
        GlobalFree(text);
    if (rich)
        GlobalFree(rich);
    delete[] rtf;
    return copied;
}

// Copy and Cut of the program's control, by message or by key.
static bool CopyOrCut(HWND window, UINT message, WPARAM wParam, bool control, bool shift)
{
    bool copyKey = message == WM_KEYDOWN && control && !shift && (wParam == 'C' || wParam == VK_INSERT);
    bool cutKey = message == WM_KEYDOWN && ((wParam == 'X' && control && !shift) ||
                                            (wParam == VK_DELETE && shift && !control));
    bool cut = message == WM_CUT || cutKey;
    if (!(message == WM_COPY || copyKey || cut) || !CopyMendedSelection(window))
        return false;
    if (cut && !(GetWindowLongA(window, GWL_STYLE) & ES_READONLY))
        CallWindowProcA(ControlProcedure, window, EM_REPLACESEL, TRUE, (LPARAM) "");
    return true;
}

// The control reads RTF on the clipboard with the same reader as files: its pastes go
// through the screen first. Its copies of rich text carry RTF mended as all RTF the
// program hands on.
static LRESULT CALLBACK PasteGuard(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LoadingInPieces && InSendMessage() && ChangesControl(message))
        return 0;
    bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    bool pasteKey = message == WM_KEYDOWN && ((wParam == 'V' && control && !shift) ||
                                              (wParam == VK_INSERT && shift && !control));
    if (message == WM_PASTE || pasteKey) {
        EditorControl.Paste();
        return 0;
    }
    if (CopyOrCut(window, message, wParam, control, shift))
        return 0;
    if (TextBeforeHeld && window == EditorControl.control) {
        bool undoKey = message == WM_KEYDOWN && wParam == 'Z' && control && !shift;
        if (message == EM_CANUNDO)
            return 1;
        if ((message == EM_UNDO || message == WM_UNDO || undoKey) &&
            !CallWindowProcA(ControlProcedure, window, EM_CANUNDO, 0, 0)) {
            RestoreTextBefore();  // window is gone now
            return 1;
        }
    }
    return CallWindowProcA(ControlProcedure, window, message, wParam, lParam);
}

void EditorWrapper::ScreenPastes()
{
    if (!control || (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC) == PasteGuard)
        return;
    // Every RichEdit20A window has the same class procedure.
    ControlProcedure =
        (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)PasteGuard);
}

void (*OnEditorReplaced)(HWND previous, HWND fresh) = 0;

HWND EditorWrapper::Empty()
{
    if (!control)
        return 0;
    TextBeforeHeld = false;
    TextBefore.clear();
    HWND old = control;
    // A hook on the control may hold text that belongs before the emptying; any
    // message that reads the text lets it go in first.
    SendMessageA(old, EM_GETMODIFY, 0, 0);
    HWND parent = GetParent(old), fresh = 0;
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(0, parent, (POINT *)&place, 2);
    if (SendMessageA(old, EM_GETLINECOUNT, 0, 0) > EMPTY_BY_NEW_CONTROL)
        fresh = CreateWindowExA(GetWindowLongA(old, GWL_EXSTYLE), "RichEdit20A", "",
                                GetWindowLongA(old, GWL_STYLE), place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parent,
                                (HMENU)(INT_PTR)GetDlgCtrlID(old),
                                (HINSTANCE)GetWindowLongPtrA(old, GWLP_HINSTANCE), 0);
    if (!fresh) {
        SendMessageA(old, WM_SETTEXT, 0, (LPARAM) "");
        SendMessageA(old, EM_SETMODIFY, FALSE, 0);
        return old;
    }
    // The settings the program gives its control, in the order start-up gives them.
    SendMessageA(fresh, EM_SETEVENTMASK, 0, 0);
    SendMessageA(fresh, EM_SETTEXTMODE, SendMessageA(old, EM_GETTEXTMODE, 0, 0), 0);
    SendMessageA(fresh, EM_SETOPTIONS, ECOOP_SET, SendMessageA(old, EM_GETOPTIONS, 0, 0));
    SendMessageA(fresh, EM_EXLIMITTEXT, 0, SendMessageA(old, EM_GETLIMITTEXT, 0, 0));
    COLORREF background = (COLORREF)SendMessageA(old, EM_SETBKGNDCOLOR, 0, 0xFFFFFF);
    SendMessageA(old, EM_SETBKGNDCOLOR, 0, background);
    SendMessageA(fresh, EM_SETBKGNDCOLOR, 0, background);
    CopyDefaultFormat(old, fresh);
    WPARAM numerator = 0;
    LPARAM denominator = 0;
    if (SendMessageA(old, EM_GETZOOM, (WPARAM)&numerator, (LPARAM)&denominator) && denominator)
        SendMessageA(fresh, EM_SETZOOM, numerator, denominator);
    bool focused = GetFocus() == old;
    control = fresh;
    if ((WNDPROC)GetWindowLongPtrA(old, GWLP_WNDPROC) == PasteGuard)
        ScreenPastes();
    SetWrapMode(-1, 0);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, SendMessageA(old, EM_GETEVENTMASK, 0, 0));
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused)
        SetFocus(fresh);
    DestroyWindow(old);
    if (OnEditorReplaced)
        OnEditorReplaced(old, fresh);
    return fresh;
}

// Whether the clipboard holds RTF that the screen refuses.
static bool ClipboardRtfRefused(HWND owner)
{
    UINT format = RegisterClipboardFormatA(CF_RTF);
    if (!IsClipboardFormatAvailable(format) || !OpenClipboard(owner))
        return false;
    bool refused = false;
    HANDLE data = GetClipboardData(format);
    const char *text = data ? (const char *)GlobalLock(data) : 0;
    if (text) {
        SIZE_T size = GlobalSize(data);
        size_t length = 0;
        while (length < size && text[length])
            ++length;
        refused = ScreenRtf(text, length) != RTF_READABLE;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return refused;
}

// The clipboard's text as UTF-16 (without its terminator); false when it has none.
static bool ClipboardUnicodeText(HWND owner, std::u16string *text)
{
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
        return false;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const char16_t *units = data ? (const char16_t *)GlobalLock(data) : 0;
    if (units) {
        size_t size = GlobalSize(data) / sizeof(char16_t), length = 0;
        while (length < size && units[length])
            ++length;
        text->assign(units, length);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return units != 0;
}

void EditorWrapper::Paste()
{
    // A read-only control (a view of a file) takes nothing, as it refuses typing.
    if (!control || (GetWindowLongA(control, GWL_STYLE) & ES_READONLY))
        return;
    // Wine's control pastes into plain text by replacing the whole text with the
    // clipboard's; the text goes in at the selection here instead, with one kind of
    // line end (as a file's does: CR CR LF would become a space).
    std::u16string text;
    if (GetTextMode() == TEXT_PLAIN && ClipboardUnicodeText(control, &text)) {
        text.resize(WriteLineEnds(&text[0], text.size(), LINE_ENDS_LF, &text[0]));
        ReplaceSelectionUnicode(control, text.data(), text.size());
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
        return;
    }
    WNDPROC procedure = ControlProcedure;
    if (!procedure)
        procedure = (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (ClipboardRtfRefused(control))
        CallWindowProcA(procedure, control, EM_PASTESPECIAL, CF_UNICODETEXT, 0);
    else
        CallWindowProcA(procedure, control, WM_PASTE, 0, 0);
}

const char *EditorWrapper::GetEditState()
{
    static char letters[8];
    letters[0] = 0;
    if (!control)
        return letters;
    char *p = letters;
    CHARRANGE selection;
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&selection);
    if (selection.cpMin != selection.cpMax)
        *p++ = 'c';
    if (SendMessageA(control, EM_CANPASTE, 0, 0))
        *p++ = 'p';
    if (SendMessageA(control, EM_CANUNDO, 0, 0))
        *p++ = 'u';
    if (SendMessageA(control, EM_CANREDO, 0, 0))
        *p++ = 'r';
    *p = 0;
    return letters;
}

int EditorWrapper::SetTextLimit(int limit)
{
    if (!control)
        return 0;
    SendMessageA(control, EM_EXLIMITTEXT, 0, limit);
    return (int)SendMessageA(control, EM_GETLIMITTEXT, 0, 0);
}

char16_t *GetUnicodeText(HWND control, size_t *length, bool crlf)
{
    *length = 0;
    if (!control)
        return 0;
    GETTEXTLENGTHEX measure = {(DWORD)((crlf ? GTL_USECRLF : 0) | GTL_PRECISE | GTL_NUMCHARS), 1200};
    LRESULT units = SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&measure, 0);
    if (units < 0)
        return 0;
    char16_t *text = NewUnicodeBuffer((size_t)units + 1);
    if (!text)
        return 0;
    GETTEXTEX request;
    memset(&request, 0, sizeof request);
    request.cb = (DWORD)((units + 1) * sizeof(char16_t));
    request.flags = crlf ? GT_USECRLF : GT_DEFAULT;
    request.codepage = 1200;
    LRESULT copied = SendMessageA(control, EM_GETTEXTEX, (WPARAM)&request, (LPARAM)text);
    if (copied < 0)
        copied = 0;
    if (copied > units)
        copied = units;
    text[copied] = 0;
    *length = (size_t)copied;
    return text;
}

namespace {

struct UnicodeSource {
    const char16_t *next;
    size_t left;
};

DWORD CALLBACK GiveUnicodeChunk(DWORD_PTR cookie, LPBYTE chunk, LONG capacity, LONG *given)
{
    UnicodeSource *source = (UnicodeSource *)cookie;
    size_t room = (size_t)capacity / sizeof(char16_t);
    size_t n = source->left < room ? source->left : room;
    // Neither a CR LF nor a surrogate pair may be split between two chunks.
    if (n > 1 && n < source->left &&
        ((source->next[n - 1] == '\r' && source->next[n] == '\n') ||
         (source->next[n - 1] >= 0xD800 && source->next[n - 1] <= 0xDBFF)))
        --n;
    memcpy(chunk, source->next, n * sizeof(char16_t));
    source->next += n;
    source->left -= n;
    *given = (LONG)(n * sizeof(char16_t));
    return 0;
}

}  // namespace

static bool StreamWholeUnicode(HWND control, const char16_t *text, size_t n)
{
    UnicodeSource source = {text, n};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, GiveUnicodeChunk};
    SendMessageA(control, EM_STREAMIN, SF_TEXT | SF_UNICODE, (LPARAM)&stream);
    return stream.dwError == 0 && source.left == 0;
}

bool StreamInUnicode(HWND control, const char16_t *text, size_t n)
{
    if (PieceEnd(text, n, 0) < n)
        return StreamInPieces(control, text, n, StreamWholeUnicode);
    return StreamWholeUnicode(control, text, n);
}

void ReplaceSelectionUnicode(HWND control, const char16_t *text, size_t n, bool undo)
{
    // EM_SETTEXTEX wants a terminated text.
    std::u16string copy(text, n);
    SETTEXTEX how = {(DWORD)(ST_SELECTION | (undo ? ST_KEEPUNDO : 0)), 1200};
    SendMessageA(control, EM_SETTEXTEX, (WPARAM)&how, (LPARAM)copy.c_str());
}

// Whether the text before a change can be kept for Undo: the program's own plain-text
// control, whose undo messages PasteGuard sees.
static bool KeepsTextBefore(HWND control)
{
    return control == EditorControl.control && EditorControl.GetTextMode() == TEXT_PLAIN &&
           (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC) == PasteGuard;
}

template <typename Char>
static void AppendText(HWND control, const Char *text, size_t length)
{
    if (!control || length == 0)
        return;
    if (PieceEnd(text, length, 0) == length) {
        MoveCaretToEnd(control);
        AppendPiece(control, text, length, true);
        SendMessageA(control, EM_SETMODIFY, TRUE, 0);
        return;
    }
    // A long text in one step keeps Wine's control busy for many seconds (10 MB: 25 s).
    bool modified = SendMessageA(control, EM_GETMODIFY, 0, 0) != 0;
    bool kept = false;
    if (KeepsTextBefore(control)) {
        size_t units = 0;
        char16_t *read = GetUnicodeText(control, &units);
        if (read) {
            TextBefore.assign(read, units);
            delete[] read;
            TextBeforeHeld = kept = true;
            ModifiedBefore = modified;
            SendMessageA(control, EM_SETUNDOLIMIT, 0, 0);  // see StreamInPieces
        }
    }
    AppendPieces(control, text, length, 0, !kept);
    if (kept && IsWindow(control))
        SendMessageA(control, EM_SETUNDOLIMIT, DEFAULT_UNDO_LIMIT, 0);
    SendMessageA(control, EM_SETMODIFY, TRUE, 0);
}

static LONG TextEnd(HWND control)
{
    GETTEXTLENGTHEX count = {GTL_NUMCHARS, 1200};
    return (LONG)SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&count, 0);
}

static ViewPlace ReadViewPlace(HWND control)
{
    CHARRANGE range = {0, 0};
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&range);
    ViewPlace place = {range.cpMin, range.cpMax,
                       (int)SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0)};
    return place;
}

static void PutViewPlace(HWND control, const ViewPlace &place)
{
    LONG end = TextEnd(control);
    CHARRANGE range = {place.selectionStart < end ? place.selectionStart : end,
                       place.selectionEnd < end ? place.selectionEnd : end};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
    int now = (int)SendMessageA(control, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(control, EM_LINESCROLL, 0, place.firstVisibleLine - now);
}

void AppendFollowed(HWND control, const char16_t *text, size_t length)
{
    if (!control || length == 0)
        return;
    ViewPlace place = ReadViewPlace(control);
    bool atEnd = place.selectionStart == place.selectionEnd && place.selectionEnd >= TextEnd(control);
    LRESULT modified = SendMessageA(control, EM_GETMODIFY, 0, 0);
    // An Undo could no longer bring back a text held from before: the steps it follows
    // are gone.
    if (control == EditorControl.control) {
        TextBeforeHeld = false;
        TextBefore.clear();
    }
    AppendPieces(control, text, length, 0, false);
    if (!IsWindow(control))
        return;
    SendMessageA(control, EM_SETMODIFY, modified, 0);
    if (atEnd) {
        MoveCaretToEnd(control);
        SendMessageA(control, EM_SCROLLCARET, 0, 0);
    } else {
        PutViewPlace(control, place);
    }
}

ViewPlace EditorWrapper::GetViewPlace()
{
    ViewPlace place = {0, 0, 0};
    return control ? ReadViewPlace(control) : place;
}

void EditorWrapper::SetViewPlace(const ViewPlace &place)
{
    if (control)
        PutViewPlace(control, place);
}

void AppendPlainText(HWND control, const char *text, size_t length)
{
    AppendText(control, text, length);
}

void AppendPlainText(HWND control, const char16_t *text, size_t length)
{
    AppendText(control, text, length);
}

void ReplaceAllTextAsOneStep(HWND control, const wchar_t *text, size_t length,
                             const char16_t *before, size_t beforeLength)
{
    if (!control)
        return;
    // Streaming is not held to the text limit the way typing is; raise it anyway so
    // no control version cuts the text short.
    int limit = (int)SendMessageA(control, EM_GETLIMITTEXT, 0, 0);
    long long needed = (long long)length + 1;
    if (needed > limit)
        SendMessageA(control, EM_EXLIMITTEXT, 0, (LPARAM)(needed > 0x7FFFFFFF ? 0x7FFFFFFF : needed));
    // Wine's control takes minutes to remove tens of thousands of lines (see Empty): a
    // long plain text goes with its control, and Undo brings it back from a copy.
    if (KeepsTextBefore(control) &&
        SendMessageA(control, EM_GETLINECOUNT, 0, 0) > EMPTY_BY_NEW_CONTROL) {
        size_t units = beforeLength;
        char16_t *read = before ? 0 : GetUnicodeText(control, &units);
        if (before || read) {
            bool modified = SendMessageA(control, EM_GETMODIFY, 0, 0) != 0;
            std::u16string kept(before ? before : read, units);
            delete[] read;
            HWND fresh = EditorControl.Empty();
            if (!StreamInUnicode(fresh, (const char16_t *)text, length)) {
                // Nothing may be lost: the text as it was, then.
                fresh = EditorControl.Empty();
                StreamInUnicode(fresh, kept.data(), kept.size());
                SendMessageA(fresh, EM_SETMODIFY, modified, 0);
                return;
            }
            TextBefore.swap(kept);
            TextBeforeHeld = true;
            ModifiedBefore = modified;
            SendMessageA(fresh, EM_SETMODIFY, TRUE, 0);
            return;
        }
    }
    // SF_TEXT reads "{\rtf" as text; SFF_SELECTION keeps the undo stack and records
    // the exchange as one step. Wine replaces the whole plain text whatever the
    // selection, so the selection is the whole text everywhere.
    CHARRANGE range = {0, -1};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
    UnicodeSource source = {(const char16_t *)text, length};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, GiveUnicodeChunk};
    SendMessageA(control, EM_STREAMIN, SF_TEXT | SF_UNICODE | SFF_SELECTION, (LPARAM)&stream);
    SendMessageA(control, EM_SETMODIFY, TRUE, 0);
}
