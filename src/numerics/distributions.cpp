#include "numerics/distributions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <limits>
#include <random>

#include "numerics/common.h"

namespace sorvel {

double LibraryAlpha = 0;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double InvSqrt2Pi = 0.3989422804014327;

// A tail area leaves here in 0..1: rounding in a difference such as 0.5 - m must not
// produce -5e-16 (printed "-0.000") or a negative zero. NaN is passed on as it is.
double Clamp01(double a) {
  if (a > 1) return 1;
  if (a > 0) return a;
  if (a <= 0) return 0;
  return a;
}

bool IsWhole(double x) { return std::floor(x) == x; }

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

// P(Z > z) to full relative precision in both tails: erfc at z/sqrt 2, corrected to first
// order for the rounding of that argument, which the tail magnifies by about z^2.
double NormalUpper(double z) {
  constexpr double SqrtHalf = 0.70710678118654752440;
  constexpr double Sqrt2Hi = 1.4142135623730951, Sqrt2Lo = -9.667293313452913e-17;
  constexpr double TwoOverSqrtPi = 1.1283791670955125739;
  const double y = z * SqrtHalf;
  const double rounding = -(std::fma(y, Sqrt2Hi, -z) + y * Sqrt2Lo) * SqrtHalf;  // exact - y
  return 0.5 * (std::erfc(y) - rounding * TwoOverSqrtPi * std::exp(-y * y));
}

struct TRandomState {
  std::mt19937_64 Engine{static_cast<std::uint64_t>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count())};
  bool HaveSpare = false;
  double Spare = 0;
};

TRandomState& RandomState() {
  static TRandomState state;
  return state;
}

}  // namespace

double TailFold(double a, int tail) {
  if (tail != 2) return a;
  const double b = 2 * a;
  return b > 1 ? 2 - b : b;
}

double TailToUpper(double p, int tail) {
  p = std::fabs(p);
  if (tail == 2) p = p <= 0.5 ? p / 2 : (p + 1) / 2;
  return p;
}

// Abramowitz & Stegun 26.2.17.
double NormalTail(double z, int tail) {
  const double az = std::fabs(z);
  double a = 0;
  if (az <= 8) {
    const double d = 1 / (1 + 0.2316419 * az);
    a = 0.3989422804 * std::exp(-z * z / 2) * d *
        (0.31938153 +
         d * (-0.356563782 + d * (1.781477937 + d * (-1.821255978 + d * 1.330274429))));
  }
  if (tail != 2 && z <= 0) a = 1 - a;
  return Clamp01(TailFold(a, tail));
}

// The exact normal tail through erfc. The power series of the integral from 0 to z
// (Abramowitz & Stegun 26.2.11) gave the upper area as 0.5 minus a sum near 0.5, which
// left only absolute accuracy: 7.2e-16 instead of 6.2e-16 at z = 8.
double NormalTailExact(double z, int tail) {
  if (tail != 2 && z < -8.6) return 1;
  if (std::fabs(z) > 8.6) return 0;
  // Two tails straight from the smaller one: folding 1 - tiny would cancel.
  if (tail == 2) return Clamp01(2 * NormalUpper(std::fabs(z)));
  return Clamp01(NormalUpper(z));
}

double TTail(double t, double df, int tail) {
  const double at = std::fabs(t);
  double b;  // two-tailed area
  if (!(df > 0)) {
    b = 1;  // no degrees of freedom, no evidence
  } else if (df <= 30 && IsWhole(df)) {
    // Abramowitz & Stegun 26.7.3 / 26.7.4.
    const int n = static_cast<int>(df);
    const double theta = std::atan(at / std::sqrt(df));
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    double h;
    if (n == 1) {
      h = 2 * theta / Pi;
    } else {
      const bool odd = n % 2 == 1;
      double k = odd ? 2 : 1;
      double j = odd ? 3 : 2;
      double r = odd ? c * c * c : c * c;
      double acc = odd ? c : 1;
      double u = k, v = j;
      while (n > j) {
        k += 2;
        j += 2;
        acc += u * r / v;
        u *= k;
        v *= j;
        r *= c * c;
      }
      h = s * acc;
      if (odd) h = (theta + h) * 2 / Pi;
    }
    b = std::max(0.0, 1 - h);
  } else if (df <= 30) {
    // Fractional df (Welch): the expansion below is only good for large df, so the
    // incomplete beta form of the t distribution, I_x(df/2, 1/2) with x = df/(df + t^2).
    b = BetaI(df / 2, 0.5, df / (df + t * t));
  } else {
    // Asymptotic expansion of the t tail in powers of 1/df.
    const double d = t * t;
    if (d > 1000) {
      b = 0;
    } else if (at < 5e-5) {
      b = 1;
    } else {
      const double d2 = d * d, d3 = d2 * d, d4 = d3 * d, d5 = d4 * d, d6 = d5 * d, d7 = d6 * d,
                   d8 = d7 * d, d9 = d8 * d;
      const double p1 = (d + 1) / 4;
      const double p2 = (3 * d3 - 7 * d2 - 5 * d - 3) / 96;
      const double p3 = (d5 - 11 * d4 + 14 * d3 + 6 * d2 - 3 * d - 15) / 384;
      const double p4 =
          (15 * d7 - 375 * d6 + 2225 * d5 - 2141 * d4 - 939 * d3 - 213 * d2 - 915 * d + 945) /
          92160;
      const double p5 = (3 * d9 - 133 * d8 + 1764 * d7 - 7516 * d6 + 5994 * d5 + 2490 * d4 +
                         1140 * d3 + 180 * d2 + 5355 * d + 17955) /
                        368640;
      const double e = p1 / df + p2 / (df * df) + p3 / (df * df * df) + p4 / (df * df * df * df) +
                       p5 / (df * df * df * df * df);
      b = 2 * (NormalTail(at, 1) + at * e * std::exp(-d / 2) * InvSqrt2Pi);
    }
  }
  return Clamp01(TailFold(b / 2, tail));
}

