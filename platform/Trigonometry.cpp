// The game's sine, cosine and arc tangent in degrees, made of + - * / and sqrt alone. Those five are rounded exactly
// on every machine, so every machine gets the same bits; the C library's sin, cos and atan2 round differently from
// one system and release to the next, and a replay played with one of them would be another game on the next.
// The values are the ones the game always played with: the degrees turned into radians in double, the sine taken
// to double precision and rounded to float; the arc tangent of two floats rounded to float, then turned into
// degrees.
#include "ExactFloats.h"
#include "Random.h"
#include <cfloat>
#include <cmath>

namespace {
constexpr double DegreesPerRadian = 57.295779513082320876798154814105;

// A quarter turn in radians in three parts, the first two short enough that a multiple of them by a whole number of
// quarter turns below 2^20 is exact: taking them away one at a time keeps a sine near zero as exact as the rest.
constexpr double QuarterTurnHigh = 0x1.921fb544p+0;
constexpr double QuarterTurnMiddle = 0x1.0b4611a6p-34;
constexpr double QuarterTurnLow = 0x1.3198a2e037073p-69;
constexpr double QuarterTurnsPerRadian = 0x1.45f306dc9c883p-1;
// Past this many radians the quarter turns are counted in whole degrees first (no game turns anything this far).
constexpr double FarRadians = 0x1p+19;
constexpr double FullTurnDegrees = 360;

// pi / 2 and pi, each as the nearest double and what that leaves out.
constexpr double HalfPi = 0x1.921fb54442d18p+0, HalfPiRest = 0x1.1a62633145c07p-54;
constexpr double Pi = 0x1.921fb54442d18p+1, PiRest = 0x1.1a62633145c07p-53;

// Taylor series of sine and cosine up to x^17 and x^18: below pi/4 they miss by less than one part in 10^18.
constexpr double SineTerms[] = {-0x1.5555555555555p-3,  0x1.1111111111111p-7,   -0x1.a01a01a01a01ap-13,
                                0x1.71de3a556c734p-19,  -0x1.ae64567f544e4p-26, 0x1.6124613a86d09p-33,
                                -0x1.ae7f3e733b81fp-41, 0x1.952c77030ad4ap-49};
constexpr double CosineTerms[] = {-0x1p-1,
                                  0x1.5555555555555p-5,
                                  -0x1.6c16c16c16c17p-10,
                                  0x1.a01a01a01a01ap-16,
                                  -0x1.27e4fb7789f5cp-22,
                                  0x1.1eed8eff8d898p-29,
                                  -0x1.93974a8c07c9dp-37,
                                  0x1.ae7f3e733b81fp-45,
                                  -0x1.6827863b97d97p-53};
// And the arc tangent's, up to x^19, for arguments below tan(pi / 32).
constexpr double ArcTangentTerms[] = {-0x1.5555555555555p-2, 0x1.999999999999ap-3,  -0x1.2492492492492p-3,
                                      0x1.c71c71c71c71cp-4,  -0x1.745d1745d1746p-4, 0x1.3b13b13b13b14p-4,
                                      -0x1.1111111111111p-4, 0x1.e1e1e1e1e1e1ep-5,  -0x1.af286bca1af28p-5};
constexpr int ArcTangentHalvings = 3;

// The sum of terms[k] * u^k, k from 0, by Horner's rule.
template <int Count> constexpr double Series(const double (&terms)[Count], double u) {
    double sum = terms[Count - 1];
    for (int k = Count - 2; k >= 0; --k) sum = terms[k] + u * sum;
    return sum;
}

double SineNear(double x) { return x + x * (x * x) * Series(SineTerms, x * x); } // |x| <= pi/4
double CosineNear(double x) { return 1.0 + (x * x) * Series(CosineTerms, x * x); }

// Degrees at or above 0 less their whole turns, exactly: each step takes away a turn times a power of two that
// lies between half the rest and the rest, a subtraction that rounds nothing.
double DegreesWithinTurn(double degrees) {
    double turns = FullTurnDegrees;
    while (turns <= degrees / 2) turns *= 2;
    while (degrees >= FullTurnDegrees) {
        if (degrees >= turns) degrees -= turns;
        turns /= 2;
    }
    return degrees;
}

// An angle of the game, turned into radians at or above 0: the whole quarter turns in it and what is left, between
// -pi/4 and pi/4.
struct Reduced {
    int Quarters; // 0 to 3
    double Rest;
};

Reduced Reduce(double degrees) {
    double radians = degrees / DegreesPerRadian;
    if (radians >= FarRadians) radians = DegreesWithinTurn(degrees) / DegreesPerRadian;
    double quarters = static_cast<double>(static_cast<long long>(radians * QuarterTurnsPerRadian + 0.5));
    double rest = radians - quarters * QuarterTurnHigh; // exact: both products are
    rest -= quarters * QuarterTurnMiddle;
    rest -= quarters * QuarterTurnLow;
    return {static_cast<int>(static_cast<long long>(quarters) & 3), rest};
}

// sin of the angle, given in degrees at or above 0 (sine is odd, so the caller brings the sign).
double SineOfDegrees(double degrees) {
    Reduced r = Reduce(degrees);
    switch (r.Quarters) {
    case 0: return SineNear(r.Rest);
    case 1: return CosineNear(r.Rest);
    case 2: return -SineNear(r.Rest);
    default: return -CosineNear(r.Rest);
    }
}

double CosineOfDegrees(double degrees) {
    Reduced r = Reduce(degrees);
    switch (r.Quarters) {
    case 0: return CosineNear(r.Rest);
    case 1: return -SineNear(r.Rest);
    case 2: return -CosineNear(r.Rest);
    default: return SineNear(r.Rest);
    }
}

// atan t for t from 0 to 1: atan t = 2 atan(t / (1 + sqrt(1 + t^2))) halves the angle three times, to below pi/32,
// where the series is short.
double ArcTangentUpToOne(double t) {
    for (int i = 0; i < ArcTangentHalvings; ++i) t = t / (1.0 + std::sqrt(1.0 + t * t));
    double u = t * t;
    return static_cast<double>(1 << ArcTangentHalvings) * (t + t * u * Series(ArcTangentTerms, u));
}

// atan2 in radians, with the signed zeros, infinities and NaNs IEEE 754 gives it.
double ArcTangent2(double y, double x) {
    if (std::isnan(x) || std::isnan(y)) return x + y;
    double ay = std::fabs(y), ax = std::fabs(x);
    bool west = std::signbit(x);
    double angle;
    if (ay == 0)
        angle = west ? Pi : 0.0;
    else if (std::isinf(ax) && std::isinf(ay))
        angle = west ? Pi - HalfPi / 2 : HalfPi / 2;
    else if (ax == 0 || std::isinf(ay))
        angle = HalfPi;
    else if (std::isinf(ax))
        angle = west ? Pi : 0.0;
    else {
        angle = ay <= ax ? ArcTangentUpToOne(ay / ax) : (HalfPi - ArcTangentUpToOne(ax / ay)) + HalfPiRest;
        if (west) angle = (Pi - angle) + PiRest;
    }
    return std::signbit(y) ? -angle : angle;
}

// The quick way to the same bits. Below two whole turns, sine and cosine come from a table a whole degree apart
// and a short series for the rest of a degree; that misses the series above by less than 10^-14 (the table's
// entries and the series' own radians each round once), far inside TableMiss. Where a value that far either way
// would round to another float, the slow series above decides, so what a game gets is bit for bit what the series
// gives (a few game angles in a hundred thousand go slow, most near a zero of the value). The table is read in
// degrees, so finding the entry takes no division.
constexpr double TableDegrees = 720;                      // angles below this take the table
constexpr int TableSize = 361;                            // whole degrees, 0 to 360
constexpr double TableMiss = 0x1p-45;                     // the most the table may miss the series, with room to spare
constexpr double RadiansPerDegree = 0x1.1df46a2529d39p-6; // pi / 180
constexpr double SineRestTerms[] = {-1.0 / 6, 1.0 / 120, -1.0 / 5040};
constexpr double CosineRestTerms[] = {-1.0 / 2, 1.0 / 24, -1.0 / 720};

struct SineAndCosine {
    double Sine, Cosine;
};

// The series in radians, reduced the way Reduce does.
constexpr double SeriesSineOfRadians(double radians, bool cosine) {
    double quarters = static_cast<double>(static_cast<long long>(radians * QuarterTurnsPerRadian + 0.5));
    double rest = radians - quarters * QuarterTurnHigh;
    rest -= quarters * QuarterTurnMiddle;
    rest -= quarters * QuarterTurnLow;
    int quarter = (static_cast<int>(static_cast<long long>(quarters) & 3) + (cosine ? 1 : 0)) & 3;
    double x2 = rest * rest;
    double sine = rest + rest * x2 * Series(SineTerms, x2);
    double cos = 1.0 + x2 * Series(CosineTerms, x2);
    return quarter == 0 ? sine : quarter == 1 ? cos : quarter == 2 ? -sine : -cos;
}

struct SineTable {
    SineAndCosine Entry[TableSize]; // side by side: one angle reads one place
};

constexpr SineTable MakeSineTable() {
    SineTable table{};
    for (int k = 0; k < TableSize; ++k)
        table.Entry[k] = {SeriesSineOfRadians(k / DegreesPerRadian, false),
                          SeriesSineOfRadians(k / DegreesPerRadian, true)};
    return table;
}
constexpr SineTable Table = MakeSineTable();

// sin and cos of degrees, 0 to 720, from the whole degree below: sin(t + r) = sin t + (sin t (cos r - 1)
// + cos t sin r), and cos likewise. A turn taken off an angle past one turn, and the whole degrees taken off any,
// are exact, so only r's radians round.
[[gnu::always_inline]] inline SineAndCosine FromTable(double degrees) {
    if (degrees >= FullTurnDegrees) degrees -= FullTurnDegrees;
    int k = static_cast<int>(degrees);
    double r = (degrees - k) * RadiansPerDegree;
    double r2 = r * r;
    double sinR = r + r * r2 * (SineRestTerms[0] + r2 * (SineRestTerms[1] + r2 * SineRestTerms[2]));
    double cosRLess1 = r2 * (CosineRestTerms[0] + r2 * (CosineRestTerms[1] + r2 * CosineRestTerms[2]));
    double s = Table.Entry[k].Sine, c = Table.Entry[k].Cosine;
    return {s + (s * cosRLess1 + c * sinR), c + (c * cosRLess1 - s * sinR)};
}

// The floats of the whole degrees 1 to 359, the series' own (the same radians, the same series, the same rounding):
// sparks fly and many rings stand at whole degrees, and those need no rounding check. Not 0, whose sign the series
// keeps, nor a turn and more, whose radians round otherwise.
constexpr int WholeDegrees = 360;
struct WholeDegreeTable {
    float Sine[WholeDegrees], Cosine[WholeDegrees];
};

constexpr WholeDegreeTable MakeWholeDegreeTable() {
    WholeDegreeTable table{};
    for (int k = 1; k < WholeDegrees; ++k) {
        table.Sine[k] = static_cast<float>(SeriesSineOfRadians(k / DegreesPerRadian, false));
        table.Cosine[k] = static_cast<float>(SeriesSineOfRadians(k / DegreesPerRadian, true));
    }
    return table;
}
constexpr WholeDegreeTable Whole = MakeWholeDegreeTable();

// The whole degree an angle (at or above 0, below two turns) is, if it is one the table holds.
bool IsWholeDegree(double degrees, int& k) {
    k = static_cast<int>(degrees);
    return k == degrees && k >= 1 && k < WholeDegrees;
}

// True, with the float, when everything within TableMiss of `value` rounds to that one float (rounding is
// monotonic, so the two ends agreeing settles every value between).
bool RoundsSurely(double value, float& rounded) {
    rounded = static_cast<float>(value - TableMiss);
    return rounded == static_cast<float>(value + TableMiss);
}
// The quick way to the arc tangent's bits: atan t = atan(k/64) + atan((t - k/64) / (1 + t k/64)), k/64 the 64th
// nearest t, from a table of the halvings' own atan(k/64) and four terms of the series for the rest (at most 1/128,
// where the fifth term is below 10^-19). That misses the halvings by less than 10^-15, far inside ArcTangentMiss;
// where a value that far either way would round to another float, the halvings decide.
constexpr int ArcTangentSteps = 64;
constexpr double ArcTangentMiss = 0x1p-42;
constexpr double ArcTangentRestTerms[] = {-1.0 / 3, 1.0 / 5, -1.0 / 7};

struct ArcTangentTable {
    double Entry[ArcTangentSteps + 1];
};

const ArcTangentTable& ArcTangents() {
    static const ArcTangentTable table = [] {
        ArcTangentTable made{};
        for (int k = 0; k <= ArcTangentSteps; ++k)
            made.Entry[k] = ArcTangentUpToOne(static_cast<double>(k) / ArcTangentSteps);
        return made;
    }();
    return table;
}

double QuickArcTangentUpToOne(double t) {
    int k = static_cast<int>(t * ArcTangentSteps + 0.5);
    double near = static_cast<double>(k) / ArcTangentSteps; // exact, and t - near below is too
    double u = (t - near) / (1.0 + t * near);
    double u2 = u * u;
    double rest = u + u * u2 * (ArcTangentRestTerms[0] + u2 * (ArcTangentRestTerms[1] + u2 * ArcTangentRestTerms[2]));
    return ArcTangents().Entry[k] + rest;
}
} // namespace

