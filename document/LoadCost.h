// What a plain text will cost the RichEdit control, told from its content before it goes
// in, and whether that fits in what the process has left. No windows involved: this also
// builds natively for fuzzing.
//
// Wine's control holds a text in runs, and cuts a line into a new run at every digit and
// punctuation mark (LongLines.h): a log of timestamps, brackets and paths costs it about
// 270 bytes a character, plain words a fraction of that. A 32-bit program that hands it a
// 10 MB log runs out of address space and stops answering for good. bigfile_bench measures
// the figures below.
#pragma once
#include <stddef.h>

// Measured by bigfile_bench under Wine 8 (the control as the editor makes it; 1 MB of
// prose 74, logs 329, 256 KB of source code 280, Cyrillic 16-bit text 63 bytes a
// character; empty lines 1,968 and one-digit lines 1,878 bytes a line): bytes the control
// holds for each character, line (with its first run) and further run of plain text
// (fitted to those), and a margin for what the fit misses.
const double CONTROL_BYTES_PER_CHAR = 34;
const double CONTROL_BYTES_PER_LINE = 1900;
const double CONTROL_BYTES_PER_RUN = 640;
const double COST_MARGIN = 1.2;
// The most the control may take, however much address space is left (a 64-bit process
// has terabytes, the machine not). Texts that would cost more open as a view of the file
// (FileView.h), whose window costs a fraction of this.
const double MOST_CONTROL_BYTES = 1280.0 * 1024 * 1024;
// Kept free for everything else: the program, its dialogs, painting, a save's copy.
const double ADDRESS_SPACE_RESERVE = 160.0 * 1024 * 1024;

// How a file's bytes are read as characters.
enum CostEncoding { COST_8BIT, COST_UTF8, COST_UTF16LE, COST_UTF16BE };

struct TextCost {
    double chars;  // characters the control will hold (a line end counts one)
    double lines;
    double runs;   // runs the control cuts the lines into beyond each line's first
};

// Counts a text that comes in pieces (a file read a block at a time): any split is fine,
// inside a CR LF, a UTF-8 sequence or a 16-bit unit included.
class TextCostCounter {
public:
    explicit TextCostCounter(CostEncoding encoding = COST_8BIT) : encoding(encoding) {}
    void Add(const unsigned char *bytes, size_t n);
    // The cost so far; a last line without a line end counts as a line.
    TextCost Cost() const;

private:
    void AddUnit(unsigned c);
    CostEncoding encoding;
    TextCost cost = {0, 0, 0};
    bool afterCr = false;     // the previous character was a CR
    bool lineOpen = false;    // characters since the last line end
    int oddByte = -1;         // first byte of a 16-bit unit split between pieces
};

TextCost CountTextCost(const char *text, size_t n);
TextCost CountTextCost(const char16_t *text, size_t n);

// What the control would hold for such a text, in bytes.
double EstimatedControlBytes(const TextCost &cost);

// How many bytes the control may take when the process has addressLeft bytes of address
// space free and the load itself holds held bytes meanwhile (the file read whole, its
// 16-bit copy): never more than most, 0 when nothing can be spared.
double ControlBudget(double addressLeft, double held, double most = MOST_CONTROL_BYTES);

// How many characters of text of this cost fit in budget bytes (all of them when the
// whole fits).
double CharactersThatFit(const TextCost &cost, double budget);

// The length of the longest prefix of text[0, n) of at most chars units that ends just
// after a line end (LF, or a CR that no LF follows); when no line ends within chars,
// chars itself, moved back so that it splits neither a CR LF nor a surrogate pair (a lone
// surrogate is a character of its own). n when
// chars >= n. (8-bit text in a double-byte code page is cut only at line ends: no trail
// byte is a CR or LF.)
size_t FittingPrefix(const char *text, size_t n, size_t chars);
size_t FittingPrefix(const char16_t *text, size_t n, size_t chars);