double ChiSqTail(double x, double df, int tail) {
  double area;
  if (x <= 0 || df <= 0) {
    area = 1;
  } else if (df == 1) {
    area = 2 * NormalUpper(std::sqrt(x));
  } else if (df <= 30 && !IsWhole(df)) {
    // The finite series below only exists for whole df.
    area = 1 - GAMMP(df / 2, x / 2);
  } else if (df <= 30) {
    // Abramowitz & Stegun 26.4.4 (odd df) and 26.4.5 (even df).
    const int n = static_cast<int>(df);
    // The sums are below e^(x/2), so up to x = 1400 neither they nor e^(-x/2) leave the
    // range of a double. Beyond, the series is summed from its largest (last) term down
    // and that term is scaled in logarithms: once the sum overflowed to infinity and was
    // multiplied by e^(-x/2) = 0, giving NaN.
    const bool huge = x > 1400;
    if (n % 2 == 1) {
      const double sx = std::sqrt(x);
      const int extra = (n - 1) / 2 - 1;
      double series;
      if (!huge) {
        double term = sx, g = sx;
        for (int i = 1; i <= extra; ++i) {
          term *= x / (2 * i + 1);
          g += term;
        }
        series = std::sqrt(0.6366197723675814) * std::exp(-x / 2) * g;
      } else {
        double logLast = 0.5 * std::log(x) - x / 2, ratio = 1, g = 1;
        for (int i = extra; i >= 1; --i) {
          logLast += std::log(x / (2 * i + 1));
          ratio *= (2 * i + 1) / x;
          g += ratio;
        }
        series = std::sqrt(0.6366197723675814) * std::exp(logLast) * g;
      }
      area = 2 * NormalUpper(sx) + series;
    } else {
      const int last = (n - 2) / 2;
      if (!huge) {
        double term = 1, sum = 1;
        for (int i = 1; i <= last; ++i) {
          term *= x / 2 / i;
          sum += term;
        }
        area = std::exp(-x / 2) * sum;
      } else {
        double logLast = -x / 2, ratio = 1, sum = 1;
        for (int i = last; i >= 1; --i) {
          logLast += std::log(x / 2 / i);
          ratio *= i / (x / 2);
          sum += ratio;
        }
        area = std::exp(logLast) * sum;
      }
    }
  } else {
    // Peizer & Pratt (1968) normal approximation.
    const double m = df - 1;
    const double diff = x - m;
    // m ln(m/x) + x - m = m (u - ln(1 + u)) with u = (x - m)/m, evaluated without the
    // cancellation that makes the literal form negative or noisy next to x = m.
    double radicand = 0;
    if (diff != 0) {
      const double u = diff / m;
      double w;
      if (std::fabs(u) < 1e-3) {
        w = u * u * (0.5 - u * (1.0 / 3 - u * (0.25 - u * (0.2 - u / 6))));
      } else {
        w = u - std::log1p(u);
      }
      radicand = m * w;
    }
    double z;
    if (radicand > 0) {
      z = (x - df - 0.08 / df + 2.0 / 3) * std::sqrt(radicand) / std::fabs(diff);
    } else {
      z = -(0.08 / df + 1.0 / 3) / std::sqrt(2 * df - 2);
    }
    area = NormalTail(z, 1);
  }
  if (tail == 2 && area > 0.5) area = 1 - area;
  return Clamp01(TailFold(area, tail));
}

double FTail(double f, double df1, double df2, int tail) {
  double area;
  if (f <= 0) {
    area = 1;  // every F is above: the branches below would read |F| or leave 0..1
  } else if (df1 == 1) {
    area = TTail(std::sqrt(std::fabs(f)), df2, 2);
  } else if (df2 == 1 && df1 > 1) {
    area = 1 - TTail(std::sqrt(std::fabs(1 / f)), df1, 2);
  } else {
    area = BetaI(df2 / 2, df1 / 2, df2 / (df2 + df1 * f));
  }
  if (area < 0) area = 0;
  if (tail == 2 && area > 0.5) area = 1 - area;
  return Clamp01(TailFold(area, tail));
}

