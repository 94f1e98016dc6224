// Tail areas, quantiles and p-values of the normal, t, chi-square, F, noncentral F and
// studentized-range distributions; the normal random generator.
//
// Tail code: 1 = upper-tail area P(X > x), 2 = two-tailed. Alternative code of the p-value
// routines: 0 = two-sided, 1 = lower (less than), 2 = upper (greater than).
#pragma once

#include <cstdint>
#include <random>

#include "numerics/specfunc.h"

namespace sorvel {

// Significance level shared through the library; 0 at start-up.
extern double LibraryAlpha;

// Upper-tail area a -> result for the tail code (doubled and folded for tail 2).
double TailFold(double a, int tail);
// Requested probability -> upper-tail area before a quantile is computed.
double TailToUpper(double p, int tail);

// Tail areas, each in 0..1.
double NormalTail(double z, int tail);
double NormalTailExact(double z, int tail);
double TTail(double t, double df, int tail);  // works on |t|
double ChiSqTail(double x, double df, int tail);
double FTail(double f, double df1, double df2, int tail);
double NoncentralFTail(double f, double df1, double df2, double lambda);
double RangeTail(double q, double df, double r);

// Refinement kinds of RefineQuantile.
enum : int {
  QuantileNormal = 1,
  QuantileT = 2,
  QuantileChiSq = 3,
  QuantileF = 4,
  QuantileNormalExact = 5
};
// Safeguarded Newton iteration on x until the upper-tail area of the kind equals target.
double RefineQuantile(double target, double x, double df1, double df2, int kind);

double NormalQuantile(double p, int tail);
double NormalQuantileExact(double p, int tail);
double TQuantile(double p, double df, int tail);
double ChiSqQuantile(double p, double df, int tail);
double FQuantile(double p, double df1, double df2, int tail);
double RangeQuantile(double p, double df, double r);

// The side of a question: two-tailed, lower tail P(X < x), upper tail P(X > x).
enum class TTails { Two, Lower, Upper };

// Tail areas of the side asked. The smaller side is always computed directly, so far tails
// keep their relative accuracy (about 1e-13 or better) instead of the absolute accuracy of
// 1 minus the other side. Two for the normal and t is P(|X| > |x|); for the chi-square
// and F it is twice the smaller side, at most 1. NaN for NaN or df <= 0.
double NormalTailExact(double z, TTails side);
double TTail(double t, double df, TTails side);  // signed t
double ChiSqTail(double x, double df, TTails side);
double FTail(double f, double df1, double df2, TTails side);

// Quantiles of the side asked: Lower gives x with P(X < x) = p, Upper x with P(X > x) = p.
// Two gives x >= 0 with P(|X| > x) = p for the normal and t, and the upper point of p/2 for
// the chi-square and F. p = 0 or 1 gives the end of the range (possibly infinite); NaN for
// p outside 0..1, NaN or df <= 0.
double NormalQuantileExact(double p, TTails side);
double TQuantile(double p, double df, TTails side);
double ChiSqQuantile(double p, double df, TTails side);
double FQuantile(double p, double df1, double df2, TTails side);

// P-values of a statistic for an alternative code.
void ZPValue(double z, int alt, double& p);
void TPValue(double t, double df, int alt, double& p);
// Paired t-test from the two means, standard deviations, their correlation and the number
// of pairs; t = 0 and p = 999 when there is nothing to test.
void CorrelatedMeansT(double mean1, double mean2, double s1, double s2, double r, double n, int alt,
                      double& t, double& p);

// Uniform deviate in [0, 1); the generator is seeded from the clock on first use.
double UniformRandom();
// Restarts the uniform generator from a fixed seed and drops the normal spare (for tests).
void SeedRandom(std::uint64_t seed);
// Standard normal deviate (Marsaglia polar method) and a normal deviate with mean and sd.
double GaussRandom();
double NormalRandom(double mean, double sd);
// The generator's whole state (engine and normal spare): taking it before a run of draws
// and putting it back replays the same numbers.
struct TRandomSnapshot {
  std::mt19937_64 Engine;
  bool HaveSpare = false;
  double Spare = 0;
};
TRandomSnapshot SaveRandomState();
void RestoreRandomState(const TRandomSnapshot& snapshot);

// Puts alpha, the normal spare and the log-factorial table back as at start-up.
void ResetDistributionsState();

}  // namespace sorvel
