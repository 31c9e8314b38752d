// Painting on an RgbImage in "picture units" (the size the picture is shown at in the show),
// which may differ between x and y when a texture's pixel grid is not square on screen. Every
// paint call supersamples: it evaluates a shading function at n x n points inside each pixel and
// averages them.
#pragma once

#include "image.h"

#include <functional>

namespace mkmedia {

struct PixelGrid {
    double unitsPerPixelX = 1.0;
    double unitsPerPixelY = 1.0;
    int samples = 3; // per pixel and axis
    // Pixel coordinates of picture point (0, 0): lets a picture hold parts shown at different
    // scales (the_end.bmp's two parts, misc.bmp's band and backdrop).
    double originPixelX = 0.0;
    double originPixelY = 0.0;
    // Distance between neighbouring samples in picture units: the width over which a stroke
    // edge is faded so that it is anti-aliased.
    double Footprint() const;
};

// shade(u, v) answers the colour at picture point (u, v); the averages are added to the pixels
// of rows [y0, y1) and columns [x0, x1).
using Shader = std::function<Rgb(double u, double v)>;
void PaintAdd(RgbImage& image, const PixelGrid& grid, int x0, int y0, int x1, int y1,
              const Shader& shade);

// Coverage of a stroke of the given radius at distance d from its centre line.
double StrokeCoverage(double d, double radius, double footprint);
// A soft bump: 1 at x <= 0, falling smoothly to 0 at x >= reach.
double Falloff(double x, double reach);

} // namespace mkmedia
