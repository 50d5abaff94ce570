// Screen-scale arithmetic: plain values in and out, no windows.
#pragma once

// 96 dots per inch is 100 %: the size every pixel constant of the program is written at.
const int BASE_DPI = 96;

// value (in pixels at 96 DPI) at dpi, rounded half away from zero; dpi <= 0 counts as 96.
int ScaleToDpi(int value, int dpi);
// The side of the toolbar images to use at dpi: the largest drawn strip (16, 20, 24 or
// 32 pixels) that is not bigger than 16 pixels scaled, and 16 below 100 %.
int ToolbarImageSize(int dpi);
