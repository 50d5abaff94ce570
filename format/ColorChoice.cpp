#include "format/ColorChoice.h"

ColorEntry ColorTable[COLOR_ENTRIES] = {
    {0x000001, "Default"},     {0x000000, "Black"},      {0x808080, "Gray"},
    {0x000080, "Dark Red"},    {0x0000FF, "Red"},        {0x008000, "Dark Green"},
    {0x00FF00, "Green"},       {0x800000, "Dark Blue"},  {0xFF0000, "Blue"},
    {0x008080, "Dark Yellow"}, {0x00FFFF, "Yellow"},     {0x800060, "Dark Purple"},
    {0xFF00C0, "Purple"},      {0x004080, "Dark Orange"}, {0x0080FF, "Orange"},
    {0x000000, "Custom..."},
};

int SelectionColor(int uniform, int automatic, uint32_t colour)
{
    if (!uniform)
        return -1;
    return automatic ? 1 : (int)colour;
}

int CheckedColorEntry(int current)
{
    if (current == -1)
        return -1;
    for (int k = 0; k < COLOR_ENTRIES; ++k)
        if ((int)ColorTable[k].colour == current)
            return k;
    return -1;
}

int ColorOfChoice(int command)
{
    if (command < 1 || command > COLOR_ENTRIES)
        return -1;
    return (int)ColorTable[command - 1].colour;
}
