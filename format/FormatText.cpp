#include "format/FormatText.h"

#include <limits.h>
#include <math.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The value of the first "k=" in the text, or null.
const char *FindValue(const char *text, char key)
{
    char pattern[3] = {key, '=', 0};
    const char *found = strstr(text, pattern);
    return found ? found + 2 : 0;
}

// Copies a value up to its ';' (or the end), cut to fit out.
void CopyValue(const char *value, char *out, size_t size)
{
    size_t n = strcspn(value, ";");
    if (n >= size)
        n = size - 1;
    memcpy(out, value, n);
    out[n] = 0;
}

// The leading decimal number, 0 when there is none; saturates instead of overflowing.
int LeadingInt(const char *text)
{
    long value = strtol(text, 0, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return (int)value;
}

// True when the text starts with a number; its value in value.
bool LeadingNumber(const char *text, double *value)
{
    char *end;
    *value = strtod(text, &end);
    return end != text;
}

int CheckState(const char *text, char key)
{
    const char *value = FindValue(text, key);
    if (!value)
        return CHECK_MIXED;
    return LeadingInt(value) ? CHECK_ON : CHECK_OFF;
}

// Inches as shown in the dialog: three decimals, trimmed, never "-0".
void FormatInches(double inches, char *out, size_t size)
{
    snprintf(out, size, "%.3lf\"", inches);
    if (out[0] == '-' && strspn(out + 1, "0.") == strlen(out) - 2)
        memmove(out, out + 1, strlen(out));
    TrimInches(out);
}

void CutAt(char *text, const char *stops)
{
    text[strcspn(text, stops)] = 0;
}

// An indentation field the control can take: blank, not a number (read as 0), or
// a short number within MAX_INCHES.
bool IndentAcceptable(const char *text)
{
    if (!text[0])
        return true;
    if (strlen(text) > (size_t)INDENT_CHARS)
        return false;
    double inches;
    if (!LeadingNumber(text, &inches))
        return true;
    return isfinite(inches) && fabs(inches) <= MAX_INCHES;
}

// Walks the stops as the format text's reader does, but counts all of them.
bool TabsAcceptable(const char *text)
{
    if (strlen(text) > (size_t)TABS_CHARS)
        return false;
    int count = 0;
    for (const char *p = text; *p && *p != ';';) {
        double inches;
        if (LeadingNumber(p, &inches) && !(isfinite(inches) && inches >= 0 && inches <= MAX_INCHES))
            return false;
        if (++count > MAX_TABS)
            return false;
        const char *comma = strchr(p, ',');
        if (!comma)
            break;
        p = comma + 1;
    }
    return true;
}

// Appends formatted text; remembers when something did not fit.
struct Appender {
    char *out;
    size_t size;
    size_t used;
    bool full;

    void Add(const char *format, ...)
    {
        if (full)
            return;
        va_list args;
        va_start(args, format);
        int n = vsnprintf(out + used, size - used, format, args);
        va_end(args);
        if (n < 0 || (size_t)n >= size - used) {
            full = true;
            return;
        }
        used += (size_t)n;
    }
};

// An indentation item: the text less one trailing inch sign, when anything is left.
void AddInches(Appender &text, char key, const char *field)
{
    size_t n = strlen(field);
    if (n && field[n - 1] == '"')
        --n;
    if (n)
        text.Add("%c=%.*s;", key, (int)n, field);
}

}  // namespace

void TrimInches(char *text)
{
    char *found;
    if (strchr(text, '.')) {
        while ((found = strstr(text, "0\"")) && strchr(text, '.')) {
            found[0] = '"';
            found[1] = 0;
        }
    }
    while ((found = strstr(text, ".\""))) {
        found[0] = '"';
        found[1] = 0;
    }
}

void FieldsFromFormatText(const char *text, FormatFields *fields)
{
    memset(fields, 0, sizeof *fields);
    const char *value;
    const char *size = FindValue(text, 'h');
    if (size)
        CopyValue(size, fields->size, sizeof fields->size);
    fields->offsetEnabled = size != 0;
    if ((value = FindValue(text, 'f')))
        CopyValue(value, fields->face, sizeof fields->face);

    fields->bold = CheckState(text, 'b');
    fields->italic = CheckState(text, 'i');
    fields->underline = CheckState(text, 'u');
    fields->strikeout = CheckState(text, 's');

    value = FindValue(text, 'y');
    if (value && size) {
        int points = LeadingInt(value);
        fields->offset = points > 0 ? OFFSET_SUPERSCRIPT : points < 0 ? OFFSET_SUBSCRIPT : OFFSET_NONE;
    }
    if ((value = FindValue(text, 'a')))
        fields->alignment = *value == 'c' ? ALIGN_CENTER : *value == 'r' ? ALIGN_RIGHT : ALIGN_LEFT;
    if ((value = FindValue(text, 'n')))
        fields->bullets = LeadingInt(value) ? BULLETS_ON : BULLETS_OFF;

    if ((value = FindValue(text, 'r'))) {
        char work[WORK_SIZE];
        CopyValue(value, work, sizeof work - 1);  // room for the inch sign
        size_t n = strlen(work);
        if (!n || work[n - 1] != '"') {
            work[n] = '"';
            work[n + 1] = 0;
        }
        TrimInches(work);
        CopyValue(work, fields->right, sizeof fields->right);
    }

    // The text gives the control's first-line start and the body's offset from it;
    // the dialog shows the body's indentation and the first line relative to it.
    const char *left = FindValue(text, 'l'), *offset = FindValue(text, 'o');
    if (left && offset) {
        double l = atof(left), o = atof(offset);
        FormatInches(l + o, fields->left, sizeof fields->left);
        FormatInches(-o, fields->firstLine, sizeof fields->firstLine);
    }

    fields->color = (value = FindValue(text, 'c')) ? LeadingInt(value) : -1;
    if ((value = FindValue(text, 't')))
        CopyValue(value, fields->tabs, sizeof fields->tabs);
}

