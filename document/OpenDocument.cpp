#include "document/OpenDocument.h"

#include <commdlg.h>
#include <commctrl.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>
#include <new>

#include "app/App.h"
#include "app/DocumentStatus.h"
#include "app/Settings.h"
#include "app/Toolbar.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/LineEnds.h"
#include "document/FileWatch.h"
#include "document/TextEncoding.h"
#include "editor/EditorControl.h"
#include "editor/RtfScreen.h"
#include "editor/TextPieces.h"
#include "document/LongLines.h"
#include "document/LoadCost.h"
#include "document/FileView.h"
#include "editor/AddressSpace.h"

int DocumentFormat = FORMAT_PLAIN;
bool Utf8ByteOrderMark = false;
int OpenChoice = 0;
int DropIndex = 0;
double LoadMemoryLimit = MOST_CONTROL_BYTES;

static char OpenPath[260] = "";

enum FileCheck { FILE_READABLE, FILE_UNREADABLE, FILE_TOO_LARGE };

static HANDLE OpenForReading(const char *path)
{
    // Logs are read while their writers still hold them open.
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, 0, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, 0);
}

static FileCheck CheckFile(const char *path)
{
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return FILE_UNREADABLE;
    LARGE_INTEGER length;
    BOOL sized = GetFileSizeEx(file, &length);
    CloseHandle(file);
    if (!sized)
        return FILE_UNREADABLE;
    return length.QuadPart > LARGEST_FILE ? FILE_TOO_LARGE : FILE_READABLE;
}

static void ReportTooLarge(HWND owner)
{
    MessageBoxA(owner, "File is too large to open.", SettingsSection, MB_OK | MB_ICONEXCLAMATION);
}

enum ReadResult { READ_WHOLE, READ_UNOPENED, READ_NO_MEMORY, READ_SHORT };

// Reads the whole file and a terminator into a new buffer (*data); count is its size.
static ReadResult ReadWholeFile(const char *path, char **data, size_t *count)
{
    *data = 0;
    *count = 0;
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return READ_UNOPENED;
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length) || length.QuadPart > LARGEST_FILE) {
        CloseHandle(file);
        return READ_UNOPENED;
    }
    size_t wanted = (size_t)length.QuadPart;
    char *buffer = new (std::nothrow) char[wanted + 1];
    if (!buffer) {
        CloseHandle(file);
        return READ_NO_MEMORY;
    }
    size_t total = 0;
    while (total < wanted) {
        DWORD chunk = wanted - total > (1u << 24) ? (1u << 24) : (DWORD)(wanted - total);
        DWORD read = 0;
        if (!ReadFile(file, buffer + total, chunk, &read, 0) || read == 0)
            break;
        total += read;
    }
    // Whether the file changes while it is open is judged against what was read.
    if (total == wanted)
        NoteFileRead(file, path, buffer, total);
    CloseHandle(file);
    // Fewer bytes than the file's size is not the file: treated as not read at all.
    if (total < wanted) {
        delete[] buffer;
        return READ_SHORT;
    }
    buffer[total] = 0;
    *data = buffer;
    *count = total;
    return READ_WHOLE;
}

static void ReportLoadFailure(HWND owner, ReadResult result)
{
    const char *message = result == READ_NO_MEMORY
                              ? "Not enough memory to open file."
                              : "Failed to open file: it could not be read completely.";
    MessageBoxA(owner, message, AppName, MB_OK | MB_ICONEXCLAMATION);
}

// While a long plain text goes in by pieces: the first piece is painted, the status bar
// shows "Loading 37 %", keys typed are dropped (the document is read-only until the
// load ends, which the status bar then says) and Esc stops the load where it is.
static HWND LoadingEditor = 0;
static bool LoadKeyTyped = false;
static bool LoadStoppedByEsc = false;

// Set by LoadFile: the text ended at a null character before the end of the file, or
// (CutForMemory, with the lines kept) where the memory left for the control ran out.
static bool LoadedInPart = false;
static bool CutForMemory = false;
static size_t LinesKept = 0;
// Set by OpenDocument for LoadFile: lines the control cannot show quickly are broken.
static bool BreakLines = false;

