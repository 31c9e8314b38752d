#include "noise.h"

#include <cmath>

namespace mkmedia {

uint32_t Hash32(uint32_t x) {
    // A well-mixed 32-bit integer hash (xor-shift-multiply rounds).
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

double LatticeValue(int x, int y, uint32_t seed) {
    uint32_t h =
        Hash32(static_cast<uint32_t>(x) * 0x9E3779B1u ^ Hash32(static_cast<uint32_t>(y) + seed));
    return (h >> 8) / double(1u << 24);
}

double PeriodicNoise(double x, double y, int period, uint32_t seed) {
    double fx = std::floor(x);
    double fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    double tx = x - fx;
    double ty = y - fy;
    tx = tx * tx * (3.0 - 2.0 * tx);
    ty = ty * ty * (3.0 - 2.0 * ty);
    auto at = [&](int cx, int cy) {
        cx = ((cx % period) + period) % period;
        cy = ((cy % period) + period) % period;
        return LatticeValue(cx, cy, seed);
    };
    double top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    double bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

double PeriodicFbm(double x, double y, int period, int octaves, uint32_t seed) {
    double sum = 0.0;
    double weight = 0.5;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * PeriodicNoise(x, y, period, seed + 101u * i);
        total += weight;
        x *= 2.0;
        y *= 2.0;
        period *= 2;
        weight *= 0.5;
    }
    return sum / total;
}

} // namespace mkmedia