float SeriesSin(float degrees) {
    double d = degrees;
    if (!std::isfinite(d)) return static_cast<float>(d - d); // NaN, as sin of infinity
    return static_cast<float>(d < 0 ? -SineOfDegrees(-d) : SineOfDegrees(d));
}

float SeriesCos(float degrees) {
    double d = degrees;
    if (!std::isfinite(d)) return static_cast<float>(d - d);
    return static_cast<float>(CosineOfDegrees(std::fabs(d)));
}

float Sin(float degrees) {
    double a = std::fabs(static_cast<double>(degrees));
    float sine;
    int k;
    if (a < TableDegrees && IsWholeDegree(a, k)) return degrees < 0 ? -Whole.Sine[k] : Whole.Sine[k];
    if (a < TableDegrees && RoundsSurely(FromTable(a).Sine, sine)) return degrees < 0 ? -sine : sine;
    return SeriesSin(degrees);
}

float Cos(float degrees) {
    double a = std::fabs(static_cast<double>(degrees));
    float cosine;
    int k;
    if (a < TableDegrees && IsWholeDegree(a, k)) return Whole.Cosine[k];
    if (a < TableDegrees && RoundsSurely(FromTable(a).Cosine, cosine)) return cosine;
    return SeriesCos(degrees);
}

