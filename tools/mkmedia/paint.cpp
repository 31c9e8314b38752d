#include "paint.h"

#include "det_math.h"

#include <algorithm>

namespace mkmedia {

double PixelGrid::Footprint() const {
    return std::max(unitsPerPixelX, unitsPerPixelY) / samples;
}

void PaintAdd(RgbImage& image, const PixelGrid& grid, int x0, int y0, int x1, int y1,
              const Shader& shade) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.Width());
    y1 = std::min(y1, image.Height());
    const int n = grid.samples;
    const double weight = 1.0 / (n * n);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Rgb sum;
            for (int sy = 0; sy < n; ++sy) {
                double v = (y + (sy + 0.5) / n - grid.originPixelY) * grid.unitsPerPixelY;
                for (int sx = 0; sx < n; ++sx) {
                    double u = (x + (sx + 0.5) / n - grid.originPixelX) * grid.unitsPerPixelX;
                    sum = sum + shade(u, v);
                }
            }
            image.Add(x, y, sum * weight);
        }
    }
}

double StrokeCoverage(double d, double radius, double footprint) {
    return Clamp01((radius - d) / footprint + 0.5);
}

double Falloff(double x, double reach) {
    if (x <= 0.0) {
        return 1.0;
    }
    if (x >= reach) {
        return 0.0;
    }
    double s = x / reach;
    double k = 1.0 - s * s;
    return k * k * k;
}

} // namespace mkmedia
