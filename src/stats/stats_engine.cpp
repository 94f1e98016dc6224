#include "stats/stats_engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "data/data_state.h"
#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/intervals.h"
#include "numerics/radix_sort.h"
#include "numerics/specfunc.h"

namespace sorvel {

namespace {

// Neumaier's compensated sum: the error of each addition is kept and added back at the
// end, so a sum of a million values keeps its last digits.
struct TCompensatedSum {
  double S = 0, C = 0;
  void Add(double v) {
    const double t = S + v;
    if (std::fabs(S) >= std::fabs(v))
      C += (S - t) + v;
    else
      C += (v - t) + S;
    S = t;
  }
  double Value() const { return S + C; }
};

// ---- Sorting ----

// Least-significant-digit radix sort on the doubles' order-preserving bits.
void RadixSort(std::span<double> x) {
  const std::size_t n = x.size();
  // Scratch kept between calls: fresh pages for every sort of a large sample cost more
  // than a pass.
  thread_local std::vector<std::uint64_t> a, b;
  if (a.size() < n) {
    a.resize(n);
    b.resize(n);
  }
  for (std::size_t i = 0; i < n; ++i) a[i] = OrderKey(x[i]);
  const std::uint64_t* sorted =
      RadixSortByKey(a.data(), n, b.data(), [](std::uint64_t k) { return k; });
  for (std::size_t i = 0; i < n; ++i) x[i] = FromOrderKey(sorted[i]);
}

// ---- Normal distribution helpers ----

// For z >= 0: ln Q(z), the upper normal tail, and ln(1 - Q(z)), both accurate: erfc
// while it does not underflow, the asymptotic series of Mills' ratio beyond (Abramowitz
// & Stegun 26.2.12).
void LogNormalTails(double z, double& lnSmall, double& lnLarge) {
  if (z < 37) {
    const double q = 0.5 * std::erfc(z / std::sqrt(2.0));
    lnSmall = std::log(q);
    lnLarge = std::log1p(-q);
    return;
  }
  const double r = 1 / (z * z);
  const double series = 1 - r * (1 - 3 * r * (1 - 5 * r * (1 - 7 * r)));
  lnSmall = -0.5 * z * z - std::log(z * std::sqrt(2 * 3.14159265358979323846)) + std::log(series);
  lnLarge = -std::exp(lnSmall);
}

// Wichura's algorithm AS 241 (PPND16): the normal quantile of the lower-tail area p to
// about 1e-16, without iteration (Shapiro-Wilk needs n/2 of them).
double NormalQuantileLower(double p) {
  const double q = p - 0.5;
  if (std::fabs(q) <= 0.425) {
    const double r = 0.180625 - q * q;
    return q *
           // clang-format off
           (((((((2509.0809287301226727 * r + 33430.575583588128105) * r + 67265.770927008700853) * r +
                45921.953931549871457) * r + 13731.693765509461125) * r + 1971.5909503065514427) * r +
             133.14166789178437745) * r + 3.387132872796366608) /
           (((((((5226.495278852545925 * r + 28729.085735721942674) * r + 39307.89580009271061) * r +
                21213.794301586595867) * r + 5394.1960214247511077) * r + 687.1870074920579083) * r +
             42.313330701600911252) * r + 1.0);
    // clang-format on
  }
  double r = q < 0 ? p : 1 - p;
  r = std::sqrt(-std::log(r));
  double v;
  if (r <= 5) {
    r -= 1.6;
    // clang-format off
    v = (((((((7.7454501427834140764e-4 * r + 0.0227238449892691845833) * r + 0.24178072517745061177) * r +
             1.27045825245236838258) * r + 3.64784832476320460504) * r + 5.7694972214606914055) * r +
          4.6303378461565452959) * r + 1.42343711074968357734) /
        (((((((1.05075007164441684324e-9 * r + 5.475938084995344946e-4) * r + 0.0151986665636164571966) * r +
             0.14810397642748007459) * r + 0.68976733498510000455) * r + 1.6763848301838038494) * r +
          2.05319162663775882187) * r + 1.0);
    // clang-format on
  } else {
    r -= 5;
    // clang-format off
    v = (((((((2.01033439929228813265e-7 * r + 2.71155556874348757815e-5) * r + 0.0012426609473880784386) * r +
             0.026532189526576123093) * r + 0.29656057182850489123) * r + 1.7848265399172913358) * r +
          5.4637849111641143699) * r + 6.6579046435011037772) /
        (((((((2.04426310338993978564e-15 * r + 1.4215117583164458887e-7) * r + 1.8463183175100546818e-5) * r +
             7.868691311456132591e-4) * r + 0.0148753612908506148525) * r + 0.13692988092273580531) * r +
          0.59983220655588793769) * r + 1.0);
    // clang-format on
  }
  return q < 0 ? -v : v;
}

// ---- Shapiro-Wilk (Royston, algorithm AS R94) ----

double Poly(const double* c, int nord, double x) {
  double r = c[nord - 1];
  for (int i = nord - 2; i >= 0; --i) r = r * x + c[i];
  return r;
}

constexpr double SWc1[] = {0, 0.221157, -0.147981, -2.07119, 4.434685, -2.706056};
constexpr double SWc2[] = {0, 0.042981, -0.293762, -1.752461, 5.682633, -3.582633};
constexpr double SWc3[] = {0.544, -0.39978, 0.025054, -0.0006714};
constexpr double SWc4[] = {1.3822, -0.77857, 0.062767, -0.0020322};
constexpr double SWc5[] = {-1.5861, -0.31082, -0.083751, 0.0038915};
constexpr double SWc6[] = {-0.4803, -0.082676, 0.0030302};
constexpr double SWg[] = {-2.273, 0.459};

// The coefficients are kept for the last n: Explore tests many groups of one size in a
// row. Keyed on the whole n (a 16-bit key mixed up sizes 65,536 apart).
struct TSWCache {
  std::int64_t N = -1;
  std::vector<double> A;  // A[1..n/2]
} SWCache;

const std::vector<double>& ShapiroWilkCoefficients(std::int32_t n) {
  if (SWCache.N == n) return SWCache.A;
  SWCache.N = n;
  auto& a = SWCache.A;
  const std::int32_t nn2 = n / 2;
  a.assign(static_cast<std::size_t>(nn2) + 1, 0.0);
  if (n < 3) return a;
  if (n == 3) {
    a[1] = 0.70711;
    return a;
  }
  const double an25 = n + 0.25;
  double summ2 = 0;
  for (std::int32_t i = 1; i <= nn2; ++i) {
    a[i] = NormalQuantileLower((i - 0.375) / an25);  // = -NormalQuantile(., upper)
    summ2 += a[i] * a[i];
  }
  summ2 *= 2;
  const double ssumm2 = std::sqrt(summ2);
  const double rsn = 1 / std::sqrt(static_cast<double>(n));
  const double a1 = Poly(SWc1, 6, rsn) - a[1] / ssumm2;
  if (n > 5) {
    const double a2 = -a[2] / ssumm2 + Poly(SWc2, 6, rsn);
    const double fac =
        std::sqrt((summ2 - 2 * a[1] * a[1] - 2 * a[2] * a[2]) / (1 - 2 * a1 * a1 - 2 * a2 * a2));
    a[1] = a1;
    a[2] = a2;
    for (std::int32_t i = 3; i <= nn2; ++i) a[i] = -a[i] / fac;
  } else {
    const double fac = std::sqrt((summ2 - 2 * a[1] * a[1]) / (1 - 2 * a1 * a1));
    a[1] = a1;
    for (std::int32_t i = 2; i <= nn2; ++i) a[i] = -a[i] / fac;
  }
  return a;
}

// ---- Tables ----

struct TKurtRow {
  int N;
  double Lo10, Up10, Lo5, Up5, Lo2, Up2;
};
constexpr TKurtRow KurtTable[] = {
    // clang-format off
    {7, -1.59, 0.55, -1.66, 0.85, -1.75, 1.23},     {8, -1.54, 0.70, -1.60, 1.09, -1.69, 1.53},
    {9, -1.47, 0.86, -1.55, 1.28, -1.65, 1.82},     {10, -1.44, 0.95, -1.51, 1.40, -1.61, 2.00},
    {12, -1.36, 1.05, -1.44, 1.56, -1.54, 2.20},    {15, -1.28, 1.13, -1.36, 1.66, -1.45, 2.30},
    {20, -1.18, 1.17, -1.26, 1.68, -1.35, 2.36},    {25, -1.09, 1.16, -1.17, 1.65, -1.28, 2.30},
    {30, -1.02, 1.11, -1.10, 1.59, -1.21, 2.21},    {35, -0.97, 1.10, -1.05, 1.53, -1.16, 2.13},
    {40, -0.93, 1.06, -1.02, 1.46, -1.11, 2.04},    {45, -0.89, 1.00, -0.97, 1.39, -1.07, 1.94},
    {50, -0.85, 0.99, -0.94, 1.33, -1.05, 1.88},    {75, -0.73, 0.87, -0.812, 1.159, -0.92, 1.59},
    {100, -0.65, 0.77, -0.731, 1.027, -0.82, 1.39}, {125, -0.60, 0.71, -0.671, 0.928, -0.76, 1.24},
    {150, -0.55, 0.65, -0.624, 0.854, -0.71, 1.13}, {200, -0.49, 0.57, -0.556, 0.743, -0.63, 0.98},
    {250, -0.45, 0.52, -0.507, 0.665, -0.58, 0.87}, {300, -0.41, 0.47, -0.469, 0.608, -0.54, 0.79},
    {400, -0.36, 0.41, -0.415, 0.524, -0.48, 0.67}, {500, -0.33, 0.37, -0.377, 0.466, -0.43, 0.60},
    {1000, -0.24, 0.26, -0.277, 0.324, -0.32, 0.41}, {2000, -0.17, 0.18, -0.202, 0.226, -0.23, 0.28},
    {5000, -0.11, 0.12, -0.131, 0.141, -0.15, 0.17}, {10001, -0.081, 0.081, -0.096, 0.096, -0.114, 0.114},
    // clang-format on
};

// A-D table: (A^2*, cumulative probability).
constexpr std::pair<double, double> ADTable[] = {
    {0.1, 0},      {0.146, 0.01},  {0.2, 0.099},   {0.3, 0.38},   {0.4, 0.6223}, {0.472, 0.75},
    {0.5, 0.783},  {0.509, 0.8},   {0.561, 0.85},  {0.6, 0.8787}, {0.631, 0.9},  {0.7, 0.9327},
    {0.752, 0.95}, {0.8, 0.9633},  {0.873, 0.975}, {0.9, 0.9797}, {1.0, 0.9887}, {1.035, 0.99},
    {1.1, 0.9937}, {1.159, 0.995}, {1.2, 0.9963},  {1.3, 0.998},  {1.4, 0.999},  {1.5, 1.0},
};

// ---- Exponential test cache ----
struct TExpEntry {
  int N;
  double T, P;
};
std::vector<TExpEntry> ExpCache;

}  // namespace

// ---- Record fields ----

std::span<const TStatsField> StatsRecordFields() {
  using R = TStatsRecord;
  static const TStatsField fields[] = {
      {"CountReal", &R::CountReal},
      {"Sum", &R::Sum},
      {"Mean", &R::Mean},
      {"Variance", &R::Variance},
      {"StdDev", &R::StdDev},
      {"PopVariance", &R::PopVariance},
      {"Low", &R::Low},
      {"High", &R::High},
      {"Range", &R::Range},
      {"Median", &R::Median},
      {"Q1", &R::Q1},
      {"Q3", &R::Q3},
      {"InterpMedian", &R::InterpMedian},
      {"MeanAbsDevMean", &R::MeanAbsDevMean},
      {"MeanAbsDevMedian", &R::MeanAbsDevMedian},
      {"AvgMovingRange", &R::AvgMovingRange},
      {"StdDevMR", &R::StdDevMR},
      {"MedianMovingRange", &R::MedianMovingRange},
      {"StdDevMMR", &R::StdDevMMR},
      {"LowerLimit3s", &R::LowerLimit3s},
      {"UpperLimit3s", &R::UpperLimit3s},
      {"M3", &R::M3},
      {"M4", &R::M4},
      {"Skew1", &R::Skew1},
      {"Kurt1", &R::Kurt1},
      {"Skewness", &R::Skewness},
      {"Kurtosis", &R::Kurtosis},
      {"Mode", &R::Mode},
      {"DistinctCount", nullptr},
      {"Resolution", &R::Resolution},
      {"ADStat", &R::ADStat},
      {"ADp", &R::ADp},
      {"LMr", &R::LMr},
      {"LMp", &R::LMp},
      {"SWW", &R::SWW},
      {"SWp", &R::SWp},
      {"KurtBound", &R::KurtBound},
  };
  return fields;
}

double StatsFieldValue(const TStatsRecord& s, const TStatsField& f) {
  return f.Value ? s.*(f.Value) : static_cast<double>(s.DistinctCount);
}

// ---- Loading ----

void TStatsEngine::Load(std::span<double> sample) {
  x_ = sample.data();
  n_ = static_cast<std::int32_t>(sample.size());
}

void TStatsEngine::LoadA_Array() {
  if (A_Array.size() < static_cast<std::size_t>(A_ArrayCount) + 1) A_Array.resize(A_ArrayCount + 1);
  Load(std::span<double>(A_Array.data() + 1, static_cast<std::size_t>(A_ArrayCount)));
}

void SortDoubles(std::span<double> x) {
  // Below a few hundred values the radix passes cost more than comparisons.
  if (x.size() < 512)
    std::sort(x.begin(), x.end());
  else
    RadixSort(x);
}

// ---- Order statistics ----

double TStatsEngine::SortAndQuartiles() {
  auto& s = Stats;
  if (n_ <= 0) {
    s.Low = s.High = s.Range = s.Median = s.Q1 = s.Q3 = 0;
    return 0;
  }
  SortDoubles(Sample());
  const double* x = x_ - 1;  // 1-based as the formulas
  const std::int32_t n = n_;
  s.Low = x[1];
  s.High = x[n];
  s.Range = s.High - s.Low;
  s.Median = (n % 2) ? x[(n + 1) / 2] : (x[n / 2] + x[n / 2 + 1]) / 2;
  if (n <= 3) {
    s.Q1 = s.Low;
    s.Q3 = s.High;
    return 0;
  }
  // R's quantile type 6 at 1/4 and 3/4: position (n + 1)p.
  const std::int32_t k = (n + 1) / 4, c = (n + 1) % 4;
  s.Q1 = (x[k] * (4 - c) + x[k + 1] * c) / 4;
  s.Q3 = (x[n - k] * c + x[n - k + 1] * (4 - c)) / 4;
  return c / 4.0;
}

void TStatsEngine::LowHighRange() {
  auto& s = Stats;
  if (n_ <= 0) {
    s.Low = s.High = s.Range = 0;
    return;
  }
  double lo = x_[0], hi = x_[0];
  for (std::int32_t i = 1; i < n_; ++i) {
    lo = std::min(lo, x_[i]);
    hi = std::max(hi, x_[i]);
  }
  s.Low = lo;
  s.High = hi;
  s.Range = hi - lo;
}

// ---- Mean and variance ----

void TStatsEngine::MeanOnly() {
  if (n_ <= 0) {
    Stats.Sum = Stats.Mean = 0;
    return;
  }
  TCompensatedSum sum;
  for (std::int32_t i = 0; i < n_; ++i) sum.Add(x_[i]);
  Stats.Sum = sum.Value();
  Stats.Mean = Stats.Sum / n_;
}

void TStatsEngine::MeanAndVariance() {
  auto& s = Stats;
  s.CountReal = n_;
  if (n_ <= 0) {
    s.Sum = s.Mean = s.Variance = s.StdDev = s.PopVariance = 0;
    return;
  }
  TCompensatedSum sum;
  const double first = x_[0];
  bool constant = true;
  for (std::int32_t i = 0; i < n_; ++i) {
    sum.Add(x_[i]);
    constant &= x_[i] == first;
  }
  s.Sum = sum.Value();
  if (constant) {
    s.Mean = first;
    s.Variance = s.StdDev = s.PopVariance = 0;
    return;
  }
  const double n = n_;
  // The compensated sum makes Sum / n the mean to the last bit. Its deviations' plain sum
  // would not correct it further: on sorted data the partial sums grow to n times the
  // spread and their rounding (PiDigits: 2.5e-10) outweighs the mean's.
  const double mean = s.Sum / n;
  // Corrected two-pass sum of squares (Chan, Golub & LeVeque 1983).
  double ss[4] = {0, 0, 0, 0}, dev[4] = {0, 0, 0, 0};
  std::int32_t i = 0;
  for (; i + 4 <= n_; i += 4)
    for (int k = 0; k < 4; ++k) {
      const double d = x_[i + k] - mean;
      ss[k] += d * d;
      dev[k] += d;
    }
  for (; i < n_; ++i) {
    const double d = x_[i] - mean;
    ss[0] += d * d;
    dev[0] += d;
  }
  const double comp = (dev[0] + dev[1]) + (dev[2] + dev[3]);
  const double sumSq = std::max((ss[0] + ss[1]) + (ss[2] + ss[3]) - comp * comp / n, 0.0);
  s.Mean = mean;
  s.Variance = n_ > 1 ? sumSq / (n - 1) : 0;
  s.PopVariance = sumSq / n;
  s.StdDev = std::sqrt(s.Variance);
}

void TStatsEngine::BasicStats() {
  SortAndQuartiles();
  MeanAndVariance();
  auto& s = Stats;
  if (n_ <= 0) {
    s.MeanAbsDevMean = s.MeanAbsDevMedian = 0;
    return;
  }
  double a = 0, b = 0;
  for (std::int32_t i = 0; i < n_; ++i) {
    a += std::fabs(x_[i] - s.Mean);
    b += std::fabs(x_[i] - s.Median);
  }
  s.MeanAbsDevMean = a / n_;
  s.MeanAbsDevMedian = b / n_;
}

void TStatsEngine::StatsByCode(int code, TConfI* conf) {
  BasicStats();
  if (code > 255) return;
  switch (code) {
    case 'T':
      ShapiroWilk(false, Stats.SWW, Stats.SWp);
      Moments();
      LinMudholkar();
      AndersonDarling();
      break;
    case 'S': Moments(); break;
    case 'L': LinMudholkar(); break;
    case 'A': AndersonDarling(); break;
    case 'I':
      // Fewer than two values give 999 limits (CalcIntervals), not a mean from 5 to 5.
      (conf ? *conf : SharedConfI()).Intervals(Stats.Mean, Stats.StdDev, n_);
      break;
    case 'N': ThreeSigmaLimits(); break;
    default: break;
  }
}

// ---- Moving ranges ----

void TStatsEngine::MovingRangeSigma() {
  auto& s = Stats;
  if (n_ < 2) {
    s.AvgMovingRange = s.StdDevMR = s.MedianMovingRange = s.StdDevMMR = 0;
    return;
  }
  TCompensatedSum sum;
  for (std::int32_t i = 0; i + 1 < n_; ++i) {
    x_[i] = std::fabs(x_[i + 1] - x_[i]);
    sum.Add(x_[i]);
  }
  s.AvgMovingRange = sum.Value() / (n_ - 1);
  s.StdDevMR = s.AvgMovingRange / 1.12838;  // d2 for ranges of two
  const std::int32_t saved = n_;
  n_ = saved - 1;
  SortAndQuartiles();
  n_ = saved;
  s.MedianMovingRange = s.Median;
  s.StdDevMMR = s.MedianMovingRange / 0.954;
}

// ---- Moments ----

void TStatsEngine::Moments() {
  auto& s = Stats;
  s.CountReal = n_;
  if (n_ <= 0) {
    s.M3 = s.M4 = s.Skew1 = s.Kurt1 = 0;
    return;
  }
  double m3 = 0, m4 = 0;
  for (std::int32_t i = 0; i < n_; ++i) {
    const double d = x_[i] - s.Mean, d2 = d * d;
    m3 += d2 * d;
    m4 += d2 * d2;
  }
  const double n = n_, m2 = s.PopVariance;
  s.M3 = m3 / n;
  s.M4 = m4 / n;
  const double root = std::sqrt(m2 * m2 * m2);
  s.Skew1 = (n_ < 3 || s.StdDev < 1e-20 || root == 0) ? NotAvailable : s.M3 / root;
  s.Kurt1 = (n_ < 4 || s.StdDev < 1e-20 || m2 * m2 == 0) ? NotAvailable : s.M4 / (m2 * m2) - 3;
  // The sample adjustments apply to every computed value, 0 included: a g2 of exactly 0
  // is not a G2 of 0 (-1, 0, 0, 0, 0, 1 has G2 2.5).
  s.Skewness = s.Skew1 == NotAvailable ? NotAvailable : s.Skew1 * std::sqrt(n * (n - 1)) / (n - 2);
  s.Kurtosis = s.Kurt1 == NotAvailable ? NotAvailable
                                       : ((n + 1) * s.Kurt1 + 6) * (n - 1) / ((n - 2) * (n - 3));
}

double SkewnessP(double g1, double n) {
  if (n < 8 || g1 == NotAvailable) return NotAvailable;
  // D'Agostino's t approximation to the distribution of sqrt(b1).
  const double sigma = std::sqrt(6 * (n - 2) / ((n + 1) * (n + 3)));
  const double beta2 =
      3 * (n * n + 27 * n - 70) * (n + 1) * (n + 3) / ((n - 2) * (n + 5) * (n + 7) * (n + 9));
  const double nu = (4 * beta2 - 6) / (beta2 - 3);
  const double t = g1 * std::sqrt(nu / (nu - 2)) / sigma;
  return TTail(t, std::trunc(nu), 2);
}

TKurtosisSig KurtosisSig(double g2, int n) {
  TKurtosisSig r;
  if (n < 7 || g2 == NotAvailable) {
    r.Text = "999.000";
    r.Bound = NotAvailable;
    return r;
  }
  if (n > 5000) {
    const double nn = n;
    const double se =
        std::sqrt(24 * nn * (nn - 1) * (nn - 1) / ((nn - 3) * (nn - 2) * (nn + 3) * (nn + 5)));
    const double p = NormalTail(g2 / se, 2);
    r.Text = FormatReal(p, 3);
    r.Bound = p;
    return r;
  }
  std::size_t k = 0;
  while (KurtTable[k].N < n) ++k;
  auto crit = [&](double TKurtRow::*col) {
    const TKurtRow& row = KurtTable[k];
    if (row.N == n || k == 0) return row.*col;
    const TKurtRow& prev = KurtTable[k - 1];
    return prev.*col + (row.*col - prev.*col) * (n - prev.N) / (row.N - prev.N);
  };
  r.Text = ">.10";
  r.Bound = NotAvailable;
  if (g2 == 0) {
    r.Text = "1.000";
  } else if (g2 < 0) {
    if (g2 <= crit(&TKurtRow::Lo2)) {
      r.Text = "<.02";
      r.Bound = 0.02;
    } else if (g2 <= crit(&TKurtRow::Lo5)) {
      r.Text = ".05-.02";
      r.Bound = 0.05;
    } else if (g2 <= crit(&TKurtRow::Lo10)) {
      r.Text = ".10-.05";
      r.Bound = 0.10;
    }
  } else {
    if (g2 >= crit(&TKurtRow::Up2)) {
      r.Text = "<.02";
      r.Bound = 0.02;
    } else if (g2 >= crit(&TKurtRow::Up5)) {
      r.Text = ".05-.02";
      r.Bound = 0.05;
    } else if (g2 >= crit(&TKurtRow::Up10)) {
      r.Text = ".10-.05";
      r.Bound = 0.10;
    }
  }
  r.Bound -= 1e-10;
  return r;
}

// ---- Normality tests ----

void TStatsEngine::AndersonDarling() {
  auto& s = Stats;
  if (s.StdDev == 0 || n_ <= 0) {
    s.ADStat = s.ADp = NotAvailable;
    return;
  }
  // ln F and ln(1 - F) from log tails, so an observation far out (beyond 8 standard
  // deviations, where F rounds to 0 or 1) still counts with its true weight. One erfc per
  // value serves both sides.
  const double n = n_;
  std::vector<double> lnUpper(n_);
  // S is about -n^2 and A^2 = -S/n - n: compensated, or its rounding is what remains.
  TCompensatedSum sum;
  for (std::int32_t i = 0; i < n_; ++i) {
    const double z = (x_[i] - s.Mean) / s.StdDev;
    double lnF, lnQ;
    if (z >= 0)
      LogNormalTails(z, lnQ, lnF);
    else
      LogNormalTails(-z, lnF, lnQ);
    lnUpper[i] = lnQ;
    sum.Add((2.0 * i + 1) * lnF);
  }
  for (std::int32_t i = 0; i < n_; ++i) sum.Add((2.0 * i + 1) * lnUpper[n_ - 1 - i]);
  const double a2 = -sum.Value() / n - n;
  s.ADStat = a2 * (1 + 0.75 / n + 2.25 / (n * n));
  s.ADp = AndersonDarlingP(s.ADStat);
}

double AndersonDarlingP(double a) {
  if (a == NotAvailable) return NotAvailable;
  if (a <= 0.1) return 1;
  if (a < 0.63) return NormalTail((std::log(a - 0.04) + 1.2026) / 0.527, 1);
  if (a >= 1.5) return 0;
  std::size_t k = 0;
  while (ADTable[k].first < a) ++k;
  const auto [a0, f0] = ADTable[k - 1];
  const auto [a1, f1] = ADTable[k];
  return 1 - (f0 + (f1 - f0) * (a - a0) / (a1 - a0));
}

void TStatsEngine::ShapiroWilk(bool sortFirst, double& w, double& p) {
  const std::int32_t n = n_;
  if (n <= 2) {
    w = 0;
    p = NotAvailable;
    return;
  }
  if (sortFirst) SortAndQuartiles();
  const double range = Stats.Range;
  if (range < 1e-20) {
    w = 0;
    p = 0;
    return;
  }
  const std::vector<double>& a = ShapiroWilkCoefficients(n);
  const double* x = x_ - 1;  // 1-based
  // Steps of swilk.c: centre the coefficients and the scaled data, then W as a squared
  // correlation written to keep its small complement 1 - W accurate.
  double sa = -a[1], sx = x[1] / range;
  for (std::int32_t i = 2, j = n - 1; i <= n; ++i, --j) {
    sx += x[i] / range;
    if (i != j) sa += ((i - j) > 0 ? 1 : -1) * a[std::min(i, j)];
  }
  sa /= n;
  sx /= n;
  double ssa = 0, ssx = 0, sax = 0;
  for (std::int32_t i = 1, j = n; i <= n; ++i, --j) {
    const double asa = (i != j) ? ((i - j) > 0 ? 1 : -1) * a[std::min(i, j)] - sa : -sa;
    const double xsx = x[i] / range - sx;
    ssa += asa * asa;
    ssx += xsx * xsx;
    sax += asa * xsx;
  }
  const double ssassx = std::sqrt(ssa * ssx);
  const double w1 = (ssassx - sax) * (ssassx + sax) / (ssa * ssx);
  w = 1 - w1;
  if (n == 3) {
    // Exact for n = 3; the rounded constants make the minimum W of 0.75 come out
    // slightly negative, and a probability is not.
    p = std::max(1.909859 * (std::asin(std::sqrt(w)) - 1.047198), 0.0);
    return;
  }
  double y = std::log(w1);
  const double lx = std::log(static_cast<double>(n));
  double m, sd;
  if (n >= 12) {
    m = Poly(SWc5, 4, lx);
    sd = std::exp(Poly(SWc6, 3, lx));
  } else {
    const double gamma = Poly(SWg, 2, n);
    if (gamma <= y) {
      p = 0;
      return;
    }
    y = -std::log(gamma - y);
    m = Poly(SWc3, 4, n);
    sd = std::exp(Poly(SWc4, 4, n));
  }
  p = NormalTail((y - m) / sd, 1);
}

void TStatsEngine::LinMudholkar() {
  auto& s = Stats;
  if (n_ < 3 || s.StdDev == 0) {
    s.LMr = s.LMp = NotAvailable;
    return;
  }
  const double n = n_, ss = n * s.PopVariance;
  // e: the deviation scaled; d: cube root of the variance without that value. Their
  // correlation in two passes (centred sums), not from raw sums; e is recomputed rather
  // than stored.
  std::vector<double> d(n_);
  double se = 0, sd = 0;
  for (std::int32_t i = 0; i < n_; ++i) {
    const double dev = x_[i] - s.Mean;
    d[i] = std::cbrt((ss - n * dev * dev / (n - 1)) / (n - 2));
    se += dev / (n - 1);
    sd += d[i];
  }
  const double me = se / n, md = sd / n;
  double sxx = 0, syy = 0, sxy = 0;
  for (std::int32_t i = 0; i < n_; ++i) {
    const double a = (x_[i] - s.Mean) / (n - 1) - me, b = d[i] - md;
    sxx += a * a;
    syy += b * b;
    sxy += a * b;
  }
  s.LMr = sxx * syy > 0 ? std::fabs(sxy) / std::sqrt(sxx * syy) : 0;
  s.LMp = s.LMr >= 1 ? 0 : LinMudholkarP(s.LMr, n);
}

double LinMudholkarP(double r, double n) {
  const double z = FisherZ(r);
  const double sigma = std::sqrt(3 / n - 7.324 / (n * n) + 53.005 / (n * n * n));
  const double gamma = -11.7 / n + 55.06 / (n * n);
  // Beyond the Cornish-Fisher corrected normal deviate of 3.5.
  if (z > sigma * (gamma * 42.875 / 24 + (1 - gamma / 8) * 3.5)) return 0;
  // The normal deviate u solves u^3 + A u + C = 0.
  const double A = 24 / gamma - 3, C = -24 * z / (sigma * gamma);
  const double P = -A / 3, Q = C / 2, D = P * P * P - Q * Q;
  double u;
  if (D >= 0) {
    u = -2 * std::sqrt(P) *
        std::cos((std::acos(Q / std::sqrt(P * P * P)) + 4 * 3.14159265358979323846) / 3);
  } else {
    const double S = -SignOf(Q) * std::cbrt(std::fabs(Q) + std::sqrt(-D));
    u = S + P / S;
  }
  return NormalTail(u, 2);
}

void TStatsEngine::IndexOfDispersion(double& d, double& p) const {
  // Undefined without a positive mean or without a variance.
  if (n_ < 2 || !(Stats.Mean > 0)) {
    d = p = NotAvailable;
    return;
  }
  d = (n_ - 1) * Stats.Variance / Stats.Mean;
  p = ChiSqTail(d, n_ - 1, 2);
}

double TStatsEngine::ThreeSigmaLimits() {
  Stats.LowerLimit3s = Stats.Mean - 3 * Stats.StdDev;
  Stats.UpperLimit3s = Stats.Mean + 3 * Stats.StdDev;
  return 3 * Stats.StdDev;
}

// ---- Percentiles and counts ----

double TStatsEngine::Percentile(double p) const {
  StatError = 0;
  const double h = p * (n_ + 1.0);
  if (h < 1 || h > n_) {
    StatError = 1;
    return 0;
  }
  const double* x = x_ - 1;
  const auto k = static_cast<std::int32_t>(h);
  if (k >= n_) return x[n_];
  return x[k] + (h - k) * (x[k + 1] - x[k]);
}

double TStatsEngine::PlottingPercentile(double p) const {
  StatError = 0;
  if (n_ <= 0) return 0;
  const double* x = x_ - 1;
  const double h = p * (n_ + 0.4) + 0.3;
  if (h < 1) return x[1];
  const auto k = static_cast<std::int32_t>(h);
  if (k >= n_) return x[n_];
  return x[k] + (h - k) * (x[k + 1] - x[k]);
}

void TStatsEngine::FindResolution() {
  double r = 0;
  for (std::int32_t i = 1; i < n_; ++i) {
    const double g = x_[i] - x_[i - 1];
    if (g > 0 && (r == 0 || g < r)) r = g;
  }
  Stats.Resolution = r;
}

void TStatsEngine::InterpolatedMedian() {
  auto& s = Stats;
  const std::int32_t n = n_;
  const double* x = x_ - 1;
  const std::int32_t m = (n + 1) / 2;
  bool tied = false;
  if (n > 2) {
    tied = (n % 2) ? (x[m - 1] == x[m] || x[m] == x[m + 1]) : x[m] == x[m + 1];
  }
  if (!tied) {
    s.InterpMedian = s.Median;
    return;
  }
  FindResolution();
  const double w = s.Resolution;
  std::int32_t lo = m;
  while (lo > 1 && x[lo - 1] == s.Median) --lo;
  std::int32_t up = m + 1;
  while (up <= n && x[up] == s.Median) ++up;
  const double below = lo - 1, f = up - below - 1;
  s.InterpMedian = s.Median - w / 2 + w * (n / 2.0 - below) / f;
}

void TStatsEngine::CountAbove(int& count, double limit) const {
  count = 0;
  for (std::int32_t i = 0; i < n_; ++i) count += x_[i] > limit + 1e-20;
}

void TStatsEngine::CountBelow(int& count, double limit) const {
  count = 0;
  for (std::int32_t i = 0; i < n_; ++i) count += x_[i] < limit - 1e-20;
}

void TStatsEngine::SpreadTies() {
  if (n_ < 2) return;
  SortDoubles(Sample());
  FindResolution();
  const double w = Stats.Resolution;
  for (std::int32_t s = 0; s < n_;) {
    std::int32_t e = s + 1;
    while (e < n_ && x_[e] == x_[s]) ++e;
    const std::int32_t k = e - s;
    if (k >= 2) {
      const double v = x_[s];
      for (std::int32_t j = 1; j <= k; ++j) x_[s + j - 1] = v - w / 2 + j * w / (k + 1);
    }
    s = e;
  }
  Stats.Low = x_[0];
  Stats.High = x_[n_ - 1];
  Stats.Range = Stats.High - Stats.Low;
}

void TStatsEngine::DistinctAndMode() {
  auto& s = Stats;
  if (n_ < 1) {
    s.DistinctCount = 0;
    s.Mode = MissingValue;
    return;
  }
  s.Mode = x_[0];
  s.DistinctCount = 1;
  if (n_ == 2) {
    if (x_[0] != x_[1]) s.DistinctCount = 2;
    return;
  }
  if (n_ < 3) return;
  SortAndQuartiles();
  std::int32_t best = 1;
  for (std::int32_t i = 0; i < n_;) {
    std::int32_t e = i + 1;
    while (e < n_ && x_[e] == x_[i]) ++e;
    if (i > 0) ++s.DistinctCount;
    if (e - i > best) {
      best = e - i;
      s.Mode = x_[i];
    }
    i = e;
  }
}

// ---- Matrix loaders ----

void TStatsEngine::LoadFromMatrix(const TMatrix& m, int r1, int r2, int c1, int c2) {
  own_.clear();
  for (int r = r1; r <= r2; ++r)
    for (int c = c1; c <= c2; ++c)
      if (IsPresent(m[r][c])) own_.push_back(m[r][c]);
  Load(own_);
}

void TStatsEngine::MatrixLowHigh(const TMatrix& m, int r1, int r2, int c1, int c2) {
  auto& s = Stats;
  std::int32_t n = 0;
  double lo = 0, hi = 0;
  // The extremes start from the first present value: a missing first cell is no value.
  for (int r = r1; r <= r2; ++r)
    for (int c = c1; c <= c2; ++c) {
      const double v = m[r][c];
      if (!IsPresent(v)) continue;
      if (n++ == 0) {
        lo = hi = v;
      } else {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    }
  s.CountReal = n;
  s.Low = lo;
  s.High = hi;
  s.Range = hi - lo;
}

void TStatsEngine::MatrixMean(const TMatrix& m, int r1, int r2, int c1, int c2) {
  auto& s = Stats;
  TCompensatedSum sum;
  std::int32_t n = 0;
  for (int r = r1; r <= r2; ++r)
    for (int c = c1; c <= c2; ++c)
      if (IsPresent(m[r][c])) {
        sum.Add(m[r][c]);
        ++n;
      }
  s.CountReal = n;
  s.Sum = sum.Value();
  s.Mean = n > 0 ? s.Sum / n : MissingValue;
}

// ---- Exponential test ----

double ExponentialTestP(int n, double t, const std::string& label,
                        const std::function<bool(double)>& progress,
                        const std::function<double()>& uniform) {
  (void)label;  // the monitor window shows it; the core has nothing to show it in
  // T is always 0.5 for two values; there is nothing to test below three.
  if (n < 3) return NotAvailable;
  for (const auto& e : ExpCache)
    if (e.N == n && e.T == t) return e.P;
  constexpr int Replications = 1000000, EarlyCheck = 20000;
  const double minY = -std::log(1e-10);
  long long count = 0;
  for (int j = 1; j <= Replications; ++j) {
    if (j % 100 == 0 && progress && !progress(static_cast<double>(j) / Replications))
      return NotAvailable;
    double lo = std::numeric_limits<double>::infinity(), sum = 0, sumSq = 0;
    for (int i = 0; i < n; ++i) {
      const double u = uniform ? uniform() : UniformRandom();
      const double y = u > 0 ? -std::log(u) : minY;
      lo = std::min(lo, y);
      sum += y;
      sumSq += y * y;
    }
    const double mean = sum / n;
    const double tsim = (n - 1) * (mean - lo) * (mean - lo) / (sumSq - sum * sum / n);
    if (tsim > t) ++count;
    if (j == EarlyCheck && (count == 0 || count == EarlyCheck)) return 0;
  }
  const double p = TailFold(static_cast<double>(count) / Replications, 2);
  ExpCache.push_back({n, t, p});
  return p;
}

void ResetStatsEngineState() {
  SWCache = TSWCache{};
  ExpCache.clear();
}

}  // namespace sorvel
