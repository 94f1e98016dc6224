#include "quality/control_limits.h"

#include <climits>
#include <cmath>
#include <functional>

#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/specfunc.h"
#include "quality/chart_constants.h"

namespace sorvel {

namespace {

constexpr int UnknownSource = 2;  // any other positive status prints " Error"

// Process sigma of the X-Bar, Median, R, s and s² charts from the statistic of a source.
// Returns false for a source the chart does not have.
bool SigmaOfSource(TChartType chart, int source, double statistic, int n, double& sigma) {
  const bool location = chart == TChartType::XBar || chart == TChartType::Median;
  switch (source) {
    case 1: sigma = SigmaFromRange(statistic, n); return true;
    case 2: sigma = SigmaFromMedianRange(statistic, n); return true;
    case 3: sigma = SigmaFromS(statistic, n); return true;
    case 4: sigma = SigmaFromMedianS(statistic, n); return true;
    case 5: sigma = std::sqrt(statistic); return true;
    default: break;
  }
  if (!location) {
    if (source != 6) return false;
    sigma = statistic;
    return true;
  }
  // The spread of the plotted means or medians themselves: back to the process sigma.
  const double back = chart == TChartType::XBar ? std::sqrt(static_cast<double>(n))
                                                : 1 / std::sqrt(MedianVarFactor(n));
  switch (source) {
    case 6: sigma = back * SigmaFromRange(statistic, 2); return true;
    case 7: sigma = back * SigmaFromMedianRange(statistic, 2); return true;
    case 8: sigma = back * statistic; return true;
    case 9: sigma = statistic; return true;
    default: return false;
  }
}

// The smallest count i >= lo with upper(i) = P(X >= i) < e, walking from a guess; upper
// falls with i. Returns false when even upper(hi) is not below e. The walk never leaves
// lo .. hi, so a guess below zero or past n cannot run away.
bool SmallestBelow(const std::function<double(double)>& upper, double e, double guess, double lo,
                   double hi, double& found) {
  double i = std::clamp(guess, lo, hi);
  if (upper(i) < e) {
    while (i > lo && upper(i - 1) < e) i -= 1;
  } else {
    while (i < hi && upper(i) >= e) i += 1;
    if (upper(i) >= e) return false;
  }
  found = i;
  return true;
}

// The largest count i in 0 .. hi with lower(i) = P(X < i) < e (lower(0) = 0).
double LargestBelow(const std::function<double(double)>& lower, double e, double guess, double hi) {
  double i = std::clamp(guess, 0.0, hi);
  if (lower(i) < e) {
    while (i < hi && lower(i + 1) < e) i += 1;
  } else {
    while (i > 0 && lower(i) >= e) i -= 1;
  }
  return i;
}

int Attribute(TChartType chart, int method, double statistic, double k, double n, double e,
              TControlLimits& out) {
  int status = ControlOk;
  const bool binomial = chart == TChartType::P || chart == TChartType::NP;
  if (binomial) {
    const double p = chart == TChartType::P ? statistic : statistic / n;
    if (p >= 1) return SizeOutsideTable;
    const double se = p > 0 ? std::sqrt(p * (1 - p) / n) : 0;
    const double uclApprox = p + k * se, lclApprox = p - k * se;
    out.Centre = p;
    out.Sigma = se;
    if (method == ApproximateMethod) {
      out.UCL = uclApprox;
      if (out.UCL >= 1) {
        out.UCL = 1;
        status = NoUpperLimit;
      }
      out.LCL = lclApprox;
      if (out.LCL <= 0) {
        out.LCL = 0;
        status = NoLowerLimit;
      }
    } else {
      const double q = 1 - p;
      // P(X >= i) and P(X < i) of Binomial(n, p), each side computed directly.
      auto upper = [&](double i) {
        if (i <= 0) return 1.0;
        if (i > n) return 0.0;
        return IncompleteBeta(i, n - i + 1, p, q).Lower;
      };
      auto lower = [&](double i) {
        if (i <= 0) return 0.0;
        if (i > n) return 1.0;
        return IncompleteBeta(i, n - i + 1, p, q).Upper;
      };
      double i = 0;
      if (SmallestBelow(upper, e, std::trunc(n * uclApprox), 0, n, i)) {
        out.UCL = (i - 0.5) / n;
      } else {
        out.UCL = 1;
        status = NoUpperLimit;
      }
      i = LargestBelow(lower, e, std::trunc(n * std::max(lclApprox, 0.0)), n);
      if (i > 0) {
        out.LCL = (i - 0.5) / n;
      } else {
        out.LCL = 0;
        status = NoLowerLimit;
      }
    }
    if (chart == TChartType::NP) {
      out.Centre *= n;
      out.UCL *= n;
      out.LCL *= n;
      out.Sigma *= n;
    }
    return status;
  }

  // c and u: the expected count in n units (n may be a fraction of a unit).
  if (n <= 0) return ZeroSampleSize;
  const double mu = chart == TChartType::C ? statistic : statistic * n;
  const double se = std::sqrt(mu);
  const double uclApprox = mu + k * se, lclApprox = mu - k * se;
  out.Centre = mu;
  out.Sigma = se;
  if (method == ApproximateMethod) {
    out.UCL = uclApprox;
    out.LCL = lclApprox;
    if (out.LCL <= 0) {
      out.LCL = 0;
      status = NoLowerLimit;
    }
  } else {
    auto upper = [&](double i) { return i <= 0 ? 1.0 : IncompleteGamma(i, mu).Lower; };
    auto lower = [&](double i) { return i <= 0 ? 0.0 : IncompleteGamma(i, mu).Upper; };
    const double far = std::max(1e6, 1e3 * uclApprox);
    double i = 0;
    SmallestBelow(upper, e, std::trunc(uclApprox), 0, far, i);
    out.UCL = i - 0.5;
    i = LargestBelow(lower, e, std::max(std::trunc(lclApprox), 1.0), far);
    if (i > 0) {
      out.LCL = i - 0.5;
    } else {
      out.LCL = 0;
      status = NoLowerLimit;
    }
  }
  if (chart == TChartType::U) {
    out.Centre /= n;
    out.UCL /= n;
    out.LCL /= n;
    out.Sigma /= n;
  }
  return status;
}

int Compute(TChartType chart, int source, double statistic, double k, double n,
            TControlLimits& out) {
  // A negative statistic or multiplier is as meaningless as 0.
  if (!(statistic > 0) || !(k > 0)) return ZeroStatistic;
  const bool units = chart == TChartType::C || chart == TChartType::U;
  const double size = units ? n : std::round(n);
  const bool needsSize = !units && !(chart == TChartType::X && source == KnownSigmaSourceX);
  if (needsSize) {
    if (size < 1) return ZeroSampleSize;
    if (size < 2) return SampleSizeTooSmall;
  }
  const int ni = size >= INT_MAX ? INT_MAX : size < 0 ? 0 : static_cast<int>(size);
  const double e = NormalTailExact(k, 1);
  out.UCL = out.LCL = 0;

  switch (chart) {
    case TChartType::XBar:
    case TChartType::Median: {
      double sigma = 0;
      if (!SigmaOfSource(chart, source, statistic, ni, sigma)) return UnknownSource;
      const double se = chart == TChartType::XBar ? sigma / std::sqrt(static_cast<double>(ni))
                                                  : MedianSE(sigma, ni);
      out.UCL = out.Centre + k * se;
      out.LCL = out.Centre - k * se;
      out.Sigma = sigma;
      return ControlOk;
    }
    case TChartType::X: {
      double sigma = 0;
      switch (source) {
        case 1: sigma = SigmaFromRange(statistic, ni); break;
        case 2: sigma = SigmaFromMedianRange(statistic, ni); break;
        case 3: sigma = SigmaFromS(statistic, ni); break;
        case KnownSigmaSourceX: sigma = statistic; break;
        default: return UnknownSource;
      }
      out.UCL = out.Centre + k * sigma;
      out.LCL = out.Centre - k * sigma;
      out.Sigma = sigma;
      return ControlOk;
    }
    case TChartType::R:
    case TChartType::S:
    case TChartType::S2: {
      double sigma = 0;
      if (!SigmaOfSource(chart, source, statistic, ni, sigma)) return UnknownSource;
      out.Sigma = sigma;
      if (chart == TChartType::S2) {
        const double df = ni - 1.0;
        const double v = sigma * sigma / df;
        out.Centre = v * ChiSqQuantile(0.5, df, TTails::Upper);
        out.UCL = v * ChiSqQuantile(e, df, TTails::Upper);
        out.LCL = v * ChiSqQuantile(e, df, TTails::Lower);
        return ControlOk;
      }
      double sd = 0;
      if (chart == TChartType::R) {
        out.Centre = sigma * ConstD2(ni);
        sd = RangeSD(sigma, ni);
      } else {
        const double c4 = ConstC4(ni);
        out.Centre = sigma * c4;
        sd = sigma * std::sqrt(1 - c4 * c4);
      }
      out.UCL = out.Centre + k * sd;
      out.LCL = out.Centre - k * sd;
      if (out.LCL <= 0) {
        out.LCL = 0;
        return NoLowerLimit;
      }
      return ControlOk;
    }
    case TChartType::P:
    case TChartType::NP:
    case TChartType::C:
    case TChartType::U: return Attribute(chart, source, statistic, k, units ? n : ni, e, out);
  }
  return UnknownSource;
}

}  // namespace

int CalcControlLimits(TChartType chart, int sigmaSource, double statistic, double k, double n,
                      TControlLimits& limits) {
  StatError = 0;
  const int status = Compute(chart, sigmaSource, statistic, k, n, limits);
  StatError = status;
  return status;
}

}  // namespace sorvel
