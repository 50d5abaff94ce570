#include "app/DocumentStatus.h"

#include <windows.h>
#include <commctrl.h>

#include "app/App.h"
#include "app/Layout.h"
#include "app/Toolbar.h"
#include "document/Document.h"
#include "document/FileFormats.h"
#include "document/LineEnds.h"
#include "document/OpenDocument.h"
#include "editor/EditorControl.h"

// The part is the status bar's second one.
static const int DOCUMENT_PART = 1;

std::string DocumentStatusText()
{
    int format = EditorControl.GetTextMode() == TEXT_RICH ? FORMAT_RICH : DocumentFormat;
    return SaveFormatText(format, Utf8ByteOrderMark, DocumentLineEnds, DocumentLineEndsMixed);
}

// The width the part needs for text in the status bar's font, never less than for the
// usual texts, so that it does not jump from one file to the next.
static int PartWidth(HWND status, const std::string &text)
{
    HDC device = GetDC(status);
    if (!device)
        return 0;
    HGDIOBJ font = (HGDIOBJ)SendMessageA(status, WM_GETFONT, 0, 0);
    HGDIOBJ previous = font ? SelectObject(device, font) : 0;
    SIZE size = {0, 0}, usual = {0, 0};
    GetTextExtentPoint32A(device, text.c_str(), (int)text.size(), &size);
    const char widest[] = "UTF-16 LE | CR LF";
    GetTextExtentPoint32A(device, widest, sizeof widest - 1, &usual);
    if (previous)
        SelectObject(device, previous);
    ReleaseDC(status, device);
    // Room for the part's borders and a little space on either side.
    return (size.cx > usual.cx ? size.cx : usual.cx) + 3 * GetSystemMetrics(SM_CXEDGE) + 12;
}

void ShowDocumentStatus()
{
    if (!StatusBar || OutputWindowMode())
        return;
    std::string text = DocumentStatusText();
    int parts = (int)SendMessageA(StatusBar, SB_GETPARTS, 0, 0);
    char shown[128] = "";
    if (parts > DOCUMENT_PART &&
        LOWORD(SendMessageA(StatusBar, SB_GETTEXTLENGTHA, DOCUMENT_PART, 0)) < sizeof shown) {
        SendMessageA(StatusBar, SB_GETTEXTA, DOCUMENT_PART, (LPARAM)shown);
        if (text == shown)
            return;
    }
    SetStatusLastPartWidth(StatusBar, PartWidth(StatusBar, text));
    SendMessageA(StatusBar, SB_SETTEXTA, DOCUMENT_PART, (LPARAM)text.c_str());
}
