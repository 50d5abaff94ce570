#include "spell/SpellDialog.h"

#include <richedit.h>
#include <stdio.h>
#include <string.h>

#include "app/App.h"
#include "app/Settings.h"
#include "document/Document.h"
#include "editor/EditorControl.h"
#include "res/resource.h"
#include "spell/Dictionary.h"
#include "spell/Suggestions.h"
#include "spell/WordScanner.h"

// One opening of the dialog.
struct SpellSession {
    bool modal;
    bool loaded;       // holds a share of the loaded Dictionary
    LONG start;        // selection start when the dialog opened: decides the last prompt
    CHARRANGE shown;   // the word run last reported, cpMin -1 when none
    char shownText[MAX_WORD_LENGTH + 1];
};

// How many suggestions nearest to the misspelling join the alphabetical neighbours.
static const int NEAREST_SUGGESTIONS = 10;
static const int NEIGHBOURS = 200;

// The modeless dialog and a clipboard run may be open together; they share the one
// loaded Dictionary, which the last of them to close clears.
static int DictionaryUsers = 0;

static bool AcquireDictionary()
{
    if (DictionaryUsers == 0 && !LoadDictionary()) {
        ClearDictionary();
        return false;
    }
    ++DictionaryUsers;
    return true;
}

static void ReleaseDictionary(SpellSession *session)
{
    if (!session->loaded)
        return;
    session->loaded = false;
    if (--DictionaryUsers == 0)
        ClearDictionary();
}

static SpellSession *SessionOf(HWND dialog)
{
    return (SpellSession *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static CHARRANGE EditorSelection()
{
    CHARRANGE range = {0, 0};
    if (EditorControl.control)
        SendMessageA(EditorControl.control, EM_EXGETSEL, 0, (LPARAM)&range);
    return range;
}

// The whole text of a control as a new[] buffer: no length limit, so what the user
// typed is what is used.
static char *ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    char *text = new char[length + 1];
    text[0] = 0;
    GetWindowTextA(control, text, length + 1);
    return text;
}

static void FindNextLater(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDC_SPELL_FIND_NEXT, 0);
}

// The nearest words in the misspelling's capitals first, nearest at the top, then the
// alphabetical neighbours of the stem; the nearest (or else the stem) goes into the
// "Replace with" field.
static void FillSuggestions(HWND dialog, const char *word)
{
    HWND combo = GetDlgItem(dialog, IDC_SPELL_SUGGESTIONS);
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int nearest[NEAREST_SUGGESTIONS];
    int count = word[0] ? FindNearestWords(word, nearest, NEAREST_SUGGESTIONS) : 0;
    char suggestions[NEAREST_SUGGESTIONS][MAX_WORD_LENGTH + 8];
    int listed = 0;
    for (int k = 0; k < count; ++k) {
        MatchCapitals(word, WordAt(nearest[k]), suggestions[listed], sizeof suggestions[listed]);
        bool twice = false;
        for (int j = 0; j < listed && !twice; ++j)
            twice = strcmp(suggestions[j], suggestions[listed]) == 0;
        if (!twice)
            SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)suggestions[listed++]);
    }
    int stem = word[0] ? FindSuggestionStem(word) : -1;
    if (stem >= 0)
        for (int i = stem - NEIGHBOURS; i <= stem + NEIGHBOURS; ++i) {
            const char *entry = WordAt(i);
            bool twice = false;
            for (int j = 0; entry && j < listed && !twice; ++j)
                twice = strcmp(suggestions[j], entry) == 0;
            if (entry && !twice)
                SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)entry);
        }
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
    SetWindowTextA(combo, listed ? suggestions[0] : stem >= 0 ? WordAt(stem) : "");
}

static void Report(HWND dialog, SpellSession *session, const char *text, const Misspelling &found)
{
    FillSuggestions(dialog, found.word);
    SetDlgItemTextA(dialog, IDC_SPELL_WORD, found.word);
    int length = found.end - found.start;
    memcpy(session->shownText, text + found.start, length);
    session->shownText[length] = 0;
    session->shown.cpMin = found.start;
    session->shown.cpMax = found.end;
    EditorControl.SetSelection(found.start, found.end);
    SendMessageA(EditorControl.control, EM_SCROLLCARET, 0, 0);
}

