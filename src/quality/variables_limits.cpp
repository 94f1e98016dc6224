#include "quality/variables_limits.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <vector>

#include "numerics/distributions.h"
#include "numerics/format.h"
#include "quality/chart_constants.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

// The set-wide median, mean and standard deviation come from the descriptive engine.
double Median(std::vector<double> v) {
  if (v.empty()) return MissingValue;
  TStatsEngine e(v);
  e.SortAndQuartiles();
  return e.Stats.Median;
}

double Mean(std::vector<double> v) {
  if (v.empty()) return MissingValue;
  TStatsEngine e(v);
  e.MeanAndVariance();
  return e.Stats.Mean;
}

double SampleSD(std::vector<double> v) {
  if (v.size() < 2) return MissingValue;
  TStatsEngine e(v);
  e.MeanAndVariance();
  return e.Stats.StdDev;
}

// Moving ranges of span w (max - min of w consecutive values).
std::vector<double> MovingRanges(const std::vector<double>& v, int w) {
  std::vector<double> out;
  const auto span = static_cast<std::size_t>(std::max(w, 1));
  for (std::size_t j = span - 1; j < v.size(); ++j) {
    const auto first = v.begin() + static_cast<std::ptrdiff_t>(j + 1 - span);
    const auto last = v.begin() + static_cast<std::ptrdiff_t>(j + 1);
    out.push_back(*std::max_element(first, last) - *std::min_element(first, last));
  }
  return out;
}

bool Present(double x) { return IsPresent(x) && std::isfinite(x); }
double Times(double a, double b) { return Present(a) && Present(b) ? a * b : MissingValue; }
double Over(double a, double b) {
  return Present(a) && Present(b) && b != 0 ? a / b : MissingValue;
}
int SizeOf(double n) {
  return n >= 2147483647.0 ? 2147483647 : n < 0 ? 0 : static_cast<int>(std::lround(n));
}

// Zone sigma of user-defined limits.
double UserZone(double ucl, double cl, double lcl, double k) {
  if (!(k > 0)) return MissingValue;
  if (Present(ucl) && Present(lcl)) return (ucl - lcl) / (2 * k);
  if (Present(cl) && Present(ucl)) return (ucl - cl) / k;
  if (Present(cl) && Present(lcl)) return (cl - lcl) / k;
  return MissingValue;
}

bool NoComputedLimits(int method) {
  return method == MethodNone || method == MethodCentreOnly || method == MethodUserDefined;
}

// The estimates of one set, computed on first use.
class TSetEstimates {
 public:
  TSetEstimates(const ChartArrayType& t, const std::vector<int>& points, int w)
      : t_(t), points_(points), w_(w) {}

  double B() {
    return Get(b_, [&] { return RowMean(RowRangeSigma); });
  }
  double F() {
    return Get(f_, [&] { return Median(Row(RowRangeSigma)); });
  }
  double SBarC() {
    return Get(sbar_, [&] {
      double num = 0, den = 0;
      for (int p : points_) {
        const double n = t_(RowSize, p), s = t_(RowSubgroupSD, p);
        if (n > 1 && Present(s)) {
          num += n * (s / ConstC4(SizeOf(n)));
          den += n;
        }
      }
      return den > 0 ? num / den : 0.0;
    });
  }
  double STilde() {
    return Get(stilde_, [&] { return Median(Row(RowSubgroupSD)); });
  }
  double V() {
    return Get(v_, [&] {
      double num = 0, den = 0;
      for (int p : points_) {
        const double n = t_(RowSize, p), s = t_(RowSubgroupSD, p);
        if (n > 1 && Present(s)) {
          num += (n - 1) * s * s;
          den += n - 1;
        }
      }
      return den > 0 ? num / den : MissingValue;
    });
  }
  // clang-format off
  double MRBar() { return Get(mrbar_, [&] { return Mean(MovingRanges(Row(RowLocation), w_)); }); }
  double MRTilde() { return Get(mrtilde_, [&] { return Median(MovingRanges(Row(RowLocation), w_)); }); }
  double K() { return Get(k_, [&] { return SampleSD(Row(RowLocation)); }); }
  // clang-format on
  double L() {
    return Get(l_, [&] { return Over(Mean(MovingRanges(Row(RowDispersion), w_)), ConstD2(w_)); });
  }
  double LTilde() {
    return Get(ltilde_, [&] {
      return Over(Median(MovingRanges(Row(RowDispersion), w_)), ConstD2Median(w_));
    });
  }
  double Ks() {
    return Get(ks_, [&] { return SampleSD(Row(RowDispersion)); });
  }
  // The rounded median subgroup size.
  int MedianSize() {
    std::vector<double> n;
    for (int p : points_) n.push_back(t_(RowSize, p));
    const double m = Median(n);
    return Present(m) ? SizeOf(m) : 0;
  }

