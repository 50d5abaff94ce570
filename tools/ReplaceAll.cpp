#include "tools/ReplaceAll.h"

#include <richedit.h>
#include <string.h>
#include <wctype.h>

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
        EditorControl.SetSelection(match.cpMin, match.cpMax);
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

int ReplaceAllMatches(HWND editor, const char *find, const char *replacement, UINT flags)
{
    if (!editor || !find[0])
        return 0;
    // Only plain text can be put back in one piece: rich text would lose the format of
    // everything between the matches.
    if ((SendMessageA(editor, EM_GETTEXTMODE, 0, 0) & 3) != TM_PLAINTEXT)
        return ReplaceAllByLoop(editor, find, replacement, flags);

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
    while (exact) {
        CHARRANGE match = FindForward(editor, find, flags, position);
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
    delete[] owned;
    ReplaceAllTextAsOneStep(editor, changed.data(), changed.size());
    EditorControl.SetSelection(caret, caret);
    return (int)matches.size();
}
