#include "format/TextFormatDialog.h"

#include <stdio.h>
#include <string.h>

#include "app/App.h"
#include "app/Toolbar.h"
#include "editor/EditorControl.h"
#include "editor/FormatDescriptor.h"
#include "format/ColorMenu.h"
#include "format/FormatText.h"
#include "res/resource.h"

// One dialog at a time: the caller's format text and the colour to write as c=.
static char *formatText;
static int pendingColor;
// The values the dialog started with: only what differs from them is applied.
static FormatFields shownFields;

static const int CHECK_IDS[4] = {IDC_FORMAT_BOLD, IDC_FORMAT_ITALIC, IDC_FORMAT_UNDERLINE,
                                 IDC_FORMAT_STRIKEOUT};

static void FillList(HWND dialog, int id, const char *const *items, int count, int selected)
{
    HWND list = GetDlgItem(dialog, id);
    for (int k = 0; k < count; ++k)
        SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)items[k]);
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

// Sets a drop-down combo's text and selects the list item that matches it exactly
// (or none), so that reading the combo back gives the same text.
static void SetComboText(HWND dialog, int id, const char *text)
{
    HWND combo = GetDlgItem(dialog, id);
    int item = text[0] ? (int)SendMessageA(combo, CB_FINDSTRINGEXACT, -1, (LPARAM)text) : -1;
    SendMessageA(combo, CB_SETCURSEL, item, 0);
    SetWindowTextA(combo, text);
}

static void ShowFields(HWND dialog, const FormatFields &fields)
{
    SetComboText(dialog, IDC_FORMAT_SIZE, fields.size);
    EnableWindow(GetDlgItem(dialog, IDC_FORMAT_OFFSET), fields.offsetEnabled);
    SetComboText(dialog, IDC_FORMAT_FACE, fields.face);
    const int states[4] = {fields.bold, fields.italic, fields.underline, fields.strikeout};
    for (int k = 0; k < 4; ++k)
        SendDlgItemMessageA(dialog, CHECK_IDS[k], BM_SETCHECK, states[k], 0);

    static const char *const offsets[] = {"", "None", "Superscript", "Subscript"};
    static const char *const alignments[] = {"", "Left", "Right", "Center"};
    static const char *const bullets[] = {"", "Off", "On"};
    FillList(dialog, IDC_FORMAT_OFFSET, offsets, 4, fields.offset);
    FillList(dialog, IDC_FORMAT_ALIGNMENT, alignments, 4, fields.alignment);
    FillList(dialog, IDC_FORMAT_BULLETS, bullets, 3, fields.bullets);

    SetDlgItemTextA(dialog, IDC_FORMAT_RIGHT, fields.right);
    SetDlgItemTextA(dialog, IDC_FORMAT_LEFT, fields.left);
    SetDlgItemTextA(dialog, IDC_FORMAT_FIRST_LINE, fields.firstLine);
    SetDlgItemTextA(dialog, IDC_FORMAT_TABS, fields.tabs);
}

// Typing stops where a value would no longer fit the format text; longer texts can
// still arrive by other ways and are cut or refused on OK.
static void LimitTyping(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_FORMAT_SIZE, CB_LIMITTEXT, SIZE_CHARS, 0);
    SendDlgItemMessageA(dialog, IDC_FORMAT_FACE, CB_LIMITTEXT, FACE_CHARS, 0);
    const int indents[3] = {IDC_FORMAT_LEFT, IDC_FORMAT_RIGHT, IDC_FORMAT_FIRST_LINE};
    for (int id : indents)
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, INDENT_CHARS, 0);
    SendDlgItemMessageA(dialog, IDC_FORMAT_TABS, EM_LIMITTEXT, TABS_CHARS, 0);
}

static BOOL OnInitDialog(HWND dialog, char *text)
{
    formatText = text;
    HWND editor = EditorControl.control;
    HDC dc = GetDC(editor);
    EnumFontsA(dc, 0, (FONTENUMPROCA)AddFontName, (LPARAM)GetDlgItem(dialog, IDC_FORMAT_FACE));
    ReleaseDC(editor, dc);
    FillSizeList(GetDlgItem(dialog, IDC_FORMAT_SIZE), 8, 14, 1, 80, 2, 160, 20);

    FieldsFromFormatText(text, &shownFields);
    pendingColor = shownFields.color;
    ShowFields(dialog, shownFields);
    LimitTyping(dialog);
    CleanFormatFields(&shownFields);
    return TRUE;
}

