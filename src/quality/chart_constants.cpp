#include "quality/chart_constants.h"

#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/specfunc.h"

namespace sorvel {

namespace {

constexpr int TableLast = 30;  // the tables cover n = 2 .. 30

constexpr std::array<double, 29> D2Table = {
    1.12838, 1.69257, 2.05875, 2.32593, 2.53441, 2.70436, 2.84720, 2.97003, 3.07751, 3.17287,
    3.25846, 3.33598, 3.40676, 3.47183, 3.53198, 3.58788, 3.64006, 3.68896, 3.73495, 3.77834,
    3.81938, 3.85832, 3.89535, 3.93063, 3.96432, 3.99654, 4.02741, 4.05704, 4.08552};

constexpr std::array<double, 29> D3Table = {
    0.8525, 0.8884, 0.8798, 0.8641, 0.8480, 0.8332, 0.8198, 0.8078, 0.7971, 0.7873,
    0.7785, 0.7704, 0.7630, 0.7562, 0.7499, 0.7441, 0.7386, 0.7335, 0.7287, 0.7242,
    0.7199, 0.7159, 0.7121, 0.7084, 0.7050, 0.7017, 0.6986, 0.6955, 0.6927};

constexpr std::array<double, 29> D2MedianTable = {
    0.9539, 1.5878, 1.9783, 2.2569, 2.4717, 2.6455, 2.7908, 2.9154, 3.0242, 3.1205,
    3.2069, 3.2850, 3.3562, 3.4217, 3.4821, 3.5383, 3.5907, 3.6398, 3.6859, 3.7294,
    3.7706, 3.8097, 3.8468, 3.8821, 3.9159, 3.9482, 3.9791, 4.0088, 4.0373};

// n = 2 .. 20. The entry of n = 5 is 0.2868336616 (R: integrate(function(x) x^2 *
// dbeta(pnorm(x), 3, 3) * dnorm(x), -Inf, Inf) = 0.286833661605871).
constexpr std::array<double, 19> MedianVarTable = {
    0.5,          0.4486711046, 0.2981996185, 0.2868336616, 0.2147426666,
    0.2104468615, 0.1681808552, 0.1661012814, 0.1383264359, 0.1371624335,
    0.1175161871, 0.116798995,  0.1021678368, 0.1016946521, 0.0903752113,
    0.0900465814, 0.0810285101, 0.0807909751, 0.0734370277};

// Integrated constants, one entry per size: charts whose subgroup sizes alternate must
// not integrate again at every point.
std::map<int, double>& D2Cache() {
  static std::map<int, double> cache;
  return cache;
}
std::map<int, double>& D3Cache() {
  static std::map<int, double> cache;
  return cache;
}
int integrations = 0;

// (1 - q)^n without the rounding of 1 - q.
double PowerOfComplement(double q, double n) { return std::exp(n * std::log1p(-q)); }

// d2 = 2 * integral over x >= 0 of 1 - Phi(x)^n - (1 - Phi(x))^n, trapezoids of 0.03 from
// x = 0 (integrand 1) until the first trapezoid below 1e-20, which is still added.
double IntegrateD2(int n) {
  ++integrations;
  constexpr double h = 0.03;
  const double dn = n;
  double sum = 0, previous = 1;
  for (int k = 1; k < 100000; ++k) {
    const double q = NormalTailExact(k * h, 1);
    const double f = -std::expm1(dn * std::log1p(-q)) - std::pow(q, dn);
    const double trapezoid = h * (previous + f) / 2;
    sum += trapezoid;
    if (trapezoid < 1e-20) break;
    previous = f;
  }
  return 2 * sum;
}

// d3 from E(W^2) = 2 * double integral over y < x of
// 1 - Phi(x)^n - (1 - Phi(y))^n + (Phi(x) - Phi(y))^n on the grid -6 .. 6 by 0.01, with Phi
// looked up in a table of upper tails at multiples of 0.01.
double IntegrateD3(int n) {
  ++integrations;
  constexpr int Half = 600;  // grid points from -6 to 6: j = 0 .. 1200, v = (j - 600)/100
  constexpr double h = 0.01;
  static std::vector<double> tail;  // tail[i] = upper normal tail at i * 0.01
  if (tail.empty()) {
    tail.resize(603);
    tail[0] = 0.5;
    for (int i = 1; i < 603; ++i) tail[static_cast<std::size_t>(i)] = NormalTailExact(i * h, 1);
  }
  const double dn = n;
  const int points = 2 * Half + 1;
  std::vector<double> phi(points), phiPow(points), complementPow(points);
  for (int j = 0; j < points; ++j) {
    const double t = tail[static_cast<std::size_t>(std::abs(j - Half))];
    const auto u = static_cast<std::size_t>(j);
    if (j < Half) {
      phi[u] = t;
      phiPow[u] = std::pow(t, dn);
      complementPow[u] = PowerOfComplement(t, dn);
    } else {
      phi[u] = 1 - t;
      phiPow[u] = PowerOfComplement(t, dn);
      complementPow[u] = std::pow(t, dn);
    }
  }
  double outer = 0, previousG = 0;  // G(-6) = 0
  for (int jx = 1; jx < points; ++jx) {
    const auto x = static_cast<std::size_t>(jx);
    double inner = 0, previous = 0;
    for (int jy = 0; jy <= jx; ++jy) {
      const auto y = static_cast<std::size_t>(jy);
      const double g = 1 - phiPow[x] - complementPow[y] + std::pow(phi[x] - phi[y], dn);
      if (jy > 0) inner += h * (previous + g) / 2;
      previous = g;
    }
    outer += h * (previousG + inner) / 2;
    previousG = inner;
  }
  const double d2 = ConstD2(n);
  const double variance = 2 * outer - d2 * d2;
  return variance > 0 ? std::sqrt(variance) : 0;
}

template <class F>
double Cached(std::map<int, double>& cache, int n, F compute) {
  auto it = cache.find(n);
  if (it != cache.end()) return it->second;
  const double value = compute(n);
  cache.emplace(n, value);
  return value;
}

double TooSmall() {
  StatError = SizeOutsideTable;
  return 0;
}

double Missing() {
  StatError = SizeOutsideTable;
  return MissingValue;
}

}  // namespace

const char* ControlStatusText(int status) {
  switch (status) {
    case SizeOutsideTable: return "Sample size outside table range";
    case ZeroSampleSize: return "Zero sample size";
    case SampleSizeTooSmall: return "Sample size must be larger than 1";
    case ZeroStatistic: return "Statistic = 0";
    default: return status > 0 ? " Error" : "";
  }
}

double ConstD2(int n) {
  if (n < 2) return TooSmall();
  if (n <= TableLast) return D2Table[static_cast<std::size_t>(n - 2)];
  return Cached(D2Cache(), n, IntegrateD2);
}

double ConstD3(int n) {
  if (n < 2) return TooSmall();
  if (n <= TableLast) return D3Table[static_cast<std::size_t>(n - 2)];
  return Cached(D3Cache(), n, IntegrateD3);
}

double ConstD2Median(int n) {
  if (n < 2) return TooSmall();
  if (n <= TableLast) return D2MedianTable[static_cast<std::size_t>(n - 2)];
  const double d = ConstD2(n);
  return ((((1.5678783e-05 * d - 0.00052043421) * d + 0.006798329575) * d - 0.043371568875) * d +
          1.135844528837) *
             d -
         0.215703930721;
}

double ConstC4(int n) {
  if (n < 2) return TooSmall();
  const double dn = n;
  return std::exp(0.5 * std::log(2 / (dn - 1)) + GammaLn(dn / 2) - GammaLn((dn - 1) / 2));
}

double MedianVarFactor(int n) {
  if (n < 2) return TooSmall();
  if (n <= 20) return MedianVarTable[static_cast<std::size_t>(n - 2)];
  return M_PI / (2.0 * n);  // the asymptotic variance of the median
}

double SigmaFromRange(double x, int n) { return n < 2 ? Missing() : x / ConstD2(n); }

double SigmaFromMedianRange(double x, int n) { return n < 2 ? Missing() : x / ConstD2Median(n); }

double SigmaFromS(double x, int n) { return n < 2 ? Missing() : x / ConstC4(n); }

double SigmaFromMedianS(double x, int n) {
  if (n < 2) return Missing();
  const double df = n - 1.0;
  return x * std::sqrt(df / ChiSqQuantile(0.5, df, 1));
}

double RangeSD(double x, int n) { return n < 2 ? Missing() : x * ConstD3(n); }

double MedianSE(double x, int n) {
  if (n == 1) return x;
  if (n < 1) return Missing();
  return x * std::sqrt(MedianVarFactor(n));
}

void ResetChartConstantCaches() {
  D2Cache().clear();
  D3Cache().clear();
  integrations = 0;
}

int ChartConstantIntegrations() { return integrations; }

}  // namespace sorvel