 private:
  template <class F>
  double Get(std::optional<double>& slot, F compute) {
    if (!slot) slot = compute();
    return *slot;
  }
  // The mean of the set's present values of a row, from deviations of the first (a
  // constant row gives its value exactly), without copying the row.
  double RowMean(int row) const {
    double first = MissingValue, sum = 0;
    std::size_t n = 0;
    for (int p : points_) {
      const double x = t_(row, p);
      if (!Present(x)) continue;
      if (n++ == 0) first = x;
      sum += x - first;
    }
    return n == 0 ? MissingValue : first + sum / static_cast<double>(n);
  }
  // The set's present values of a row, in point order.
  std::vector<double> Row(int row) const {
    std::vector<double> v;
    v.reserve(points_.size());
    for (int p : points_) {
      const double x = t_(row, p);
      if (Present(x)) v.push_back(x);
    }
    return v;
  }
  const ChartArrayType& t_;
  const std::vector<int>& points_;
  int w_;
  std::optional<double> b_, f_, sbar_, stilde_, v_, mrbar_, mrtilde_, k_, l_, ltilde_, ks_;
};

// Median range / d2-median ratio that turns a median of range-based sigmas into a sigma.
double MedianToMean(double f, int m) {
  if (m < 2) return MissingValue;
  return Times(f, ConstD2(m) / ConstD2Median(m));
}

// The process sigma of a location method at subgroup size n (X: the MR span).
double LocationProcessSigma(TSetEstimates& e, const TVariablesChartSettings& s, int n) {
  const bool x = s.LocationChart == ChartX;
  switch (s.LocationMethod) {
    case MethodAverageMR:
    case MethodAverageRange: return e.B();
    case MethodMedianMR:
    case MethodMedianRange: return MedianToMean(e.F(), x ? s.MRSpan : n);
    case MethodStdDev:
    case MethodAverageSD: return x ? e.K() : e.SBarC();
    case MethodMedianSD:
      return n >= 2 && Present(e.STilde()) ? SigmaFromMedianS(e.STilde(), n) : MissingValue;
    case MethodAverageVariance: return Present(e.V()) ? std::sqrt(e.V()) : MissingValue;
    case MethodKnownSigma: return s.Sigma0;
    default: return MissingValue;
  }
}

// Standard error of the plotted location statistic.
double LocationSigma(TSetEstimates& e, const TVariablesChartSettings& s, int n) {
  switch (s.LocationMethod) {
    case MethodAverageMRMeans:
    case MethodAverageMRMedians: return Over(e.MRBar(), ConstD2(s.MRSpan));
    case MethodMedianMRMeans:
    case MethodMedianMRMedians: return Over(e.MRTilde(), ConstD2Median(s.MRSpan));
    case MethodSDMeans:
    case MethodSDMedians: return e.K();
    default: break;
  }
  const double sigma = LocationProcessSigma(e, s, n);
  if (!Present(sigma) || n < 1) return MissingValue;
  switch (s.LocationChart) {
    case ChartMean: return sigma / std::sqrt(static_cast<double>(n));
    case ChartMedian: return MedianSE(sigma, n);
    default: return sigma;
  }
}

