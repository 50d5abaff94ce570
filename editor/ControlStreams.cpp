// Whole texts streamed into and out of a control: plain, UTF-16 and RTF with mended indents.
#include "editor/EditorControl.h"

#include <richedit.h>
#include <string.h>
#include <string>

#include "editor/ControlInternals.h"
#include "editor/RtfIndents.h"
#include "editor/RtfScreen.h"

namespace {

struct StreamBuffer {
    char *data;
    size_t capacity;
    size_t used;
    bool failed;   // memory ran out: what was collected is not the whole text
};

DWORD CALLBACK CollectChunk(DWORD_PTR cookie, LPBYTE chunk, LONG length, LONG *taken)
{
    StreamBuffer *buffer = (StreamBuffer *)cookie;
    *taken = 0;
    size_t n = length > 0 ? (size_t)length : 0;
    if (n >= buffer->capacity - buffer->used) {
        size_t larger = 2 * (buffer->capacity > n ? buffer->capacity : n);
        char *grown = NewTextBuffer(larger);
        if (!grown) {
            // A non-zero answer ends the stream; the caller sees the failure.
            buffer->failed = true;
            return 1;
        }
        memcpy(grown, buffer->data, buffer->used);
        delete[] buffer->data;
        buffer->data = grown;
        buffer->capacity = larger;
    }
    memcpy(buffer->data + buffer->used, chunk, n);
    buffer->used += n;
    buffer->data[buffer->used] = 0;
    *taken = (LONG)n;
    return 0;
}

struct TextSource {
    const char *next;
    size_t left;
};

DWORD CALLBACK GiveChunk(DWORD_PTR cookie, LPBYTE chunk, LONG capacity, LONG *given)
{
    TextSource *source = (TextSource *)cookie;
    size_t n = source->left < (size_t)capacity ? source->left : (size_t)capacity;
    // A CR LF split between two chunks would be read as two line ends.
    if (n > 1 && n < source->left && source->next[n - 1] == '\r' && source->next[n] == '\n')
        --n;
    memcpy(chunk, source->next, n);
    source->next += n;
    source->left -= n;
    *given = (LONG)n;
    return 0;
}

}  // namespace

bool StreamWhole(HWND control, const char *text, size_t length, UINT format)
{
    TextSource source = {text, length};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, GiveChunk};
    SendMessageA(control, EM_STREAMIN, format, (LPARAM)&stream);
    if (stream.dwError != 0)
        return false;
    // RTF ends at its last closing brace, and the control stops reading there; plain
    // text must have been taken to the last byte.
    return (format & SF_RTF) || source.left == 0;
}

bool StreamInOwnRtf(HWND control, const char *text, size_t length)
{
    RtfScreenResult screen = ScreenRtf(text, length);
    if (screen != RTF_READABLE && screen != RTF_TOO_SLOW)
        return false;
    return StreamWhole(control, text, length, SF_RTF);
}

char *StreamOutAsWritten(HWND control, UINT flags)
{
    StreamBuffer buffer = {NewTextBuffer(4096), 4096, 0, false};
    if (!buffer.data)
        return 0;
    buffer.data[0] = 0;
    EDITSTREAM stream = {(DWORD_PTR)&buffer, 0, CollectChunk};
    SendMessageA(control, EM_STREAMOUT, flags, (LPARAM)&stream);
    if (buffer.failed || stream.dwError != 0) {
        delete[] buffer.data;
        return 0;
    }
    return buffer.data;
}

bool RtfWriterExchangesIndents()
{
    static int known = -1;
    if (known >= 0)
        return known != 0;
    HWND probe = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, 0,
                                 0, 0, 0);
    // Without the control's class there is nothing to ask yet: asked again next time.
    if (!probe)
        return false;
    SendMessageA(probe, WM_SETTEXT, 0, (LPARAM) "x");
    CHARRANGE all = {0, -1};
    SendMessageA(probe, EM_EXSETSEL, 0, (LPARAM)&all);
    PARAFORMAT para;
    memset(&para, 0, sizeof para);
    para.cbSize = sizeof para;
    para.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    para.dxStartIndent = PROBE_START_INDENT;
    para.dxOffset = PROBE_OFFSET;
    SendMessageA(probe, EM_SETPARAFORMAT, 0, (LPARAM)&para);
    char *rtf = StreamOutAsWritten(probe, SF_RTF);
    known = rtf && WriterExchangesIndents(rtf, strlen(rtf)) ? 1 : 0;
    delete[] rtf;
    DestroyWindow(probe);
    return known != 0;
}

