#include "document/SaveDocument.h"

#include <commdlg.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include "app/App.h"
#include "app/DocumentStatus.h"
#include "app/Settings.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/LineEnds.h"
#include "document/FileWatch.h"
#include "document/OpenDocument.h"
#include "document/Recovery.h"
#include "document/TextEncoding.h"
#include "editor/EditorControl.h"
#include "res/resource.h"

static char SavePath[260] = "";

static const char *const FormatNames[] = {
    "Rich Text", "Plain Text", "Multi-byte Text", "Unicode Text (little endian)",
    "Unicode Text (big endian)", "UTF-8",
};

static const DWORD PROTECTED_ATTRIBUTES =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

UINT_PTR CALLBACK SaveAsHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND list = GetDlgItem(dialog, IDC_SAVE_FORMAT_LIST);
    if (message == WM_INITDIALOG) {
        for (const char *name : FormatNames)
            SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)name);
        int selected = EditorControl.GetTextMode() == TEXT_RICH ? 0 : DocumentFormat + 1;
        SendMessageA(list, CB_SETCURSEL, selected, 0);
    } else if (message == WM_DESTROY) {
        int selected = (int)SendMessageA(list, CB_GETCURSEL, 0, 0);
        if (selected >= 0)
            DocumentFormat = selected - 1;
    }
    return 0;
}

static void FolderOf(const char *path, char *folder, size_t size);

static bool ChooseSavePath(HWND owner)
{
    // The dialog proposes the document's own name; an untitled document gets an empty
    // name in the folder of the last save.
    char folder[260] = "";
    if (!CurrentDocumentPath[0] && SavePath[0])
        FolderOf(SavePath, folder, sizeof folder);
    lstrcpynA(SavePath, CurrentDocumentPath, sizeof SavePath);
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleA(0);
    dialog.lpstrFilter = FileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = SavePath;
    dialog.nMaxFile = sizeof SavePath;
    dialog.lpstrInitialDir = folder[0] ? folder : 0;
    dialog.Flags = OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_NOCHANGEDIR |
                   OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpTemplateName = MAKEINTRESOURCEA(IDD_SAVE_FORMAT);
    dialog.lpfnHook = SaveAsHook;
    return GetSaveFileNameA(&dialog) != 0;
}

// The folder part of a path ("." when it has none), for a file beside it.
static void FolderOf(const char *path, char *folder, size_t size)
{
    const char *slash = strrchr(path, '\\');
    const char *other = strrchr(path, '/');
    if (other && (!slash || other > slash))
        slash = other;
    if (!slash) {
        lstrcpynA(folder, ".", (int)size);
        return;
    }
    size_t length = slash - path;
    // A root keeps its backslash: "C:\\" is a folder, "C:" is not.
    if (slash == path || (slash == path + 2 && path[1] == ':'))
        ++length;
    lstrcpynA(folder, path, (int)(length + 1 < size ? length + 1 : size));
}

bool WriteAll(HANDLE file, const char *bytes, size_t size)
{
    while (size > 0) {
        DWORD piece = size > (1u << 24) ? (1u << 24) : (DWORD)size;
        DWORD written = 0;
        if (!WriteFile(file, bytes, piece, &written, 0) || written != piece)
            return false;
        bytes += piece;
        size -= piece;
    }
    return true;
}

static bool Exists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Puts the finished temporary file in the target's place. Replacing (rather than
// renaming over) keeps the target's attributes, security and creation time.
static bool PutInPlace(const char *temporary, const char *path)
{
    const DWORD move = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!Exists(path))
        return MoveFileExA(temporary, path, move) != 0;
    // A file another program holds without letting others delete it cannot be
    // replaced; finding that out first spares the replace call a half-done attempt
    // (Wine's leaves a stray file behind).
    HANDLE probe = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               0, OPEN_EXISTING, 0, 0);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    if (ReplaceFileA(path, temporary, 0, REPLACEFILE_IGNORE_MERGE_ERRORS, 0, 0))
        return true;
    // Where replacing is not supported the rename still does; and an implementation
    // that took the old file away before failing (Wine's) must not leave no file.
    return MoveFileExA(temporary, path, move) != 0;
}

// Rewrites the existing target itself: for a folder where no new file may be made.
static bool WriteInPlace(const char *path, const char *bytes, size_t size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = WriteAll(file, bytes, size) && SetEndOfFile(file);
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return ok;
}

