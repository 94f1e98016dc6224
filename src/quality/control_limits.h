// Control limits of one chart from one statistic: a centre line, upper and lower limits
// and a sigma for the ten chart types, with normal-approximation or exact binomial and
// Poisson limits for the attribute charts. Used by the limit calculator and the
// attribute charts.
#pragma once

namespace sorvel {

// Chart type codes (the calculator's tab order).
enum class TChartType : int {
  XBar = 1,
  Median = 2,
  X = 3,
  R = 4,
  S = 5,
  S2 = 6,
  P = 7,
  NP = 8,
  C = 9,
  U = 10,
};

// Sigma source codes are the 1-based item of the calculator's lists:
//   X-Bar, Median: 1 Average Range, 2 Median Range, 3 Average Std Dev, 4 Median Std Dev,
//     5 Average Variance, 6 average MR, 7 median MR, 8 standard deviation of the plotted
//     statistics, 9 Known Std Dev;
//   X: 1 Average MR (span n), 2 Median MR, 3 Std Dev (of n values), 4 Known Std Dev;
//   R, s, s²: 1 .. 5 as X-Bar, 6 Known Std Dev;
//   p, np, c, u: 1 normal approximation, any other exact binomial (p, np) or Poisson (c, u).
inline constexpr int KnownSigmaSourceX = 4;
inline constexpr int ApproximateMethod = 1;

struct TControlLimits {
  double Centre = 0;  // given for X-Bar, Median and X; computed for the others
  double UCL = 0, LCL = 0;
  // The process sigma (X-Bar .. s²) or the standard error of the plotted statistic (p .. u).
  double Sigma = 0;
};

// Computes the limits of `chart` from `statistic` with k standard errors and subgroup
// size n (rounded, except for the c and u charts where n counts units and may be a
// fraction). Returns the status (also left in StatError): 0, -1 no lower limit, -2 no
// upper limit, or a positive failure of ControlStatus; on a failure the outputs hold what
// was computed before it.
int CalcControlLimits(TChartType chart, int sigmaSource, double statistic, double k, double n,
                      TControlLimits& limits);

}  // namespace sorvel
