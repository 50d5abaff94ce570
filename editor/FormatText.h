// Reading a format descriptor text ("k=value;" items, keys b i u s c y h f a n o l r t)
// into plain values in the control's units. No windows involved, so it compiles
// anywhere; FormatDescriptor.cpp hands the values to the control.
#pragma once
#include <stddef.h>

const int MAX_DESCRIPTOR_TABS = 32;
const int DESCRIPTOR_FACE_SIZE = 32;  // the control's face-name field, terminator included

// Which items a descriptor held: one bit per key.
enum FormatItemBit {
    ITEM_BOLD = 1 << 0,
    ITEM_ITALIC = 1 << 1,
    ITEM_UNDERLINE = 1 << 2,
    ITEM_STRIKEOUT = 1 << 3,
    ITEM_COLOR = 1 << 4,
    ITEM_OFFSET = 1 << 5,
    ITEM_SIZE = 1 << 6,
    ITEM_FACE = 1 << 7,
    ITEM_ALIGNMENT = 1 << 8,
    ITEM_NUMBERING = 1 << 9,
    ITEM_RIGHT_INDENT = 1 << 10,
    ITEM_START_INDENT = 1 << 11,
    ITEM_FIRST_OFFSET = 1 << 12,
    ITEM_TABS = 1 << 13,
};

struct FormatItems {
    unsigned present;                  // FormatItemBit of every key found
    bool bold, italic, underline, strikeout;
    unsigned color;                    // 0x00BBGGRR, or 1 for the automatic colour
    int offset, height;                // twips
    char face[DESCRIPTOR_FACE_SIZE];
    char alignment;                    // 'l', 'c' or 'r'
    bool bullet;
    int rightIndent, startIndent;      // twips; startIndent already less firstOffset
    int firstOffset;                   // the control's offset of the following lines
    int tabCount;
    int tabs[MAX_DESCRIPTOR_TABS];     // twips
};

// Reads the items present in text; items absent keep their zero values.
FormatItems ParseFormatItems(const char *text);
// The value of item key (up to its ';' or the end) copied into out; 0 when absent.
int GetDescriptorItem(const char *text, char key, char *out, size_t size);
// Inches to twips, rounded half up and truncated toward zero.
int InchesToTwips(double inches);
