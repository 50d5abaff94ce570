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

// Standard input, read by a thread of its own so that the sender always knows whether
// more input has come: under Wine a Unix pipe or file (`cat log | wine tracesend.exe`,
// `wine tracesend.exe < log`) answers no PeekNamedPipe, so a test before each read could
// not tell a pipe with bytes waiting from one without.
struct InputQueue {
    HANDLE input;
    CRITICAL_SECTION lock;
    HANDLE arrived;    // set when bytes or the end came
    HANDLE room;       // set when the queue was emptied
    std::string bytes;
    bool ended = false;
};

// At most this much input waits ahead of the sender (a file is read no further).
static const size_t QUEUE_LIMIT = 1 << 20;

static DWORD WINAPI ReadInput(void *parameter)
{
    InputQueue *queue = (InputQueue *)parameter;
    static char buffer[65536];
    for (;;) {
        EnterCriticalSection(&queue->lock);
        size_t waiting = queue->bytes.size();
        LeaveCriticalSection(&queue->lock);
        if (waiting >= QUEUE_LIMIT) {
            WaitForSingleObject(queue->room, INFINITE);
            continue;
        }
        DWORD read = 0;
        bool more = ReadFile(queue->input, buffer, sizeof buffer, &read, 0) && read > 0;
        EnterCriticalSection(&queue->lock);
        queue->bytes.append(buffer, read);
        queue->ended = !more;
        LeaveCriticalSection(&queue->lock);
        SetEvent(queue->arrived);
        if (!more)
            return 0;
    }
}

// Sends each line of standard input: as many whole lines a message as have come, and
// what is packed as soon as no more input waits.
static void SendInputLines()
{
    InputQueue queue;
    queue.input = GetStdHandle(STD_INPUT_HANDLE);
    InitializeCriticalSection(&queue.lock);
    queue.arrived = CreateEventA(0, FALSE, FALSE, 0);
    queue.room = CreateEventA(0, FALSE, FALSE, 0);
    HANDLE reader = CreateThread(0, 0, ReadInput, &queue, 0, 0);
    LineSender sender;
    if (!reader) {
        // Without a thread: read and send in turn, what was read going out at once.
        static char buffer[65536];
        DWORD read = 0;
        while (ReadFile(queue.input, buffer, sizeof buffer, &read, 0) && read > 0) {
            sender.Take(buffer, read);
            sender.Flush();
        }
        sender.Finish();
        return;
    }
    std::string taken;
    for (;;) {
        EnterCriticalSection(&queue.lock);
        taken.swap(queue.bytes);
        queue.bytes.clear();
        bool ended = queue.ended;
        LeaveCriticalSection(&queue.lock);
        if (!taken.empty()) {
            SetEvent(queue.room);
            sender.Take(taken.data(), taken.size());
            taken.clear();
            continue;
        }
        if (ended)
            break;
        // Nothing more has come: the lines packed so far must not wait for it.
        sender.Flush();
        WaitForSingleObject(queue.arrived, INFINITE);
    }
    sender.Finish();
    WaitForSingleObject(reader, INFINITE);
    CloseHandle(reader);
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
    SendInputLines();
    return 0;
}
