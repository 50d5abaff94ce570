// Small blocks that keep a control's memory regions for the next control.
#include "editor/HeapAnchors.h"

#include <windows.h>

// Lines between two anchors: about 3 to 15 MB of a control's memory under Wine, far less
// than a region of its heap once the heap has grown.
static const size_t LINES_PER_ANCHOR = 1000;
static const SIZE_T ANCHOR_SIZE = 16;

static void FreeAll(std::vector<void *> &anchors)
{
    for (void *anchor : anchors)
        HeapFree(GetProcessHeap(), 0, anchor);
    anchors.clear();
}

HeapAnchors::~HeapAnchors()
{
    Clear();
}

void HeapAnchors::After(size_t lines)
{
    since += lines;
    if (since < LINES_PER_ANCHOR)
        return;
    // Allocated right after the control's latest blocks, in the region they fill.
    void *anchor = HeapAlloc(GetProcessHeap(), 0, ANCHOR_SIZE);
    if (!anchor)
        return;
    current.push_back(anchor);
    since = 0;
}

void HeapAnchors::Hold()
{
    FreeAll(held);
    held.swap(current);
    since = 0;
}

void HeapAnchors::LetGo()
{
    FreeAll(held);
}

void HeapAnchors::Clear()
{
    FreeAll(current);
    FreeAll(held);
    since = 0;
}
