#include "about/LogoAnimation.h"

#include <vector>

#include "about/LogoGeometry.h"

DWORD (WINAPI *LogoTwinkleSeed)(void) = GetTickCount;

static LogoRandom Random;

static const char LOGO_TEXT[] = "Orvello Software";
static const COLORREF LOGO_BACKGROUND = RGB(180, 150, 240);

static void PaintCell(HDC dc, HRGN region, const RECT &box, LogoPixel centre, int cell,
                      COLORREF colour)
{
    const int half = cell / 2;
    int top = centre.y - half > box.top ? centre.y - half : box.top;
    int bottom = centre.y + half < box.bottom - 1 ? centre.y + half : box.bottom - 1;
    for (int y = top; y <= bottom; ++y) {
        int span = half - (y > centre.y ? y - centre.y : centre.y - y);
        int left = centre.x - span > box.left ? centre.x - span : box.left;
        int right = centre.x + span < box.right - 1 ? centre.x + span : box.right - 1;
        for (int x = left; x <= right; ++x)
            if (PtInRegion(region, x, y))
                SetPixel(dc, x, y, colour);
    }
}

void FillFacet(HDC dc, const POINT *points, int count, int shades, int cell)
{
    if (count < 3)
        return;
    if (cell <= 1) {
        HBRUSH brush = CreateSolidBrush(MosaicColor(Random.Next(), shades));
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, points, count);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
        return;
    }
    HRGN region = CreatePolygonRgn(points, count, ALTERNATE);
    if (!region)
        return;
    RECT box;
    GetRgnBox(region, &box);
    std::vector<LogoPixel> cells = MosaicCells(box.left, box.top, box.right, box.bottom, cell);
    // Pass 0 has a fixed seed, so the pattern stays put while the gem turns; pass 1
    // repaints about one cell in 36 with a seed that changes, which is the twinkle.
    for (int pass = 0; pass < 2; ++pass) {
        Random.Seed(pass == 0 ? 0 : LogoTwinkleSeed());
        for (const LogoPixel &centre : cells) {
            if (pass == 1 && Random.Next() % 36 != 0)
                continue;
            PaintCell(dc, region, box, centre, cell, MosaicColor(Random.Next(), shades));
        }
    }
    DeleteObject(region);
}

static void DrawGlow(HDC dc, const std::vector<LogoSegment> &path, int level, int height)
{
    const int count = GlowStrokeCount(level, height);
    for (int i = 1; i <= count; ++i) {
        LOGBRUSH brush = {BS_SOLID, GlowColor(i, count), 0};
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_JOIN_BEVEL | PS_ENDCAP_SQUARE | PS_SOLID,
                                GlowPenWidth(i, count, height), &brush, 0, 0);
        if (!pen)
            continue;
        SelectObject(dc, pen);
        BeginPath(dc);
        // The first two segments are one three-point line.
        POINT line[3] = {{path[0].from.x, path[0].from.y}, {path[0].to.x, path[0].to.y},
                         {path[1].to.x, path[1].to.y}};
        Polyline(dc, line, 3);
        for (size_t k = 2; k < path.size(); ++k) {
            MoveToEx(dc, path[k].from.x, path[k].from.y, 0);
            LineTo(dc, path[k].to.x, path[k].to.y);
        }
        EndPath(dc);
        StrokePath(dc);
        SelectObject(dc, GetStockObject(WHITE_PEN));
        DeleteObject(pen);
    }
}

static void DrawName(HDC dc, int width, int height)
{
    const int fontHeight = height * 9 / 10;
    HFONT font = CreateFontA(fontHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             VARIABLE_PITCH, "times new roman");
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, RGB(255, 255, 255));
    RECT area = {fontHeight * 3 / 2, 0, width, fontHeight};
    DrawTextA(dc, LOGO_TEXT, -1, &area, 0);
    // The black copy, up and to the right: the white one shows as a light edge.
    int k = height / 40;
    k = k < 1 ? 1 : k > 2 ? 2 : k;
    OffsetRect(&area, k, -k);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, LOGO_TEXT, -1, &area, 0);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
}

// The gem turned to tick, deepest facet first, projected: points of all facets in one
// array with a count per facet.
static void ProjectGem(int tick, int width, int height, std::vector<POINT> &points,
                       std::vector<int> &counts)
{
    LogoModel model;
    BuildLogoModel(model, 6, 0.67, 0.1675, 10000);
    for (Facet &facet : model)
        Rotate(facet, 0, tick, 0);
    for (Facet &facet : model)
        Rotate(facet, 0, 0, 40);
    for (Facet &facet : model)
        Rotate(facet, 0, -40, 0);
    OrderFacetsByDepth(model);
    for (const Facet &facet : model) {
        for (const LogoPoint &p : facet.points) {
            LogoPixel pixel = ProjectPoint(p, width, height);
            POINT point = {pixel.x, pixel.y};
            points.push_back(point);
        }
        counts.push_back((int)facet.points.size());
    }
}

static void DrawFrame(HDC dc, int width, int height, int tick, int level)
{
    std::vector<POINT> points;
    std::vector<int> counts;
    ProjectGem(tick, width, height, points, counts);

    HBRUSH background = CreateSolidBrush(LOGO_BACKGROUND);
    HGDIOBJ oldBrush = SelectObject(dc, background);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, width + 1, height + 1);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    DeleteObject(background);

    std::vector<LogoPixel> pixels(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        pixels[i].x = points[i].x, pixels[i].y = points[i].y;
    DrawGlow(dc, GlowPath(pixels, height), level, height);
    DrawName(dc, width, height);

    SelectObject(dc, GetStockObject(WHITE_PEN));
    Random.Seed(3);
    const int shades = level / 3 < 40 ? level / 3 : 40;
    size_t first = 0;
    for (int count : counts) {
        FillFacet(dc, &points[first], count, shades, height / 6);
        Polygon(dc, &points[first], count);
        first += count;
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

void DrawLogo(HWND control, HDC dc, int tick, int glowLevel, const RECT *rect)
{
    HDC own = 0;
    if (!dc)
        dc = own = GetDC(control);
    if (!dc)
        return;
    RECT area;
    if (rect)
        area = *rect;
    else
        GetClientRect(control, &area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC memory = width > 0 && height > 0 ? CreateCompatibleDC(dc) : 0;
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : 0;
    if (bitmap) {
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        DrawFrame(memory, width, height, tick, NormaliseGlowLevel(glowLevel));
        BitBlt(dc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
        DeleteObject(bitmap);
    }
    if (memory)
        DeleteDC(memory);
    if (own)
        ReleaseDC(control, own);
}