// Writes all bytes to a new file beside the target and only then puts it in the
// target's place, so a failure part-way leaves the old file as it was.
static bool StoreFileContent(const char *path, const char *bytes, size_t size)
{
    char folder[MAX_PATH], temporary[MAX_PATH];
    FolderOf(path, folder, sizeof folder);
    HANDLE file = INVALID_HANDLE_VALUE;
    bool named = GetTempFileNameA(folder, "ow", 0, temporary) != 0;
    if (named)
        file = CreateFileA(temporary, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) {
        // No file may be made beside the target (Wine even names one it could not
        // make): a target that is there can still be written where it stands.
        if (named)
            DeleteFileA(temporary);
        return Exists(path) && WriteInPlace(path, bytes, size);
    }
    bool ok = WriteAll(file, bytes, size);
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (ok)
        ok = PutInPlace(temporary, path);
    if (!ok)
        DeleteFileA(temporary);
    return ok;
}

// The document's plain text with its line ends in DocumentLineEnds, in a new buffer
// (free with delete[]) of *n units; null without a control or memory.
static char16_t *DocumentText(HWND control, size_t *n)
{
    // The control gives each paragraph end as CR LF or as one CR; asked for the style's
    // own, the text needs no second buffer unless it holds another CR or LF alone.
    bool crlf = DocumentLineEnds == LINE_ENDS_CRLF;
    char16_t *text = GetUnicodeText(control, n, crlf);
    if (!text)
        return 0;
    if (!crlf) {
        *n = WriteLineEnds(text, *n, DocumentLineEnds, text);  // never longer
        return text;
    }
    size_t units = WriteLineEnds(text, *n, LINE_ENDS_CRLF, (char16_t *)0);
    if (units == *n)
        return text;  // every line end is CR LF already
    char16_t *converted = NewUnicodeBuffer(units + 1);
    if (converted) {
        WriteLineEnds(text, *n, LINE_ENDS_CRLF, converted);
        converted[units] = 0;
    }
    delete[] text;
    *n = converted ? units : 0;
    return converted;
}

// The file bytes of the document in format, in a new buffer (free with delete[]) of
// *size bytes; null without a control or memory, which may run out on any buffer here
// without ending the program. For the 8-bit plain format, lossy (when given) tells
// whether a character had to be replaced.
static char *DocumentBytes(int format, size_t *size, bool *lossy)
{
    HWND control = EditorControl.control;
    *size = 0;
    if (format < 0) {
        char *text = EditorControl.GetText(TEXT_RICH, LINE_END_CRLF);
        if (text) {
            *size = strlen(text);
            SendMessageA(control, EM_EXLIMITTEXT, 0, *size + 32768);
        }
        return text;
    }
    size_t n = 0;
    char16_t *text = DocumentText(control, &n);
    if (!text)
        return 0;
    SendMessageA(control, EM_EXLIMITTEXT, 0, n + 32768);
    // 8-bit text goes through the system's code page.
    const WCHAR *wide = (const WCHAR *)text;
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    bool sixteenBit = format >= FORMAT_MULTI_BYTE && format <= FORMAT_UNICODE_BE;
    size_t count = format == FORMAT_UTF8 ? WriteUtf8(text, n, Utf8ByteOrderMark, 0)
                   : sixteenBit          ? WriteSixteenBit(format, text, n, 0)
                   : n ? (size_t)WideCharToMultiByte(CP_ACP, flags, wide, (int)n, 0, 0, 0, 0)
                       : 0;
    char *bytes = NewTextBuffer(count + 1);
    if (bytes && format == FORMAT_UTF8) {
        WriteUtf8(text, n, Utf8ByteOrderMark, bytes);
    } else if (bytes && sixteenBit) {
        WriteSixteenBit(format, text, n, bytes);
    } else if (bytes) {
        BOOL replaced = FALSE;
        if (count)
            WideCharToMultiByte(CP_ACP, flags, wide, (int)n, bytes, (int)count, 0, &replaced);
        if (lossy)
            *lossy = replaced != FALSE;
    }
    if (bytes)
        *size = count;
    delete[] text;
    return bytes;
}

