#include "print/FormatRange.h"

#include <string.h>
#include <vector>

#include "print/PageLayout.h"

// Our layout measures text as the editor's screen wrap does: fonts of the pixel height
// the control gives them on the screen (twips x dpi / 1440, truncated), character
// advances in whole pixels, a line full when the next character would pass the
// rectangle's width in pixels. Lines that fit the editor's Wrap to Page therefore fit
// here too, and the page count, the preview and the printed pages break at the same
// characters; each device draws its glyphs at the positions measured here, scaled.
namespace {

const DWORD CHAR_MASK = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR |
                        CFM_FACE | CFM_SIZE | CFM_OFFSET | CFM_CHARSET;
const DWORD PARA_MASK = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT |
                        PFM_TABSTOPS | PFM_NUMBERING;
// Space between a bullet and its text when the paragraph sets no offset.
const int BULLET_SPACE_TWIPS = 360;
const int UNMEASURED = -1;

struct LayoutFont {
    LOGFONTW face;            // at the measuring scale: height in pixels
    HFONT measuring;          // face selected for measuring
    int ascent, descent;      // pixels
    std::vector<int> widths;  // advance per character in pixels, UNMEASURED until asked
    HFONT device;             // the same face for the last device drawn on
    int deviceDpi;
};

struct CharRun {
    int start;
    int font;
    COLORREF color;
    int offset;  // pixels, positive raises
};

struct ParaRun {
    int start;
    PARAFORMAT format;
};

struct Layout {
    HWND control;
    int length;
    std::vector<wchar_t> text;
    std::vector<CharRun> chars;
    std::vector<ParaRun> paras;
    std::vector<LayoutFont> fonts;
    HDC measure;
    int dpiX, dpiY;  // of the measuring context: the screen's
};

Layout *Current;
int StandsIn = -1;  // unknown until probed
HDC Measuring = 0;

// Twips to measuring pixels as the control converts them: truncated toward zero.
int PixelsX(const Layout &layout, int twips)
{
    return (int)((long long)twips * layout.dpiX / 1440);
}

int PixelsY(const Layout &layout, int twips)
{
    return (int)((long long)twips * layout.dpiY / 1440);
}

// --- Reading the control -------------------------------------------------------

int FindFont(Layout &layout, const CHARFORMATW &format)
{
    LOGFONTW face;
    memset(&face, 0, sizeof face);
    face.lfHeight = -PixelsY(layout, format.yHeight > 0 ? format.yHeight : 200);
    face.lfWeight = format.dwEffects & CFE_BOLD ? FW_BOLD : FW_NORMAL;
    face.lfItalic = (format.dwEffects & CFE_ITALIC) != 0;
    face.lfUnderline = (format.dwEffects & CFE_UNDERLINE) != 0;
    face.lfStrikeOut = (format.dwEffects & CFE_STRIKEOUT) != 0;
    face.lfCharSet = format.bCharSet;
    face.lfPitchAndFamily = format.bPitchAndFamily;
    lstrcpynW(face.lfFaceName, format.szFaceName, LF_FACESIZE);
    for (size_t i = 0; i < layout.fonts.size(); ++i)
        if (memcmp(&layout.fonts[i].face, &face, sizeof face) == 0)
            return (int)i;

    LayoutFont font;
    font.face = face;
    font.measuring = CreateFontIndirectW(&face);
    HGDIOBJ old = SelectObject(layout.measure, font.measuring);
    TEXTMETRICW metrics;
    GetTextMetricsW(layout.measure, &metrics);
    SelectObject(layout.measure, old);
    font.ascent = metrics.tmAscent;
    font.descent = metrics.tmDescent;
    font.widths.assign(65536, UNMEASURED);
    font.device = 0;
    font.deviceDpi = 0;
    layout.fonts.push_back(font);
    return (int)layout.fonts.size() - 1;
}

void ReadCharFormat(HWND control, int start, int end, CHARFORMATW *format)
{
    CHARRANGE range = {start, end};
    SendMessageW(control, EM_EXSETSEL, 0, (LPARAM)&range);
    memset(format, 0, sizeof *format);
    format->cbSize = sizeof *format;
    SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)format);
}

void ReadParaFormat(HWND control, int start, int end, PARAFORMAT *format)
{
    CHARRANGE range = {start, end};
    SendMessageW(control, EM_EXSETSEL, 0, (LPARAM)&range);
    memset(format, 0, sizeof *format);
    format->cbSize = sizeof *format;
    SendMessageW(control, EM_GETPARAFORMAT, 0, (LPARAM)format);
}

