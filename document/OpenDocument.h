// Opening a file into the editor: replacing or appending, as data or as its path.
#pragma once
#include <windows.h>

extern int DocumentFormat;   // save format: -1 rich, 0 plain, 1 multi-byte, 2/3 Unicode, 4 UTF-8
extern bool Utf8ByteOrderMark; // a UTF-8 document is saved with EF BB BF first
extern int OpenChoice;       // 0 data, 1 file name, 2 append data, 3 append file name
extern int DropIndex;        // index of the dropped file being opened, 0 outside drops

// Files larger than this are refused: the text must fit twice over in a 32-bit process.
const long long LARGEST_FILE = 256LL * 1024 * 1024;

// The most memory a load may give the control (LoadCost.h); tests lower it. A text that
// would cost more comes in as its first lines, as an untitled document.
extern double LoadMemoryLimit;

// 1 when a file was loaded; a null path asks with the Open dialog.
int OpenDocument(HWND owner, const char *path);
// Opens path again in place of the document, as OpenDocument opens a file normally
// (the same questions, but no Ctrl popup); 1 when it was loaded.
int ReloadDocument(HWND owner, const char *path);
// Reads the whole file into the editor; 1 when done, 0 when it could not be read (said
// so unless the file would not even open). Text cut short by a null character loads,
// and OpenDocument then opens it untitled. RTF comes in as plain text with plainOnly,
// or when the RTF screen refuses it.
int LoadFile(HWND editor, const char *path, bool append, bool plainOnly = false);

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorA(0, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    HCURSOR previous;
};