void SinCos(float degrees, float& sine, float& cosine) {
    double a = std::fabs(static_cast<double>(degrees));
    if (a < TableDegrees) {
        int k;
        if (IsWholeDegree(a, k)) {
            sine = degrees < 0 ? -Whole.Sine[k] : Whole.Sine[k];
            cosine = Whole.Cosine[k];
            return;
        }
        SineAndCosine both = FromTable(a);
        bool sure = RoundsSurely(both.Sine, sine);
        if (sure && degrees < 0) sine = -sine;
        if (!sure) sine = SeriesSin(degrees);
        if (!RoundsSurely(both.Cosine, cosine)) cosine = SeriesCos(degrees);
        return;
    }
    sine = SeriesSin(degrees);
    cosine = SeriesCos(degrees);
}

void WholeSinCos(int degrees, float& sine, float& cosine) {
    if (degrees >= 1 && degrees < WholeDegrees) {
        sine = Whole.Sine[degrees];
        cosine = Whole.Cosine[degrees];
        return;
    }
    SinCos(static_cast<float>(degrees), sine, cosine);
}

float SeriesATan2(float y, float x) {
    // Rounded to float before it becomes degrees, as the arc tangent of two floats always was.
    float radians = static_cast<float>(ArcTangent2(y, x));
    return static_cast<float>(radians * DegreesPerRadian);
}

float ATan2(float y, float x) {
    double ay = std::fabs(static_cast<double>(y)), ax = std::fabs(static_cast<double>(x));
    // Two finite, non-zero sides (a NaN fails every comparison) take the quick way, as the halvings would.
    if (ay > 0 && ax > 0 && ay <= FLT_MAX && ax <= FLT_MAX) {
        double angle =
            ay <= ax ? QuickArcTangentUpToOne(ay / ax) : (HalfPi - QuickArcTangentUpToOne(ax / ay)) + HalfPiRest;
        if (std::signbit(x)) angle = (Pi - angle) + PiRest;
        if (std::signbit(y)) angle = -angle;
        float radians = static_cast<float>(angle - ArcTangentMiss);
        if (radians == static_cast<float>(angle + ArcTangentMiss))
            return static_cast<float>(radians * DegreesPerRadian);
    }
    return SeriesATan2(y, x);
}