// Noncentral F as a Poisson mixture of central incomplete beta functions.
double NoncentralFTail(double f, double df1, double df2, double lambda) {
  // Beyond any practical noncentrality the distribution has moved past every F.
  if (lambda > 1e12) return 1;
  const double y = df1 * f / (df2 + df1 * f);
  const double half = lambda > 0 ? lambda / 2 : 0;
  // The Poisson weights peak at j = floor(lambda/2); the series may only stop on the far
  // side of the peak, where both the weights and the beta factors fall. Weights more than
  // 40 standard deviations below the peak are under e^-800 and are skipped.
  const double mode = std::floor(half);
  const auto first =
      static_cast<long long>(std::max(0.0, std::floor(mode - 40 * std::sqrt(mode + 1))));
  double sum = 0;
  for (long long j = first;; ++j) {
    double weight;
    if (half == 0) {
      weight = j == 0 ? 1 : 0;
    } else {
      weight = std::exp(-half + j * std::log(half) - FactorialLn(j));
    }
    const double term = weight * BetaI(df1 / 2 + j, df2 / 2, y);
    sum += term;
    if (j >= 1 && j >= mode && term < 1e-20) break;
    if (j > mode + 1e6) break;  // weights are far below 1e-20 long before this
  }
  return Clamp01(1 - sum);
}

// AS 190 (Lund & Lund 1983): probability that the studentized range is below q, by
// Gauss-type quadrature on a grid over the normal and the chi variables.
//
// Two refinements of the published settings, both of the kind its authors name for more
// accuracy. The published cut-offs (3e-5 for a node, 1e-4 for a row) drop 1e-4 to 8e-4 of
// the mass: rows and nodes are left out once their terms fall below them, and for many
// means or a small q the terms start small and grow. Here a row or a node ends only where
// its terms are zero. The finer grid (half the step, twice the node and row limits)
// carries this to df 1 and 2, where the published grid is up to 1e-3 off with 20 or more
// means. Against the exact integral the result is within 4e-5 for df 1 to 3 and within
// 1e-5 from df 4 up; df above 120 is still taken as infinite.
double RangeTail(double q, double df, double r) {
  if (r < 2) {
    StatError = 1;
    return 0;
  }
  if (q <= 0 || df <= 0) return 1;

  constexpr double pcutj = 0, pcutk = 0, step = 0.45 / 2, vmax = 120;
  constexpr double cv1 = 0.193064705, cv2 = 0.293525326, cvmax = 0.39894228;
  constexpr double cv[4] = {0.318309886, -0.00268132716, 0.00347222222, 0.0833333333};
  constexpr int jmin = 2 * 3, jmax = 2 * 15, kmin = 2 * 7, kmax = 2 * 15;

  auto upper = [](double z) { return NormalTail(z, 1); };

  // Nodes of the chi variable, computed once and reused for every row (1-based, two halves).
  double vw[2 * jmax + 1] = {};
  double qw[2 * jmax + 1];
  for (double& w : qw) w = -1;

  const double g = step * std::pow(r, -0.2);
  const double gmid = 0.5 * std::log(r);
  const double r1 = r - 1;
  double c = std::log(r * g * cvmax);
  double h = 0;
  const bool finiteDf = df <= vmax;
  if (finiteDf) {
    h = step / std::sqrt(df);
    const double v2 = df * 0.5;
    if (df == 1) {
      c = cv1;
    } else if (df == 2) {
      c = cv2;
    } else {
      c = std::sqrt(v2) * cv[0] / (1 + ((cv[1] / v2 + cv[2]) / v2 + cv[3]) / v2);
    }
    c = std::log(c * r * g * h);
  }

  double prob = 0;
  double gstep = g;
  double pk1 = 1, pk2 = 1;
  for (int k = 1; k <= kmax; ++k) {
    gstep -= g;
    do {
      // Rows alternate above and below the midpoint: gmid, gmid + g, gmid - g, ...
      gstep = -gstep;
      const double gk = gmid + gstep;
      double pk = 0;
      if (!(pk2 <= pcutk && k > kmin)) {
        const double w0 = c - gk * gk * 0.5;
        const double pz = upper(gk);
        const double x = upper(gk - q) - pz;
        if (x > 0) pk = std::exp(w0 + r1 * std::log(x));
        if (finiteDf) {
          for (int half = 0; half < 2; ++half) {
            const int jump = half * jmax;
            const double hh = half == 0 ? h : -h;
            for (int j = 1; j <= jmax; ++j) {
              const int jj = j + jump;
              if (!(qw[jj] > 0)) {
                const double hj = hh * j;
                if (j < jmax) qw[jj + 1] = -1;
                const double ehj = std::exp(hj);
                qw[jj] = q * ehj;
                vw[jj] = df * (hj + 0.5 - ehj * ehj * 0.5);
              }
              double pj = 0;
              const double xj = upper(gk - qw[jj]) - pz;
              if (xj > 0) pj = std::exp(w0 + vw[jj] + r1 * std::log(xj));
              pk += pj;
              if (pj > pcutj) continue;
              if (jj > jmin || k > kmin) break;
            }
          }
        }
      }
      prob += pk;
      if (k > kmin && pk <= pcutk && pk1 <= pcutk) return Clamp01(1 - prob);
      pk2 = pk1;
      pk1 = pk;
    } while (gstep > 0);
  }
  return Clamp01(1 - prob);
}

