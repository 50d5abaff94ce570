#include "editor/AddressSpace.h"

#include <windows.h>

double AddressSpaceLeft()
{
    // The regions themselves, rather than GlobalMemoryStatusEx's ullAvailVirtual, which
    // Wine may work out in its own way.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    double free = 0;
    MEMORY_BASIC_INFORMATION info;
    char *at = (char *)system.lpMinimumApplicationAddress;
    char *top = (char *)system.lpMaximumApplicationAddress;
    while (at < top && VirtualQuery(at, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_FREE && info.RegionSize >= 65536)
            free += (double)info.RegionSize;
        char *next = (char *)info.BaseAddress + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return free;
}