static void ReportLoadedInPart(HWND owner, bool append)
{
    // The user stopped the load: the status bar has said what goes on.
    if (LoadStoppedByEsc)
        return;
    if (CutForMemory) {
        char text[400];
        snprintf(text, sizeof text,
                 append ? "File is too large for the memory the editor has left: only its first "
                          "%lu lines were appended."
                        : "File is too large for the memory the editor has left: only its first "
                          "%lu lines were opened.\n\nThe document is untitled, so that saving it "
                          "cannot shorten the file.",
                 (unsigned long)LinesKept);
        MessageBoxA(owner, text, AppName, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const char *message =
        append ? "File contains a null character: only the text before it was appended."
               : "File contains a null character: only the text before it was opened.\n\n"
                 "The document is untitled, so that saving it cannot shorten the file.";
    MessageBoxA(owner, message, AppName, MB_OK | MB_ICONEXCLAMATION);
}

// Empties editor; the program's own control may be replaced by a new one (returned).
static HWND EmptyEditor(HWND editor)
{
    if (editor == EditorControl.control)
        return EditorControl.Empty();
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "");
    return editor;
}

// After a stream into the emptied editor: the modified flag, the caret at the start,
// and the drawing back on. A stream that stopped short (RTF cut off, an error in the
// control) holds only part of the file, so nothing of it stays: 0, after saying so.
static int FinishLoad(HWND editor, bool whole, bool append, bool empty)
{
    if (!whole)
        editor = EmptyEditor(editor);
    // A freshly loaded document has no changes; appended data is a change to the
    // document it went into, named or not.
    SendMessageA(editor, EM_SETMODIFY, whole && append && !empty, 0);
    EditorControl.SetSelection(0, 1);
    EditorControl.SetSelection(0, 0);
    SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editor, 0, TRUE);
    if (whole)
        return 1;
    LoadedInPart = false;
    ReportLoadFailure(GetParent(editor), PiecesStoppedForMemory() ? READ_NO_MEMORY : READ_SHORT);
    return 0;
}


