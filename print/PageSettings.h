// Paper size and margins of the run, in thousandths of an inch (not saved).
#pragma once
#include <windows.h>

struct PageSetup {
    RECT margins;     // left, top, right, bottom
    POINT paperSize;  // width, height
};

extern PageSetup PageSettings;

// Printable width: paper width less both side margins, the Wrap to Page width.
int PrintableWidth();
