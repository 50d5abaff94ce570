// The format descriptor: the character and paragraph format of a selection as a
// short text of items "k=value;" (keys b i u s c y h f a n o l r t).
#pragma once
#include <windows.h>
#include <richedit.h>
#include <stddef.h>

#include "editor/FormatText.h"

const int DESCRIPTOR_SIZE = 512;

// Writes the items whose mask bits are set in the two formats; returns the length.
int BuildFormatDescriptor(const CHARFORMATA &chars, const PARAFORMAT &para,
                          char *out, size_t size);
// Fills zeroed formats (sizes set) from the items present in text.
void ParseFormatDescriptor(const char *text, CHARFORMATA *chars, PARAFORMAT *para);
