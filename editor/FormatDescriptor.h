// The format descriptor: the character and paragraph format of a selection as a
// short text of items "k=value;" (keys b i u s c y h f a n o l r t).
#pragma once
#include <windows.h>
#include <richedit.h>
#include <stddef.h>

const int DESCRIPTOR_SIZE = 512;
const int MAX_DESCRIPTOR_TABS = 32;

// Writes the items whose mask bits are set in the two formats; returns the length.
int BuildFormatDescriptor(const CHARFORMATA &chars, const PARAFORMAT &para,
                          char *out, size_t size);
// Fills zeroed formats (sizes set) from the items present in text.
void ParseFormatDescriptor(const char *text, CHARFORMATA *chars, PARAFORMAT *para);
// The value of item key (up to its ';' or the end) copied into out; 0 when absent.
int GetDescriptorItem(const char *text, char key, char *out, size_t size);
// Inches to twips, rounded half up and truncated toward zero.
int InchesToTwips(double inches);