double RefineQuantile(double target, double x, double df1, double df2, int kind) {
  const bool positiveSupport = kind == QuantileChiSq || kind == QuantileF;
  double c = 0;
  if (kind == QuantileT) {
    c = GammaLn((df1 + 1) / 2) - GammaLn(df1 / 2) - std::log(df1 * Pi) / 2;
  } else if (kind == QuantileChiSq) {
    c = -df1 * std::log(2.0) / 2 - GammaLn(df1 / 2);
  } else if (kind == QuantileF) {
    c = GammaLn((df1 + df2) / 2) - GammaLn(df1 / 2) - GammaLn(df2 / 2) + df1 / 2 * std::log(df1) +
        df2 / 2 * std::log(df2);
  }

  // 1e-10 on the area; in the far tails that is a coarse relative error (10% at 1e-9), so
  // below 1e-2 the tolerance follows the target.
  double tolerance = 1e-10;
  const double nearer = std::min(target, 1 - target);
  if (nearer > 0 && nearer < 1e-2) tolerance = nearer * 1e-8;

  bool haveLo = false, haveHi = false;
  double lo = 0, hi = 0;
  for (int iteration = 0; iteration < 1000; ++iteration) {
    if (positiveSupport && x <= 0) return 0;
    double area = 0, density = 0;
    switch (kind) {
      case QuantileT:
        // TTail works on |x|; the upper area of a negative x is 1 minus it.
        area = TTail(x, df1, 1);
        if (x < 0) area = 1 - area;
        density = std::exp(c - (df1 + 1) / 2 * std::log(1 + x * x / df1));
        break;
      case QuantileChiSq:
        area = ChiSqTail(x, df1, 1);
        density = std::exp(c + (df1 - 2) / 2 * std::log(x) - x / 2);
        break;
      case QuantileF:
        area = FTail(x, df1, df2, 1);
        density =
            std::exp(c + (df1 - 2) / 2 * std::log(x) - (df1 + df2) / 2 * std::log(df2 + df1 * x));
        break;
      case QuantileNormalExact:
        area = NormalTailExact(x, 1);
        density = InvSqrt2Pi * std::exp(-x * x / 2);
        break;
      default:
        area = NormalTail(x, 1);
        density = InvSqrt2Pi * std::exp(-x * x / 2);
        break;
    }
    const double F = target - area;
    // A converged point is the answer; stepping on could replace it by a bracket midpoint.
    if (std::fabs(F) < tolerance) return x;
    if (F > 0 && (!haveHi || x < hi)) {
      hi = x;
      haveHi = true;
    } else if (F < 0 && (!haveLo || x > lo)) {
      lo = x;
      haveLo = true;
    }
    double next = density != 0 ? x - F / density : x;
    // Zero is the lower end of a positive variable: a step through it halves x instead.
    if (positiveSupport && next <= 0 && !haveLo) next = x / 2;
    if (haveLo && next <= lo) next = haveHi ? (lo + hi) / 2 : (lo + x) / 2;
    if (haveHi && next >= hi) next = haveLo ? (lo + hi) / 2 : (hi + x) / 2;
    x = next;
    if (haveLo && haveHi && hi - lo < 1e-10) break;
  }
  return x;
}

// Start from Abramowitz & Stegun 26.2.23, then refine against NormalTail.
double NormalQuantile(double p, int tail) {
  p = TailToUpper(p, tail);
  if (p == 0.5) return 0;
  if (p <= 0) p = 1e-9;
  if (p >= 1) p = 0.999999999;
  const double q = p <= 0.5 ? p : 1 - p;
  // sqrt(ln(1/q^2)) written so that 1/q^2 cannot overflow (it did below q = 7.5e-155).
  const double w = std::sqrt(-2 * std::log(q));
  double z = w - (2.515517 + 0.802853 * w + 0.010328 * w * w) /
                     (1 + 1.432788 * w + 0.189269 * w * w + 0.001308 * w * w * w);
  // Beyond z = 8 the quick tail is 0 and the refinement has nothing to aim at (it ended
  // near 8.5 for q = 1e-20, whose quantile is 9.26): the exact tail is inverted instead.
  if (z > 8) {
    z = NormalQuantileExact(q, TTails::Upper);
    return p >= 0.5 ? -z : z;
  }
  if (p >= 0.5) z = -z;
  return RefineQuantile(p, z, 0, 0, QuantileNormal);
}

