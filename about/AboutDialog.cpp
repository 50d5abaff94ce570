#include "about/AboutDialog.h"

#include <shellapi.h>
#include <string.h>

#include "about/AboutLayout.h"
#include "about/LogoAnimation.h"
#include "app/Dpi.h"
#include "res/resource.h"

// A reserved example domain: the program has no real site of its own.
const char ABOUT_SITE_HOST[] = "orvelloword.example.org";
const char ABOUT_SITE_URL[] = "https://orvelloword.example.org/";

int animationClock = 0;

static const UINT_PTR ABOUT_TIMER = 1;
static const UINT ABOUT_TIMER_PERIOD = 100;
static const DWORD ABOUT_STYLE = WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFOREGROUND |
                                 DS_MODALFRAME | DS_SETFONT | DS_ABSALIGN;
static const WORD BUTTON_ATOM = 0x0080, STATIC_ATOM = 0x0082;
static const wchar_t ABOUT_FONT[] = L"MS Shell Dlg";

// Set up by the first call and kept for the run.
static HGLOBAL TemplateBlock;
static size_t TemplateBlockSize, TemplateSize;
static int BaseX, BaseY, DefaultWidth, DefaultHeight;

static HICON PreviousClassIcon;
static bool ClassIconReplaced;

// Writes a dialog template, or with no buffer only counts its bytes. Nothing is written
// past capacity; a writer that ran out says so in overflow.
struct TemplateWriter {
    BYTE *out;
    size_t capacity;
    size_t size;
    bool overflow;

    void Put(const void *data, size_t count)
    {
        if (out && size + count <= capacity)
            memcpy(out + size, data, count);
        else if (out)
            overflow = true;
        size += count;
    }
    void Word(WORD value) { Put(&value, sizeof value); }
    void Long(DWORD value) { Put(&value, sizeof value); }
    void Rect(const AboutItemRect &r)
    {
        Word((WORD)r.x), Word((WORD)r.y), Word((WORD)r.cx), Word((WORD)r.cy);
    }
    // Every item starts on a DWORD boundary of the template.
    void Align()
    {
        while (size % 4)
            Word(0);
    }
};

struct AboutItem {
    WORD id;
    WORD classAtom;
    DWORD style;
};