static bool ShowLoadProgress(size_t done, size_t total)
{
    MSG message;
    while (PeekMessageA(&message, 0, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
            LoadStoppedByEsc = true;
        else if (message.message == WM_KEYDOWN || message.message == WM_CHAR)
            LoadKeyTyped = true;
    }
    if (LoadStoppedByEsc)
        return false;
    // The first piece is painted once; drawing stays off for the rest (FinishLoad).
    if (LoadingEditor) {
        SendMessageA(LoadingEditor, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(LoadingEditor, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SendMessageA(LoadingEditor, WM_SETREDRAW, FALSE, 0);
        LoadingEditor = 0;
    }
    if (StatusBar && !OutputWindowMode()) {
        char text[96];
        snprintf(text, sizeof text, "Loading %u %%%s", (unsigned)(total ? done * 100 / total : 0),
                 LoadKeyTyped ? "    Read-only until the file is loaded (Esc stops it)" : "");
        SendMessageA(StatusBar, SB_SETTEXTA, 0, (LPARAM)text);
    }
    // What is in so far shows, and the window paints while the rest goes in.
    while (PeekMessageA(&message, 0, WM_PAINT, WM_PAINT, PM_REMOVE))
        DispatchMessageA(&message);
    return true;
}

static void StartLoadProgress(HWND editor)
{
    LoadingEditor = editor;
    LoadKeyTyped = LoadStoppedByEsc = false;
    PieceProgress = ShowLoadProgress;
}

// After the stream: a load stopped by Esc holds the text's first lines, which open as
// an untitled document (so that no save can cut the file down to them).
static void EndLoadProgress()
{
    PieceProgress = 0;
    LoadingEditor = 0;
    if (LoadStoppedByEsc && PiecesStoppedByProgress())
        LoadedInPart = true;
}

// Records the line ends of the text a load brings in as the document's (none: CR LF).
static void NoteLineEnds(const LineEndCount &count)
{
    DocumentLineEnds = MajorityLineEnds(count);
    DocumentLineEndsMixed = HasMixedLineEnds(count);
}

static bool AskSixteenBit(HWND owner)
{
    return MessageBoxA(owner, "File appears to be in Multi-Byte (Unicode) format.\n\nOpen as such?",
                       SettingsSection, MB_YESNO) == IDYES;
}

// Empties the editor for a new text in the given mode (plain text gets the document font
// back), unwrapped when it holds very long lines; drawing stays off until FinishLoad.
static void StartReplacing(HWND &editor, bool rich, bool longLines)
{
    editor = EmptyEditor(editor);
    // Redrawing while a large text streams in costs more than the reading.
    SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
    bool own = editor == EditorControl.control;
    EditorControl.SetTextMode(rich ? TEXT_RICH : TEXT_PLAIN);
    if (own)
        editor = EditorControl.control;  // a mode switch may put a new control in place
    if (!rich)
        SendMessageA(editor, WM_SETFONT, (WPARAM)DocumentFont, 0);
    if (longLines)
        EditorControl.SuspendWrap();
    else
        EditorControl.ResumeWrap();
}

// Wrapping a very long line takes minutes, and long lines add up: such plain text is
// shown unwrapped.
template <typename Char>
static bool WrapsTooSlowly(const Char *text, size_t n)
{
    return LongestLine(text, n) > LONGEST_WRAPPED_LINE ||
           SquaredLineLengths(text, n) > MOST_WRAPPED_SQUARES;
}

// How much of a plain text (one kind of line end) the control can hold in the memory
// left, by its content's measured cost: all of it, or its first lines. Cutting it says
// so in LoadedInPart.
template <typename Char>
static size_t FittingLength(const Char *text, size_t n)
{
    TextCost cost = CountTextCost(text, n);
    double budget = ControlBudget(AddressSpaceLeft(), 0, LoadMemoryLimit);
    double chars = CharactersThatFit(cost, budget);
    if (chars >= cost.chars)
        return n;
    size_t kept = FittingPrefix(text, n, (size_t)chars);
    LoadedInPart = CutForMemory = true;
    LinesKept = 0;
    for (size_t i = 0; i < kept; ++i)
        LinesKept += text[i] == '\n';
    return kept;
}

// Puts UTF-16 text in as plain text: appended at the end as one undoable step to a
// non-empty document, else replacing it. Returns 1, or 0 when it did not all go in.
static int LoadUnicode(HWND editor, const std::u16string &text, bool append)
{
    int existing = GetWindowTextLengthA(editor);
    SendMessageA(editor, EM_EXLIMITTEXT, 0, existing + text.size() + 32768);
    bool longLines = WrapsTooSlowly(text.data(), text.size());
    if (append && existing > 0) {
        if (longLines)
            EditorControl.SuspendWrap();
        AppendPlainText(editor, text.data(), text.size());
        return 1;
    }
    StartReplacing(editor, false, longLines);
    StartLoadProgress(editor);
    bool whole = StreamInUnicode(editor, text.data(), text.size());
    EndLoadProgress();
    return FinishLoad(editor, whole, append, text.empty());
}

int LoadFile(HWND editor, const char *path, bool append, bool plainOnly)
{
    LoadedInPart = CutForMemory = LoadStoppedByEsc = false;
    if (!editor)
        return 0;
    HWND owner = GetParent(editor);
    char *data = 0;
    size_t count = 0;
    ReadResult read = ReadWholeFile(path, &data, &count);
    if (read == READ_UNOPENED)
        return 0;
    if (read != READ_WHOLE) {
        ReportLoadFailure(owner, read);
        return 0;
    }
    if (!append) {
        DocumentFormat = FORMAT_PLAIN;
        // A mark belongs to the file that had it, not to the next one saved as UTF-8.
        Utf8ByteOrderMark = false;
        NoteLineEnds(LineEndCount());
    }

    unsigned char *bytes = (unsigned char *)data;
    // 16-bit and UTF-8 text go to the control as UTF-16, so every character survives.
    std::u16string wide;
    bool unicode = false;
    static const int sixteenBit[] = {FORMAT_MULTI_BYTE, FORMAT_UNICODE_LE, FORMAT_UNICODE_BE};
    for (int format : sixteenBit) {
        if (LooksSixteenBit(format, bytes, count) && AskSixteenBit(owner)) {
            wide = DecodeSixteenBit(format, bytes, count);
            unicode = true;
            if (!append)
                DocumentFormat = format;
            break;
        }
    }
    if (!unicode && strncmp(data, "{\\rtf", 5) != 0 &&
        (HasUtf8ByteOrderMark(bytes, count) || LooksUtf8(bytes, count))) {
        wide = DecodeUtf8(bytes, count);
        unicode = true;
        if (!append) {
            DocumentFormat = FORMAT_UTF8;
            Utf8ByteOrderMark = HasUtf8ByteOrderMark(bytes, count);
        }
    }
    if (unicode) {
        // A zero character ends the text, as a zero byte does for 8-bit text.
        size_t zero = wide.find(u'\0');
        LoadedInPart = zero != std::u16string::npos;
        if (LoadedInPart)
            wide.resize(zero);
        if (!append)
            NoteLineEnds(CountLineEnds(wide.data(), wide.size()));
        if (BreakLines)
            wide = BreakLongLines(wide.data(), wide.size());
        // The document's style is kept apart (the save writes it): the control gets
        // one kind of line end, which it cannot misread (CR CR LF would become a space).
        wide.resize(WriteLineEnds(&wide[0], wide.size(), LINE_ENDS_LF, &wide[0]));
        wide.resize(FittingLength(wide.data(), wide.size()));
        int done = LoadUnicode(editor, wide, append);
        delete[] data;
        return done;
    }
    // A null character ends the text, as it would for any text message; OpenDocument
    // tells the user and keeps a later save from shortening the file.
    size_t length = strlen(data);
    LoadedInPart = length < count;

    // RTF the control cannot read safely comes in as its plain text (the user has been
    // asked when the file itself begins with RTF).
    size_t longest = 0;
    double squares = 0;
    if (BeginsAsRtf(data, length) && ScreenRtf(data, length, &longest, &squares) != RTF_READABLE)
        plainOnly = true;
    bool rich = !plainOnly && strncmp(data, "{\\rtf", 5) == 0;
    if (!append && !rich)
        NoteLineEnds(CountLineEnds(data, length));
    if (BreakLines && !rich) {
        std::string broken = BreakLongLines(data, length);
        char *copy = NewTextBuffer(broken.size() + 1);
        if (copy) {
            memcpy(copy, broken.c_str(), broken.size() + 1);
            delete[] data;
            data = copy;
            length = broken.size();
        }
    }
    if (!rich) {
        // One kind of line end, as for UTF-16 above (trail bytes are never CR or LF).
        length = WriteLineEnds(data, length, LINE_ENDS_LF, data);
        length = FittingLength(data, length);
        data[length] = 0;
    }
    bool longLines = rich ? longest > LONGEST_WRAPPED_LINE || squares > MOST_WRAPPED_RTF_SQUARES
                          : WrapsTooSlowly(data, length);

    int existing = GetWindowTextLengthA(editor);
    if (append && existing > 0) {
        if (longLines)
            EditorControl.SuspendWrap();
        SendMessageA(editor, EM_EXLIMITTEXT, 0, existing + length + 32768);
        if (BeginsAsRtf(data, length) && plainOnly) {
            // As UTF-16, which no control reads as RTF. (A stream of SF_TEXT with
            // SFF_SELECTION replaces the whole of a plain text under Wine.)
            std::u16string wide(length, u'\0');
            wide.resize(MultiByteToWideChar(CP_ACP, 0, data, (int)length, (wchar_t *)&wide[0],
                                            (int)length));
            AppendPlainText(editor, wide.data(), wide.size());
        } else if (rich) {
            EditorControl.SetSelection(-1, -1);
            SendMessageA(editor, EM_REPLACESEL, TRUE, (LPARAM)data);
        } else {
            AppendPlainText(editor, data, length);
        }
        delete[] data;
        return 1;
    }

    StartReplacing(editor, rich, longLines);
    if (rich)
        DocumentFormat = FORMAT_RICH;
    SendMessageA(editor, EM_EXLIMITTEXT, 0, length + 32768);
    StartLoadProgress(editor);
    bool whole = StreamInText(editor, data, length, rich ? SF_RTF : SF_TEXT);
    EndLoadProgress();
    delete[] data;
    return FinishLoad(editor, whole, append, length == 0);
}

// For a file that begins with RTF the control cannot read safely: asks whether to open
// it as plain text. 1 to go on (asPlain set when the user chose so), 0 when declined.
static int AcceptRichText(HWND owner, const char *path, bool *asPlain)
{
    *asPlain = false;
    // Only a file that begins with RTF is read whole for the screen.
    char start[8] = "";
    DWORD got = 0;
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    BOOL read = ReadFile(file, start, 6, &got, 0);
    CloseHandle(file);
    // Only text that begins so is handed to the control as RTF.
    if (!read || got < 5 || memcmp(start, "{\\rtf", 5) != 0)
        return 1;
    size_t count = 0;
    char *data = 0;
    if (ReadWholeFile(path, &data, &count) != READ_WHOLE) {
        delete[] data;
        return 1;
    }
    bool refused = ScreenRtf(data, count) != RTF_READABLE;
    delete[] data;
    if (!refused)
        return 1;
    if (MessageBoxA(owner, "This file is not a readable RTF document.\n\nOpen it as plain text?",
                    SettingsSection, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return 0;
    *asPlain = true;
    return 1;
}

static bool ChooseOpenPath(HWND owner)
{
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = FileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = OpenPath;
    dialog.nMaxFile = sizeof OpenPath;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&dialog) != 0;
}

// The popup that Ctrl brings up; the chosen OpenChoice, or -1 when dismissed.
static int AskOpenChoice(HWND owner)
{
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 1, "Open File Data Normally");
    AppendMenuA(popup, MF_STRING, 2, "Open As File Name Only");
    AppendMenuA(popup, MF_SEPARATOR, 0, 0);
    AppendMenuA(popup, MF_STRING, 3, "Append File Data to Existing Document");
    AppendMenuA(popup, MF_STRING, 4, "Append File Name to Existing Document");
    POINT cursor;
    GetCursorPos(&cursor);
    int chosen = (int)TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                                     owner, 0);
    DestroyMenu(popup);
    return chosen - 1;
}

// For a text file with lines the control cannot show quickly (LongLines.h): asks
// whether to break them. 1 to go on (BreakLines set when the user chose so), 0 when
// declined, before anything changes. RTF opened as plain text (asPlain) is such a text
// too: a million \line words make one line of 5 MB.
static int AcceptLongLines(HWND owner, const char *path, bool append, bool asPlain)
{
    BreakLines = false;
    size_t count = 0;
    char *data = 0;
    if (ReadWholeFile(path, &data, &count) != READ_WHOLE) {
        delete[] data;
        return 1;
    }
    const unsigned char *bytes = (const unsigned char *)data;
    bool tooLong = false;
    if (asPlain || strncmp(data, "{\\rtf", 5) != 0) {
        static const int sixteenBit[] = {FORMAT_MULTI_BYTE, FORMAT_UNICODE_LE, FORMAT_UNICODE_BE};
        bool wide = false;
        for (int format : sixteenBit) {
            if (!wide && LooksSixteenBit(format, bytes, count)) {
                std::u16string text = DecodeSixteenBit(format, bytes, count);
                tooLong = HasLinesTooLong(text.data(), text.size());
                wide = true;
            }
        }
        if (!wide)
            tooLong = HasLinesTooLong(data, strlen(data));
    }
    delete[] data;
    if (!tooLong)
        return 1;
    const char *question =
        append ? "This file has lines too long for the editor to show quickly.\n\n"
                 "Insert it with those lines broken into shorter ones?"
               : "This file has lines too long for the editor to show quickly.\n\n"
                 "Open it with those lines broken into shorter ones? The document will be "
                 "untitled, so that saving it cannot change the file.";
    if (MessageBoxA(owner, question, AppName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    BreakLines = true;
    return 1;
}

// Writes the path and a line end to the temporary file; its path, or null.
static const char *WritePathFile(const char *path)
{
    static char temporary[MAX_PATH + 32];
    char folder[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder))
        return 0;
    snprintf(temporary, sizeof temporary, "%sOrvelloWordTempFile.txt", folder);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    BOOL ok = WriteFile(file, path, (DWORD)strlen(path), &written, 0) &&
              WriteFile(file, "\r\n", 2, &written, 0);
    CloseHandle(file);
    if (!ok)
        return 0;
    MoveFileExA(temporary, 0, MOVEFILE_DELAY_UNTIL_REBOOT);
    return temporary;
}

static int OpenChosenFile(HWND owner, const char *path);

int OpenDocument(HWND owner, const char *path)
{
    if (OutputWindowMode())
        return 0;
    if (DropIndex == 0)
        OpenChoice = 0;
    if (!path) {
        if (!ChooseOpenPath(owner))
            return 0;
        path = OpenPath;
    }
    if (DropIndex == 0 && GetKeyState(VK_CONTROL) < 0) {
        OpenChoice = AskOpenChoice(owner);
    }
    // A dismissed choice also passes on the rest of a drop.
    if (OpenChoice < 0)
        return 0;
    return OpenChosenFile(owner, path);
}

int ReloadDocument(HWND owner, const char *path)
{
    if (OutputWindowMode())
        return 0;
    OpenChoice = 0;
    return OpenChosenFile(owner, path);
}

// OpenDocument once the file and the way of opening it (OpenChoice) are settled.
static int OpenChosenFile(HWND owner, const char *path)
{
    WaitCursor wait;
    // The document's own path stays for the title: only the data comes from elsewhere.
    char documentPath[260];
    lstrcpynA(documentPath, path, sizeof documentPath);
    if (OpenChoice & 1) {
        path = WritePathFile(documentPath);
        if (!path)
            return 0;
    }

    // Nothing goes into a view: it shows a file, it does not hold one.
    if (OpenChoice > 1 && IsFileViewOpen()) {
        MessageBeep(MB_OK);
        return 0;
    }
    // A file too big for the control opens as a read-only view of it.
    if (OpenChoice == 0 && WantsFileView(path)) {
        if (!ConfirmDiscard(owner))
            return 0;
        int shown = OpenFileView(owner, path);
        ShowDocumentStatus();
        return shown;
    }
    // Nothing is cleared until the file is known to be readable.
    FileCheck check = CheckFile(path);
    if (check == FILE_TOO_LARGE)
        ReportTooLarge(owner);
    if (check != FILE_READABLE)
        return 0;

    // Asked before anything changes, so that No leaves the document as it was.
    bool asPlain = false;
    if (!(OpenChoice & 1) && !AcceptRichText(owner, path, &asPlain))
        return 0;
    if (!(OpenChoice & 1) && !AcceptLongLines(owner, path, OpenChoice > 1, asPlain))
        return 0;

    HWND editor = EditorControl.control;
    if (OpenChoice < 2) {
        if (!ConfirmDiscard(owner))
            return 0;
        CloseFileView();
        editor = EditorControl.control;
        if (editor)
            editor = EmptyEditor(editor);
    }
    bool loaded = LoadFile(editor, path, OpenChoice > 1, asPlain);
    bool broken = BreakLines;
    BreakLines = false;
    editor = EditorControl.control;  // a load may have put a new control in place
    if (!loaded) {
        // The file went away after the check: an emptied document must not keep the
        // old name, or a Save would overwrite that file with nothing.
        if (OpenChoice < 2) {
            SetCurrentDocument(owner, 0);
            if (editor)
                SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        }
        ShowDocumentStatus();
        return 0;
    }
    if (OpenChoice == 0) {
        SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        // Only part of the file is in the document, or its lines were broken: under the
        // file's name a Save would cut the file down to that part or change its lines.
        SetCurrentDocument(owner, LoadedInPart || broken ? 0 : documentPath);
    }
    InvalidateRect(owner, 0, TRUE);
    ShowDocumentStatus();
    if (LoadedInPart)
        ReportLoadedInPart(owner, OpenChoice > 1);
    return 1;
}
