// gleam.tga: a four-pointed glint with a soft halo, its alpha following its brightness. The
// show does not draw it on the models (the scenes set their own material and no texture); it is
// here so that a model's material names a real run-length TGA file.
#include "art.h"

#include "det_math.h"
#include "paint.h"

#include <cmath>

namespace mkmedia {
namespace {

constexpr int GLEAM_SIZE = 64;

} // namespace

RgbImage PaintGleam(std::vector<double>* alpha) {
    RgbImage image(GLEAM_SIZE, GLEAM_SIZE);
    PixelGrid grid{1.0, 1.0, 3};
    const double c = GLEAM_SIZE / 2.0;
    PaintAdd(image, grid, 0, 0, GLEAM_SIZE, GLEAM_SIZE, [&](double u, double v) {
        double dx = std::fabs(u - c);
        double dy = std::fabs(v - c);
        double r = Sqrt(dx * dx + dy * dy);
        double core = Falloff(r, 9.0);
        double rays = Falloff(dy, 1.6) * Falloff(dx, 28.0) + Falloff(dx, 1.6) * Falloff(dy, 28.0);
        double halo = 0.35 * Falloff(r, 24.0);
        double light = Clamp01(core + 0.8 * rays + halo);
        return Rgb{0.8, 0.9, 1.0} * light + Rgb{0.2, 0.1, 0.0} * (core * light);
    });
    alpha->assign(static_cast<size_t>(GLEAM_SIZE) * GLEAM_SIZE, 0.0);
    for (int y = 0; y < GLEAM_SIZE; ++y) {
        for (int x = 0; x < GLEAM_SIZE; ++x) {
            Rgb p = image.At(x, y);
            (*alpha)[static_cast<size_t>(y) * GLEAM_SIZE + x] = Clamp01(std::max({p.r, p.g, p.b}));
        }
    }
    return image;
}

} // namespace mkmedia
