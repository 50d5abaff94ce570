#include "document/OpenDocument.h"

#include <commdlg.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>
#include <new>

#include "app/App.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/TextEncoding.h"
#include "editor/EditorControl.h"

int DocumentFormat = FORMAT_PLAIN;
bool Utf8ByteOrderMark = false;
int OpenChoice = 0;

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

// The whole file and a terminator, or null; count is the number of bytes read.
static char *ReadWholeFile(const char *path, size_t *count)
{
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    LARGE_INTEGER length;
    char *data = 0;
    if (GetFileSizeEx(file, &length) && length.QuadPart <= LARGEST_FILE)
        data = new (std::nothrow) char[(size_t)length.QuadPart + 1];
    size_t total = 0;
    if (data) {
        size_t wanted = (size_t)length.QuadPart;
        while (total < wanted) {
            DWORD chunk = wanted - total > (1u << 24) ? (1u << 24) : (DWORD)(wanted - total);
            DWORD read = 0;
            if (!ReadFile(file, data + total, chunk, &read, 0)) {
                delete[] data;
                data = 0;
                break;
            }
            if (read == 0)
                break;
            total += read;
        }
    }
    CloseHandle(file);
    if (data)
        data[total] = 0;
    *count = total;
    return data;
}

static bool AskSixteenBit(HWND owner)
{
    return MessageBoxA(owner, "File appears to be in Multi-Byte (Unicode) format.\n\nOpen as such?",
                       SettingsSection, MB_YESNO) == IDYES;
}

// Puts UTF-16 text in as plain text: appended at the end as one undoable step to a
// non-empty document, else replacing it. Returns 1.
static int LoadUnicode(HWND editor, const std::u16string &text, bool append)
{
    int existing = GetWindowTextLengthA(editor);
    SendMessageA(editor, EM_EXLIMITTEXT, 0, existing + text.size() + 32768);
    if (append && existing > 0) {
        EditorControl.SetSelection(-1, -1);
        ReplaceSelectionUnicode(editor, text.data(), text.size());
        return 1;
    }
    SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "");
    EditorControl.SetTextMode(TEXT_PLAIN);
    SendMessageA(editor, WM_SETFONT, (WPARAM)DocumentFont, 0);
    StreamInUnicode(editor, text.data(), text.size());
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    EditorControl.SetSelection(0, 1);
    EditorControl.SetSelection(0, 0);
    SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editor, 0, TRUE);
    return 1;
}

int LoadFile(HWND editor, const char *path, bool append)
{
    if (!editor)
        return 0;
    size_t count = 0;
    char *data = ReadWholeFile(path, &count);
    if (!data)
        return 0;
    if (!append)
        DocumentFormat = FORMAT_PLAIN;

    HWND owner = GetParent(editor);
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
        wide.resize(wide.find(u'\0') == std::u16string::npos ? wide.size() : wide.find(u'\0'));
        int done = LoadUnicode(editor, wide, append);
        delete[] data;
        return done;
    }
    // A zero byte ends the text, as it would for any text message.
    size_t length = strlen(data);

    int existing = GetWindowTextLengthA(editor);
    if (append && existing > 0) {
        SendMessageA(editor, EM_EXLIMITTEXT, 0, existing + length + 32768);
        EditorControl.SetSelection(-1, -1);
        SendMessageA(editor, EM_REPLACESEL, TRUE, (LPARAM)data);
        delete[] data;
        return 1;
    }

    // Redrawing while a large text streams in costs more than the reading.
    SendMessageA(editor, WM_SETREDRAW, FALSE, 0);
    SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "");
    bool rich = strncmp(data, "{\\rtf", 5) == 0;
    if (rich) {
        EditorControl.SetTextMode(TEXT_RICH);
        DocumentFormat = FORMAT_RICH;
    } else {
        EditorControl.SetTextMode(TEXT_PLAIN);
        SendMessageA(editor, WM_SETFONT, (WPARAM)DocumentFont, 0);
    }
    SendMessageA(editor, EM_EXLIMITTEXT, 0, length + 32768);
    StreamInText(editor, data, length, rich ? SF_RTF : SF_TEXT);
    // As after setting the text: a freshly loaded document has no changes.
    SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
    EditorControl.SetSelection(0, 1);
    EditorControl.SetSelection(0, 0);
    SendMessageA(editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editor, 0, TRUE);
    delete[] data;
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

    WaitCursor wait;
    // The document's own path stays for the title: only the data comes from elsewhere.
    char documentPath[260];
    lstrcpynA(documentPath, path, sizeof documentPath);
    if (OpenChoice & 1) {
        path = WritePathFile(documentPath);
        if (!path)
            return 0;
    }

    // Nothing is cleared until the file is known to be readable.
    FileCheck check = CheckFile(path);
    if (check == FILE_TOO_LARGE)
        ReportTooLarge(owner);
    if (check != FILE_READABLE)
        return 0;

    HWND editor = EditorControl.control;
    if (OpenChoice < 2) {
        if (!ConfirmDiscard(owner))
            return 0;
        if (editor)
            SendMessageA(editor, WM_SETTEXT, 0, (LPARAM) "");
    }
    if (!LoadFile(editor, path, OpenChoice > 1)) {
        // The file went away after the check: an emptied document must not keep the
        // old name, or a Save would overwrite that file with nothing.
        if (OpenChoice < 2) {
            SetCurrentDocument(owner, 0);
            if (editor)
                SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        }
        return 0;
    }
    if (OpenChoice == 0) {
        SendMessageA(editor, EM_SETMODIFY, FALSE, 0);
        SetCurrentDocument(owner, documentPath);
    }
    InvalidateRect(owner, 0, TRUE);
    return 1;
}
