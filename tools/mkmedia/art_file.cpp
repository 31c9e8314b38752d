// file.bmp: points of light on a lattice, repeated 4 x 4 across large planes that turn through
// space, so the planes read as layers of a field of lights.
// The show filters textures without mipmaps, so at grazing angles fine detail would crawl: the
// pattern is built from broad, soft features only, and it repeats seamlessly because every
// feature is measured with wrap-around distances.
#include "art.h"

#include "det_math.h"
#include "paint.h"

#include <cmath>

namespace mkmedia {
namespace {

constexpr int FILE_SIZE = 256;
// Two cells per repeat in each direction, in pixels.
constexpr double FILE_CELL = FILE_SIZE / 2.0;

// Distance from v to the nearest multiple of `period`.
double WrapDistance(double v, double period) {
    double r = v - period * std::floor(v / period);
    return std::min(r, period - r);
}

} // namespace

RgbImage PaintFile() {
    RgbImage image(FILE_SIZE, FILE_SIZE);
    PixelGrid grid{1.0, 1.0, 3};
    PaintAdd(image, grid, 0, 0, FILE_SIZE, FILE_SIZE, [&](double u, double v) {
        // Points of light where the cell edges cross, each with a wide halo and a short
        // four-way glint; faint threads join them.
        double dx = WrapDistance(u, FILE_CELL);
        double dy = WrapDistance(v, FILE_CELL);
        double node = Sqrt(dx * dx + dy * dy);
        double point = Falloff(node - 2.5, 5.0);
        double halo = 0.45 * Falloff(node, 30.0);
        double glint =
            0.5 * (Falloff(dy, 1.8) * Falloff(dx, 24.0) + Falloff(dx, 1.8) * Falloff(dy, 24.0));
        double thread = 0.16 * Falloff(std::min(dx, dy) - 0.6, 2.5);
        // A dimmer point in the middle of every cell keeps the lattice from looking ruled.
        double mx = WrapDistance(u - FILE_CELL / 2.0, FILE_CELL);
        double my = WrapDistance(v - FILE_CELL / 2.0, FILE_CELL);
        double middle = Sqrt(mx * mx + my * my);
        double small = 0.55 * Falloff(middle - 1.2, 4.0) + 0.2 * Falloff(middle, 16.0);
        return Rgb{1.0, 0.97, 0.9} * point + Rgb{0.35, 0.5, 1.0} * (halo + glint) +
               Rgb{0.3, 0.4, 1.0} * thread + Rgb{0.7, 0.55, 1.0} * small;
    });
    return image;
}

} // namespace mkmedia
