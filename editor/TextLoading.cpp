// Long plain texts loaded and appended piece by piece, answering other threads meanwhile.
#include "editor/EditorControl.h"

#include <richedit.h>
#include <string>

#include "editor/AddressSpace.h"
#include "editor/ControlInternals.h"
#include "editor/RtfScreen.h"
#include "editor/TextPieces.h"

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
    LONG end = TextEnd(control);
    CHARRANGE range = {end, end}, now;
    SendMessageA(control, EM_EXGETSEL, 0, (LPARAM)&now);
    if (!always && now.cpMin == end && now.cpMax == end)
        return;
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
}

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

// Appends text[from, length) at the end piece by piece, with what other threads and
// programs sent meanwhile answered between the pieces, so that the program is not taken
// for hung (input waits in the queue); each piece is an undo step when undo is true.
// False when the control went away.
template <typename Char>
static bool AppendPieces(HWND control, const Char *text, size_t length, size_t from, bool undo)
{
    long long needed = TextEnd(control) + (long long)(length - from) + 1;
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

static bool StreamWholeUnicode(HWND control, const char16_t *text, size_t n)
{
    return StreamUnicode(control, text, n, SF_TEXT | SF_UNICODE);
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

bool StreamInUnicode(HWND control, const char16_t *text, size_t n)
{
    if (PieceEnd(text, n, 0) < n)
        return StreamInPieces(control, text, n, StreamWholeUnicode);
    return StreamWholeUnicode(control, text, n);
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
    bool kept = HoldTextBefore(control, modified);
    if (kept)
        SendMessageA(control, EM_SETUNDOLIMIT, 0, 0);  // see StreamInPieces
    AppendPieces(control, text, length, 0, !kept);
    if (kept && IsWindow(control))
        SendMessageA(control, EM_SETUNDOLIMIT, DEFAULT_UNDO_LIMIT, 0);
    SendMessageA(control, EM_SETMODIFY, TRUE, 0);
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
    if (control == EditorControl.control)
        DropTextBefore();
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

void AppendPlainText(HWND control, const char *text, size_t length)
{
    AppendText(control, text, length);
}

void AppendPlainText(HWND control, const char16_t *text, size_t length)
{
    AppendText(control, text, length);
}
