// tracesend: sends its arguments, joined by spaces, as one line to the output window;
// without arguments, each line of standard input as one line. Input lines go several to a
// message (whole lines, at most the 2,048-byte buffer), but a line never waits for input
// that has not come yet: a slow build's log shows as it is written.
#include <windows.h>
#include <string.h>
#include <string>

#include "app/TracePrint.h"
#include "app/TraceText.h"

// Packs input lines into blocks and sends each block when it is full or input pauses.
struct LineSender {
    TraceBlock block = {{0}, 0};
    std::string partial;  // the start of a line whose end has not been read yet

    void Flush()
    {
        if (block.used)
            SendTraceText(block.text, block.used);
        block.used = 0;
    }

    void Add(const char *line, size_t length)
    {
        while (length && line[length - 1] == '\r')
            --length;
        if (!AddTraceLine(block, line, length)) {
            Flush();
            AddTraceLine(block, line, length);
        }
    }

    // Splits read bytes into lines; the last piece waits for its line end.
    void Take(const char *bytes, size_t count)
    {
        for (size_t k = 0; k < count;) {
            const char *feed = (const char *)memchr(bytes + k, '\n', count - k);
            size_t end = feed ? (size_t)(feed - bytes) : count;
            // A line longer than a message can carry is cut; keep only what is sent.
            size_t room = partial.size() < (size_t)TRACE_TEXT_MAX + 16
                              ? (size_t)TRACE_TEXT_MAX + 16 - partial.size() : 0;
            partial.append(bytes + k, end - k < room ? end - k : room);
            if (!feed)
                break;
            Add(partial.data(), partial.size());
            partial.clear();
            k = end + 1;
        }
    }

    void Finish()
    {
        if (!partial.empty())
            Add(partial.data(), partial.size());
        partial.clear();
        Flush();
    }
};

// True when a read would not wait: the input is a file, or a pipe with bytes waiting.
static bool InputWaiting(HANDLE input)
{
    if (GetFileType(input) == FILE_TYPE_DISK)
        return true;
    DWORD available = 0;
    return PeekNamedPipe(input, 0, 0, 0, &available, 0) && available > 0;
}

int main(int argc, char **argv)
{
    if (argc > 1) {
        std::string line = argv[1];
        for (int k = 2; k < argc; ++k)
            line += std::string(" ") + argv[k];
        TracePrint("%s", line.c_str());
        return 0;
    }
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    LineSender sender;
    static char buffer[65536];
    for (;;) {
        if (!InputWaiting(input))
            sender.Flush();
        DWORD read = 0;
        if (!ReadFile(input, buffer, sizeof buffer, &read, 0) || read == 0)
            break;
        sender.Take(buffer, read);
    }
    sender.Finish();
    return 0;
}
