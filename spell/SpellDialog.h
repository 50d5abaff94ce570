// The Spell Check dialog (111): over the document, or over the clipboard's text.
#pragma once
#include <windows.h>

// The "exit" marker of the clipboard check that /spell starts: close the program after.
const LPARAM SPELL_EXIT_MARKER = 0x65786974;

// Command 40043: brings an open modeless dialog (this or Find / Replace) to the front,
// else opens the Spell Check dialog modeless over the document.
void OpenSpellCheck(HWND owner);
// Command 40044: pastes the clipboard into a new document, checks it in the dialog run
// modally and, when it changed and the user agrees, puts the text back on the
// clipboard. marker SPELL_EXIT_MARKER closes owner afterwards.
void SpellCheckClipboard(HWND owner, LPARAM marker);
