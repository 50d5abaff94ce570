// The sending end of the output window: formats one line and sends it to the "OXR"
// window, starting the output window program first when none runs.
#pragma once

void TracePrint(const char *format, ...);
