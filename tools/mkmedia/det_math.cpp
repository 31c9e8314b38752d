#include "det_math.h"

#include <cmath>

namespace mkmedia {
namespace {

// Taylor series on |r| <= pi/4, where the terms up to r^17 reach well below double precision.
double SinPoly(double r) {
    double r2 = r * r;
    double term = r;
    double sum = r;
    for (int n = 1; n <= 8; ++n) {
        term = -term * r2 / double((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double CosPoly(double r) {
    double r2 = r * r;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 8; ++n) {
        term = -term * r2 / double((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

// Splits x into a quarter-turn count and a remainder in [-pi/4, pi/4].
double ReduceQuarter(double x, long long* quarter) {
    double k = std::nearbyint(x / (MKM_PI / 2.0));
    *quarter = static_cast<long long>(k);
    return x - k * (MKM_PI / 2.0);
}

// atan on [0, 1] by two half-angle steps and a short series.
double AtanUnit(double x) {
    for (int i = 0; i < 2; ++i) {
        x = x / (1.0 + std::sqrt(1.0 + x * x));
    }
    double x2 = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n <= 12; ++n) {
        term = -term * x2;
        sum += term / double(2 * n + 1);
    }
    return 4.0 * sum;
}

} // namespace

double Sin(double x) {
    long long q = 0;
    double r = ReduceQuarter(x, &q);
    switch (((q % 4) + 4) % 4) {
    case 0:
        return SinPoly(r);
    case 1:
        return CosPoly(r);
    case 2:
        return -SinPoly(r);
    default:
        return -CosPoly(r);
    }
}

double Cos(double x) {
    return Sin(x + MKM_PI / 2.0);
}

double Atan2(double y, double x) {
    if (x == 0.0 && y == 0.0) {
        return 0.0;
    }
    double ax = std::fabs(x);
    double ay = std::fabs(y);
    double a = ay <= ax ? AtanUnit(ay / ax) : MKM_PI / 2.0 - AtanUnit(ax / ay);
    if (x < 0.0) {
        a = MKM_PI - a;
    }
    return y < 0.0 ? -a : a;
}

// IEEE square root is correctly rounded everywhere, so the library's is safe to use.
double Sqrt(double x) {
    return x <= 0.0 ? 0.0 : std::sqrt(x);
}

double RoundDecimal(double v, int digits) {
    double scale = 1.0;
    for (int i = 0; i < digits; ++i) {
        scale *= 10.0;
    }
    return std::nearbyint(v * scale) / scale;
}

} // namespace mkmedia
