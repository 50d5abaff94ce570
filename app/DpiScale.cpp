#include "app/DpiScale.h"

int ScaleToDpi(int value, int dpi)
{
    if (dpi <= 0)
        dpi = BASE_DPI;
    long long product = (long long)value * dpi;
    long long half = BASE_DPI / 2;
    return (int)((product < 0 ? product - half : product + half) / BASE_DPI);
}

int ToolbarImageSize(int dpi)
{
    static const int sizes[] = {32, 24, 20, 16};
    int wanted = ScaleToDpi(16, dpi);
    for (int size : sizes)
        if (size <= wanted)
            return size;
    return 16;
}
