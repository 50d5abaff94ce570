// The copy of a long plain text that an Undo brings back after the control was replaced.
#include "editor/EditorControl.h"

#include <richedit.h>
#include <string>

#include "editor/ControlInternals.h"

// A long plain text replaced in one piece by a new control (ReplaceAllTextAsOneStep)
// leaves the control nothing to undo: the text before waits here, under the control's
// own undo steps, for the Undo that finds none left.
static std::u16string TextBefore;
static bool TextBeforeHeld = false;
static bool ModifiedBefore = false;

bool HoldsTextBefore()
{
    return TextBeforeHeld;
}

void DropTextBefore()
{
    TextBeforeHeld = false;
    TextBefore.clear();
}

void RestoreTextBefore()
{
    std::u16string text;
    text.swap(TextBefore);
    TextBeforeHeld = false;
    bool savedSince = !SendMessageA(EditorControl.control, EM_GETMODIFY, 0, 0);
    HWND fresh = EditorControl.Empty();
    StreamInUnicode(fresh, text.data(), text.size());
    // Unless the replaced text was saved meanwhile, the document is as it was before.
    SendMessageA(fresh, EM_SETMODIFY, savedSince || ModifiedBefore, 0);
    EditorControl.SetSelection(0, 0);
}

// Whether the text before a change can be kept for Undo: the program's own plain-text
// control, whose undo messages PasteGuard sees.
static bool KeepsTextBefore(HWND control)
{
    return control == EditorControl.control && EditorControl.GetTextMode() == TEXT_PLAIN &&
           PastesScreened(control);
}

bool HoldTextBefore(HWND control, bool modified)
{
    if (!KeepsTextBefore(control))
        return false;
    size_t units = 0;
    char16_t *read = GetUnicodeText(control, &units);
    if (!read)
        return false;
    TextBefore.assign(read, units);
    delete[] read;
    TextBeforeHeld = true;
    ModifiedBefore = modified;
    return true;
}

void ReplaceAllTextAsOneStep(HWND control, const wchar_t *text, size_t length,
                             const char16_t *before, size_t beforeLength)
{
    if (!control)
        return;
    // Streaming is not held to the text limit the way typing is; raise it anyway so
    // no control version cuts the text short.
    int limit = (int)SendMessageA(control, EM_GETLIMITTEXT, 0, 0);
    long long needed = (long long)length + 1;
    if (needed > limit)
        SendMessageA(control, EM_EXLIMITTEXT, 0, (LPARAM)(needed > 0x7FFFFFFF ? 0x7FFFFFFF : needed));
    // Wine's control takes minutes to remove tens of thousands of lines (see Empty): a
    // long plain text goes with its control, and Undo brings it back from a copy.
    if (KeepsTextBefore(control) &&
        SendMessageA(control, EM_GETLINECOUNT, 0, 0) > EMPTY_BY_NEW_CONTROL) {
        size_t units = beforeLength;
        char16_t *read = before ? 0 : GetUnicodeText(control, &units);
        if (before || read) {
            bool modified = SendMessageA(control, EM_GETMODIFY, 0, 0) != 0;
            std::u16string kept(before ? before : read, units);
            delete[] read;
            HWND fresh = EditorControl.Empty();
            if (!StreamInUnicode(fresh, (const char16_t *)text, length)) {
                // Nothing may be lost: the text as it was, then.
                fresh = EditorControl.Empty();
                StreamInUnicode(fresh, kept.data(), kept.size());
                SendMessageA(fresh, EM_SETMODIFY, modified, 0);
                return;
            }
            TextBefore.swap(kept);
            TextBeforeHeld = true;
            ModifiedBefore = modified;
            SendMessageA(fresh, EM_SETMODIFY, TRUE, 0);
            return;
        }
    }
    // SF_TEXT reads "{\rtf" as text; SFF_SELECTION keeps the undo stack and records
    // the exchange as one step. Wine replaces the whole plain text whatever the
    // selection, so the selection is the whole text everywhere.
    CHARRANGE range = {0, -1};
    SendMessageA(control, EM_EXSETSEL, 0, (LPARAM)&range);
    StreamUnicode(control, (const char16_t *)text, length, SF_TEXT | SF_UNICODE | SFF_SELECTION);
    SendMessageA(control, EM_SETMODIFY, TRUE, 0);
}