char *MendIndents(char *rtf)
{
    if (!rtf || !RtfWriterExchangesIndents())
        return rtf;
    std::string mended = MendExchangedIndents(rtf, strlen(rtf));
    delete[] rtf;
    char *copy = NewTextBuffer(mended.size() + 1);
    if (copy)
        memcpy(copy, mended.c_str(), mended.size() + 1);
    return copy;
}

char *StreamOutRtf(HWND control)
{
    return MendIndents(StreamOutAsWritten(control, SF_RTF));
}

void CopyDefaultFormat(HWND from, HWND to)
{
    CHARFORMAT2W format;
    memset(&format, 0, sizeof format);
    format.cbSize = sizeof format;
    SendMessageW(from, EM_GETCHARFORMAT, SCF_DEFAULT, (LPARAM)&format);
    SendMessageW(to, EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&format);
}

char16_t *GetUnicodeText(HWND control, size_t *length, bool crlf)
{
    *length = 0;
    if (!control)
        return 0;
    GETTEXTLENGTHEX measure = {(DWORD)((crlf ? GTL_USECRLF : 0) | GTL_PRECISE | GTL_NUMCHARS), 1200};
    LRESULT units = SendMessageA(control, EM_GETTEXTLENGTHEX, (WPARAM)&measure, 0);
    if (units < 0)
        return 0;
    char16_t *text = NewUnicodeBuffer((size_t)units + 1);
    if (!text)
        return 0;
    GETTEXTEX request;
    memset(&request, 0, sizeof request);
    request.cb = (DWORD)((units + 1) * sizeof(char16_t));
    request.flags = crlf ? GT_USECRLF : GT_DEFAULT;
    request.codepage = 1200;
    LRESULT copied = SendMessageA(control, EM_GETTEXTEX, (WPARAM)&request, (LPARAM)text);
    if (copied < 0)
        copied = 0;
    if (copied > units)
        copied = units;
    text[copied] = 0;
    *length = (size_t)copied;
    return text;
}

namespace {

struct UnicodeSource {
    const char16_t *next;
    size_t left;
};

DWORD CALLBACK GiveUnicodeChunk(DWORD_PTR cookie, LPBYTE chunk, LONG capacity, LONG *given)
{
    UnicodeSource *source = (UnicodeSource *)cookie;
    size_t room = (size_t)capacity / sizeof(char16_t);
    size_t n = source->left < room ? source->left : room;
    // Neither a CR LF nor a surrogate pair may be split between two chunks.
    if (n > 1 && n < source->left &&
        ((source->next[n - 1] == '\r' && source->next[n] == '\n') ||
         (source->next[n - 1] >= 0xD800 && source->next[n - 1] <= 0xDBFF)))
        --n;
    memcpy(chunk, source->next, n * sizeof(char16_t));
    source->next += n;
    source->left -= n;
    *given = (LONG)(n * sizeof(char16_t));
    return 0;
}

}  // namespace

bool StreamUnicode(HWND control, const char16_t *text, size_t n, UINT format)
{
    UnicodeSource source = {text, n};
    EDITSTREAM stream = {(DWORD_PTR)&source, 0, GiveUnicodeChunk};
    SendMessageA(control, EM_STREAMIN, format, (LPARAM)&stream);
    return stream.dwError == 0 && source.left == 0;
}

void ReplaceSelectionUnicode(HWND control, const char16_t *text, size_t n, bool undo)
{
    // EM_SETTEXTEX wants a terminated text.
    std::u16string copy(text, n);
    SETTEXTEX how = {(DWORD)(ST_SELECTION | (undo ? ST_KEEPUNDO : 0)), 1200};
    SendMessageA(control, EM_SETTEXTEX, (WPARAM)&how, (LPARAM)copy.c_str());
}