bool CharsUniform(HWND control, int start, int end)
{
    CHARFORMATW format;
    ReadCharFormat(control, start, end, &format);
    return (format.dwMask & CHAR_MASK) == CHAR_MASK;
}

bool ParasUniform(HWND control, int start, int end)
{
    PARAFORMAT format;
    ReadParaFormat(control, start, end, &format);
    return (format.dwMask & PARA_MASK) == PARA_MASK;
}

// End of the stretch from start on which the control reports one format: grows the
// probe fourfold while uniform, then halves the gap. Few messages for long runs.
int RunEnd(HWND control, int start, int end, bool (*uniform)(HWND, int, int))
{
    // Most documents, plain ones always on Windows, have one format to their end.
    if (uniform(control, start, end))
        return end;
    int good = start + 1, bad = end + 1;
    for (int step = 64;; step *= 4) {
        int probe = end - start > step ? start + step : end;
        if (probe <= good)
            break;
        if (!uniform(control, start, probe)) {
            bad = probe;
            break;
        }
        good = probe;
        if (probe == end)
            return end;
    }
    while (bad - good > 1) {
        int middle = good + (bad - good) / 2;
        if (uniform(control, start, middle))
            good = middle;
        else
            bad = middle;
    }
    return good;
}

// Walks the control's formats by selecting stretches of text; the selection, the
// scroll position, the event mask and the drawing are put back afterwards.
void ReadFormats(Layout &layout)
{
    HWND control = layout.control;
    CHARRANGE saved;
    POINT scroll;
    SendMessageW(control, EM_EXGETSEL, 0, (LPARAM)&saved);
    SendMessageW(control, EM_GETSCROLLPOS, 0, (LPARAM)&scroll);
    LRESULT events = SendMessageW(control, EM_SETEVENTMASK, 0, 0);
    bool visible = (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible)
        SendMessageW(control, WM_SETREDRAW, FALSE, 0);

    int length = layout.length;
    for (int start = 0; start < length || (start == 0 && layout.chars.empty());) {
        int end = length > start ? RunEnd(control, start, length, CharsUniform) : start;
        CHARFORMATW format;
        ReadCharFormat(control, start, start < length ? start + 1 : start, &format);
        CharRun run = {start, FindFont(layout, format),
                       format.dwEffects & CFE_AUTOCOLOR ? RGB(0, 0, 0) : format.crTextColor,
                       PixelsY(layout, format.yOffset)};
        layout.chars.push_back(run);
        if (end <= start)
            break;
        start = end;
    }
    for (int start = 0; start < length || (start == 0 && layout.paras.empty());) {
        int end = length > start ? RunEnd(control, start, length, ParasUniform) : start;
        ParaRun run;
        run.start = start;
        ReadParaFormat(control, start, start, &run.format);
        layout.paras.push_back(run);
        if (end <= start)
            break;
        start = end;
    }

    SendMessageW(control, EM_EXSETSEL, 0, (LPARAM)&saved);
    SendMessageW(control, EM_SETSCROLLPOS, 0, (LPARAM)&scroll);
    SendMessageW(control, EM_SETEVENTMASK, 0, events);
    if (visible) {
        SendMessageW(control, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control, 0, FALSE);
    }
}

void ReleaseLayout()
{
    if (!Current)
        return;
    for (LayoutFont &font : Current->fonts) {
        DeleteObject(font.measuring);
        if (font.device)
            DeleteObject(font.device);
    }
    DeleteDC(Current->measure);
    delete Current;
    Current = 0;
}

int TextLength(HWND control)
{
    GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return (int)SendMessageW(control, EM_GETTEXTLENGTHEX, (WPARAM)&how, 0);
}

