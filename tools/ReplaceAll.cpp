#include "tools/ReplaceAll.h"

#include <richedit.h>
#include <string.h>
#include <wctype.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor/EditorControl.h"

static CHARRANGE FindForward(HWND editor, const char *find, UINT flags, LONG from)
{
    FINDTEXTEXA search;
    search.chrg.cpMin = from;
    search.chrg.cpMax = -1;
    search.lpstrText = find;
    search.chrgText.cpMin = search.chrgText.cpMax = 0;
    LRESULT result = SendMessageA(editor, EM_FINDTEXTEX, (flags & (FR_WHOLEWORD | FR_MATCHCASE)) | FR_DOWN,
                                  (LPARAM)&search);
    if (result < 0 || search.chrgText.cpMin < 0)
        search.chrgText.cpMin = search.chrgText.cpMax = -1;
    return search.chrgText;
}

int ReplaceAllByLoop(HWND editor, const char *find, const char *replacement, UINT flags)
{
    LONG position = 0;
    int count = 0;
    LONG step = (LONG)strlen(replacement);
    for (;;) {
        CHARRANGE match = FindForward(editor, find, flags, position);
        if (match.cpMin < 0)
            break;
        SendMessageA(editor, EM_EXSETSEL, 0, (LPARAM)&match);
        SendMessageA(editor, EM_REPLACESEL, TRUE, (LPARAM)replacement);
        position = match.cpMin + step;
        ++count;
    }
    return count;
}

static std::wstring Widen(const char *text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, 0, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// A whole-word search also looks at the character before where it starts. Searching
// the unchanged text after a match sees the match's last character there, where the
// loop sees the replacement's; when one is a letter or digit and the other is not,
// the two searches may differ, and only the loop gives the right answer.
static bool SameWordEdge(wchar_t before, wchar_t after)
{
    return !iswalnum(before) == !iswalnum(after);
}

// Whether every character of text comes back the same through the ANSI code page:
// Wine's RTF writer puts a look-alike in place of any other character.
static bool SurvivesRtf(const wchar_t *text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < 0x80)
            continue;
        if (text[i] == 0xFFFC)  // an embedded object
            return false;
        char bytes[8];
        BOOL lost = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text + i, 1, bytes, sizeof bytes,
                                    0, &lost);
        if (n <= 0 || lost)
            return false;
    }
    return true;
}

// Queries of the format comparison; past them the comparison gives up (the caller then
// takes the slow, sure way).
static const int FORMAT_QUERIES = 4000;

static void SelectRange(HWND control, LONG from, LONG to)
{
    CHARRANGE range = {from, to};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
}

// Whether two character formats agree on everything their (equal) masks report.
static bool SameCharacters(const CHARFORMATA &a, const CHARFORMATA &b)
{
    const DWORD effects = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED;
    DWORD mask = a.dwMask;
    if ((a.dwEffects ^ b.dwEffects) & mask & effects)
        return false;
    if ((mask & CFM_COLOR) && (((a.dwEffects ^ b.dwEffects) & CFE_AUTOCOLOR) ||
                               (!(a.dwEffects & CFE_AUTOCOLOR) && a.crTextColor != b.crTextColor)))
        return false;
    if ((mask & CFM_SIZE) && a.yHeight != b.yHeight)
        return false;
    if ((mask & CFM_OFFSET) && a.yOffset != b.yOffset)
        return false;
    if ((mask & CFM_CHARSET) && a.bCharSet != b.bCharSet)
        return false;
    // The pitch and family choose the stand-in for a face the system lacks.
    return !(mask & CFM_FACE) || (a.bPitchAndFamily == b.bPitchAndFamily &&
                                  strncmp(a.szFaceName, b.szFaceName, LF_FACESIZE) == 0);
}

static bool SameParagraphs(const PARAFORMAT &a, const PARAFORMAT &b)
{
    DWORD mask = a.dwMask;
    return !(((mask & PFM_NUMBERING) && a.wNumbering != b.wNumbering) ||
             ((mask & PFM_STARTINDENT) && a.dxStartIndent != b.dxStartIndent) ||
             ((mask & PFM_RIGHTINDENT) && a.dxRightIndent != b.dxRightIndent) ||
             ((mask & PFM_OFFSET) && a.dxOffset != b.dxOffset) ||
             ((mask & PFM_ALIGNMENT) && a.wAlignment != b.wAlignment) ||
             ((mask & PFM_TABSTOPS) &&
              (a.cTabCount != b.cTabCount ||
               memcmp(a.rgxTabs, b.rgxTabs, sizeof(LONG) * (size_t)std::min<int>(a.cTabCount, MAX_TAB_STOPS)))));
}

enum Comparison { FORMATS_DIFFER = 0, FORMATS_SAME = 1, FORMATS_UNKNOWN = -1 };

