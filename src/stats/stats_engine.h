// The descriptive statistics engine: summarises one sample in place (sorting, quartiles,
// mean and variance, moments, moving ranges, percentiles, counts) and tests it for
// normality (Anderson-Darling, Shapiro-Wilk, Lin-Mudholkar), for a Poisson dispersion and
// for exponentiality (Monte-Carlo). Every analysis that summarises a sample goes through
// it, so mean, standard deviation and quartiles are computed in one place.
//
// The engine works on the caller's values (A_Array or any span of doubles): several
// operations reorder them (ascending sort) and two overwrite them (MovingRangeSigma,
// SpreadTies). Results go into the record `Stats`; each operation sets only its own
// fields, so a field keeps the value of the last sample it was computed for.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace sorvel {

class TConfI;

// The statistics record. 999 (NotAvailable) marks a statistic that cannot be computed.
struct TStatsRecord {
  double CountReal = 0;
  double Sum = 0, Mean = 0, Variance = 0, StdDev = 0, PopVariance = 0;
  double Low = 0, High = 0, Range = 0;
  double Median = 0, Q1 = 0, Q3 = 0;
  double InterpMedian = 0;
  double MeanAbsDevMean = 0, MeanAbsDevMedian = 0;
  double AvgMovingRange = 0, StdDevMR = 0, MedianMovingRange = 0, StdDevMMR = 0;
  double LowerLimit3s = 0, UpperLimit3s = 0;
  double M3 = 0, M4 = 0, Skew1 = 0, Kurt1 = 0, Skewness = 0, Kurtosis = 0;
  double Mode = 0;
  std::int32_t DistinctCount = 0;
  double Resolution = 0;
  double ADStat = 0, ADp = 0;
  double LMr = 0, LMp = 0;
  double SWW = 0, SWp = 0;
  double KurtBound = 0;
};

// The record's fields by name, in the record's order (for listings such as `describe`).
struct TStatsField {
  const char* Name;
  double TStatsRecord::*Value;  // null for DistinctCount, the one integer field
};
std::span<const TStatsField> StatsRecordFields();
double StatsFieldValue(const TStatsRecord& s, const TStatsField& f);

// A block of a two-dimensional array (rows, then columns), for the matrix loaders.
using TMatrix = std::vector<std::vector<double>>;

class TStatsEngine {
 public:
  TStatsEngine() = default;
  // Works on `sample` in place; the caller keeps it alive while the engine uses it.
  explicit TStatsEngine(std::span<double> sample) { Load(sample); }
  void Load(std::span<double> sample);
  // The data set's analysis array A_Array[1..A_ArrayCount] as the last load left it.
  void LoadA_Array();

  std::span<double> Sample() const { return {x_, static_cast<std::size_t>(n_)}; }
  std::int32_t Count() const { return n_; }

  TStatsRecord Stats;

  // Sorts ascending; Low, High, Range, Median, Q1, Q3 (quartiles: R's quantile type 6
  // for n > 3, Low and High for n <= 3). Returns the last interpolation weight.
  double SortAndQuartiles();
  // CountReal, Sum, Mean, Variance (divisor n - 1), StdDev, PopVariance (divisor n), by
  // compensated sums and two passes; a constant sample gives its value and 0 exactly.
  void MeanAndVariance();
  void MeanOnly();      // Sum and Mean only
  void LowHighRange();  // without sorting
  // SortAndQuartiles, MeanAndVariance and the mean absolute deviations.
  void BasicStats();
  // BasicStats and what the code adds: 'D' nothing, 'T' Shapiro-Wilk, Moments,
  // Lin-Mudholkar, Anderson-Darling, 'S' Moments, 'L' Lin-Mudholkar, 'A' Anderson-Darling,
  // 'I' the intervals of `conf` (the shared TConfI when null) from Mean, StdDev and n,
  // 'N' ThreeSigmaLimits. Codes above 255 add nothing.
  void StatsByCode(int code, TConfI* conf = nullptr);

  // Needs the sample in case order; overwrites it with the sorted moving ranges.
  void MovingRangeSigma();
  void Moments();          // needs MeanAndVariance
  void AndersonDarling();  // needs sorted data and MeanAndVariance
  void ShapiroWilk(bool sortFirst, double& w, double& p);
  void LinMudholkar();  // needs MeanAndVariance
  // Poisson index of dispersion and its two-sided p-value; 999/999 when the mean is not
  // positive or n < 2. Needs MeanAndVariance.
  void IndexOfDispersion(double& d, double& p) const;
  double ThreeSigmaLimits();
  // Sorted data: value at fraction p by the (n + 1)p rule (StatError 1 and 0 outside it),
  // and by the (n + 0.4)p + 0.3 rule.
  double Percentile(double p) const;
  double PlottingPercentile(double p) const;
  void InterpolatedMedian();  // needs SortAndQuartiles
  void FindResolution();      // sorted data
  void CountAbove(int& count, double limit) const;
  void CountBelow(int& count, double limit) const;
  void SpreadTies();
  void DistinctAndMode();

  // Matrix loaders over rows r1..r2 and columns c1..c2 (indices as the matrix has them),
  // skipping missing values. LoadFromMatrix copies them into the engine's own storage and
  // makes them the sample; MatrixLowHigh and MatrixMean leave the sample as it is and
  // give the number of values in CountReal (MatrixMean's Mean is MissingValue for none).
  void LoadFromMatrix(const TMatrix& m, int r1, int r2, int c1, int c2);
  void MatrixLowHigh(const TMatrix& m, int r1, int r2, int c1, int c2);
  void MatrixMean(const TMatrix& m, int r1, int r2, int c1, int c2);

 private:
  double* x_ = nullptr;
  std::int32_t n_ = 0;
  std::vector<double> own_;  // LoadFromMatrix's copy
};

// Sorts ascending. Large arrays by a radix sort on the order-preserving bits of the
// doubles (no NaN expected), small ones by comparison.
void SortDoubles(std::span<double> x);

// Two-sided p-value of the moment skewness g1 (t approximation); 999 for n < 8.
double SkewnessP(double g1, double n);
// Significance of the excess kurtosis g2 from the critical-value table (normal
// approximation beyond n = 5000): the text shown and the upper end of the p-value range.
struct TKurtosisSig {
  std::string Text;
  double Bound = 999;
};
TKurtosisSig KurtosisSig(double g2, int n);
double AndersonDarlingP(double a);
double LinMudholkarP(double r, double n);

// Monte-Carlo p-value of the exponential test statistic T = (n - 1)(mean - min)^2 / SS.
// `progress(fraction)` is asked every 100 replications and stops the test (999, nothing
// cached) when it returns false. `uniform` draws from [0, 1) (default: the library's
// generator, which --seed starts). 999 for n < 3; 0 when the statistic lies outside the
// first 20,000 replications. Results are cached by (n, T) for the life of the program.
double ExponentialTestP(int n, double t, const std::string& label,
                        const std::function<bool(double)>& progress = {},
                        const std::function<double()>& uniform = {});

// Empties the Shapiro-Wilk coefficient cache and the exponential-test cache (for tests).
void ResetStatsEngineState();

}  // namespace sorvel
