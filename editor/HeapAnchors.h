#pragma once
#include <stddef.h>
#include <vector>

// Keeps the memory a control gave back for the control that takes its place.
//
// Wine's heap hands a region back to the system as soon as the last block in it is freed,
// so a fresh control filled after the old one was destroyed faulted every page in anew:
// half the time of refilling a control with 50,000 lines. A small block of the process
// heap (where the control keeps its text) left after each large piece of text keeps the
// regions the control used until its successor has taken them. Elsewhere it costs a few
// bytes a piece.
class HeapAnchors {
public:
    ~HeapAnchors();
    // After lines went into the control: an anchor once enough lines went in since the last.
    void After(size_t lines);
    // The control is about to go: its anchors hold its regions while the next one fills.
    void Hold();
    // The next control has its text: the regions it did not take may go.
    void LetGo();
    // Every anchor goes (the window was emptied on purpose).
    void Clear();

private:
    std::vector<void *> current, held;
    size_t since = 0;
};
