#include "document/FileView.h"
#include "document/Document.h"

#include <commdlg.h>
#include <stdio.h>

#include "app/App.h"
#include "app/DocumentStatus.h"
#include "app/Settings.h"
#include "document/FileWatch.h"
#include "document/OpenDocument.h"
#include "document/RecentFiles.h"
#include "document/Recovery.h"
#include "editor/EditorControl.h"
#include "res/resource.h"

char CurrentDocumentPath[260] = "";
LineEndStyle DocumentLineEnds = LINE_ENDS_CRLF;
bool DocumentLineEndsMixed = false;

void SetCurrentDocument(HWND window, const char *path)
{
    if (path) {
        char fileTitle[260] = "";
        GetFileTitleA(path, fileTitle, sizeof fileTitle);
        char title[600];
        snprintf(title, sizeof title, "%s - %s", fileTitle, SettingsSection);
        SetWindowTextA(window, title);
        if (!OutputWindowMode())
            PushRecentFile(path);
        snprintf(CurrentDocumentPath, sizeof CurrentDocumentPath, "%s", path);
    } else {
        SetWindowTextA(window, SettingsSection);
        CurrentDocumentPath[0] = 0;
    }
    WatchDocumentFile(window, CurrentDocumentPath);
    RememberDocumentFile(path);
}

static bool EditorModified()
{
    return SendMessageA(EditorControl.control, EM_GETMODIFY, 0, 0) != 0;
}

// "Save Changes?"; 1 when the document may go. A No forgets the changes only when
// forgetOnNo is set.
static int AskSaveChanges(HWND owner, bool forgetOnNo)
{
    if (OutputWindowMode() || !EditorControl.control || !EditorModified())
        return 1;
    int answer = MessageBoxA(owner, "Save Changes?", "OrvelloWord", MB_YESNOCANCEL);
    if (answer == IDYES)
        SendMessageA(owner, WM_COMMAND, IDC_SAVE, 0);
    else if (answer == IDNO && !forgetOnNo)
        return 1;
    else if (answer == IDNO)
        SendMessageA(EditorControl.control, EM_SETMODIFY, FALSE, 0);
    return EditorModified() ? 0 : 1;
}

int ConfirmDiscard(HWND owner)
{
    if (!AskSaveChanges(owner, true))
        return 0;
    // Saved or given up: the changes need no keeping any more.
    DropSnapshot();
    return 1;
}

int ConfirmSessionEnd(HWND owner)
{
    return AskSaveChanges(owner, false);
}

int NewDocument(HWND owner)
{
    if (!ConfirmDiscard(owner))
        return 0;
    WaitCursor wait;
    CloseFileView();
    EditorControl.Empty();
    DocumentLineEnds = LINE_ENDS_CRLF;
    DocumentLineEndsMixed = false;
    SetCurrentDocument(owner, 0);
    ShowDocumentStatus();
    InvalidateRect(owner, 0, TRUE);
    return 1;
}

void ConvertDocumentLineEnds(LineEndStyle style)
{
    if (!IsLineEndStyle(style))
        return;
    // The editor holds one kind of line end whatever the file had: only the saved
    // bytes change, and they do unless the style is the one the file already has.
    // An empty document has no line ends to change.
    bool changes = (style != DocumentLineEnds || DocumentLineEndsMixed) &&
                   EditorControl.control && GetWindowTextLengthA(EditorControl.control) > 0;
    DocumentLineEnds = style;
    DocumentLineEndsMixed = false;
    if (changes)
        SendMessageA(EditorControl.control, EM_SETMODIFY, TRUE, 0);
    ShowDocumentStatus();
}