double NormalQuantileExact(double p, int tail) {
  p = TailToUpper(p, tail);
  const double start = NormalQuantile(p, 1);
  // Past |z| = 8 the start is already the inverse of the exact tail, which the guard of
  // NormalTailExact at 8.6 would only spoil.
  if (std::fabs(start) > 8) return start;
  return RefineQuantile(p, start, 0, 0, QuantileNormalExact);
}

// Start from the Cornish-Fisher expansion (Abramowitz & Stegun 26.7.5).
double TQuantile(double p, double df, int tail) {
  // Below one degree of freedom the t distribution still exists (TTail takes it through
  // BetaI); a quantile of 0 there would be a critical value of no use.
  if (!(df > 0)) return 0;
  p = TailToUpper(p, tail);
  if (p == 0.5) return 0;
  if (p <= 0) p = 1e-9;
  if (p >= 1) p = 0.999999999;
  double sign = 1;
  if (p > 0.5) {
    p = 1 - p;
    sign = -1;
  }
  const double z = -NormalQuantile(1 - p, 1);
  const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
  const double g1 = (z3 + z) / 4;
  const double g2 = (5 * z5 + 16 * z3 + 3 * z) / 96;
  const double g3 = (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / 384;
  const double g4 = (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / 92160;
  const double start =
      z + g1 / df + g2 / (df * df) + g3 / (df * df * df) + g4 / (df * df * df * df);
  return sign * RefineQuantile(p, start, df, 0, QuantileT);
}

// Start from Wilson & Hilferty (1931).
double ChiSqQuantile(double p, double df, int tail) {
  p = TailToUpper(p, tail);
  if (p <= 0) p = 1e-9;
  if (p >= 1) p = 0.999999999;
  if (df == 1) {
    const double z = NormalQuantile(p / 2, 1);
    return z * z;
  }
  if (!(df > 0)) return 0;
  const double d = 2 / (9 * df);
  const double z = -NormalQuantile(1 - p, 1);
  double x = df * std::pow(1 - d + z * std::sqrt(d), 3);
  if (!(x > 0)) {
    // Far in the lower tail Wilson-Hilferty fails; there P(X < x) ~ (x/2)^(df/2) / Gamma(df/2 + 1).
    x = 2 * std::exp(2 / df * (std::log(1 - p) + GammaLn(df / 2 + 1)));
    if (!(x > 0)) x = std::numeric_limits<double>::min();
  }
  return RefineQuantile(p, x, df, 0, QuantileChiSq);
}

double FQuantile(double p, double df1, double df2, int tail) {
  p = TailToUpper(p, tail);
  if (p <= 0) p = 1e-8;
  if (p >= 1) p = 0.99999999;
  double x = 1;
  double g = 3;
  // Geometric search for a start just past the quantile; the step bound only guards
  // against a probability that is not a number.
  if (FTail(1, df1, df2, 1) > p) {
    for (int i = 0; i < 10000; ++i) {
      x *= g;
      if (FTail(x, df1, df2, 1) < p) {
        if (g <= 1.004) break;
        x /= g;
        g = (g - 1) / 5 + 1;
      }
    }
  } else {
    for (int i = 0; i < 10000; ++i) {
      x /= g;
      if (FTail(x, df1, df2, 1) > p) {
        if (g <= 1.004) break;
        x *= g;
        g = (g - 1) / 5 + 1;
      }
    }
  }
  return RefineQuantile(p, x, df1, df2, QuantileF);
}

double RangeQuantile(double p, double df, double r) {
  if (p <= 0 || r <= 0) return 0;
  if (r == 1) return 2 * TQuantile(p / 2, df, 1);
  // Both searches are bounded: the quadrature's tail stops falling at a floor (6e-5 for
  // df 2, 1e-8 to 1e-6 for df 20), so a smaller p has no quantile to find; the search then
  // ends on the smallest q of the floor.
  constexpr int maxSteps = 64;
  double lo = 4;
  for (int i = 0; i < maxSteps && RangeTail(lo, df, r) < p; ++i) lo /= 2;
  double hi = lo;
  double hiTail = RangeTail(hi, df, r);
  for (int i = 0; i < maxSteps && hiTail > p; ++i) {
    // Once doubling q no longer lowers the tail, hi sits on AS 190's floor.
    const double nextTail = RangeTail(2 * hi, df, r);
    if (nextTail >= hiTail * (1 - 1e-3)) break;
    hi *= 2;
    hiTail = nextTail;
  }
  // Below the floor, aim just above it: the smallest q whose tail AS 190 cannot tell from it.
  const double target = hiTail > p ? hiTail * 1.01 : p;
  double mid = (lo + hi) / 2;
  for (int i = 0; i < 200 && std::fabs(lo - hi) >= 1e-8; ++i) {
    mid = (lo + hi) / 2;
    if (target < RangeTail(mid, df, r)) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return mid;
}

// ---- Tail areas and quantiles of the side asked ----

namespace {

bool ValidDf(double df) { return df > 0; }  // false for NaN too

// Both sides of the t at t >= 0 from I_x(df/2, 1/2) = P(|T| > t), x = df/(df + t^2);
// x and 1 - x are formed without overflow or cancellation.
TTwoSides TBetaArgument(double at, double df);
TTwoSides TSides(double at, double df) {
  if (at > 1e100 && df < 100) {
    // x = df/(df + t^2) would underflow; there I_x(df/2, 1/2) = x^(df/2) / (df/2 B(df/2, 1/2))
    // to far below rounding.
    const double a = df / 2;
    const double upper = 0.5 * std::exp(a * (std::log(df) - 2 * std::log(at)) - std::log(a) -
                                        std::lgamma(a) - std::lgamma(0.5) + std::lgamma(a + 0.5));
    return {1 - upper, upper};
  }
  const TTwoSides x = TBetaArgument(at, df);
  const TTwoSides beyond = IncompleteBeta(df / 2, 0.5, x.Lower, x.Upper);  // Lower = P(|T| > t)
  return {0.5 + beyond.Upper / 2, beyond.Lower / 2};                       // P(T < t), P(T > t)
}

// The t with more degrees of freedom than a double can tell from infinity is the normal.
constexpr double NormalLikeDf = 1e30;

TTwoSides FBetaArgument(double f, double df1, double df2);
TTwoSides FSides(double f, double df1, double df2) {
  const TTwoSides x = FBetaArgument(f, df1, df2);
  return IncompleteBeta(df1 / 2, df2 / 2, x.Lower, x.Upper);
}

double SideOf(const TTwoSides& s, TTails side) {
  switch (side) {
    case TTails::Lower: return s.Lower;
    case TTails::Upper: return s.Upper;
    default: return std::min(1.0, 2 * std::min(s.Lower, s.Upper));
  }
}

// Finds x > 0 where a monotone tail area equals p. Newton steps are taken on ln(area)
// against ln(x), which keeps tiny areas in relative terms and makes power-law tails
// (chi-square near 0, the t far out) nearly linear; a bracket catches wild steps.
// slope(x) = x |d area / dx|.
template <class Area, class Slope>
double SolvePositive(double p, bool rising, Area area, Slope slope, double x) {
  const double target = std::log(p);
  double lo = 0, hi = Infinity;
  for (int iteration = 0; iteration < 400; ++iteration) {
    const double a = area(x);
    if (a == p) return x;
    if ((a < p) == rising) {
      lo = x;
    } else {
      hi = x;
    }
    if (std::isfinite(hi) && hi - lo <= 4 * std::numeric_limits<double>::epsilon() * hi) {
      return lo + (hi - lo) / 2;
    }
    double next = NaN;
    const double s = slope(x);
    if (a > 0 && s > 0 && std::isfinite(s)) {
      const double step = (std::log(a) - target) * a / (rising ? s : -s);
      next = x * std::exp(-std::max(-30.0, std::min(30.0, step)));
      if (std::fabs(step) <= 2 * std::numeric_limits<double>::epsilon()) return next;
    }
    if (!(next > lo && next < hi)) {
      if (std::isinf(hi)) {
        next = x * 16;
      } else if (lo == 0) {
        next = x / 16;
      } else {
        next = std::sqrt(lo) * std::sqrt(hi);
      }
    }
    if (std::isinf(next)) return Infinity;  // the quantile lies beyond the largest double
    if (!(next > 0)) return x;
    x = next;
  }
  return x;
}

// Upper normal quantile for 0 < p < 0.5: start from Abramowitz & Stegun 26.2.23 on
// ln p, then Newton on the exact tail.
double NormalUpperQuantile(double p) {
  const double w = std::sqrt(-2 * std::log(p));
  const double start = w - (2.515517 + 0.802853 * w + 0.010328 * w * w) /
                               (1 + 1.432788 * w + 0.189269 * w * w + 0.001308 * w * w * w);
  return SolvePositive(
      p, false, [](double z) { return NormalUpper(z); },
      [](double z) { return z * InvSqrt2Pi * std::exp(-z * z / 2); }, std::max(start, 1e-3));
}

// P(X > x) = q for a distribution symmetric about 0; upper(q) serves 0 < q < 0.5.
template <class Upper>
double SymmetricUpper(double q, Upper upper) {
  if (q == 0) return Infinity;
  if (q == 1) return -Infinity;
  if (q == 0.5) return 0;
  if (q > 0.5) return -upper(1 - q);  // 1 - q is exact here
  return upper(q);
}

template <class Upper>
double SymmetricQuantile(double p, TTails side, Upper upper) {
  if (!(p >= 0 && p <= 1)) return NaN;
  if (side == TTails::Two) return SymmetricUpper(p / 2, upper);
  const double x = SymmetricUpper(p, upper);
  if (side == TTails::Upper) return x;
  return x == 0 ? 0 : -x;  // P(X < x) = p where P(X > -x) = p
}

// Quantile of a variable on (0, inf). The side holding at most 0.5 is solved (1 - p is
// exact for p >= 0.5), so a tiny p is never turned into 1 - p.
template <class Sides, class Slope, class Start>
double PositiveQuantile(double p, TTails side, Sides sides, Slope slope, Start start) {
  if (!(p >= 0 && p <= 1)) return NaN;
  bool lower = side == TTails::Lower;
  if (side == TTails::Two) p /= 2;
  if (p > 0.5) {
    p = 1 - p;
    lower = !lower;
  }
  if (p == 0) return lower ? 0 : Infinity;
  auto area = [&](double x) {
    const TTwoSides s = sides(x);
    return lower ? s.Lower : s.Upper;
  };
  // Of the starting guesses, the one whose area is nearest p in ratio.
  double best = NaN, distance = Infinity;
  for (const double x : start(p, lower)) {
    if (!(x > 0) || std::isinf(x)) continue;
    const double a = area(x);
    const double d = a > 0 ? std::fabs(std::log(a / p)) : Infinity;
    if (std::isnan(best) || d < distance) {
      best = x;
      distance = d;
    }
  }
  if (std::isnan(best)) best = 1;
  return SolvePositive(p, lower, area, slope, best);
}

// x = df/(df + t^2) and 1 - x for t >= 0, without overflow or cancellation.
TTwoSides TBetaArgument(double at, double df) {
  if (at * at > df) {
    const double r = df / at / at;
    return {r / (1 + r), 1 / (1 + r)};
  }
  const double r = at / df * at;
  return {1 / (1 + r), r / (1 + r)};
}

// The same for the F: x = df1 f/(df2 + df1 f) and 1 - x.
TTwoSides FBetaArgument(double f, double df1, double df2) {
  if (std::isinf(f)) return {1, 0};
  const double r = df1 * f / df2;
  if (r > 1) return {1 / (1 + 1 / r), (1 / r) / (1 + 1 / r)};
  return {r / (1 + r), 1 / (1 + r)};
}

}  // namespace

double NormalTailExact(double z, TTails side) {
  if (std::isnan(z)) return NaN;
  switch (side) {
    case TTails::Lower: return NormalUpper(-z);
    case TTails::Upper: return NormalUpper(z);
    default: return std::min(1.0, 2 * NormalUpper(std::fabs(z)));
  }
}

double TTail(double t, double df, TTails side) {
  if (std::isnan(t) || !ValidDf(df)) return NaN;
  if (df > NormalLikeDf) return NormalTailExact(t, side);
  const TTwoSides magnitude = TSides(std::fabs(t), df);  // P(T < |t|), P(T > |t|)
  if (side == TTails::Two) return std::min(1.0, 2 * magnitude.Upper);
  const bool aboveAsked = (side == TTails::Upper) == (t >= 0);
  return aboveAsked ? magnitude.Upper : magnitude.Lower;
}

double ChiSqTail(double x, double df, TTails side) {
  if (std::isnan(x) || !ValidDf(df)) return NaN;
  if (x <= 0) return SideOf({0, 1}, side);
  return SideOf(IncompleteGamma(df / 2, x / 2), side);
}

double FTail(double f, double df1, double df2, TTails side) {
  if (std::isnan(f) || !ValidDf(df1) || !ValidDf(df2)) return NaN;
  if (f <= 0) return SideOf({0, 1}, side);
  return SideOf(FSides(f, df1, df2), side);
}

double NormalQuantileExact(double p, TTails side) {
  return SymmetricQuantile(p, side, NormalUpperQuantile);
}

double TQuantile(double p, double df, TTails side) {
  if (!ValidDf(df)) return NaN;
  if (df > NormalLikeDf) return NormalQuantileExact(p, side);
  auto upper = [df](double q) {
    auto start = [df](double tail, bool) {
      // Cornish-Fisher (Abramowitz & Stegun 26.7.5), and the far tail, where
      // P(T > t) ~ (df/t^2)^(df/2) / (df B(df/2, 1/2)).
      const double z = NormalUpperQuantile(tail);
      const double z3 = z * z * z, z5 = z3 * z * z, z7 = z5 * z * z, z9 = z7 * z * z;
      const double cornishFisher =
          z + (z3 + z) / 4 / df + (5 * z5 + 16 * z3 + 3 * z) / 96 / (df * df) +
          (3 * z7 + 19 * z5 + 17 * z3 - 15 * z) / 384 / (df * df * df) +
          (79 * z9 + 776 * z7 + 1482 * z5 - 1920 * z3 - 945 * z) / 92160 / (df * df * df * df);
      const double logBeta = std::lgamma(df / 2) + std::lgamma(0.5) - std::lgamma(df / 2 + 0.5);
      const double farTail = std::sqrt(df) * std::exp(-(std::log(tail * df) + logBeta) / df);
      return std::array<double, 2>{cornishFisher, farTail};
    };
    return PositiveQuantile(
        q, TTails::Upper, [df](double t) { return TSides(t, df); },
        [df](double t) {
          // t times the density: x^(df/2) (1 - x)^(1/2) / B(df/2, 1/2) with x = df/(df + t^2).
          const TTwoSides x = TBetaArgument(t, df);
          return BetaPowerTerm(df / 2, 0.5, x.Lower, x.Upper);
        },
        start);
  };
  return SymmetricQuantile(p, side, upper);
}

double ChiSqQuantile(double p, double df, TTails side) {
  if (!ValidDf(df)) return NaN;
  const double k = df / 2;
  auto start = [df, k](double q, bool lower) {
    // Wilson & Hilferty (1931), and near 0, where P(X < x) ~ (x/2)^k / Gamma(k + 1).
    const double z = NormalUpperQuantile(q);
    const double d = 2 / (9 * df);
    const double wilsonHilferty = df * std::pow(1 - d + (lower ? -z : z) * std::sqrt(d), 3);
    const double nearZero = 2 * std::exp((std::log(q) + std::lgamma(k + 1)) / k);
    return std::array<double, 2>{wilsonHilferty, lower ? nearZero : NaN};
  };
  return PositiveQuantile(
      p, side, [k](double x) { return IncompleteGamma(k, x / 2); },
      [k](double x) { return GammaPowerTerm(k, x / 2); }, start);
}

double FQuantile(double p, double df1, double df2, TTails side) {
  if (!ValidDf(df1) || !ValidDf(df2)) return NaN;
  auto start = [](double, bool) { return std::array<double, 3>{1, 1e-3, 1e3}; };
  return PositiveQuantile(
      p, side, [df1, df2](double f) { return FSides(f, df1, df2); },
      [df1, df2](double f) {
        // f times the density: x^(df1/2) (1 - x)^(df2/2) / B(df1/2, df2/2).
        const TTwoSides x = FBetaArgument(f, df1, df2);
        return BetaPowerTerm(df1 / 2, df2 / 2, x.Lower, x.Upper);
      },
      start);
}

void ZPValue(double z, int alt, double& p) {
  if (alt == 0) {
    p = NormalTail(z, 2);
  } else if (alt == 1) {
    p = 1 - NormalTail(z, 1);
  } else {
    p = NormalTail(z, 1);
  }
}

void TPValue(double t, double df, int alt, double& p) {
  if (alt == 0) {
    p = TTail(t, df, 2);
    return;
  }
  p = alt == 1 ? 1 - TTail(t, df, 1) : TTail(t, df, 1);
  // TTail gives the area beyond |t|; for a negative t the signed one-sided area is the other.
  if (t < 0) p = 1 - p;
}

void CorrelatedMeansT(double mean1, double mean2, double s1, double s2, double r, double n, int alt,
                      double& t, double& p) {
  // Paired t-test: the differences of n pairs have variance s1^2 + s2^2 - 2 r s1 s2 and
  // n - 1 degrees of freedom.
  const double v = s1 * s1 + s2 * s2 - 2 * s1 * s2 * r;
  if (v > 0 && n > 1) {
    t = (mean1 - mean2) / std::sqrt(v / n);
    TPValue(t, n - 1, alt, p);
  } else {
    t = 0;
    p = NotAvailable;
  }
}

double UniformRandom() {
  // 53 random bits scaled into [0, 1).
  return static_cast<double>(RandomState().Engine() >> 11) * 0x1.0p-53;
}

void SeedRandom(std::uint64_t seed) {
  auto& state = RandomState();
  state.Engine.seed(seed);
  state.HaveSpare = false;
  state.Spare = 0;
}

TRandomSnapshot SaveRandomState() {
  const auto& state = RandomState();
  return {state.Engine, state.HaveSpare, state.Spare};
}

void RestoreRandomState(const TRandomSnapshot& snapshot) {
  auto& state = RandomState();
  state.Engine = snapshot.Engine;
  state.HaveSpare = snapshot.HaveSpare;
  state.Spare = snapshot.Spare;
}

// Marsaglia polar method.
double GaussRandom() {
  auto& state = RandomState();
  if (state.HaveSpare) {
    state.HaveSpare = false;
    return state.Spare;
  }
  double u, v, s;
  do {
    u = 2 * UniformRandom() - 1;
    v = 2 * UniformRandom() - 1;
    s = u * u + v * v;
  } while (s >= 1 || s == 0);
  const double f = std::sqrt(-2 * std::log(s) / s);
  state.Spare = u * f;
  state.HaveSpare = true;
  return v * f;
}

double NormalRandom(double mean, double sd) { return mean + sd * GaussRandom(); }

void ResetDistributionsState() {
  LibraryAlpha = 0;
  auto& state = RandomState();
  state.HaveSpare = false;
  state.Spare = 0;
  ResetSpecialFunctionsState();
}

}  // namespace sorvel