static void ReadFields(HWND dialog, FormatFields *fields)
{
    memset(fields, 0, sizeof *fields);
    int *states[4] = {&fields->bold, &fields->italic, &fields->underline, &fields->strikeout};
    for (int k = 0; k < 4; ++k)
        *states[k] = (int)SendDlgItemMessageA(dialog, CHECK_IDS[k], BM_GETCHECK, 0, 0);
    // The combos' edit text: a chosen list item is copied there, and text set by other
    // means than typing can leave an old list item selected that is no longer shown.
    GetDlgItemTextA(dialog, IDC_FORMAT_SIZE, fields->size, sizeof fields->size);
    GetDlgItemTextA(dialog, IDC_FORMAT_FACE, fields->face, sizeof fields->face);
    fields->offset = (int)SendDlgItemMessageA(dialog, IDC_FORMAT_OFFSET, CB_GETCURSEL, 0, 0);
    fields->color = pendingColor;
    fields->bullets = (int)SendDlgItemMessageA(dialog, IDC_FORMAT_BULLETS, CB_GETCURSEL, 0, 0);
    fields->alignment = (int)SendDlgItemMessageA(dialog, IDC_FORMAT_ALIGNMENT, CB_GETCURSEL, 0, 0);
    GetDlgItemTextA(dialog, IDC_FORMAT_FIRST_LINE, fields->firstLine, sizeof fields->firstLine);
    GetDlgItemTextA(dialog, IDC_FORMAT_LEFT, fields->left, sizeof fields->left);
    GetDlgItemTextA(dialog, IDC_FORMAT_RIGHT, fields->right, sizeof fields->right);
    GetDlgItemTextA(dialog, IDC_FORMAT_TABS, fields->tabs, sizeof fields->tabs);
    // A list with nothing selected counts as blank.
    if (fields->offset < 0)
        fields->offset = 0;
    if (fields->bullets < 0)
        fields->bullets = 0;
    if (fields->alignment < 0)
        fields->alignment = 0;
}

static int ProblemControl(FormatProblem problem)
{
    switch (problem) {
    case PROBLEM_SIZE:       return IDC_FORMAT_SIZE;
    case PROBLEM_FIRST_LINE: return IDC_FORMAT_FIRST_LINE;
    case PROBLEM_LEFT:       return IDC_FORMAT_LEFT;
    case PROBLEM_RIGHT:      return IDC_FORMAT_RIGHT;
    default:                 return IDC_FORMAT_TABS;
    }
}

// Builds the result into the caller's text; a value the control cannot take keeps
// the dialog open with that field focused.
static void OnOk(HWND dialog)
{
    static FormatFields fields;
    ReadFields(dialog, &fields);
    CleanFormatFields(&fields);
    // Values read from the document and left alone are neither checked nor applied.
    KeepChangedFields(shownFields, &fields);
    FormatProblem problem = CheckFormatFields(fields);
    char result[DESCRIPTOR_SIZE];
    if (problem == FORMAT_OK && BuildFormatText(fields, result, sizeof result) < 0)
        problem = PROBLEM_TABS;  // cannot happen within the typing limits
    if (problem != FORMAT_OK) {
        MessageBoxA(dialog, FormatProblemText(problem), AppName, MB_OK | MB_ICONEXCLAMATION);
        HWND field = GetDlgItem(dialog, ProblemControl(problem));
        SetFocus(field);
        if (problem == PROBLEM_SIZE)
            SendMessageA(field, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        else
            SendMessageA(field, EM_SETSEL, 0, -1);
        return;
    }
    memcpy(formatText, result, sizeof result);
    EndDialog(dialog, 1);
}

static void OnColor(HWND dialog)
{
    RECT button;
    GetWindowRect(GetDlgItem(dialog, IDC_FORMAT_COLOR), &button);
    int colour = ShowColorMenu(pendingColor, &button);
    if (colour != -1)
        pendingColor = colour;
}

INT_PTR CALLBACK TextFormatDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, (char *)lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:             OnOk(dialog); break;
        case IDCANCEL:         EndDialog(dialog, 0); break;
        case IDC_FORMAT_COLOR: OnColor(dialog); break;
        }
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void EditTextFormat(HWND window)
{
    if (OutputWindowMode())
        return;
    const char *current = EditorControl.GetFormatDescriptor();
    if (!current)
        return;
    // A copy: the shared descriptor buffer is rebuilt by every selection follow-up.
    char text[DESCRIPTOR_SIZE];
    lstrcpynA(text, current, sizeof text);
    if (DialogBoxParamA(GetModuleHandleA(0), MAKEINTRESOURCEA(IDD_TEXT_FORMAT), window,
                        TextFormatDialog, (LPARAM)text) != 1)
        return;
    // Nothing changed: nothing applied, not even the switch to rich text.
    if (!text[0])
        return;
    if (EditorControl.GetTextMode() == TEXT_PLAIN)
        EditorControl.SetTextMode(TEXT_RICH);
    EditorControl.ApplyFormatDescriptor(text);
    SelectionChanged();
}
