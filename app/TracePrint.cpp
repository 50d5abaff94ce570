#include "app/TracePrint.h"

void TracePrint(const char *format, ...)
{
}
