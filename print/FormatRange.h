// EM_FORMATRANGE, with a layout of our own where the control does not paginate: Wine's
// RichEdit answers 0 and draws nothing. Printing and preview call only this.
#pragma once
#include <windows.h>
#include <richedit.h>

// Sends EM_FORMATRANGE (render non-zero draws on request->hdc). When the control
// answers 0 for a non-empty range, lays out and (when rendering) draws the range
// itself: text rectangle in twips, character formats (face, size, bold, italic,
// underline, strike-out, colour, offset), paragraph formats (alignment, indents,
// bullets, tab stops), word wrap at the rectangle's width. Returns the first character
// that did not fit, as the control would (the range end when everything fitted).
// A null request releases the control's and our formatting caches.
LRESULT FormatRange(HWND control, WPARAM render, FORMATRANGE *request);

// Non-zero when the control leaves pagination to FormatRange (probed once per run):
// its target device then changes only the screen wrap, never the pages.
int FormatRangeStandsIn(HWND control);
