// The recovery snapshot's parser: never crashes, and what it accepts builds back into a
// snapshot it accepts again with the same fields and content.
#include <stddef.h>
#include <stdint.h>
#include <string>

#include "document/RecoveryFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SnapshotRecord record;
    size_t offset = 0, length = 0;
    if (ParseSnapshot((const char *)data, size, &record, &offset, &length) != SNAPSHOT_GOOD)
        return 0;
    if (offset > size || length > size - offset)
        __builtin_trap();
    std::string content((const char *)data + offset, length);
    std::string again = BuildSnapshotHeader(record, content.data(), content.size()) + content;
    SnapshotRecord back;
    size_t backOffset = 0, backLength = 0;
    if (ParseSnapshot(again.data(), again.size(), &back, &backOffset, &backLength) !=
        SNAPSHOT_GOOD)
        __builtin_trap();
    if (again.compare(backOffset, backLength, content) != 0 || backLength != length)
        __builtin_trap();
    if (back.format != record.format || back.rich != record.rich ||
        back.fileSize != record.fileSize || back.fileTime != record.fileTime ||
        back.caretStart != record.caretStart || back.caretEnd != record.caretEnd ||
        back.wrap != record.wrap || back.takenAt != record.takenAt ||
        back.utf8Mark != record.utf8Mark || back.lineEnds != record.lineEnds ||
        back.mixedLineEnds != record.mixedLineEnds)
        __builtin_trap();
    return 0;
}
