// Control chart constants (d2, d3, the median-range divisor, c4, the variance factor of
// the median) and the conversions between a dispersion statistic and the process sigma.
// Small subgroups come from the published tables; larger ones are integrated once per
// size and cached. Subgroup sizes are 32-bit: sizes past 65535 are real sizes too.
#pragma once

namespace sorvel {

// Status codes of the control chart routines, reported through StatError.
enum ControlStatus : int {
  ControlOk = 0,
  NoLowerLimit = -1,       // the lower limit does not exist (set to 0)
  NoUpperLimit = -2,       // the upper limit does not exist (set to 1 for a proportion)
  SizeOutsideTable = 1,    // subgroup size below 2, or a proportion of 1 or more
  ZeroSampleSize = 5,      // subgroup size 0 where one is needed
  SampleSizeTooSmall = 6,  // subgroup size 1 where at least 2 are needed
  ZeroStatistic = 10,      // statistic or multiplier equal to 0
};

// The calculator's text of a positive status ("Sample size outside table range", ...).
const char* ControlStatusText(int status);

// Each constant sets StatError to 1 and returns 0 for n < 2 (StatError is left alone
// otherwise).
double ConstD2(int n);          // mean of the relative range of n normal values
double ConstD3(int n);          // standard deviation of the relative range
double ConstD2Median(int n);    // median of the relative range
double ConstC4(int n);          // mean of s / sigma
double MedianVarFactor(int n);  // variance of the median of n standard normal values

// Conversions of a statistic x of subgroups of size n. With n < 2 (no range, no
// standard deviation) they return MissingValue and set StatError to 1.
double SigmaFromRange(double x, int n);
double SigmaFromMedianRange(double x, int n);
double SigmaFromS(double x, int n);
double SigmaFromMedianS(double x, int n);
double RangeSD(double x, int n);
// Standard error of a subgroup median when the process sigma is x; the median of one
// value is the value, so n = 1 gives x.
double MedianSE(double x, int n);

// Forgets the integrated constants (tests and benchmarks of the first call).
void ResetChartConstantCaches();
// How many d2 and d3 integrations have run since the last reset (tests of the cache).
int ChartConstantIntegrations();

}  // namespace sorvel