static void Finish(HWND dialog, SpellSession *session)
{
    session->shown.cpMin = session->shown.cpMax = -1;
    if (session->start != 0) {
        int answer = MessageBoxA(dialog, "Finished spell check.\n\nReset to start of file?",
                                 SettingsSection, MB_YESNO);
        if (answer == IDYES) {
            EditorControl.SetSelection(0, 0);
            FindNextLater(dialog);
            return;
        }
    } else {
        MessageBoxA(dialog, "Finished spell check.", SettingsSection, MB_OK);
    }
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// Takes the text afresh (the user may have edited it) and goes on from the selection's
// end to the next word the Dictionary does not accept.
static void FindNext(HWND dialog, SpellSession *session)
{
    char *text = EditorControl.GetText(TEXT_PLAIN, LINE_END_CRLF);
    if (!text || !text[0]) {
        delete[] text;
        return;
    }
    // Without CRs each paragraph end is one LF, as in the control's character positions.
    int length = RemoveCarriageReturns(text);
    Misspelling found;
    if (FindMisspelling(text, length, EditorSelection().cpMax, &found))
        Report(dialog, session, text, found);
    else
        Finish(dialog, session);
    delete[] text;
}

// True while the editor still selects the reported word, unchanged.
static bool ShownWordSelected(SpellSession *session)
{
    CHARRANGE selection = EditorSelection();
    if (session->shown.cpMin < 0 || selection.cpMin != session->shown.cpMin ||
        selection.cpMax != session->shown.cpMax)
        return false;
    char current[MAX_WORD_LENGTH + 1] = "";
    TEXTRANGEA range = {selection, current};
    SendMessageA(EditorControl.control, EM_GETTEXTRANGE, 0, (LPARAM)&range);
    return strcmp(current, session->shownText) == 0;
}

// Writes "Replace with" over the reported word only (a selection the user made
// elsewhere in the meantime is never overwritten), then goes on to the next word.
static void Replace(HWND dialog, SpellSession *session)
{
    if (!ShownWordSelected(session)) {
        MessageBeep(MB_OK);
        return;
    }
    char *text = ControlText(dialog, IDC_SPELL_SUGGESTIONS);
    LONG start = session->shown.cpMin;
    SendMessageA(EditorControl.control, EM_REPLACESEL, TRUE, (LPARAM)text);
    EditorControl.SetSelection(start, start + (int)strlen(text));
    session->shown.cpMin = session->shown.cpMax = -1;
    delete[] text;
    FindNextLater(dialog);
}

// Ignore (for this opening) or Add to Dictionary (for good) the "Misspelled?" word.
static void AcceptWord(HWND dialog, bool forGood)
{
    char *word = ControlText(dialog, IDC_SPELL_WORD);
    // One word per line in the list file: a pasted line break must not start another.
    word[strcspn(word, "\r\n")] = 0;
    if (!word[0]) {
        delete[] word;
        return;
    }
    if (!forGood) {
        AddWord(word);
    } else if (!AddUserWord(word)) {
        char message[400];
        snprintf(message, sizeof message, "The word could not be added to the word list:\n%s",
                 WordListPath);
        MessageBoxA(dialog, message, SettingsSection, MB_OK | MB_ICONWARNING);
    }
    FindNextLater(dialog);
}

static void EndSpellDialog(HWND dialog, SpellSession *session)
{
    if (session->modal)
        EndDialog(dialog, 0);
    else
        DestroyWindow(dialog);
}

static INT_PTR OnInitDialog(HWND dialog, LPARAM modal)
{
    SpellSession *session = new SpellSession;
    memset(session, 0, sizeof *session);
    session->modal = modal != 0;
    session->shown.cpMin = session->shown.cpMax = -1;
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)session);
    if (!AcquireDictionary()) {
        MessageBoxA(MainWindow, "Dictionary not found.", "OrvelloWord", MB_OK);
        EndSpellDialog(dialog, session);
        return FALSE;
    }
    session->loaded = true;
    CHARRANGE selection = EditorSelection();
    session->start = selection.cpMin;
    if (selection.cpMin != selection.cpMax)
        EditorControl.SetSelection(selection.cpMin, selection.cpMin);
    FindNextLater(dialog);
    return TRUE;
}

