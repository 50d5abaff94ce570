#include "document/SaveDocument.h"

#include <commdlg.h>
#include <richedit.h>
#include <stdio.h>
#include <string.h>
#include <string>

#include "app/App.h"
#include "app/Settings.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/OpenDocument.h"
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

static bool ChooseSavePath(HWND owner)
{
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleA(0);
    dialog.lpstrFilter = FileFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = SavePath;
    dialog.nMaxFile = sizeof SavePath;
    dialog.Flags = OFN_EXPLORER | OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_NOCHANGEDIR |
                   OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    dialog.lpTemplateName = MAKEINTRESOURCEA(IDD_SAVE_FORMAT);
    dialog.lpfnHook = SaveAsHook;
    return GetSaveFileNameA(&dialog) != 0;
}

// The folder part of a path ("." when it has none), for a file beside it.
static std::string FolderOf(const char *path)
{
    const char *slash = strrchr(path, '\\');
    const char *other = strrchr(path, '/');
    if (other && (!slash || other > slash))
        slash = other;
    if (!slash)
        return ".";
    if (slash == path || (slash == path + 2 && path[1] == ':'))
        return std::string(path, slash + 1 - path);
    return std::string(path, slash - path);
}

// Writes all bytes to a new file beside the target and only then puts it in the
// target's place, so a failure part-way leaves the old file as it was.
static bool ReplaceFileContent(const char *path, const std::string &bytes)
{
    char temporary[MAX_PATH];
    if (!GetTempFileNameA(FolderOf(path).c_str(), "ow", 0, temporary))
        return false;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(temporary);
        return false;
    }
    DWORD written = 0;
    BOOL ok = bytes.empty() ||
              (WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, 0) &&
               written == bytes.size());
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (ok)
        ok = MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileA(temporary);
    return ok != 0;
}

// The file bytes of the document in format; false without a control or memory. For the
// 8-bit plain format, lossy (when given) tells whether a character had to be replaced.
static bool DocumentBytes(int format, std::string *bytes, bool *lossy)
{
    HWND control = EditorControl.control;
    if (format < 0) {
        char *text = EditorControl.GetText(TEXT_RICH, LINE_END_CRLF);
        if (!text)
            return false;
        size_t n = strlen(text);
        SendMessageA(control, EM_EXLIMITTEXT, 0, n + 32768);
        *bytes = EncodeDocument(format, text, n);
        delete[] text;
        return true;
    }
    size_t n = 0;
    char16_t *text = GetUnicodeText(control, &n);
    if (!text)
        return false;
    SendMessageA(control, EM_EXLIMITTEXT, 0, n + 32768);
    if (format == FORMAT_UTF8) {
        *bytes = EncodeUtf8(text, n, Utf8ByteOrderMark);
    } else if (format >= FORMAT_MULTI_BYTE && format <= FORMAT_UNICODE_BE) {
        *bytes = EncodeSixteenBit(format, text, n);
    } else {
        // 8-bit text goes through the system's code page.
        const WCHAR *wide = (const WCHAR *)text;
        int size = n ? WideCharToMultiByte(CP_ACP, 0, wide, (int)n, 0, 0, 0, 0) : 0;
        bytes->assign(size, 0);
        BOOL replaced = FALSE;
        if (size)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, (int)n, &(*bytes)[0], size, 0,
                                &replaced);
        if (lossy)
            *lossy = replaced != FALSE;
    }
    delete[] text;
    return true;
}

// True when the document can be saved as 8-bit text as it is, or the user agrees to
// lose the characters the code page cannot hold.
static bool AcceptCodePageLoss(HWND owner)
{
    std::string bytes;
    bool lossy = false;
    if (DocumentFormat != FORMAT_PLAIN || !DocumentBytes(FORMAT_PLAIN, &bytes, &lossy) || !lossy)
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
    std::string bytes;
    if (!DocumentBytes(DocumentFormat, &bytes, 0))
        return 0;
    if (!ReplaceFileContent(path, bytes))
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

int SaveDocument(HWND owner, const char *path)
{
    char chosen[260];
    if (!path || !path[0]) {
        if (!ChooseSavePath(owner))
            return 0;
        lstrcpynA(chosen, SavePath, sizeof chosen);
        AddDefaultExtension(chosen, sizeof chosen, DocumentFormat < 0);
    } else {
        lstrcpynA(chosen, path, sizeof chosen);
    }

    if (!AcceptCodePageLoss(owner))
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
