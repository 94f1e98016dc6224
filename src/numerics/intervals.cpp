#include "numerics/intervals.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/parse.h"
#include "numerics/specfunc.h"

namespace sorvel {

void TConfI::SetConf(double c) {
  conf = c;
  alpha = 1 - c;
}

void TConfI::SetConfText(std::string_view text) {
  const TRealConversion read = StrToReal(text);
  StatError = read.Code;
  if (read.Code == 0) SetConf(read.Value / 100);
}

void TConfI::SetAlpha(double a) {
  alpha = a;
  conf = 1 - a;
}

void TConfI::Intervals(double mean, double sd, int n) {
  m = mean;
  S = sd;
  ni = n;
  CalcIntervals();
}

void TConfI::CalcIntervals() {
  if (ni < 2) {
    m1 = m2 = s1 = s2 = NotAvailable;
    return;
  }
  MeanInterval(m, S, ni, ni - 1, alpha, m1, m2);
  SDInterval(S, ni - 1, alpha, s1, s2);
}

void TCorr::Init() {
  n = 0;
  Kx = Ky = 0;
  Mx = My = Md = 0;
  Cxx = Cyy = Cxy = Cdd = 0;
}

void TCorr::AddPair(double x, double y) {
  if (!IsPresent(x) || !IsPresent(y)) return;
  if (n == 0) {
    Kx = x;
    Ky = y;
  }
  // Welford's updates, extended to the co-moment (Welford 1962; Chan, Golub and LeVeque
  // 1983), on the values less the first pair: each deviation is taken from a running mean
  // of the same size as the spread, never from a large offset.
  ++n;
  const double u = x - Kx, v = y - Ky, w = u - v;
  const double du = u - Mx;
  Mx += du / n;
  const double dv = v - My;
  My += dv / n;
  const double dw = w - Md;
  Md += dw / n;
  Cxx += du * (u - Mx);
  Cyy += dv * (v - My);
  Cxy += du * (v - My);
  Cdd += dw * (w - Md);
}

double TCorr::VarX() const { return n > 1 ? Cxx / (n - 1) : 0; }
double TCorr::VarY() const { return n > 1 ? Cyy / (n - 1) : 0; }
double TCorr::Covariance() const { return n > 1 ? Cxy / (n - 1) : 0; }
double TCorr::VarDiff() const { return n > 1 ? Cdd / (n - 1) : 0; }

double CorrelationT(double r, double n) {
  if (std::fabs(r) >= 1) return std::copysign(std::numeric_limits<double>::infinity(), r);
  return r * std::sqrt((n - 2) / (1 - r * r));
}

double TCorr::PearsonR() {
  Error = false;
  if (n < 2 || Cxx <= 0 || Cyy <= 0) {
    pvalue = NotAvailable;
    Error = true;
    return 0;
  }
  // Rounding can carry a perfect line a unit past 1.
  const double r = std::clamp(Cxy / std::sqrt(Cxx) / std::sqrt(Cyy), -1.0, 1.0);
  if (n == 2)
    pvalue = NotAvailable;
  else if (std::fabs(r) == 1)
    pvalue = 0;
  else
    pvalue = TTail(CorrelationT(r, n), n - 2, TTails::Two);
  return r;
}

void TCorr::LinearRegression() {
  StatError = 0;
  if (n == 0) {
    B = 0;
    a = 0;
    StatError = 2;
    return;
  }
  if (Cxx > 0) {
    B = Cxy / Cxx;
  } else {
    B = 0;
    StatError = 1;
  }
  a = MeanY() - B * MeanX();
}

void MeanInterval(double mean, double sd, double n, double df, double alpha, double& lower,
                  double& upper) {
  double h = 0;
  if (n > 0) {
    const double q = df != 0 ? TQuantile(alpha / 2, df, TTails::Upper)
                             : NormalQuantileExact(alpha / 2, TTails::Upper);
    h = q * sd / std::sqrt(n);
  }
  lower = mean - h;
  upper = mean + h;
}

void SDInterval(double sd, double df, double alpha, double& lower, double& upper) {
  if (!(df > 0)) {
    lower = upper = NotAvailable;
    return;
  }
  // The upper chi-square point gives the lower limit.
  const double ss = df * sd * sd;
  lower = ss / ChiSqQuantile(alpha / 2, df, TTails::Upper);
  upper = ss / ChiSqQuantile(alpha / 2, df, TTails::Lower);
  if (lower > 0) lower = std::sqrt(lower);
  if (upper > 0) upper = std::sqrt(upper);
}

void CorrInterval(double r, double n, double alpha, double& lower, double& upper) {
  if (!(n > 3) || !(std::fabs(r) <= 1)) {
    lower = upper = NotAvailable;
    return;
  }
  if (std::fabs(r) == 1) {
    lower = upper = r;
    return;
  }
  // Fisher's z = artanh(r) is close to normal with variance 1 / (n - 3).
  const double z = FisherZ(r);
  const double q = NormalQuantileExact(alpha / 2, TTails::Upper);
  const double e = std::sqrt(1 / (n - 3));
  lower = TanH(z - q * e);
  upper = TanH(z + q * e);
}

namespace {

TConfI& ConfIInstance() {
  static TConfI instance;
  return instance;
}

TCorr& CorrInstance() {
  static TCorr instance;
  return instance;
}

}  // namespace

TConfI& SharedConfI() { return ConfIInstance(); }
TCorr& SharedCorr() { return CorrInstance(); }

void ResetIntervalsState() {
  ConfIInstance() = TConfI();
  CorrInstance() = TCorr();
}

}  // namespace sorvel
