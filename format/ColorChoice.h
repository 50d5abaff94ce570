// The colours of the colour menu and the choice among them. No windows here.
#pragma once
#include <stdint.h>

struct ColorEntry {
    uint32_t colour;   // 0x00BBGGRR, or 1 for the automatic colour
    const char *name;
};

const int COLOR_ENTRIES = 16;
const int CUSTOM_ENTRY = 15;

// The menu's entries in order; the last ("Custom...") holds the last custom choice.
extern ColorEntry ColorTable[COLOR_ENTRIES];

// The selection's colour in the menu's terms: 1 automatic, else the colour; -1 when
// the selection has more than one colour.
int SelectionColor(int uniform, int automatic, uint32_t colour);
// The entry to show checked for the current colour: the first match, or -1.
int CheckedColorEntry(int current);
// The colour of a menu answer (entry index + 1), or -1 for 0 (dismissed) or any
// id that is no entry.
int ColorOfChoice(int command);