double DispersionProcessSigma(TSetEstimates& e, const TVariablesChartSettings& s) {
  switch (s.DispersionMethod) {
    case MethodKnownSigma: return s.Sigma0;
    case MethodAverageMR:
    case MethodAverageRange: return e.B();
    case MethodMedianMR: return MedianToMean(e.F(), s.MRSpan);
    case MethodStdDev: return e.K();
    case MethodMedianRange: return MedianToMean(e.F(), e.MedianSize());
    case MethodAverageSD: return e.SBarC();
    case MethodMedianSD: {
      const int m = e.MedianSize();
      return m >= 2 && Present(e.STilde()) ? SigmaFromMedianS(e.STilde(), m) : MissingValue;
    }
    case MethodAverageVariance: return Present(e.V()) ? std::sqrt(e.V()) : MissingValue;
    default: return MissingValue;
  }
}

double DispersionCentre(TSetEstimates& e, const TVariablesChartSettings& s, int n) {
  const int chart = s.DispersionChart;
  const int code = s.DispersionCentre;
  if (chart == ChartMovingRange || chart == ChartRange) {
    const int m = chart == ChartMovingRange ? s.MRSpan : n;
    if (m < 2) return MissingValue;
    const double sigma = code == 4   ? e.B()
                         : code == 5 ? e.F()
                         : code == 6 ? s.Sigma0
                                     : MissingValue;
    return Times(sigma, ConstD2(m));
  }
  if (chart == ChartStdDev) {
    if (code == 4) return n >= 2 ? e.SBarC() * ConstC4(n) : MissingValue;
    if (code == 5) return e.STilde();
    if (code == 6) return s.Sigma0;
  }
  if (chart == ChartVariance) {
    if (code == 4) return e.V();
    if (code == 5) return Times(e.STilde(), e.STilde());
    if (code == 6) return Times(s.Sigma0, s.Sigma0);
  }
  return MissingValue;
}

struct TDispersionLimits {
  double LCL = MissingValue, UCL = MissingValue, Sigma = MissingValue;
};

TDispersionLimits DispersionLimits(TSetEstimates& e, const TVariablesChartSettings& s, double sigma,
                                   double centre, int n) {
  TDispersionLimits out;
  const double k = s.K;
  auto around = [&](double c, double d) {
    out.Sigma = d;
    if (!Present(c) || !Present(d) || !(d > 0)) return;  // no spread: centre line only
    out.UCL = c + k * d;
    const double lcl = c - k * d;
    if (lcl > 0) out.LCL = lcl;
  };
  switch (s.DispersionMethod) {
    case MethodAverageMRDispersion: around(centre, e.L()); return out;
    case MethodMedianMRDispersion: around(centre, e.LTilde()); return out;
    case MethodSDDispersion: around(centre, e.Ks()); return out;
    default: break;
  }
  if (!Present(sigma)) return out;
  switch (s.DispersionChart) {
    case ChartMovingRange:
    case ChartRange: {
      const int m = s.DispersionChart == ChartMovingRange ? s.MRSpan : n;
      if (m < 2) return out;
      around(sigma * ConstD2(m), sigma * ConstD3(m));
      break;
    }
    case ChartStdDev: {
      if (n < 2) return out;
      const double c4 = ConstC4(n);
      around(sigma * c4, sigma * std::sqrt(1 - c4 * c4));
      break;
    }
    case ChartVariance: {
      if (n < 2 || !(sigma > 0) || !(k > 0)) return out;
      const double tail = NormalTailExact(k, 1);
      const double v = sigma * sigma / (n - 1.0);
      out.UCL = v * ChiSqQuantile(tail, n - 1.0, TTails::Upper);
      out.LCL = v * ChiSqQuantile(tail, n - 1.0, TTails::Lower);
      out.Sigma = Present(centre) ? (out.UCL - centre) / k : MissingValue;
      break;
    }
    default: break;
  }
  return out;
}

