// Confidence intervals for a mean, a standard deviation and a correlation, and the
// accumulator of paired observations behind Pearson's r and the least-squares line.
#pragma once

#include <string_view>

namespace sorvel {

// Two-sided intervals from a mean, a standard deviation and a count at one confidence level.
class TConfI {
 public:
  double m = 0;           // mean
  double S = 0;           // standard deviation
  int ni = 0;             // number of observations
  double m1 = 0, m2 = 0;  // interval for the mean (999 when n < 2)
  double s1 = 0, s2 = 0;  // interval for the standard deviation (999 when n < 2)
  double conf = 0.95;
  double alpha = 0.05;

  void SetConf(double c);
  // A percentage as typed ("95"); the conversion code goes to StatError and a text that
  // does not read leaves the level as it was.
  void SetConfText(std::string_view text);
  void SetAlpha(double a);
  // m, S and ni from a sample's summary, then CalcIntervals.
  void Intervals(double mean, double sd, int n);
  // Both intervals from m, S and ni with ni - 1 degrees of freedom. One value has no
  // spread to estimate: every limit is then 999 (not available).
  void CalcIntervals();
};

// Paired observations, one pair at a time. The record keeps means and co-moments (sums of
// products of deviations from the running means) of the values less the first pair,
// rather than raw sums of squares, so data far from zero (times, serial numbers) keep
// their digits.
class TCorr {
 public:
  int n = 0;                      // complete pairs added
  double Kx = 0, Ky = 0;          // the first pair, taken off every value
  double Mx = 0, My = 0, Md = 0;  // means of x - Kx, y - Ky and D - (Kx - Ky), D = x - y
  // Sums of squared and crossed deviations from the means; the differences keep their own,
  // so a paired test of nearly equal columns does not take it from Cxx + Cyy - 2 Cxy.
  double Cxx = 0, Cyy = 0, Cxy = 0, Cdd = 0;
  double a = 0;         // intercept of y = a + B x
  double B = 0;         // slope
  double pvalue = 999;  // two-tailed p-value of the last correlation; 999: none
  bool Error = false;   // the last correlation was not computable

  // Forgets the pairs (a, B and pvalue keep their values).
  void Init();
  // A pair with a missing value is ignored.
  void AddPair(double x, double y);

  double MeanX() const { return Kx + Mx; }
  double MeanY() const { return Ky + My; }
  double MeanDiff() const { return (Kx - Ky) + Md; }
  // Sample variances (divisor n - 1; 0 below two pairs), the covariance and the variance
  // of the differences x - y.
  double VarX() const;
  double VarY() const;
  double Covariance() const;
  double VarDiff() const;

  // r in [-1, 1]; sets pvalue and Error. Fewer than two pairs or a constant variable:
  // 0, pvalue 999, Error. |r| = 1 from more than two pairs has p 0; two pairs always lie
  // on a line, so their p-value is 999.
  double PearsonR();
  // a and B; StatError 1 for a constant x (slope 0, intercept the mean of y), 2 for no pairs.
  void LinearRegression();
};

// The t statistic of r against rho = 0 with n - 2 degrees of freedom; infinite for |r| = 1.
double CorrelationT(double r, double n);

// Mean +- q sd / sqrt(n), q the t point of df (the normal point when df = 0); the
// half-width is 0 for n <= 0.
void MeanInterval(double mean, double sd, double n, double df, double alpha, double& lower,
                  double& upper);
// The chi-square interval of a standard deviation; 999 for both limits when df <= 0.
void SDInterval(double sd, double df, double alpha, double& lower, double& upper);
// Fisher's z interval of a correlation from n pairs: (r, r) for |r| = 1, 999 for both
// limits when n <= 3 or |r| > 1.
void CorrInterval(double r, double n, double alpha, double& lower, double& upper);

// The library's shared instances, created at start (alpha 0.05).
TConfI& SharedConfI();
TCorr& SharedCorr();
// Both back to their start-up state (tests).
void ResetIntervalsState();

}  // namespace sorvel
