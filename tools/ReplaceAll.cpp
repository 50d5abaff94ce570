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

// Streams rtf in place of the whole document as one undo step; false, with the step
// undone, unless the text is then expected (paragraph ends as CR).
static bool PutBackRtf(HWND editor, const std::string &rtf, const std::wstring &expected)
{
    EditorControl.SetSelection(0, -1);
    if (!StreamInText(editor, rtf.data(), rtf.size(), SF_RTF | SFF_SELECTION))
        return false;
    size_t now = 0;
    char16_t *changed = GetUnicodeText(editor, &now, false);
    bool same = changed && now == expected.size() &&
                memcmp(changed, expected.data(), now * sizeof(wchar_t)) == 0;
    delete[] changed;
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
                    done = PutBackRtf(editor, std::string(result).erase(last, 4), expected);
                if (!done)
                    done = PutBackRtf(editor, result, expected);
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
