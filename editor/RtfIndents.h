// Paragraph indent words in RTF the control wrote. Wine's RTF writer puts a paragraph's
// offset where RTF has the left indent and its start where RTF has the first line
// (\li<offset>\fi<start>), so what it writes reads back with other indents. The program
// finds out once whether its control's writer does that (a probe paragraph of known
// indents, written and read back here) and, where it does, mends the words before the
// RTF goes anywhere. Pure text work: no windows involved.
#pragma once
#include <stddef.h>

#include <string>

// The probe paragraph's indents in twips: the control's start indent and the offset of
// the following lines. A correct writer writes \li1080\fi-360 for it, an exchanging
// one \li360\fi720.
const int PROBE_START_INDENT = 720;
const int PROBE_OFFSET = 360;

// The \li and \fi values that hold for the first paragraph begun by \pard (0 for a word
// not written); false when there is no \pard.
bool FirstParagraphIndents(const char *rtf, size_t length, long long *left, long long *first);

// Whether rtf, the probe paragraph as a writer wrote it, shows the exchange. Anything
// else (a correct writer, or words it does not write as expected) means no.
bool WriterExchangesIndents(const char *rtf, size_t length);

// rtf with the indent words of every paragraph begun by \pard written as RTF means
// them: a \li of L and \fi of F from the exchanging writer (offset L, start F) become
// \li(F + L) and \fi(-L); words of value 0 are left out, as the writer does. Everything
// else, other paragraphs' words and nested groups included, stays byte for byte. Stops
// at a zero byte, as the control's reader does.
std::string MendExchangedIndents(const char *rtf, size_t length);
