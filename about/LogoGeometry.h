// The logo's geometry: the gem model, its rotation, painter's ordering, perspective
// projection, the glow strokes and the mosaic cells. Plain numbers in and out, no
// windows, so it can be tested on its own.
#pragma once
#include <vector>

struct LogoPoint {
    double x, y, z;
};

// One polygon of the model; depth is the middle of its z extent, kept up to date by
// UpdateDepth after every change of the points.
struct Facet {
    std::vector<LogoPoint> points;
    double depth;
};

typedef std::vector<Facet> LogoModel;

struct LogoPixel {
    int x, y;
};

inline bool operator==(const LogoPixel &a, const LogoPixel &b) { return a.x == b.x && a.y == b.y; }

// The gem: n sides, size ratio a, bevel ratio b, scale c. 2n + 1 facets (triangles of
// the pavilion, quadrilaterals of the bevel, the n-gon table); n = 0 empties the model.
void BuildLogoModel(LogoModel &model, int n, double a, double b, double c);
void UpdateDepth(Facet &facet);
// Turns every point by the angles (degrees) about x, then y, then z; zero angles are skipped.
void Rotate(Facet &facet, double ax, double ay, double az);
// Deepest facet first, so nearer facets are painted over farther ones.
void OrderFacetsByDepth(LogoModel &model);
// Where a model point lands in a width x height picture.
LogoPixel ProjectPoint(const LogoPoint &point, int width, int height);

// Glow levels outside 4...255 mean the default, 255; others are taken down by 1 unless
// they are a multiple of 3.
int NormaliseGlowLevel(int level);
// How many glow strokes a picture height takes at a (normalised) glow level.
int GlowStrokeCount(int level, int height);
// Colour (0x00BBGGRR) and pen width of stroke i of count: wide and dark to narrow and light.
unsigned GlowColor(int i, int count);
int GlowPenWidth(int i, int count, int height);

struct LogoSegment {
    LogoPixel from, to;
};
// The glow path: a three-point line around the gem (as two segments), then four lines
// to every projected point that repeats an earlier one (a vertex shared by facets),
// once for each such point.
std::vector<LogoSegment> GlowPath(const std::vector<LogoPixel> &points, int height);

// The random sequence the mosaic uses (the C library's classic generator), kept here so
// that a frame depends on nothing but its seeds.
struct LogoRandom {
    unsigned state;
    void Seed(unsigned seed) { state = seed; }
    int Next()
    {
        state = state * 214013u + 2531011u;
        return (int)((state >> 16) & 0x7FFF);
    }
};

// Colour (0x00BBGGRR) of a mosaic cell from one random number and the number of shades.
unsigned MosaicColor(int random, int shades);
// Centres of the diamond cells (cell wide and high, rows cell/2 apart, every other row
// shifted by half a cell) that cover the box [left, right) x [top, bottom).
std::vector<LogoPixel> MosaicCells(int left, int top, int right, int bottom, int cell);
// Whether a pixel lies in the diamond cell centred at centre.
bool InMosaicCell(LogoPixel centre, int cell, int x, int y);
