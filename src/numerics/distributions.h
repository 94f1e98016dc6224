// Tail areas, quantiles and p-values of the normal, t, chi-square, F, noncentral F and
// studentized-range distributions; the normal random generator.
//
// Tail code: 1 = upper-tail area P(X > x), 2 = two-tailed. Alternative code of the p-value
// routines: 0 = two-sided, 1 = lower (less than), 2 = upper (greater than).
#pragma once

#include <cstdint>

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

// P-values of a statistic for an alternative code.
void ZPValue(double z, int alt, double& p);
void TPValue(double t, double df, int alt, double& p);
// Paired t-test from the two means, standard deviations, their correlation and the number
// of pairs; t = 0 and p = 999 when there is nothing to test.
void CorrelatedMeansT(double mean1, double mean2, double s1, double s2, double r, double n,
                      int alt, double& t, double& p);

// Uniform deviate in [0, 1); the generator is seeded from the clock on first use.
double UniformRandom();
// Restarts the uniform generator from a fixed seed and drops the normal spare (for tests).
void SeedRandom(std::uint64_t seed);
// Standard normal deviate (Marsaglia polar method) and a normal deviate with mean and sd.
double GaussRandom();
double NormalRandom(double mean, double sd);

// Puts alpha, the normal spare and the log-factorial table back as at start-up.
void ResetDistributionsState();

}  // namespace sorvel
