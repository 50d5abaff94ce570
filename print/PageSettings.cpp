#include "print/PageSettings.h"

PageSetup PageSettings = {{1250, 1000, 1250, 1000}, {8500, 11000}};

int PrintableWidth()
{
    return PageSettings.paperSize.x - PageSettings.margins.right - PageSettings.margins.left;
}
