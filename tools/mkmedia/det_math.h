// Elementary functions that give the same bits on every machine and at every optimisation level.
// The media files are checked by hash, so nothing here may depend on the C library's libm (whose
// last-bit results differ between versions and between constant folding and run time). Each
// function is plain double arithmetic in a fixed order; the generator is built with
// -ffp-contract=off so that no multiply-add is fused behind our back.
#pragma once

#include <cstdint>

namespace mkmedia {

constexpr double MKM_PI = 3.14159265358979323846;
constexpr double MKM_TWO_PI = 6.28318530717958647692;

double Sin(double x);
double Cos(double x);
// Angle of (x, y) in (-pi, pi]; (0, 0) gives 0.
double Atan2(double y, double x);
double Sqrt(double x);

inline double Clamp(double v, double lo, double hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}
inline double Clamp01(double v) {
    return Clamp(v, 0.0, 1.0);
}
inline double Mix(double a, double b, double t) {
    return a + (b - a) * t;
}
inline double Smoothstep(double e0, double e1, double x) {
    double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}
// Rounds to `digits` decimal places (0..9): values written to files go through this so that a
// last-bit difference upstream cannot change a written digit.
double RoundDecimal(double v, int digits);

} // namespace mkmedia
