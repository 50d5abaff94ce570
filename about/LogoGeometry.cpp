#include "about/LogoGeometry.h"

#include <math.h>
#include <stdlib.h>
#include <utility>

static const double DEGREES = 3.14159265358979323846 / 180;

static LogoPoint Point(double x, double y, double z)
{
    LogoPoint p = {x, y, z};
    return p;
}

static Facet MakeFacet(std::initializer_list<LogoPoint> points)
{
    Facet facet;
    facet.points = points;
    UpdateDepth(facet);
    return facet;
}

void BuildLogoModel(LogoModel &model, int n, double a, double b, double c)
{
    model.clear();
    if (n <= 0)
        return;
    const double r = a * c / 10, h = c / 10, f = 1 - b;
    std::vector<LogoPoint> base(n), crown(n);
    for (int k = 0; k < n; ++k) {
        double theta = k * 360.0 / n * DEGREES;
        base[k] = Point(-sin(theta) * r, 0, cos(theta) * r);
        crown[k] = Point(base[k].x * f, -h * b, base[k].z * f);
    }
    for (int k = 0; k < n; ++k) {
        int next = (k + 1) % n;
        model.push_back(MakeFacet({base[k], base[next], Point(0, h, 0)}));
        model.push_back(MakeFacet({base[k], base[next], crown[next], crown[k]}));
    }
    Facet table;
    table.points = crown;
    UpdateDepth(table);
    model.push_back(table);
}

void UpdateDepth(Facet &facet)
{
    if (facet.points.empty()) {
        facet.depth = 0;
        return;
    }
    double low = facet.points[0].z, high = low;
    for (const LogoPoint &p : facet.points) {
        if (p.z < low)
            low = p.z;
        if (p.z > high)
            high = p.z;
    }
    facet.depth = (low + high) / 2;
}

// Turns the pair (u, v) by angle degrees: the pair is read as a radius and an angle
// measured from the v axis towards minus u.
static void TurnPair(double &u, double &v, double angle)
{
    double radius = sqrt(u * u + v * v);
    double phi = (-atan2(u, v) / DEGREES + angle) * DEGREES;
    u = -sin(phi) * radius;
    v = cos(phi) * radius;
}

void Rotate(Facet &facet, double ax, double ay, double az)
{
    for (LogoPoint &p : facet.points) {
        if (ax != 0)
            TurnPair(p.y, p.z, ax);
        if (ay != 0)
            TurnPair(p.x, p.z, ay);
        if (az != 0)
            TurnPair(p.x, p.y, az);
    }
    UpdateDepth(facet);
}

void OrderFacetsByDepth(LogoModel &model)
{
    const size_t count = model.size();
    for (size_t i = 0; i + 1 < count; ++i) {
        size_t deepest = i;
        for (size_t j = i + 1; j < count; ++j)
            if (model[j].depth > model[deepest].depth)
                deepest = j;
        if (deepest != i)
            std::swap(model[i], model[deepest]);
    }
}

LogoPixel ProjectPoint(const LogoPoint &point, int width, int height)
{
    double s = 2.0 * height / 10000, t = 7000 / (point.z + 2000);
    LogoPixel pixel;
    pixel.x = (int)(point.x * t * s + 0.5) + height / 2 + width / 200;
    pixel.y = (int)(point.y * t * s + 0.5) + height / 2 - width / 100;
    return pixel;
}

int NormaliseGlowLevel(int level)
{
    if (level % 3 != 0)
        level -= 1;
    if (level < 4 || level > 255)
        level = 255;
    return level;
}

int GlowStrokeCount(int level, int height)
{
    int o = (height / 2) | 1;
    int byLevel = 2 * level / 3 - 1, bySize = (o + 1) / 2;
    return byLevel < bySize ? byLevel : bySize;
}

static int Channel(int i, int count, int rise, int start)
{
    int value = (int)(i * (double)rise / count + start + 0.5);
    return value < 255 ? value : 255;
}

unsigned GlowColor(int i, int count)
{
    unsigned red = Channel(i, count, 75, 180), green = Channel(i, count, 105, 150);
    unsigned blue = Channel(i, count, 15, 240);
    return red | green << 8 | blue << 16;
}

int GlowPenWidth(int i, int count, int height)
{
    int o = (height / 2) | 1;
    return (int)(o - i * (double)o / count + 0.5) | 1;
}

static LogoSegment Segment(int x0, int y0, LogoPixel to)
{
    LogoSegment segment = {{x0, y0}, to};
    return segment;
}

std::vector<LogoSegment> GlowPath(const std::vector<LogoPixel> &points, int height)
{
    const int q = height / 4, m = height / 2, t = height * 3 / 4;
    std::vector<LogoSegment> path;
    LogoPixel top = {m, q}, right = {t, m};
    path.push_back(Segment(q, m, top));
    path.push_back(Segment(m, q, right));
    // A vertex shared by several facets comes back several times; its four lines are
    // added once, as stroking the same line again adds nothing but time.
    for (size_t i = 1; i < points.size(); ++i) {
        int earlier = 0;
        for (size_t j = 0; j < i && earlier < 2; ++j)
            earlier += points[j] == points[i];
        if (earlier != 1)
            continue;
        path.push_back(Segment(q, m, points[i]));
        path.push_back(Segment(m, q, points[i]));
        path.push_back(Segment(t, m, points[i]));
        path.push_back(Segment(m, t, points[i]));
    }
    return path;
}

unsigned MosaicColor(int random, int shades)
{
    if (shades < 1)
        shades = 1;
    int step = 40 / shades > 1 ? 40 / shades : 1;
    int v = random % shades * step;
    unsigned red = 215 - v > 0 ? 215 - v : 0, green = 255 - v;
    return red | green << 8 | 255u << 16;
}

std::vector<LogoPixel> MosaicCells(int left, int top, int right, int bottom, int cell)
{
    std::vector<LogoPixel> cells;
    const int half = cell / 2;
    if (half < 1 || right <= left || bottom <= top)
        return cells;
    // Rows half a cell apart; each row's diamonds touch, and the shifted rows fill the gaps.
    for (int row = 0, y = top; y - half < bottom; ++row, y += half)
        for (int x = left + (row & 1 ? half : 0); x - half < right; x += 2 * half) {
            LogoPixel centre = {x, y};
            cells.push_back(centre);
        }
    return cells;
}

bool InMosaicCell(LogoPixel centre, int cell, int x, int y)
{
    return abs(x - centre.x) + abs(y - centre.y) <= cell / 2;
}