void MinMaxColumns(ChartArrayType& t, int count) {
  if (t.Capacity() < count) return;
  for (int row = RowLocation; row <= RowDispUCL; ++row) {
    double* v = t.Rows[static_cast<std::size_t>(row)].data();
    double lo = MissingValue, hi = MissingValue;
    int p = 1;
    while (p <= count && !Present(v[p])) ++p;
    if (p <= count) {
      // Four lanes without a branch per value (a missing one cannot win); NaN never wins.
      constexpr double Inf = std::numeric_limits<double>::infinity();
      double l[4] = {v[p], v[p], v[p], v[p]}, h[4] = {v[p], v[p], v[p], v[p]};
      for (; p + 3 <= count; p += 4)
        for (int k = 0; k < 4; ++k) {
          const double x = v[p + k];
          const double xl = x == MissingValue ? Inf : x, xh = x == MissingValue ? -Inf : x;
          l[k] = xl < l[k] ? xl : l[k];
          h[k] = xh > h[k] ? xh : h[k];
        }
      for (; p <= count; ++p) {
        const double x = v[p];
        if (x == MissingValue) continue;
        l[0] = x < l[0] ? x : l[0];
        h[0] = x > h[0] ? x : h[0];
      }
      lo = std::min({l[0], l[1], l[2], l[3]});
      hi = std::max({h[0], h[1], h[2], h[3]});
    }
    v[count + 1] = lo;
    v[count + 2] = hi;
  }
}

}  // namespace

bool CalcVariablesLimits(ChartArrayType& t, int count, const TVariablesChartSettings& s) {
  count = std::min(count, t.Capacity());
  const bool locChart = s.LocationChart != ChartNone;
  const bool dispChart = s.DispersionChart != ChartNone;
  const bool locUser = s.LocationMethod == MethodUserDefined;
  const bool dispUser = s.DispersionMethod == MethodUserDefined;
  const bool sigmaFromDispersion = dispChart && !NoComputedLimits(s.DispersionMethod) &&
                                   s.DispersionMethod != MethodAverageMRDispersion &&
                                   s.DispersionMethod != MethodMedianMRDispersion &&
                                   s.DispersionMethod != MethodSDDispersion;

  // 1. User-defined limits.
  const double locZone = UserZone(s.UCL, s.CL, s.LCL, s.K);
  const double dispZone = UserZone(s.DUCL, s.DCL, s.DLCL, s.K);
  for (int p = 1; p <= count; ++p) {
    if (locUser) {
      t(RowLocLCL, p) = s.LCL;
      t(RowLocCL, p) = s.CL;
      t(RowLocUCL, p) = s.UCL;
      t(RowLocSigma, p) = locZone;
    }
    if (dispUser) {
      t(RowDispLCL, p) = s.DLCL;
      t(RowDispCL, p) = s.DCL;
      t(RowDispUCL, p) = s.DUCL;
      t(RowDispSigma, p) = dispZone;
    }
  }
  if (locUser && dispUser) {
    MinMaxColumns(t, count);
    return false;
  }

  // The set numbers present, each once, in order: an empty set cell (MissingValue) is a
  // set of its own, and far-apart codes cost nothing.
  std::set<double> sets;
  const double* setRow = t.Rows[static_cast<std::size_t>(RowSet)].data();
  int p0 = 1;  // most charts have one set: no tree walk per point until a second shows
  while (p0 <= count && setRow[p0] == setRow[1]) ++p0;
  if (count >= 1) sets.insert(setRow[1]);
  for (int p = p0; p <= count; ++p) sets.insert(setRow[p]);

  for (const double set : sets) {
    std::vector<int> points;
    points.reserve(static_cast<std::size_t>(sets.size() == 1 ? count : 0));
    for (int p = 1; p <= count; ++p)
      if (t(RowSet, p) == set) points.push_back(p);
    TSetEstimates e(t, points, s.MRSpan);

    // 2. The n-weighted grand mean, from deviations of the first mean (a constant series
    // gives its value exactly).
    double first = MissingValue, num = 0, den = 0;
    for (int p : points) {
      if (!Present(t(RowLocation, p)) || !Present(t(RowMean, p))) continue;
      if (!Present(first)) first = t(RowMean, p);
      num += t(RowSize, p) * (t(RowMean, p) - first);
      den += t(RowSize, p);
    }
    const double H = den >= 1 ? first + num / den : MissingValue;

    // 3. The location centre.
    double G = MissingValue;
    if (locChart) {
      if (s.LocationCentre == 3 && Present(s.Mu0))
        G = s.Mu0;
      else if (s.LocationCentre == 2) {
        std::vector<double> v;
        for (int p : points)
          if (Present(t(RowLocation, p))) v.push_back(t(RowLocation, p));
        G = Median(v);
      } else
        G = H;
    }

    const bool locLimits = locChart && !NoComputedLimits(s.LocationMethod);
    const bool dispCentre = dispChart && s.DispersionMethod != MethodNone && !dispUser;
    const bool dispLimits = dispChart && !NoComputedLimits(s.DispersionMethod);
    const double dispSigma = dispLimits ? DispersionProcessSigma(e, s) : MissingValue;

    double lastSize = -1;
    int n = 0;
    double Q = MissingValue, centre = MissingValue;
    TDispersionLimits d;
    for (int p : points) {
      t(RowGrandMean, p) = H;
      if (!locUser) t(RowLocCL, p) = s.LocationMethod == MethodNone ? MissingValue : G;
      if (t(RowSize, p) != lastSize) {  // per-point values change only with the subgroup size
        lastSize = t(RowSize, p);
        n = SizeOf(lastSize);
        Q = locLimits ? LocationSigma(e, s, n) : MissingValue;
        centre = dispCentre ? DispersionCentre(e, s, n) : MissingValue;
        d = dispLimits ? DispersionLimits(e, s, dispSigma, centre, n) : TDispersionLimits{};
      }
      // 6. Location limits around the centre; a zero sigma leaves the centre line alone.
      if (!locUser) {
        t(RowLocSigma, p) = Q;
        t(RowLocLCL, p) = t(RowLocUCL, p) = MissingValue;
        const double c = t(RowLocCL, p);
        if (Present(Q) && Q > 0 && Present(c) && s.K > 0) {
          t(RowLocUCL, p) = c + s.K * Q;
          const double lcl = c - s.K * Q;
          t(RowLocLCL, p) = s.PositiveLimitsOnly && lcl < 0 ? MissingValue : lcl;
        }
      }
      // 5. and 7. Dispersion centre line and limits.
      if (!dispUser) {
        t(RowDispCL, p) = centre;
        t(RowDispLCL, p) = d.LCL;
        t(RowDispUCL, p) = d.UCL;
        t(RowDispSigma, p) = dispLimits ? d.Sigma : MissingValue;
      }
      // 8. Process sigma.
      if (sigmaFromDispersion) {
        t(RowProcessSigma, p) = dispSigma;
      } else {
        const double q = t(RowLocSigma, p);
        double sigma = MissingValue;
        if (Present(q)) {
          if (s.LocationChart == ChartMedian)
            sigma = n >= 2 ? q / std::sqrt(MedianVarFactor(n)) : q;
          else if (s.LocationChart == ChartMean)
            sigma = q * std::sqrt(static_cast<double>(n));
          else
            sigma = q;
        }
        t(RowProcessSigma, p) = sigma;
      }
    }
  }
  MinMaxColumns(t, count);
  return sigmaFromDispersion;
}

