// The Text Format dialog's values: read from a format text, cleaned, checked and written
// back; inch texts trimmed.
#include <stddef.h>
#include <stdint.h>
#include <string.h>
#include <string>

#include "format/FormatText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    char inches[FIELD_SIZE];
    strncpy(inches, text.c_str(), sizeof inches - 1);
    inches[sizeof inches - 1] = 0;
    size_t before = strlen(inches);
    TrimInches(inches);
    if (strlen(inches) > before)
        __builtin_trap();

    static FormatFields fields;
    FieldsFromFormatText(text.c_str(), &fields);
    CleanFormatFields(&fields);
    CheckFormatFields(fields);
    char out[512];
    int length = BuildFormatText(fields, out, sizeof out);
    if (length >= (int)sizeof out || (length >= 0 && strlen(out) != (size_t)length))
        __builtin_trap();

    // Only what differs from the values shown is written: the same values give nothing,
    // and the first half of the input against the second never overflows.
    static FormatFields shown, now;
    FieldsFromFormatText(text.c_str(), &shown);
    CleanFormatFields(&shown);
    now = shown;
    KeepChangedFields(shown, &now);
    if (CheckFormatFields(now) != FORMAT_OK || BuildFormatText(now, out, sizeof out) != 0)
        __builtin_trap();
    size_t half = size / 2;
    FieldsFromFormatText(text.substr(half).c_str(), &now);
    CleanFormatFields(&now);
    KeepChangedFields(shown, &now);
    CheckFormatFields(now);
    length = BuildFormatText(now, out, sizeof out);
    if (length >= (int)sizeof out || (length >= 0 && strlen(out) != (size_t)length))
        __builtin_trap();
    return 0;
}
