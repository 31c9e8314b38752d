// Icon 101: a drop of light falling into a pool of its own glow, drawn in code. The drawing is
// laid out on the 32 x 32 grid the window's icon has; other sizes (the desktop's icon files)
// sample the same drawing, so every size is the same picture.
#include <algorithm>
#include <cmath>

#include "resources/program_resources.h"

namespace {

constexpr float DESIGN_SIZE = static_cast<float>(PROGRAM_ICON_SIZE);

struct Light {
    float r, g, b, a;
};

// The drawing at a point of the 32 x 32 grid (pixel centres at whole numbers).
Light IconLight(float x, float y) {
    const float centreX = 15.5f;
    const float orbY = 20.0f;
    float dx = x - centreX;
    float dy = y - orbY;
    float distance = std::sqrt(dx * dx + dy * dy);
    // The orb: a hot core with a soft halo.
    float orb = std::exp(-distance * distance / 18.0f);
    float halo = std::max(0.0f, 1.0f - distance / 13.0f) * 0.55f;
    // The trail above it: narrow, fading towards the top.
    float trail = 0.0f;
    if (y < orbY) {
        float width = 0.6f + 2.2f * (y / orbY);
        trail = std::exp(-dx * dx / (width * width)) * (y / orbY);
    }
    // The pool below: a flat ellipse of light.
    float pool =
        std::max(0.0f, 1.0f - std::sqrt(dx * dx / 144.0f + (y - 27.5f) * (y - 27.5f) / 4.0f));
    float light = std::min(1.0f, orb + halo + 0.8f * trail + 0.6f * pool);
    // Gold light that bleaches towards white in the core; its strength is its coverage, so the
    // glow fades into whatever the icon is shown on instead of darkening it.
    float white = orb;
    return {1.0f, 0.72f + 0.28f * white, 0.25f + 0.75f * white, std::min(1.0f, light * 1.4f)};
}

DWORD Pack(const Light& light) {
    auto channel = [](float v) {
        return static_cast<DWORD>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    return (channel(light.a) << 24) | (channel(light.r) << 16) | (channel(light.g) << 8) |
           channel(light.b);
}

// Below the grid's own size several points make one pixel, averaged with their colours weighted
// by their coverage so that the transparent edge does not darken the glow.
Light PixelLight(int x, int y, int size) {
    const float scale = DESIGN_SIZE / static_cast<float>(size);
    const int samples = std::max(1, static_cast<int>(std::ceil(scale)));
    const Light centre = IconLight((static_cast<float>(x) + 0.5f) * scale - 0.5f,
                                   (static_cast<float>(y) + 0.5f) * scale - 0.5f);
    if (samples == 1) {
        return centre;
    }
    Light sum{0.0f, 0.0f, 0.0f, 0.0f};
    for (int sy = 0; sy < samples; ++sy) {
        for (int sx = 0; sx < samples; ++sx) {
            const float u = (static_cast<float>(x) + (sx + 0.5f) / samples) * scale - 0.5f;
            const float v = (static_cast<float>(y) + (sy + 0.5f) / samples) * scale - 0.5f;
            const Light point = IconLight(u, v);
            sum = {sum.r + point.r * point.a, sum.g + point.g * point.a, sum.b + point.b * point.a,
                   sum.a + point.a};
        }
    }
    // Where nothing covers the pixel its colour still is the glow's, for whoever scales it.
    if (sum.a <= 0.0f) {
        return {centre.r, centre.g, centre.b, 0.0f};
    }
    const float count = static_cast<float>(samples * samples);
    return {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / count};
}

} // namespace

IconResource MakeProgramIcon(int size) {
    IconResource icon;
    if (size <= 0 || size > PROGRAM_ICON_MAX_SIZE) {
        return icon;
    }
    icon.width = size;
    icon.height = size;
    icon.pixels.resize(static_cast<size_t>(size) * static_cast<size_t>(size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            icon.pixels[static_cast<size_t>(y) * static_cast<size_t>(size) + x] =
                Pack(PixelLight(x, y, size));
        }
    }
    return icon;
}