// Compares the character and paragraph formats of [from, to) in two controls holding the
// same text: a stretch either control reports as mixed is halved until each half is
// uniform in both.
static Comparison CompareFormats(HWND a, HWND b, LONG from, LONG to, int *queries)
{
    if (from >= to)
        return FORMATS_SAME;
    if (--*queries < 0)
        return FORMATS_UNKNOWN;
    CHARFORMATA chars[2];
    PARAFORMAT paras[2];
    HWND controls[2] = {a, b};
    for (int k = 0; k < 2; ++k) {
        memset(&chars[k], 0, sizeof chars[k]);
        memset(&paras[k], 0, sizeof paras[k]);
        chars[k].cbSize = sizeof chars[k];
        paras[k].cbSize = sizeof paras[k];
        SelectRange(controls[k], from, to);
        SendMessageA(controls[k], EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&chars[k]);
        SendMessageA(controls[k], EM_GETPARAFORMAT, 0, (LPARAM)&paras[k]);
    }
    const DWORD charMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED |
                           CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET | CFM_CHARSET;
    const DWORD paraMask = PFM_NUMBERING | PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET |
                           PFM_ALIGNMENT | PFM_TABSTOPS;
    DWORD charsKnown = chars[0].dwMask & charMask, parasKnown = paras[0].dwMask & paraMask;
    if (charsKnown != (chars[1].dwMask & charMask) || parasKnown != (paras[1].dwMask & paraMask) ||
        !SameCharacters(chars[0], chars[1]) || !SameParagraphs(paras[0], paras[1]))
        return FORMATS_DIFFER;
    if ((charsKnown == charMask && parasKnown == paraMask) || to - from == 1)
        return FORMATS_SAME;
    LONG middle = from + (to - from) / 2;
    Comparison first = CompareFormats(a, b, from, middle, queries);
    return first != FORMATS_SAME ? first : CompareFormats(a, b, middle, to, queries);
}

// Whether the editor and the copy hold the same formats over their (same) text of length
// characters. The editor's selection moves meanwhile, unseen: its events are held and its
// scroll position put back; the caller sets the selection afterwards.
static bool KeepsEveryFormat(HWND editor, HWND copy, LONG length)
{
    LRESULT events = SendMessageA(editor, EM_SETEVENTMASK, 0, 0);
    POINT scroll = {0, 0};
    SendMessageA(editor, EM_GETSCROLLPOS, 0, (LPARAM)&scroll);
    int queries = FORMAT_QUERIES;
    // The last paragraph mark counts too: select-all covers it.
    Comparison same = CompareFormats(editor, copy, 0, length + 1, &queries);
    SendMessageA(editor, EM_SETSCROLLPOS, 0, (LPARAM)&scroll);
    SendMessageA(editor, EM_SETEVENTMASK, 0, events);
    return same == FORMATS_SAME;
}

// Streams rtf in place of the whole document as one undo step; false, with the step
// undone, unless the text is then expected (paragraph ends as CR) and every character
// and paragraph has the format it has in result (the copy it was written from).
static bool PutBackRtf(HWND editor, const std::string &rtf, const std::wstring &expected,
                       HWND result)
{
    EditorControl.SetSelection(0, -1);
    if (!StreamInText(editor, rtf.data(), rtf.size(), SF_RTF | SFF_SELECTION))
        return false;
    size_t now = 0;
    char16_t *changed = GetUnicodeText(editor, &now, false);
    bool same = changed && now == expected.size() &&
                memcmp(changed, expected.data(), now * sizeof(wchar_t)) == 0;
    delete[] changed;
    same = same && KeepsEveryFormat(editor, result, (LONG)now);
    if (!same)
        SendMessageA(editor, EM_UNDO, 0, 0);
    return same;
}

