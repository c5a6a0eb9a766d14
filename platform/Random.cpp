// The random generator: a minimal-standard multiplicative generator (multiplier 48271), two steps a draw.
#include "Random.h"
#include <cmath>
#include <cstdint>

namespace {
constexpr std::uint64_t RndModulus = 2147483647; // 2^31 - 1
constexpr std::uint64_t RndMultiplier = 48271;
constexpr int RndDefaultState = 4660;
int RndState = RndDefaultState;

int RndStep(int s) {
    // s * 48271 mod (2^31 - 1) in 64 bits, without a division: 2^31 is 1 more than the modulus, so the bits above
    // the lowest 31 count once more each, and one subtraction at most brings the sum below the modulus.
    std::uint64_t product = static_cast<std::uint64_t>(s) * RndMultiplier;
    std::uint64_t next = (product & RndModulus) + (product >> 31);
    if (next >= RndModulus) next -= RndModulus;
    return static_cast<int>(next);
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