// The layout of the control's current text, read once per job (until released).
Layout *LayoutFor(HWND control)
{
    int length = TextLength(control);
    if (Current && Current->control == control && Current->length == length)
        return Current;
    ReleaseLayout();
    Current = new Layout;
    Current->control = control;
    Current->length = length;
    Current->measure = CreateCompatibleDC(0);
    SetMapMode(Current->measure, MM_TEXT);
    Current->dpiX = GetDeviceCaps(Current->measure, LOGPIXELSX);
    Current->dpiY = GetDeviceCaps(Current->measure, LOGPIXELSY);
    if (Current->dpiX <= 0 || Current->dpiY <= 0)
        Current->dpiX = Current->dpiY = 96;
    Current->text.assign(length + 1, 0);
    GETTEXTEX how = {(DWORD)((length + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, 0, 0};
    SendMessageW(control, EM_GETTEXTEX, (WPARAM)&how, (LPARAM)Current->text.data());
    ReadFormats(*Current);
    return Current;
}

// --- Layout ----------------------------------------------------------------------

template <class Run> size_t RunAt(const std::vector<Run> &runs, int position)
{
    size_t low = 0, high = runs.size();
    while (high - low > 1) {
        size_t middle = (low + high) / 2;
        if (runs[middle].start <= position)
            low = middle;
        else
            high = middle;
    }
    return low;
}

int Advance(Layout &layout, LayoutFont &font, wchar_t c)
{
    int &width = font.widths[(unsigned short)c];
    if (width == UNMEASURED) {
        // A block at a time: one call measures the neighbours too.
        unsigned first = (unsigned short)c & ~0xFFu;
        INT block[256];
        HGDIOBJ old = SelectObject(layout.measure, font.measuring);
        if (!GetCharWidth32W(layout.measure, first, first + 255, block))
            memset(block, 0, sizeof block);
        SelectObject(layout.measure, old);
        for (unsigned i = 0; i < 256; ++i)
            font.widths[first + i] = block[i];
    }
    return c < L' ' ? 0 : width;
}

struct Line {
    int start, end;        // characters [start, end)
    int indent;            // pixels from the text rectangle's left
    int shift;             // added by centring or right alignment
    int ascent, descent;   // pixels
    int bulletX;           // x of the paragraph's bullet, or -1
    const PARAFORMAT *para;
};

// The paragraph's tab stops in pixels; returns how many.
int TabStops(const Layout &layout, const PARAFORMAT &para, int *tabs)
{
    int count = para.cTabCount < MAX_TAB_STOPS ? para.cTabCount : MAX_TAB_STOPS;
    for (int i = 0; i < count; ++i)
        tabs[i] = PixelsX(layout, para.rgxTabs[i] & 0xFFFFFF);
    return count;
}

struct Paragraph {
    int start;
    const PARAFORMAT *format;
};

Paragraph ParagraphAt(Layout &layout, int position)
{
    int start = position;
    while (start > 0 && layout.text[start - 1] != L'\r')
        --start;
    return {start, &layout.paras[RunAt(layout.paras, start)].format};
}

int TextIndent(const PARAFORMAT &para, bool firstLine)
{
    int indent = para.dxStartIndent;
    if (para.wNumbering == PFN_BULLET)
        indent += para.dxOffset > 0 ? para.dxOffset : BULLET_SPACE_TWIPS;
    else if (!firstLine)
        indent += para.dxOffset;
    return indent > 0 ? indent : 0;
}

// Lays out the line starting at position, cut at end; advances is scratch space.
Line NextLine(Layout &layout, int position, int end, int width, std::vector<int> &advances)
{
    Paragraph paragraph = ParagraphAt(layout, position);
    const PARAFORMAT &para = *paragraph.format;
    bool firstLine = position == paragraph.start;
    Line line;
    line.start = position;
    line.para = &para;
    line.bulletX = firstLine && para.wNumbering == PFN_BULLET
                       ? PixelsX(layout, para.dxStartIndent > 0 ? para.dxStartIndent : 0) : -1;
    int indent = PixelsX(layout, TextIndent(para, firstLine));
    int right = width - PixelsX(layout, para.dxRightIndent);
    int tabs[MAX_TAB_STOPS];
    int tabCount = TabStops(layout, para, tabs);
    int defaultTab = PixelsX(layout, DEFAULT_TAB_TWIPS);

    // Measure a growing stretch until the line ends inside it.
    LineFit fit = {0, 0};
    for (int chunk = 512;; chunk *= 4) {
        int count = end - position < chunk ? end - position : chunk;
        // No line goes past its paragraph's end.
        const wchar_t *lineEnd = wmemchr(&layout.text[position], L'\r', count);
        if (lineEnd)
            count = (int)(lineEnd - &layout.text[position]) + 1;
        advances.resize(count);
        size_t run = RunAt(layout.chars, position);
        for (int i = 0; i < count; ++i) {
            while (run + 1 < layout.chars.size() && layout.chars[run + 1].start <= position + i)
                ++run;
            advances[i] = Advance(layout, layout.fonts[layout.chars[run].font],
                                  layout.text[position + i]);
        }
        fit = FitLine(&layout.text[position], advances.data(), count, indent, right, tabs,
                      tabCount, defaultTab);
        if (fit.length < count || count == end - position || lineEnd)
            break;
    }
    line.end = position + (fit.length > 0 ? fit.length : 1);
    if (line.end > end)
        line.end = end;

    int shift = 0, room = right - indent;
    if (para.wAlignment == PFA_CENTER && room > fit.width)
        shift = (room - fit.width) / 2;
    else if (para.wAlignment == PFA_RIGHT && room > fit.width)
        shift = room - fit.width;
    line.indent = indent;
    line.shift = shift;

    // Height from every font on the line; an empty line takes its line end's font.
    line.ascent = line.descent = 0;
    int last = line.end > line.start ? line.end : line.start + 1;
    for (size_t run = RunAt(layout.chars, line.start);
         run < layout.chars.size() && layout.chars[run].start < last; ++run) {
        const CharRun &c = layout.chars[run];
        const LayoutFont &font = layout.fonts[c.font];
        int ascent = font.ascent + (c.offset > 0 ? c.offset : 0);
        int descent = font.descent - (c.offset < 0 ? c.offset : 0);
        if (ascent > line.ascent)
            line.ascent = ascent;
        if (descent > line.descent)
            line.descent = descent;
    }
    return line;
}

// --- Drawing ---------------------------------------------------------------------

// Measuring pixels to device units at dpi, rounded.
int ToDevice(int pixels, int dpi, int measuringDpi)
{
    long long scaled = (long long)pixels * dpi;
    return (int)(scaled >= 0 ? (scaled + measuringDpi / 2) / measuringDpi
                             : -((-scaled + measuringDpi / 2) / measuringDpi));
}

// The measuring font scaled to the device, so its glyphs fill the measured advances.
HFONT DeviceFont(const Layout &layout, LayoutFont &font, int dpiY)
{
    if (font.device && font.deviceDpi == dpiY)
        return font.device;
    if (font.device)
        DeleteObject(font.device);
    LOGFONTW face = font.face;
    face.lfHeight = ToDevice(face.lfHeight, dpiY, layout.dpiY);
    if (face.lfHeight == 0)
        face.lfHeight = -1;
    font.device = CreateFontIndirectW(&face);
    font.deviceDpi = dpiY;
    return font.device;
}

// Draws the line whose top is top pixels below the text rectangle (twips).
void DrawLine(Layout &layout, HDC dc, const RECT &area, const Line &line, int top)
{
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    int left = TwipsToDevice(area.left, dpiX), upper = TwipsToDevice(area.top, dpiY);
    int baseline = top + line.ascent;
    const PARAFORMAT &para = *line.para;
    int tabs[MAX_TAB_STOPS];
    int tabCount = TabStops(layout, para, tabs);
    int defaultTab = PixelsX(layout, DEFAULT_TAB_TWIPS);

    size_t run = RunAt(layout.chars, line.start);
    if (line.bulletX >= 0) {
        const CharRun &c = layout.chars[run];
        SelectObject(dc, DeviceFont(layout, layout.fonts[c.font], dpiY));
        SetTextColor(dc, c.color);
        const wchar_t bullet = 0x2022;
        TextOutW(dc, left + ToDevice(line.bulletX, dpiX, layout.dpiX),
                 upper + ToDevice(baseline, dpiY, layout.dpiY), &bullet, 1);
    }

    int shift = line.shift;
    int x = line.indent;  // unaligned: tab stops count from the rectangle's edge
    std::vector<INT> dx;
    for (int i = line.start; i < line.end;) {
        while (run + 1 < layout.chars.size() && layout.chars[run + 1].start <= i)
            ++run;
        wchar_t c = layout.text[i];
        if (c == L'\t') {
            x = NextTabStop(x, tabs, tabCount, defaultTab);
            ++i;
            continue;
        }
        if (c < L' ') {
            ++i;
            continue;
        }
        // A stretch of one format without tabs or line ends, placed glyph by glyph.
        int stop = run + 1 < layout.chars.size() && layout.chars[run + 1].start < line.end
                       ? layout.chars[run + 1].start : line.end;
        int n = 0;
        while (i + n < stop && layout.text[i + n] >= L' ')
            ++n;
        const CharRun &format = layout.chars[run];
        LayoutFont &font = layout.fonts[format.font];
        dx.resize(n);
        int from = left + ToDevice(x + shift, dpiX, layout.dpiX), at = from;
        for (int k = 0; k < n; ++k) {
            x += Advance(layout, font, layout.text[i + k]);
            int next = left + ToDevice(x + shift, dpiX, layout.dpiX);
            dx[k] = next - at;
            at = next;
        }
        SelectObject(dc, DeviceFont(layout, font, dpiY));
        SetTextColor(dc, format.color);
        ExtTextOutW(dc, from, upper + ToDevice(baseline - format.offset, dpiY, layout.dpiY), 0, 0,
                    &layout.text[i], n, dx.data());
        i += n;
    }
}

// Lays out (and draws) one page from the request's range start; returns the first
// character that did not fit, or the range's own end once everything fitted.
LRESULT LayOutPage(Layout &layout, WPARAM render, const FORMATRANGE &request)
{
    int start = request.chrg.cpMin;
    int end = request.chrg.cpMax < 0 || request.chrg.cpMax > layout.length ? layout.length
                                                                           : request.chrg.cpMax;
    const RECT &area = request.rc;
    int width = PixelsX(layout, area.right - area.left);
    int height = PixelsY(layout, area.bottom - area.top);
    HDC dc = render ? request.hdc : 0;
    int saved = dc ? SaveDC(dc) : 0;
    if (dc) {
        SetMapMode(dc, MM_TEXT);
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    }

    std::vector<int> advances;
    int position = start, y = 0;
    while (position < end) {
        Line line = NextLine(layout, position, end, width, advances);
        if (y + line.ascent + line.descent > height)
            break;
        if (dc)
            DrawLine(layout, dc, area, line, y);
        y += line.ascent + line.descent;
        position = line.end;
    }
    if (dc)
        RestoreDC(dc, saved);
    if (position < end)
        return position;
    return request.chrg.cpMax >= 0 && request.chrg.cpMax > end ? request.chrg.cpMax : end;
}

}  // namespace

HDC MeasuringDevice()
{
    if (!Measuring)
        Measuring = CreateCompatibleDC(0);
    return Measuring;
}

LRESULT FormatRange(HWND control, WPARAM render, FORMATRANGE *request)
{
    if (!request) {
        ReleaseLayout();
        return control ? SendMessageA(control, EM_FORMATRANGE, render, 0) : 0;
    }
    if (!control)
        return 0;
    // Decided once: a 0 from a working control (a rectangle that holds no line) is its
    // answer, not a reason to lay out differently from the page count.
    if (!FormatRangeStandsIn(control))
        return SendMessageA(control, EM_FORMATRANGE, render, (LPARAM)request);
    if (request->chrg.cpMin < 0)
        return 0;
    return LayOutPage(*LayoutFor(control), render, *request);
}

// Whether probe answers 0 for one character in a generous rectangle: no paginating
// control does.
static int AnswersNothing(HWND probe)
{
    FORMATRANGE request;
    memset(&request, 0, sizeof request);
    request.hdc = request.hdcTarget = MeasuringDevice();
    request.rc.right = request.rcPage.right = 1440 * 20;
    request.rc.bottom = request.rcPage.bottom = 1440 * 20;
    request.chrg.cpMin = 0;
    request.chrg.cpMax = 1;
    LRESULT answer = SendMessageA(probe, EM_FORMATRANGE, 0, (LPARAM)&request);
    SendMessageA(probe, EM_FORMATRANGE, 0, 0);
    return answer == 0;
}

void ProbeFormatRange(HWND probe)
{
    ReleaseLayout();
    StandsIn = -1;
    if (probe) {
        StandsIn = AnswersNothing(probe);
        return;
    }
    // A hidden control of our own holding one character, whatever the document holds.
    HWND own = CreateWindowExA(0, "RichEdit20A", "x", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, 0,
                               0, GetModuleHandleA(0), 0);
    // Without one our layout is the one that always works.
    StandsIn = own ? AnswersNothing(own) : 1;
    if (own)
        DestroyWindow(own);
}

int FormatRangeStandsIn(HWND control)
{
    if (!control)
        return StandsIn > 0;
    if (StandsIn < 0)
        ProbeFormatRange(0);
    return StandsIn;
}
