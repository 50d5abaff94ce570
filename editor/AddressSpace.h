// How much of the process's address space is still free: what a 32-bit program can
// allocate at all, whatever memory the machine has.
#pragma once

// Bytes of address space not reserved or committed, in blocks of 64 KB or more.
double AddressSpaceLeft();
// Whether a load should stop now: less than this is left for everything else.
const double LEAST_ADDRESS_SPACE_LEFT = 96.0 * 1024 * 1024;
