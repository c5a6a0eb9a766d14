// The random generator: a minimal-standard multiplicative generator (multiplier 48271), two steps a draw.
#include "Random.h"
#include <cmath>

namespace {
constexpr int RndModulus = 2147483647;
constexpr int SchrageQuotient = 44488;
constexpr int SchrageRemainder = 3399;
constexpr int RndMultiplier = 48271;
constexpr int RndDefaultState = 4660;
int RndState = RndDefaultState;

int RndStep(int s) {
    // Schrage's method keeps s * 48271 mod (2^31 - 1) inside 32 bits.
    int next = (s % SchrageQuotient) * RndMultiplier - (s / SchrageQuotient) * SchrageRemainder;
    if (next < 0) next += RndModulus;
    return next;
}
} // namespace

void SeedRnd(int seed) {
    RndState = seed & 0x7FFFFFFF;
    if (RndState == 0 || RndState == 0x7FFFFFFF) RndState = RndDefaultState;
}

int RndSeed() { return RndState; }

double RndDraw() {
    int s1 = RndStep(RndState);
    int s2 = RndStep(s1);
    RndState = s2;
    return ((s1 & 0x1FFFFFFC) + (s2 & 0x1FFFFFF8) / 134217728.0) / 536870912.0;
}

float Rnd(float a, float b) {
    float lower = a < b ? a : b;
    float upper = a < b ? b : a;
    return static_cast<float>(lower + RndDraw() * (static_cast<double>(upper) - lower));
}

int Rand(int a, int b) {
    int lower = a < b ? a : b;
    int upper = a < b ? b : a;
    double span = static_cast<double>(upper) - lower + 1.0;
    return static_cast<int>(lower + static_cast<long long>(RndDraw() * span));
}

float Sqr(float x) { return std::sqrt(x); }
int Trunc(double value) { return static_cast<int>(value); }
