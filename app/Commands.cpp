#include "document/FileView.h"
#include "app/Commands.h"

#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include "about/AboutDialog.h"
#include "app/App.h"
#include "app/Layout.h"
#include "app/MainWindow.h"
#include "app/OutputLog.h"
#include "app/OutputWindow.h"
#include "app/Toolbar.h"
#include "document/Document.h"
#include "document/OpenDocument.h"
#include "document/RecentFiles.h"
#include "document/SaveDocument.h"
#include "editor/EditorControl.h"
#include "format/ColorMenu.h"
#include "format/TextFormatDialog.h"
#include "print/PageSettings.h"
#include "print/PrintPreviewDialog.h"
#include "print/Printing.h"
#include "res/resource.h"
#include "tools/FindDialog.h"
#include "tools/GotoDialog.h"
#include "tools/LineSortDialog.h"
#include "spell/SpellDialog.h"
#include "Version.h"  // made by the build

// The About box's version: major number in the low word, minor in the high word.
static const DWORD AboutVersion = ORVELLO_VERSION_MAJOR | ORVELLO_VERSION_MINOR << 16;

// Formatting needs rich text: a plain document is converted first.
static void EnsureRichText()
{
    if (EditorControl.GetTextMode() == TEXT_PLAIN)
        EditorControl.SetTextMode(TEXT_RICH);
}

// A format change is not always reported as a selection change (Wine's control never
// reports it), so the toolbar and combos are brought up to date here.
static void ApplyFormat(const char *item)
{
    EnsureRichText();
    EditorControl.ApplyFormatDescriptor(item);
    FollowSelection();
}

// Applies "k=0" when the selection has "k=1", else "k=1".
static void ToggleFormat(char key)
{
    EnsureRichText();
    const char *descriptor = EditorControl.GetFormatDescriptor();
    char on[4] = {key, '=', '1', 0};
    char item[8];
    snprintf(item, sizeof item, "%c=%d;", key, descriptor && strstr(descriptor, on) ? 0 : 1);
    ApplyFormat(item);
}

// A combo's choice: the selected list item, or the typed text cut at limit characters.
static void ApplyComboChoice(HWND combo, char key, int limit)
{
    EnsureRichText();
    SetFocus(EditorControl.control);
    char value[LF_FACESIZE * 2] = "";
    int item = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    int length = item >= 0 ? (int)SendMessageA(combo, CB_GETLBTEXTLEN, item, 0) : -1;
    if (item >= 0 && length >= 0 && length < (int)sizeof value)
        SendMessageA(combo, CB_GETLBTEXT, item, (LPARAM)value);
    else
        GetWindowTextA(combo, value, limit + 1);
    value[limit] = 0;
    char descriptor[sizeof value + 4];
    snprintf(descriptor, sizeof descriptor, "%c=%s;", key, value);
    ApplyFormat(descriptor);
}

static void SendToEditor(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    if (EditorControl.control)
        SendMessageA(EditorControl.control, message, wParam, lParam);
}

static void ToggleAlwaysOnTop(HWND window)
{
    ModeFlags ^= MODE_ALWAYS_ON_TOP;
    const UINT keep = SWP_NOMOVE | SWP_NOSIZE;
    if (ModeFlags & MODE_ALWAYS_ON_TOP) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, keep);
        return;
    }
    // HWND_BOTTOM alone should also drop the topmost state, but Wine keeps it; and
    // activating would bring the window straight back to the top.
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, keep | SWP_NOACTIVATE);
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, keep | SWP_NOACTIVATE);
}

static void ToggleFixedFont()
{
    ModeFlags ^= MODE_FIXED_FONT;
    SendToEditor(WM_SETFONT, (WPARAM)(ModeFlags & MODE_FIXED_FONT ? FixedFont : ProportionalFont),
                 FALSE);
}