// Rich text: the loop runs on a copy of the document in a hidden control, and the
// result comes back in place of the whole document as one RTF stream, so one undo step
// takes it back and the format around and between the matches stays. expected is the
// plain text the loop gives (paragraph ends as CR), caret where it leaves the caret.
// False, with the document as it was, where that cannot be done exactly (characters
// RTF would not carry, objects, a copy or a result that differs); the caller then runs
// the loop on the document itself.
static bool ReplaceRichCopy(HWND editor, const char *find, const char *replacement, UINT flags,
                            const wchar_t *text, size_t length, int count,
                            const std::wstring &expected, LONG caret)
{
    char *rtf = SurvivesRtf(text, length) ? StreamOutRtf(editor) : 0;
    if (!rtf)
        return false;
    HWND copy = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 600, 400, 0, 0,
                                0, 0);
    bool done = false;
    if (copy) {
        SendMessageA(copy, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        SendMessageA(copy, EM_SETTARGETDEVICE, 0, 1);
        // Wine reads RTF starting from the control's default format, not from RTF's own.
        CopyDefaultFormat(editor, copy);
        if (StreamInText(copy, rtf, strlen(rtf), SF_RTF)) {
            size_t units = 0;
            char16_t *copied = GetUnicodeText(copy, &units, false);
            bool same = copied && units == length && memcmp(copied, text, units * sizeof(wchar_t)) == 0;
            delete[] copied;
            // The writer and the reader may not agree on every format (Wine's exchange
            // indents and drop fonts' families): the quick way only where the copy
            // holds exactly the document's formats.
            same = same && KeepsEveryFormat(editor, copy, (LONG)length);
            char *written = same && ReplaceAllByLoop(copy, find, replacement, flags) == count
                                ? StreamOutRtf(copy) : 0;
            if (written) {
                std::string result = written;
                delete[] written;
                // Wine's writer ends with the end of the last paragraph, which reads back
                // as one more paragraph: tried without it first, then as written.
                size_t last = result.rfind("\\par");
                bool atEnd = last != std::string::npos;
                for (size_t i = atEnd ? last + 4 : 0; atEnd && i < result.size(); ++i)
                    atEnd = strchr("\r\n }", result[i]) != 0;
                if (atEnd)
                    done = PutBackRtf(editor, std::string(result).erase(last, 4), expected, copy);
                if (!done)
                    done = PutBackRtf(editor, result, expected, copy);
            }
        }
        DestroyWindow(copy);
    }
    delete[] rtf;
    if (done)
        EditorControl.SetSelection(caret, caret);
    return done;
}

int ReplaceAllMatches(HWND editor, const char *find, const char *replacement, UINT flags)
{
    if (!editor || !find[0])
        return 0;
    bool rich = (SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3) != TM_PLAINTEXT;

    // Paragraph ends as one CR: indexes in the text are the control's positions.
    size_t units = 0;
    char16_t *owned = GetUnicodeText(editor, &units, false);
    if (!owned)
        return 0;
    const wchar_t *text = (const wchar_t *)owned;
    LONG length = (LONG)units;
    std::wstring wideReplacement = Widen(replacement);
    // The loop steps on by the replacement's length as the dialog holds it; with a
    // multi-byte code page that is not its length in characters, and only the loop
    // reproduces that.
    bool exact = wideReplacement.size() == strlen(replacement);

    std::vector<CHARRANGE> matches;
    wchar_t edge = L' ';  // the character before the loop's next search, in its text
    LONG position = 0;
    // A case-sensitive search for any text is a search for exactly its characters:
    // done here, it spares the control a walk from the top for every match.
    std::wstring wideFind = Widen(find);
    bool ownSearch = (flags & FR_MATCHCASE) && !(flags & FR_WHOLEWORD) && !wideFind.empty();
    const wchar_t *textEnd = text + length;
    while (exact) {
        CHARRANGE match;
        if (ownSearch) {
            const wchar_t *at = std::search(text + position, textEnd, wideFind.begin(), wideFind.end());
            match.cpMin = at == textEnd ? -1 : (LONG)(at - text);
            match.cpMax = at == textEnd ? -1 : match.cpMin + (LONG)wideFind.size();
        } else {
            match = FindForward(editor, find, flags, position);
        }
        if (match.cpMin < 0 || match.cpMax > length || match.cpMax <= match.cpMin)
            break;
        LONG previousEnd = matches.empty() ? 0 : matches.back().cpMax;
        if (!wideReplacement.empty())
            edge = wideReplacement.back();
        else if (match.cpMin > previousEnd)
            edge = text[match.cpMin - 1];
        matches.push_back(match);
        position = match.cpMax;
        if ((flags & FR_WHOLEWORD) && !SameWordEdge(edge, text[position - 1]))
            exact = false;
    }
    if (!exact) {
        delete[] owned;
        return ReplaceAllByLoop(editor, find, replacement, flags);
    }
    if (matches.empty()) {
        delete[] owned;
        return 0;
    }

    std::wstring changed;
    changed.reserve((size_t)length + matches.size() * wideReplacement.size());
    LONG copied = 0;
    for (const CHARRANGE &match : matches) {
        changed.append(text + copied, text + match.cpMin);
        changed += wideReplacement;
        copied = match.cpMax;
    }
    // The caret ends after the last replacement, as replacing each match in turn leaves it.
    LONG caret = (LONG)changed.size();
    changed.append(text + copied, text + length);
    if (rich) {
        // Putting the whole text back would lose its format.
        CHARRANGE selection;
        SendMessageA(editor, EM_EXGETSEL, 0, (LPARAM)&selection);
        bool done = ReplaceRichCopy(editor, find, replacement, flags, text, (size_t)length,
                                    (int)matches.size(), changed, caret);
        delete[] owned;
        if (done)
            return (int)matches.size();
        SendMessageA(editor, EM_EXSETSEL, 0, (LPARAM)&selection);
        return ReplaceAllByLoop(editor, find, replacement, flags);
    }
    ReplaceAllTextAsOneStep(editor, changed.data(), changed.size(), owned, units);
    delete[] owned;
    EditorControl.SetSelection(caret, caret);
    return (int)matches.size();
}