// True when the document can be saved as 8-bit text as it is, or the user agrees to
// lose the characters the code page cannot hold.
static bool AcceptCodePageLoss(HWND owner)
{
    if (DocumentFormat != FORMAT_PLAIN)
        return true;
    size_t size = 0;
    bool lossy = false;
    delete[] DocumentBytes(FORMAT_PLAIN, &size, &lossy);
    if (!lossy)
        return true;
    return MessageBoxA(owner,
                       "This document has characters that Plain Text cannot hold; they will be "
                       "saved as \"?\".\n\nSave anyway? (UTF-8 or Unicode Text keeps them.)",
                       SettingsSection, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

int WriteDocumentFile(const char *path)
{
    // A read-only, hidden or system file is not replaced until the user agrees.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (PROTECTED_ATTRIBUTES | FILE_ATTRIBUTE_DIRECTORY)))
        return 0;
    size_t size = 0;
    char *bytes = DocumentBytes(DocumentFormat, &size, 0);
    if (!bytes)
        return 0;
    bool stored = StoreFileContent(path, bytes, size);
    // The program's own save is no change by another program.
    if (stored && !OutputWindowMode())
        NoteFileWritten(path, bytes, size);
    delete[] bytes;
    if (!stored)
        return 0;
    return OutputWindowMode() ? 0 : 1;
}

// The question or message for a file that could not be written; true for Yes.
static bool AskToOverrideAttributes(HWND owner, const char *path, DWORD attributes)
{
    char message[400];
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & PROTECTED_ATTRIBUTES)) {
        snprintf(message, sizeof message,
                 "This is a %s%s%sfile.\n\nIgnore this restriction and continue saving to %s?",
                 attributes & FILE_ATTRIBUTE_READONLY ? "READ-ONLY " : "",
                 attributes & FILE_ATTRIBUTE_HIDDEN ? "HIDDEN " : "",
                 attributes & FILE_ATTRIBUTE_SYSTEM ? "SYSTEM " : "", path);
    } else {
        snprintf(message, sizeof message, "Failed to save file.");
    }
    UINT buttons = strchr(message, '?') ? MB_YESNO : MB_OK;
    return MessageBoxA(owner, message, SettingsSection, buttons) == IDYES;
}

// The dialog's own replace question saw the name as typed; a name that only gets its
// extension afterwards is asked about here, with the same words. True for Yes.
static bool AskToReplace(HWND owner, const char *path)
{
    const char *name = strrchr(path, '\\');
    char message[400];
    snprintf(message, sizeof message, "%s already exists.\nDo you want to replace it?",
             name ? name + 1 : path);
    return MessageBoxA(owner, message, AppName, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

// The Save As dialog until the user settles on a final path, in chosen; false when
// cancelled.
static bool ChooseFinalPath(HWND owner, char *chosen, size_t size)
{
    for (;;) {
        if (!ChooseSavePath(owner))
            return false;
        lstrcpynA(chosen, SavePath, (int)size);
        AddDefaultExtension(chosen, size, DocumentFormat < 0);
        if (strcmp(chosen, SavePath) == 0 || !Exists(chosen) || AskToReplace(owner, chosen))
            return true;
    }
}

// Formatting would be dropped by saving a rich document in a text format: asks first.
// IDYES saves as text, IDNO chooses a name for rich text, IDCANCEL saves nothing.
static int AskToDropFormatting(HWND owner, const char *path)
{
    if (OutputWindowMode() || DocumentFormat < 0 || EditorControl.GetTextMode() != TEXT_RICH)
        return IDYES;
    char message[600];
    snprintf(message, sizeof message,
             "This document has formatting that a text file cannot keep.\n\nSave it to %s "
             "as text anyway? Answer No to save it as Rich Text under a name you choose.",
             path);
    return MessageBoxA(owner, message, AppName, MB_YESNOCANCEL | MB_ICONEXCLAMATION);
}

int SaveDocument(HWND owner, const char *path)
{
    // The format list and a save both change what the status bar shows, on every way out.
    struct ShowStatusAtEnd {
        ~ShowStatusAtEnd() { ShowDocumentStatus(); }
    } showStatus;
    // No snapshot is taken while the file is written.
    SnapshotHold hold;
    char chosen[260];
    if (!path || !path[0]) {
        if (!ChooseFinalPath(owner, chosen, sizeof chosen))
            return 0;
    } else {
        int answer = AskToDropFormatting(owner, path);
        if (answer == IDCANCEL)
            return 0;
        // The format list comes up on "Rich Text" for a rich document.
        if (answer == IDNO)
            return SaveDocument(owner, 0);
        lstrcpynA(chosen, path, sizeof chosen);
    }

    if (!AcceptCodePageLoss(owner) || !ConfirmSaveOver(owner, chosen))
        return 0;
    WaitCursor wait;
    DWORD remembered = 0;
    bool restore = false;
    int written;
    for (;;) {
        written = WriteDocumentFile(chosen);
        if (written) {
            SendMessageA(EditorControl.control, EM_SETMODIFY, FALSE, 0);
            SetCurrentDocument(owner, chosen);
            // The file now has one style of line ends.
            DocumentLineEndsMixed = false;
            DropSnapshot();
            break;
        }
        if (OutputWindowMode())
            break;
        DWORD attributes = GetFileAttributesA(chosen);
        if (!AskToOverrideAttributes(owner, chosen, attributes))
            break;
        if (!restore) {
            remembered = attributes;
            restore = true;
        }
        if (!SetFileAttributesA(chosen, attributes & ~PROTECTED_ATTRIBUTES))
            break;
    }
    if (restore)
        SetFileAttributesA(chosen, remembered);
    return written;
}
