// EM_FORMATRANGE, with a layout of our own where the control does not paginate: Wine's
// RichEdit answers 0 and draws nothing. Printing and preview call only this.
#pragma once
#include <windows.h>
#include <richedit.h>

// Sends EM_FORMATRANGE (render non-zero draws on request->hdc) where the control
// paginates; where it does not (FormatRangeStandsIn), lays out and (when rendering)
// draws the range itself, measured as the editor measures its screen: text rectangle
// in twips, character formats (face, size, bold, italic, underline, strike-out,
// colour, offset), paragraph formats (alignment, indents, bullets, tab stops), word
// wrap at the rectangle's width. Returns the first character that did not fit, as the
// control would (the range end when everything fitted). A null request releases the
// control's and our formatting caches.
LRESULT FormatRange(HWND control, WPARAM render, FORMATRANGE *request);

// Non-zero when pagination is left to FormatRange's own layout. Decided once per run by
// a probe that any paginating control answers (one character in a hidden control of
// our own), never by a document's answers; where it stands in, the control's target
// device changes only the screen wrap, never the pages.
int FormatRangeStandsIn(HWND control);
// Decides again, asking probe (a control holding at least one character) or, for a
// null probe, a hidden control of our own. For tests.
void ProbeFormatRange(HWND probe);

// The device every page layout measures text on, the editor's screen wrap's measure: a
// memory context compatible with the screen, kept for the run. Requests pass it as
// hdcTarget so that a paginating control measures as the screen does.
HDC MeasuringDevice();