static const AboutItem ABOUT_ITEMS[ABOUT_ITEM_COUNT] = {
    // Close is the default button, so Enter closes the box as Escape does.
    {IDCANCEL, BUTTON_ATOM, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDC_ABOUT_LOGO, STATIC_ATOM, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_BITMAP},
    {IDC_ABOUT_LINK, BUTTON_ATOM, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {0xFFFF, STATIC_ATOM, WS_CHILD | WS_VISIBLE | SS_BLACKRECT},
    {IDC_ABOUT_TEXT, STATIC_ATOM, WS_CHILD | WS_VISIBLE | SS_LEFT},
};

static void WriteAboutTemplate(TemplateWriter &writer, const AboutLayout &layout)
{
    writer.Long(ABOUT_STYLE);
    writer.Long(0);
    writer.Word(ABOUT_ITEM_COUNT);
    AboutItemRect frame = {0, 0, (short)layout.cx, (short)layout.cy};
    writer.Rect(frame);
    writer.Word(0);  // no menu
    writer.Word(0);  // the dialog class
    writer.Word(0);  // empty title
    writer.Word(8);  // font size
    writer.Put(ABOUT_FONT, sizeof ABOUT_FONT);
    for (int i = 0; i < ABOUT_ITEM_COUNT; ++i) {
        writer.Align();
        writer.Long(ABOUT_ITEMS[i].style);
        writer.Long(0);
        writer.Rect(layout.items[i]);
        writer.Word(ABOUT_ITEMS[i].id);
        writer.Word(0xFFFF);
        writer.Word(ABOUT_ITEMS[i].classAtom);
        writer.Word(0);  // empty text
        writer.Word(0);  // no creation data
    }
}

// Builds the template into the block, which is made (or made larger) to fit what the
// template needs. Returns the template, or 0 when no memory could be had.
static const DLGTEMPLATE *PrepareTemplate(const SIZE *size)
{
    if (!BaseX) {
        // The units the box converts with: those of its own font at the system's scale.
        TemplateFontUnits("MS Shell Dlg", 8, &BaseX, &BaseY);
        DefaultAboutSize(BaseX, BaseY, &DefaultWidth, &DefaultHeight);
        // The default content is 480 x 240 pixels at 96 DPI; dialog units follow the
        // system's scale, so the box grows with it.
        DefaultWidth = ScaleToDpi(DefaultWidth, SystemDpi());
        DefaultHeight = ScaleToDpi(DefaultHeight, SystemDpi());
    }
    AboutLayout layout = ComputeAboutLayout(size ? size->cx : DefaultWidth,
                                            size ? size->cy : DefaultHeight, BaseX, BaseY);
    TemplateWriter counter = {0, 0, 0, false};
    WriteAboutTemplate(counter, layout);
    if (!TemplateBlock || TemplateBlockSize < counter.size) {
        if (TemplateBlock)
            GlobalFree(TemplateBlock);
        TemplateBlock = GlobalAlloc(GPTR, counter.size);
        TemplateBlockSize = TemplateBlock ? counter.size : 0;
        if (!TemplateBlock)
            return 0;
    }
    TemplateWriter writer = {(BYTE *)TemplateBlock, TemplateBlockSize, 0, false};
    WriteAboutTemplate(writer, layout);
    TemplateSize = writer.size;
    return writer.overflow ? 0 : (const DLGTEMPLATE *)TemplateBlock;
}

const void *AboutTemplateBlock(size_t *blockSize, size_t *templateSize)
{
    if (blockSize)
        *blockSize = TemplateBlockSize;
    if (templateSize)
        *templateSize = TemplateSize;
    return TemplateBlock;
}

INT_PTR ShowAboutBox(HWND owner, const char *product, DWORD version, HICON icon,
                     const SIZE *size, DWORD unused)
{
    const DLGTEMPLATE *dialogTemplate = PrepareTemplate(size);
    if (!dialogTemplate)
        return -1;
    AboutRecord record;
    record.icon = icon;
    record.unused = unused;
    lstrcpynA(record.text, product ? product : "", sizeof record.text / 2);
    size_t nameLength = strlen(record.text) + 1;
    FormatAboutText(record.text + nameLength, (int)(sizeof record.text - nameLength), record.text,
                    version, __DATE__);
    return DialogBoxIndirectParamA(GetModuleHandleA(0), dialogTemplate, owner, AboutDialog,
                                   (LPARAM)&record);
}

static INT_PTR OnInitDialog(HWND dialog, const AboutRecord *record)
{
    ClassIconReplaced = record->icon != 0;
    PreviousClassIcon = ClassIconReplaced
        ? (HICON)SetClassLongPtrA(dialog, GCLP_HICON, (LONG_PTR)record->icon) : 0;
    SetWindowTextA(dialog, record->text);
    SetDlgItemTextA(dialog, IDCANCEL, "Close");
    SetDlgItemTextA(dialog, IDC_ABOUT_LINK, ABOUT_SITE_HOST);
    SetDlgItemTextA(dialog, IDC_ABOUT_TEXT, record->text + strlen(record->text) + 1);
    SetTimer(dialog, ABOUT_TIMER, ABOUT_TIMER_PERIOD, 0);
    // Tab goes in reading order: the site's button above, Close below it.
    SetWindowPos(GetDlgItem(dialog, IDCANCEL), GetDlgItem(dialog, IDC_ABOUT_LINK), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetFocus(GetDlgItem(dialog, IDC_ABOUT_LOGO));
    return FALSE;
}

// Timer 1 turns the logo one step; identifier 0 only redraws it.
static void OnTimer(HWND dialog, WPARAM id)
{
    // Wraps instead of overflowing after years of turning.
    animationClock = (int)((unsigned)animationClock - (unsigned)id);
    DrawLogo(GetDlgItem(dialog, IDC_ABOUT_LOGO), 0, animationClock, 0, 0);
}

static void OnCommand(HWND dialog, int id)
{
    // Enter where no button has the focus comes as IDOK.
    if (id == IDCANCEL || id == IDOK)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    else if (id == IDC_ABOUT_LINK)
        ShellExecuteA(0, "open", ABOUT_SITE_URL, 0, 0, SW_SHOWNORMAL);
}

static void OnClose(HWND dialog)
{
    if (ClassIconReplaced)
        SetClassLongPtrA(dialog, GCLP_HICON, (LONG_PTR)PreviousClassIcon);
    ClassIconReplaced = false;
    PreviousClassIcon = 0;
    KillTimer(dialog, ABOUT_TIMER);
    EndDialog(dialog, 0);
}

INT_PTR CALLBACK AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, (const AboutRecord *)lParam);
    case WM_TIMER:      OnTimer(dialog, wParam); return FALSE;
    // Redraw once without advancing; the dialog's own painting goes on as usual.
    case WM_PAINT:      PostMessageA(dialog, WM_TIMER, 0, 0); return FALSE;
    case WM_COMMAND:    OnCommand(dialog, LOWORD(wParam)); return FALSE;
    case WM_CLOSE:      OnClose(dialog); return TRUE;
    }
    return FALSE;
}