void CleanFormatFields(FormatFields *fields)
{
    char *texts[] = {fields->size,  fields->face,  fields->firstLine,
                     fields->left,  fields->right, fields->tabs};
    for (char *text : texts)
        CutAt(text, ";=");
    if (strlen(fields->face) > (size_t)FACE_CHARS)
        fields->face[FACE_CHARS] = 0;
}

static bool SameIgnoringCase(const char *a, const char *b)
{
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? (char)(*a - 'A' + 'a') : *a;
        char y = *b >= 'A' && *b <= 'Z' ? (char)(*b - 'A' + 'a') : *b;
        if (x != y)
            return false;
    }
    return *a == *b;
}

void KeepChangedFields(const FormatFields &shown, FormatFields *fields)
{
    int *checks[4] = {&fields->bold, &fields->italic, &fields->underline, &fields->strikeout};
    const int shownChecks[4] = {shown.bold, shown.italic, shown.underline, shown.strikeout};
    for (int k = 0; k < 4; ++k)
        if (*checks[k] == shownChecks[k])
            *checks[k] = CHECK_MIXED;
    fields->shownPoints = 0;
    if (strcmp(fields->size, shown.size) == 0) {
        // A changed offset is still half the size shown.
        fields->shownPoints = shown.size[0] ? LeadingInt(shown.size) : 0;
        fields->size[0] = 0;
    }
    if (SameIgnoringCase(fields->face, shown.face))
        fields->face[0] = 0;
    if (fields->offset == shown.offset)
        fields->offset = OFFSET_MIXED;
    if (fields->color == shown.color)
        fields->color = -1;
    if (fields->bullets == shown.bullets)
        fields->bullets = BULLETS_MIXED;
    if (fields->alignment == shown.alignment)
        fields->alignment = ALIGN_MIXED;
    if (strcmp(fields->left, shown.left) == 0 && strcmp(fields->firstLine, shown.firstLine) == 0)
        fields->left[0] = fields->firstLine[0] = 0;
    if (strcmp(fields->right, shown.right) == 0)
        fields->right[0] = 0;
    if (strcmp(fields->tabs, shown.tabs) == 0)
        fields->tabs[0] = 0;
}

FormatProblem CheckFormatFields(const FormatFields &fields)
{
    if (fields.size[0]) {
        int points = LeadingInt(fields.size);
        if (points < MIN_POINTS || points > MAX_POINTS)
            return PROBLEM_SIZE;
    }
    if (!IndentAcceptable(fields.firstLine))
        return PROBLEM_FIRST_LINE;
    if (!IndentAcceptable(fields.left))
        return PROBLEM_LEFT;
    if (!IndentAcceptable(fields.right))
        return PROBLEM_RIGHT;
    if (!TabsAcceptable(fields.tabs))
        return PROBLEM_TABS;
    return FORMAT_OK;
}

const char *FormatProblemText(FormatProblem problem)
{
    switch (problem) {
    case PROBLEM_SIZE:
        return "The size must be a number of points from 1 to 1638.";
    case PROBLEM_FIRST_LINE:
    case PROBLEM_LEFT:
    case PROBLEM_RIGHT:
        return "An indentation must be a number of inches from -22 to 22.";
    case PROBLEM_TABS:
        return "Tab stops must be at most 32 numbers of inches from 0 to 22, "
               "separated by commas.";
    default:
        return "";
    }
}

int BuildFormatText(const FormatFields &fields, char *out, size_t size)
{
    if (!size)
        return -1;
    out[0] = 0;
    Appender text = {out, size, 0, false};
    const struct { int state; char key; } checks[] = {
        {fields.bold, 'b'}, {fields.italic, 'i'}, {fields.underline, 'u'}, {fields.strikeout, 's'},
    };
    for (const auto &check : checks) {
        if (check.state == CHECK_ON || check.state == CHECK_OFF)
            text.Add("%c=%d;", check.key, check.state == CHECK_ON ? 1 : 0);
    }
    int points = fields.shownPoints;
    if (fields.size[0]) {
        points = LeadingInt(fields.size);
        text.Add("h=%d;", points);
    }
    if (fields.face[0])
        text.Add("f=%s;", fields.face);
    if (fields.offset != OFFSET_MIXED) {
        int offset = fields.offset == OFFSET_SUPERSCRIPT ? points / 2
                   : fields.offset == OFFSET_SUBSCRIPT ? -(points / 2) : 0;
        text.Add("y=%d;", offset);
    }
    if (fields.color != -1)
        text.Add("c=%d;", fields.color);
    if (fields.bullets == BULLETS_ON)
        text.Add("n=1;");
    else if (fields.bullets == BULLETS_OFF)
        text.Add("n=0;");
    if (fields.alignment > ALIGN_MIXED)
        text.Add("a=%c;", fields.alignment == ALIGN_CENTER ? 'c'
                          : fields.alignment == ALIGN_RIGHT ? 'r' : 'l');
    AddInches(text, 'o', fields.firstLine);
    AddInches(text, 'l', fields.left);
    AddInches(text, 'r', fields.right);
    if (fields.tabs[0])
        text.Add("t=%s", fields.tabs);
    if (text.full) {
        out[0] = 0;
        return -1;
    }
    return (int)text.used;
}
