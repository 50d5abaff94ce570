// The About box's logo: a turning cut gem with a mosaic of twinkling facets, a glow and
// the maker's name, composed off screen and copied to the control in one BitBlt.
#pragma once
#include <windows.h>

// Draws one frame for tick (1 degree of turn per tick). dc 0: the control's own DC;
// rect 0: the control's client rectangle. glowLevel 0 means the default, 255.
void DrawLogo(HWND control, HDC dc, int tick, int glowLevel, const RECT *rect);
// Fills a polygon with diamond cells of the given size in light-blue shades: the same
// pattern every time, plus a few cells that twinkle. cell <= 1 fills it in one shade.
void FillFacet(HDC dc, const POINT *points, int count, int shades, int cell);

// Where the twinkle takes its seed: the system's millisecond tick, or a fixed source
// when a frame must be reproduced.
extern DWORD (WINAPI *LogoTwinkleSeed)(void);
