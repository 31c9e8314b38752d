// Icon 101: a drop of light falling into a pool of its own glow, drawn in code at 32 x 32.
#include <algorithm>
#include <cmath>

#include "platform/win32/resources.h"
#include "resources/program_resources.h"

namespace {

constexpr int ICON_SIZE = 32;

DWORD Pack(float r, float g, float b, float a) {
    auto channel = [](float v) {
        return static_cast<DWORD>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

} // namespace

IconResource MakeProgramIcon() {
    IconResource icon;
    icon.width = ICON_SIZE;
    icon.height = ICON_SIZE;
    icon.pixels.resize(ICON_SIZE * ICON_SIZE);
    const float centreX = 15.5f;
    const float orbY = 20.0f;
    for (int y = 0; y < ICON_SIZE; ++y) {
        for (int x = 0; x < ICON_SIZE; ++x) {
            float dx = static_cast<float>(x) - centreX;
            float dy = static_cast<float>(y) - orbY;
            float distance = std::sqrt(dx * dx + dy * dy);
            // The orb: a hot core with a soft halo.
            float orb = std::exp(-distance * distance / 18.0f);
            float halo = std::max(0.0f, 1.0f - distance / 13.0f) * 0.55f;
            // The trail above it: narrow, fading towards the top.
            float trail = 0.0f;
            if (y < orbY) {
                float width = 0.6f + 2.2f * (static_cast<float>(y) / orbY);
                trail = std::exp(-dx * dx / (width * width)) * (static_cast<float>(y) / orbY);
            }
            // The pool below: a flat ellipse of light.
            float pool = std::max(
                0.0f, 1.0f - std::sqrt(dx * dx / 144.0f + (y - 27.5f) * (y - 27.5f) / 4.0f));
            float light = std::min(1.0f, orb + halo + 0.8f * trail + 0.6f * pool);
            // Gold light that bleaches towards white in the core; its strength is its coverage,
            // so the glow fades into whatever the icon is shown on instead of darkening it.
            float white = orb;
            icon.pixels[y * ICON_SIZE + x] = Pack(
                1.0f, 0.72f + 0.28f * white, 0.25f + 0.75f * white, std::min(1.0f, light * 1.4f));
        }
    }
    return icon;
}
