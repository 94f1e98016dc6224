#include "numerics/specfunc.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "numerics/common.h"

namespace sorvel {

namespace {

constexpr double MaxDouble = 1.7976931348623157e308;

// ln(i!) for i = 0..170, filled on first use; empty until then.
std::vector<double>& LogFactorialTable() {
  static std::vector<double> table;
  return table;
}

// The series and the continued fraction of the incomplete gamma function need a number of
// terms growing like sqrt(a) when x is near a; 100 terms stop being enough from a ~ 230.
int GammaIterationLimit(double a) {
  const double root = a > 0 ? std::sqrt(std::min(a, 1e8)) : 0.0;
  return 100 + static_cast<int>(10.0 * root);
}

}  // namespace

// Lanczos series as in Numerical Recipes (1st ed.) gammln.
double GammaLn(double x) {
  if (x <= 0 || x == 1) return 0;
  const double y = x < 1 ? x : x - 1;
  const double s = 1 + 76.18009173 / (y + 1) - 86.50532033 / (y + 2) + 24.01409822 / (y + 3) -
                   1.231739516 / (y + 4) + 0.00120858003 / (y + 5) - 0.536382e-5 / (y + 6);
  const double t = y + 5.5;
  double result = (y + 0.5) * std::log(t) - t + std::log(2.50662827465 * s);
  // For x < 1 the series gave ln Gamma(x + 1); Gamma(x) = Gamma(x + 1) / x.
  if (x < 1) result -= std::log(x);
  return result;
}

double FactorialLn(double n) {
  if (n > 170) return GammaLn(n + 1);
  if (!(n >= 0)) return 0;  // no factorial; ln(0!) keeps callers finite
  auto& table = LogFactorialTable();
  if (table.empty()) {
    table.reserve(301);
    double factorial = 1;
    table.push_back(0);
    for (int i = 1; i <= 170; ++i) {
      factorial *= i;
      table.push_back(std::log(factorial));
    }
  }
  return table[static_cast<std::size_t>(std::lround(n))];
}

// Numerical Recipes gser: series for P(a, x).
double GSER(double a, double x) {
  const double gln = GammaLn(a);
  if (x <= 0) return 0;
  const int limit = GammaIterationLimit(a);
  double ap = a;
  double del = 1 / a;
  double sum = del;
  for (int n = 1;; ++n) {
    ap += 1;
    del *= x / ap;
    sum += del;
    if (n >= limit) {
      StatWarning("- GSER routine");
      return 0;
    }
    if (std::fabs(del) < std::fabs(sum) * 3e-10) break;
  }
  return sum * std::exp(-x + a * std::log(x) - gln);
}

// Numerical Recipes (1st ed.) gcf: continued fraction for Q(a, x), renormalised each step.
double GCF(double a, double x) {
  const double gln = GammaLn(a);
  const int limit = GammaIterationLimit(a);
  double gold = 0, g = 0, fac = 1;
  double a0 = 1, a1 = x, b0 = 0, b1 = 1;
  for (int n = 1;; ++n) {
    const double an = n;
    const double ana = an - a;
    a0 = (a1 + a0 * ana) * fac;
    b0 = (b1 + b0 * ana) * fac;
    const double anf = an * fac;
    a1 = x * a0 + anf * a1;
    b1 = x * b0 + anf * b1;
    if (a1 != 0) {
      fac = 1 / a1;
      g = b1 * fac;
      if (n >= limit) break;
      if (std::fabs((g - gold) / g) < 3e-10) return std::exp(-x + a * std::log(x) - gln) * g;
      gold = g;
    } else if (n >= limit) {
      break;
    }
  }
  StatWarning("- GCF routine");
  return 0;
}

double GAMMP(double a, double x) {
  if (x < 0 || a <= 0) {
    StatWarning("- GAMMP routine");
    return 0;
  }
  if (x < a + 1) return GSER(a, x);
  return 1 - GCF(a, x);
}

// Numerical Recipes (1st ed.) betacf: continued fraction for the incomplete beta function.
double BETACF(double a, double b, double x) {
  double am = 1, bm = 1, az = 1;
  const double qab = a + b;
  const double qap = a + 1;
  const double qam = a - 1;
  double bz = 1 - qab * x / qap;
  for (int m = 1; m <= 10000; ++m) {
    const double em = m;
    const double tem = 2.0 * m;
    double d = em * (b - em) * x / ((qam + tem) * (a + tem));
    const double ap = az + d * am;
    const double bp = bz + d * bm;
    d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
    const double app = ap + d * az;
    const double bpp = bp + d * bz;
    const double aold = az;
    am = ap / bpp;
    bm = bp / bpp;
    az = app / bpp;
    bz = 1;
    if (std::fabs(az - aold) < 3e-7 * std::fabs(az)) return az;
  }
  StatWarning("- BETACF routine");
  return az;
}

double BetaI(double a, double b, double x) {
  if (x < 0 || x > 1) {
    StatError = 99;
    return 0;
  }
  double bt = 0;
  if (x != 0 && x != 1) {
    const double e = GammaLn(a + b) - GammaLn(a) - GammaLn(b) + a * std::log(x) + b * std::log(1 - x);
    bt = e < -10000 ? 0 : std::exp(e);
  }
  if (a > 0 && (x < (a + 1) / (a + b + 2) || b == 0)) return bt * BETACF(a, b, x) / a;
  return 1 - bt * BETACF(b, a, 1 - x) / b;
}

double RealPower(double x, double y) {
  if (y == 0) return 1;
  if (x == 0 && y > 0) return 0;
  if (std::trunc(y) == y && std::fabs(y) <= 2147483647.0) {
    // Whole exponent: repeated squaring, which also serves negative bases.
    if (x == 0) return MaxDouble;  // 0 to a negative power: the same cap as an overflow
    long long n = static_cast<long long>(std::fabs(y));
    double base = y < 0 ? 1 / x : x;
    double result = 1;
    while (n > 0) {
      if (n & 1) result *= base;
      base *= base;
      n >>= 1;
    }
    return result;
  }
  if (x < 0) return 0;
  const double w = y * std::log(x);
  if (w < std::log(5e-324)) return 0;
  if (w > std::log(MaxDouble)) return MaxDouble;
  return std::exp(w);
}

double FisherZ(double r) { return 0.5 * std::log((1 + r) / (1 - r)); }

double TanH(double x) {
  // Beyond |x| = 20 the quotient is +-1 to double precision, and e^(2x) would overflow
  // from x ~ 355 and give inf/inf.
  if (x > 20) return 1;
  if (x < -20) return -1;
  const double e = std::exp(2 * x);
  return (e - 1) / (e + 1);
}

double SinH(double x) { return (std::exp(x) - std::exp(-x)) / 2; }

double ArcSinH(double x) { return std::log(x + std::sqrt(x * x + 1)); }

double ArcCosH(double x) { return x >= 1 ? std::log(x + std::sqrt(x * x - 1)) : 0; }

double SignOf(double x) { return x < 0 ? -1 : 1; }

double Log10Of(double x) { return x > 0 ? std::log10(x) : 99; }

double PowerOf10(int n) {
  double result = 1;
  for (int i = 0; i < n; ++i) result *= 10;
  for (int i = 0; i > n; --i) result /= 10;
  return result;
}

double MinReal(double a, double b) { return a < b ? a : b; }
double MaxReal(double a, double b) { return a > b ? a : b; }
int MinInt(int a, int b) { return a < b ? a : b; }
int MaxInt(int a, int b) { return a > b ? a : b; }

double SDFromSums(double n, double sum, double sumSq) {
  const double v = VarFromSums(n, sum, sumSq);
  return v < 0 ? 0 : std::sqrt(v);
}

double VarFromSums(double n, double sum, double sumSq) {
  // One value has no spread to estimate: 0 rather than 0/0.
  if (n <= 1) return 0;
  return (sumSq - sum * sum / n) / (n - 1);
}

void ResetSpecialFunctionsState() {
  auto& table = LogFactorialTable();
  table.clear();
  table.shrink_to_fit();
}

}  // namespace sorvel