static void OpenRecentFile(HWND window, int index)
{
    char path[256];
    lstrcpynA(path, GetRecentFile(index), sizeof path);
    // Only a file that is gone loses its entry: a cancelled question or popup does not.
    if (path[0] && !OpenDocument(window, path) && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        RemoveRecentFile(path);
}

LRESULT DispatchCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    int id = LOWORD(wParam), code = HIWORD(wParam);
    HWND sender = (HWND)lParam;
    if (sender && sender == SizeCombo) {
        if (code == CBN_CLOSEUP)
            ApplyComboChoice(SizeCombo, 'h', 5);
        return 0;
    }
    if (sender && sender == FontCombo) {
        if (code == CBN_CLOSEUP)
            ApplyComboChoice(FontCombo, 'f', 61);
        return 0;
    }
    if (id == IDC_EXIT) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (!EditorControl.control)
        return 0;

    // A view shows a file it does not hold: nothing may change its text, and a save
    // copies the file.
    if (IsFileViewOpen() && !FileViewAllowsCommand(id)) {
        MessageBeep(MB_OK);
        return 0;
    }
    if (IsFileViewOpen() && (id == IDC_SAVE || id == IDC_SAVE_AS)) {
        FileViewSaveCopy(window);
        return 0;
    }
    if (id >= IDC_RECENT_FIRST && id <= IDC_RECENT_LAST) {
        OpenRecentFile(window, id - IDC_RECENT_FIRST);
        return 0;
    }
    switch (id) {
    case IDC_SAVE_AS:       SaveDocument(window, 0); break;
    case IDC_OPEN:          OpenDocument(window, 0); break;
    case IDC_SAVE:          SaveDocument(window, CurrentDocumentPath[0] ? CurrentDocumentPath : 0); break;
    case IDC_STATUSBAR:     ToggleBar(MainLayout.status); break;
    case IDC_TOOLBAR:       ToggleBar(MainLayout.toolbar); break;
    case IDC_CUT:           SendToEditor(WM_CUT); break;
    case IDC_COPY:          SendToEditor(WM_COPY); break;
    case IDC_PASTE:         SendToEditor(WM_PASTE); break;
    case IDC_NEW:           NewDocument(window); break;
    case IDC_SELECT_ALL:    EditorControl.SetSelection(0, -1); break;
    case IDC_UNDO:          SendToEditor(EM_UNDO); break;
    case IDC_DELETE:        SendToEditor(EM_REPLACESEL, TRUE, (LPARAM) ""); break;
    case IDC_REDO:          SendToEditor(EM_REDO); break;
    case IDC_OUTPUT:        ModeFlags ^= MODE_OUTPUT; break;
    case IDC_TITLE_OUTPUT:  ModeFlags ^= MODE_TITLE_OUTPUT; break;
    case IDC_ALWAYS_ON_TOP: ToggleAlwaysOnTop(window); break;
    case IDC_BOLD:          ToggleFormat('b'); break;
    case IDC_ITALIC:        ToggleFormat('i'); break;
    case IDC_UNDERLINE:     ToggleFormat('u'); break;
    case IDC_ALIGN_LEFT:    ApplyFormat("a=l;"); break;
    case IDC_CENTER:        ApplyFormat("a=c;"); break;
    case IDC_ALIGN_RIGHT:   ApplyFormat("a=r;"); break;
    case IDC_COLOR:         ColorSelection(); break;
    case IDC_BULLETS:       ToggleFormat('n'); break;
    case IDC_TEXT_FORMAT:   EditTextFormat(window); break;
    case IDC_NO_WRAP:       EditorControl.SetWrapMode(WRAP_NONE, 0); break;
    case IDC_WRAP_PAGE:     EditorControl.SetWrapMode(WRAP_PAGE, PrintableWidth()); break;
    case IDC_PLAIN_TEXT:    EditorControl.SetTextMode(TEXT_PLAIN); break;
    case IDC_WRAP_WINDOW:   EditorControl.SetWrapMode(WRAP_WINDOW, 0); break;
    case IDC_RICH_TEXT:     EditorControl.SetTextMode(TEXT_RICH); break;
    case IDC_FIXED_FONT:    ToggleFixedFont(); break;
    case IDC_PRINT:         RunPrint(window); break;
    case IDC_PAGE_SETUP:    RunPageSetup(window); break;
    case IDC_PRINT_PREVIEW: RunPrintPreview(window); break;
    case IDC_FIND:          OpenFindDialog(window); break;
    case IDC_FIND_NEXT:     return FindNextCommand(window);
    case IDC_GOTO:          GotoCommand(window); break;
    case IDC_SORT_LINES:    SortLinesCommand(window); break;
    case IDC_SPELL:         OpenSpellCheck(window); break;
    case IDC_SPELL_CLIPBOARD: SpellCheckClipboard(window, lParam); break;
    case IDC_LINE_ENDS_CRLF: ConvertDocumentLineEnds(LINE_ENDS_CRLF); break;
    case IDC_LINE_ENDS_LF:  ConvertDocumentLineEnds(LINE_ENDS_LF); break;
    case IDC_LINE_ENDS_CR:  ConvertDocumentLineEnds(LINE_ENDS_CR); break;
    case IDC_CLEAR_OUTPUT:  ClearOutputWindow(); break;
    case IDC_LOG_TO_FILE:   ChooseOutputLog(window); break;
    case IDC_ABOUT:         ShowAboutBox(window, AppName, AboutVersion, 0, 0, 0); break;
    }
    return 0;
}
