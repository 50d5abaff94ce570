#include "tools/DialogState.h"

#include <commctrl.h>
#include <string.h>

#include <string>

#include "tools/DialogStateText.h"

namespace {

const int MAX_CONTROLS = 256;

struct IdList {
    int ids[MAX_CONTROLS];
};

BOOL CALLBACK CollectId(HWND child, LPARAM data)
{
    IdList *list = (IdList *)data;
    int id = GetDlgCtrlID(child);
    if (!id)
        return TRUE;
    for (int i = 0; i < MAX_CONTROLS; ++i) {
        if (!list->ids[i]) {
            list->ids[i] = id;
            return TRUE;
        }
    }
    return FALSE;  // the list is full
}

bool IsClass(HWND control, const char *name)
{
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

int ControlValue(HWND control)
{
    if (IsClass(control, "button"))
        return (int)SendMessageA(control, BM_GETCHECK, 0, 0);
    if (IsClass(control, "combobox"))
        return (int)SendMessageA(control, CB_GETCURSEL, 0, 0);
    if (IsClass(control, "listbox"))
        return (int)SendMessageA(control, LB_GETCURSEL, 0, 0);
    if (IsClass(control, "scrollbar"))
        return GetScrollPos(control, SB_CTL);
    if (IsClass(control, WC_TABCONTROLA))
        return (int)SendMessageA(control, TCM_GETCURSEL, 0, 0);
    if (IsClass(control, DATETIMEPICK_CLASSA)) {
        SYSTEMTIME time;
        return SendMessageA(control, DTM_GETSYSTEMTIME, 0, (LPARAM)&time) == GDT_VALID ? 1 : 0;
    }
    if (IsClass(control, HOTKEY_CLASSA))
        return (int)SendMessageA(control, HKM_GETHOTKEY, 0, 0);
    if (IsClass(control, TRACKBAR_CLASSA))
        return (int)SendMessageA(control, TBM_GETPOS, 0, 0);
    if (IsClass(control, PROGRESS_CLASSA))
        return (int)SendMessageA(control, PBM_GETPOS, 0, 0);
    return GetWindowTextLengthA(control);
}

void ApplyText(HWND control, const std::string &text)
{
    if (IsClass(control, "combobox")) {
        SendMessageA(control, CB_ADDSTRING, 0, (LPARAM)text.c_str());
    } else if (IsClass(control, "listbox")) {
        SendMessageA(control, LB_ADDSTRING, 0, (LPARAM)text.c_str());
    } else if (IsClass(control, WC_TABCONTROLA)) {
        TCITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = TCIF_TEXT;
        item.pszText = (char *)text.c_str();
        int count = (int)SendMessageA(control, TCM_GETITEMCOUNT, 0, 0);
        SendMessageA(control, TCM_INSERTITEMA, count, (LPARAM)&item);
    } else if (IsClass(control, WC_LISTVIEWA)) {
        LVCOLUMNA column;
        memset(&column, 0, sizeof column);
        column.mask = LVCF_WIDTH;
        int count = 0;
        while (SendMessageA(control, LVM_GETCOLUMNA, count, (LPARAM)&column))
            ++count;
        column.mask = LVCF_TEXT;
        column.pszText = (char *)text.c_str();
        SendMessageA(control, LVM_INSERTCOLUMNA, count, (LPARAM)&column);
        ++count;
        RECT client;
        GetClientRect(control, &client);
        for (int i = 0; i < count; ++i)
            SendMessageA(control, LVM_SETCOLUMNWIDTH, i, client.right / count);
    } else {
        SetWindowTextA(control, text.c_str());
    }
}

void ApplyNumber(HWND control, long number)
{
    if (number == STATE_MARKER_HIDE) {
        ShowWindow(control, SW_HIDE);
    } else if (number == STATE_MARKER_SHOW) {
        ShowWindow(control, SW_SHOW);
        EnableWindow(control, TRUE);
    } else if (number == STATE_MARKER_GRAY) {
        EnableWindow(control, FALSE);
    } else if (IsClass(control, "button")) {
        SendMessageA(control, BM_SETCHECK, number, 0);
    } else if (IsClass(control, "combobox")) {
        SendMessageA(control, CB_SETCURSEL, number, 0);
    } else if (IsClass(control, "listbox")) {
        SendMessageA(control, LB_SETCURSEL, number, 0);
    } else if (IsClass(control, "scrollbar")) {
        SetScrollRange(control, SB_CTL, 0, 100, TRUE);
        SetScrollPos(control, SB_CTL, (int)number, TRUE);
    } else if (IsClass(control, WC_TABCONTROLA)) {
        SendMessageA(control, TCM_SETCURSEL, number, 0);
    } else if (IsClass(control, HOTKEY_CLASSA)) {
        SendMessageA(control, HKM_SETHOTKEY, number, 0);
    } else if (IsClass(control, TRACKBAR_CLASSA)) {
        SendMessageA(control, TBM_SETPOS, TRUE, number);
    } else if (IsClass(control, PROGRESS_CLASSA)) {
        SendMessageA(control, PBM_SETPOS, number, 0);
    }
}

}  // namespace

char *SaveDialogState(HWND dialog, WPARAM command)
{
    char *state = new char[STATE_TEXT_SIZE];
    IdList list;
    memset(&list, 0, sizeof list);
    EnumChildWindows(dialog, CollectId, (LPARAM)&list);
    size_t used = StartStateText(state, STATE_TEXT_SIZE, LOWORD(command));
    for (int i = 0; i < MAX_CONTROLS && list.ids[i]; ++i) {
        HWND control = GetDlgItem(dialog, list.ids[i]);
        char text[1024] = "";
        GetDlgItemTextA(dialog, list.ids[i], text, sizeof text);
        // A line that does not fit is left out; the text stays whole and readable.
        if (!AppendStateLine(state, STATE_TEXT_SIZE, &used, list.ids[i], ControlValue(control), text))
            break;
    }
    return state;
}

BOOL ApplyDialogState(HWND dialog, const char *text)
{
    if (!text)
        return TRUE;
    const char *cursor = text;
    InitLine line;
    while (NextInitLine(&cursor, text, &line)) {
        HWND control = GetDlgItem(dialog, line.id);
        if (!control)
            continue;
        if (line.kind == '"')
            ApplyText(control, std::string(line.text, line.textLength));
        else if (line.kind == '#')
            ApplyNumber(control, line.number);
    }
    long icon = InitIcon(text);
    if (icon)
        SetClassLongPtrA(dialog, GCLP_HICON, (LONG_PTR)icon);
    const char *title = InitTitle(text);
    if (title)
        SetWindowTextA(dialog, title);
    return TRUE;
}

static bool IsDefaultPushButton(HWND control)
{
    return control && IsClass(control, "button") &&
           (GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

INT_PTR CALLBACK StateDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return ApplyDialogState(dialog, (const char *)lParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            return SendMessageA(dialog, WM_CLOSE, 0, 0);
        if (!IsDefaultPushButton((HWND)lParam))
            return FALSE;
        EndDialog(dialog, (INT_PTR)SaveDialogState(dialog, wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
