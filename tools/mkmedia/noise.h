// Value noise that repeats with a chosen period, from an integer hash: the same numbers on every
// machine, and seamless where a picture has to tile.
#pragma once

#include <cstdint>

namespace mkmedia {

uint32_t Hash32(uint32_t x);
// A pseudo-random value in [0, 1) for lattice point (x, y) and a seed.
double LatticeValue(int x, int y, uint32_t seed);
// Smoothly interpolated noise in [0, 1] at (x, y) in lattice units, repeating every `period`
// lattice cells in both directions.
double PeriodicNoise(double x, double y, int period, uint32_t seed);
// Octaves of PeriodicNoise, each at twice the frequency and half the weight; result in [0, 1].
double PeriodicFbm(double x, double y, int period, int octaves, uint32_t seed);

} // namespace mkmedia