static INT_PTR OnCommand(HWND dialog, int id)
{
    SpellSession *session = SessionOf(dialog);
    if (!session)
        return FALSE;
    switch (id) {
    case IDC_SPELL_FIND_NEXT: if (session->loaded) FindNext(dialog, session); return TRUE;
    case IDC_SPELL_REPLACE:   Replace(dialog, session); return TRUE;
    case IDC_SPELL_IGNORE:    AcceptWord(dialog, false); return TRUE;
    case IDC_SPELL_ADD:       AcceptWord(dialog, true); return TRUE;
    case IDCANCEL:            PostMessageA(dialog, WM_CLOSE, 0, 0); return TRUE;
    }
    return FALSE;
}

static void OnClose(HWND dialog)
{
    SpellSession *session = SessionOf(dialog);
    if (!session)
        return;
    ReleaseDictionary(session);
    EndSpellDialog(dialog, session);
}

// The last message: the slot is emptied only when it holds this dialog, never when
// Find / Replace took it.
static void OnNcDestroy(HWND dialog)
{
    if (ModelessDialog == dialog)
        ModelessDialog = 0;
    SpellSession *session = SessionOf(dialog);
    if (!session)
        return;
    ReleaseDictionary(session);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    delete session;
}

static INT_PTR CALLBACK SpellDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_COMMAND:    return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:      OnClose(dialog); return TRUE;
    case WM_NCDESTROY:  OnNcDestroy(dialog); return FALSE;
    }
    return FALSE;
}

void OpenSpellCheck(HWND owner)
{
    if (ModelessDialog) {
        SetForegroundWindow(ModelessDialog);
        return;
    }
    HWND dialog = CreateDialogParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_SPELL), owner,
                                     SpellDialogProc, 0);
    // A dialog that found no word list has destroyed itself already.
    if (dialog && IsWindow(dialog))
        ModelessDialog = dialog;
}

// The control hands cut text to the clipboard through OLE, which renders it only when
// someone asks for it: without a flush the corrected text vanished from the clipboard
// as soon as the program ended, and /spell ends it at once.
static void KeepClipboardAfterExit()
{
    typedef HRESULT(WINAPI * FlushFunction)();
    HMODULE ole = GetModuleHandleA("ole32.dll");
    FlushFunction flush = ole ? (FlushFunction)(void *)GetProcAddress(ole, "OleFlushClipboard") : 0;
    if (flush)
        flush();
}

static bool EditorModified()
{
    return SendMessageA(EditorControl.control, EM_GETMODIFY, 0, 0) != 0;
}

void SpellCheckClipboard(HWND owner, LPARAM marker)
{
    // NewDocument puts a new control in place of a long document's: the control is
    // read again at each use, never kept across anything that may replace it.
    if (!strchr(EditorControl.GetEditState(), 'p')) {
        MessageBoxA(owner, "System Clipboard is empty.", SettingsSection, MB_OK);
    } else if (NewDocument(owner)) {
        SendMessageA(EditorControl.control, WM_PASTE, 0, 0);
        EditorControl.SetSelection(0, 0);
        SendMessageA(EditorControl.control, EM_SETMODIFY, FALSE, 0);
        DialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_SPELL), owner, SpellDialogProc,
                        1);
        if (EditorModified()) {
            if (MessageBoxA(owner, "Save Changes to System Clipboard?", SettingsSection,
                            MB_YESNO) == IDYES) {
                EditorControl.SetSelection(0, -1);
                SendMessageA(EditorControl.control, WM_CUT, 0, 0);
                KeepClipboardAfterExit();
                SendMessageA(EditorControl.control, EM_REPLACESEL, TRUE, (LPARAM) "");
            }
            SendMessageA(EditorControl.control, EM_SETMODIFY, FALSE, 0);
        }
    }
    if (marker == SPELL_EXIT_MARKER)
        PostMessageA(owner, WM_CLOSE, 0, 0);
}