TSpecLimits& SpecLimits() {
  static TSpecLimits holder;
  return holder;
}

void SetSpecLimits(double lsl, double target, double usl) {
  TSpecLimits& h = SpecLimits();
  h = TSpecLimits{};
  h.LSL = lsl;
  h.Target = target;
  h.USL = usl;
  h.HasLSL = IsPresent(lsl);
  h.HasTarget = IsPresent(target);
  h.HasUSL = IsPresent(usl);
  h.LSLText = h.HasLSL ? FormatGeneral(lsl) : "";
  h.TargetText = h.HasTarget ? FormatGeneral(target) : "";
  h.USLText = h.HasUSL ? FormatGeneral(usl) : "";
  h.AnySpec = h.HasLSL || h.HasTarget || h.HasUSL;
  h.HasLimit = h.HasLSL || h.HasUSL;
  h.TwoSided = h.HasLSL && h.HasUSL;
  if (h.TwoSided) h.SpecWidth = usl - lsl;
  // Ordered when a present pair is in order; a lone limit (with or without a target on its
  // right side) is ordered too.
  h.SpecsOrdered = (h.TwoSided && usl > lsl) || (h.HasTarget && h.HasLSL && target > lsl) ||
                   (h.HasUSL && h.HasTarget && usl > target) ||
                   (h.HasLimit && !h.TwoSided && !h.HasTarget);
}

}  // namespace sorvel
