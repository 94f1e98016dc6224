#include "numerics/discrete.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "numerics/common.h"
#include "numerics/specfunc.h"

namespace sorvel {

double ChooseLn(int n, int k) {
  if (k < 0 || k > n) return -std::numeric_limits<double>::infinity();
  const int lo = std::min(k, n - k), hi = std::max(k, n - k);
  // ln C(n, k) = sum over i = 1..lo of ln((hi + i)/i): one logarithm per factor and no
  // cancellation between two large sums.
  double sum = 0;
  for (int i = 1; i <= lo; ++i) sum += std::log(static_cast<double>(hi + i) / i);
  return sum;
}

double BinomialProb(double p, int k, int n) {
  StatError = 0;
  if (n < 0 || k < 0 || k > n) return 0;
  if (p <= 0) return k == 0 ? 1 : 0;
  if (p >= 1) return k == n ? 1 : 0;
  // The coefficient is kept as a logarithm: C(n, k) itself leaves the double range from
  // n = 1030 on.
  const double e = ChooseLn(n, k) + k * std::log(p) + (n - k) * std::log1p(-p);
  if (e < -11350) return 0;
  return std::min(1.0, std::exp(e));
}

double BinomialUpper(double p, int k, int n) {
  if (k <= 0) return 1;
  if (k > n) return 0;
  if (p <= 0) return 0;
  if (p >= 1) return 1;
  const double q = 1 - p, stop = 2e-10 / n;
  if (k > n * p) {
    // Away from the mode upwards: P(j + 1) = P(j) (n - j)/(j + 1) p/q.
    double term = BinomialProb(p, k, n), sum = term;
    for (int j = k; j < n && term >= stop; ++j) {
      term *= static_cast<double>(n - j) / (j + 1) * p / q;
      sum += term;
    }
    return std::min(1.0, sum);
  }
  double term = BinomialProb(p, k - 1, n), sum = term;
  for (int j = k - 1; j > 0 && term >= stop; --j) {
    term *= static_cast<double>(j) / (n - j + 1) * q / p;
    sum += term;
  }
  return std::clamp(1 - sum, 0.0, 1.0);
}

double BinomialUpperBeta(double p, int k, int n) {
  if (k <= 0) return 1;
  // Beyond n: BetaI(n + 1, 0, p) is not a probability.
  if (k > n) return 0;
  if (p <= 0) return 0;
  if (p >= 1) return 1;
  if (k == n) return BinomialProb(p, n, n);
  return BetaI(k, n - k + 1, p);
}

double PoissonProb(double k, double mu) {
  const double count = std::round(k);
  if (count < 0 || mu < 0) return 0;
  if (mu == 0) return count == 0 ? 1 : 0;
  // mu^k e^-mu / k! without the cancellation of k ln mu - mu - ln k!.
  return GammaPowerTerm(count + 1, mu) / mu;
}

double PoissonUpper(double k, double mu) {
  if (k < 1) return 1;
  if (mu <= 0) return 0;
  // P(X >= K) = P(K, mu), the regularised lower incomplete gamma function.
  return IncompleteGamma(std::round(k), mu).Lower;
}

double PoissonCumulative(double k, double mu) {
  if (mu < 0 || k < -0.5) return 0;
  if (k < 1) return std::exp(-mu);
  if (mu == 0) return 1;
  // P(X <= K) = Q(K + 1, mu).
  return IncompleteGamma(std::round(k) + 1, mu).Upper;
}

namespace {

// The support of the hypergeometric count: max(0, n - (N - D)) .. min(n, D).
struct THyperRange {
  int Lo, Hi;
  bool Valid;
};

THyperRange HyperRange(int D, int n, int N) {
  if (N < 0 || n < 0 || n > N || D < 0 || D > N) return {0, -1, false};
  return {std::max(0, n - (N - D)), std::min(n, D), true};
}

int Successes(double x, int N) { return static_cast<int>(std::lround(N * x)); }

}  // namespace

double HypergeoProb(double x, int k, int n, int N, double& cache) {
  const int D = Successes(x, N);
  const THyperRange range = HyperRange(D, n, N);
  if (!range.Valid) return 0;
  if (cache == 0) cache = ChooseLn(N, n);
  // ln C(n, k) of an impossible count is not a probability: outside the support P = 0.
  if (k < range.Lo || k > range.Hi) return 0;
  const double e = ChooseLn(D, k) + ChooseLn(N - D, n - k) - cache;
  if (e < -11350) return 0;
  return std::min(1.0, std::exp(e));
}

double HypergeoUpper(double x, int k, int n, int N) {
  if (k <= 0) return 1;
  const int D = Successes(x, N);
  const THyperRange range = HyperRange(D, n, N);
  if (!range.Valid || k > range.Hi) return 0;
  if (k <= range.Lo) return 1;
  const double stop = 2e-10 / n;
  double cache = 0;
  // Neighbouring terms by their ratio P(j + 1)/P(j) = (D - j)(n - j)/((j + 1)(N - D - n + j + 1)).
  if (k > n * x) {
    double term = HypergeoProb(x, k, n, N, cache), sum = term;
    for (int j = k; j < range.Hi && term >= stop; ++j) {
      term *=
          static_cast<double>(D - j) * (n - j) / (static_cast<double>(j + 1) * (N - D - n + j + 1));
      sum += term;
    }
    return std::min(1.0, sum);
  }
  double term = HypergeoProb(x, k - 1, n, N, cache), sum = term;
  for (int j = k - 1; j > range.Lo && term >= stop; --j) {
    term *=
        static_cast<double>(j) * (N - D - n + j) / (static_cast<double>(D - j + 1) * (n - j + 1));
    sum += term;
  }
  return std::clamp(1 - sum, 0.0, 1.0);
}

namespace {

// P(X = k), X ~ Binomial(n, p), to full relative precision (Loader's saddle-point form
// through x^a y^b / B(a, b)); q = 1 - p is passed exactly.
double BinomialDensity(std::int64_t k, std::int64_t n, double p, double q) {
  if (k < 0 || k > n) return 0;
  if (k == 0) return std::exp(static_cast<double>(n) * std::log(q));
  if (k == n) return std::exp(static_cast<double>(n) * std::log(p));
  const double a = static_cast<double>(k), b = static_cast<double>(n - k);
  return static_cast<double>(n) / (a * b) * BetaPowerTerm(a, b, p, q);
}

// The top-left cell X of a 2x2 table with fixed margins: X ~ Hypergeometric(C1, C2, R1).
// Tails are summed from their inner end outwards, the side holding the mode as 1 minus
// the other, so each walk only meets falling terms.
class THypergeometric {
 public:
  THypergeometric(std::int64_t c1, std::int64_t c2, std::int64_t r1)
      : C1(c1), C2(c2), R1(r1), N(c1 + c2) {
    Lo = std::max<std::int64_t>(0, R1 - C2);
    Hi = std::min(R1, C1);
    Mode = (R1 + 1) * (C1 + 1) / (N + 2);
    P = static_cast<double>(R1) / N;
    Q = static_cast<double>(N - R1) / N;
    Scale = BinomialDensity(R1, N, P, Q);
  }

  // P(X <= x) and P(X >= x).
  double Lower(std::int64_t x) const {
    if (x < Lo) return 0;
    if (x >= Hi) return 1;
    if (x < Mode) return Walk(x, -1);
    return std::clamp(1 - Upper(x + 1), 0.0, 1.0);
  }
  double Upper(std::int64_t x) const {
    if (x > Hi) return 0;
    if (x <= Lo) return 1;
    if (x > Mode) return Walk(x, +1);
    return std::clamp(1 - Lower(x - 1), 0.0, 1.0);
  }

 private:
  // Density as binomial(x; C1, p) binomial(R1 - x; C2, p)/binomial(R1; N, p), p = R1/N.
  double Density(std::int64_t x) const {
    return BinomialDensity(x, C1, P, Q) * BinomialDensity(R1 - x, C2, P, Q) / Scale;
  }
  double Walk(std::int64_t from, int step) const {
    double term = Density(from), sum = term;
    for (std::int64_t x = from; term > 0;) {
      if (step > 0) {
        if (x >= Hi) break;
        term *= static_cast<double>(C1 - x) * (R1 - x) /
                (static_cast<double>(x + 1) * (C2 - R1 + x + 1));
        ++x;
      } else {
        if (x <= Lo) break;
        term *= static_cast<double>(x) * (C2 - R1 + x) /
                (static_cast<double>(C1 - x + 1) * (R1 - x + 1));
        --x;
      }
      sum += term;
      // The terms fall at least geometrically from here: the rest is below the sum's last digit.
      if (term <= sum * 1e-17) break;
    }
    return std::min(1.0, sum);
  }

  std::int64_t C1, C2, R1, N, Lo = 0, Hi = 0, Mode = 0;
  double P = 0, Q = 0, Scale = 1;
};

// floor(a/b) for b > 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

}  // namespace

double FisherExact2x2(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d, int alt) {
  StatError = 0;
  const std::int64_t r1 = a + b, r2 = c + d, c1 = a + c, c2 = b + d, n = r1 + r2;
  if (a < 0 || b < 0 || c < 0 || d < 0 || c1 == 0 || c2 == 0 || r1 == 0 || r2 == 0 ||
      n > 10000000) {
    StatError = 1;
    return NotAvailable;
  }
  const THypergeometric x(c1, c2, r1);
  if (alt == 1) return x.Lower(a);
  if (alt == 2) return x.Upper(a);
  // Two-sided: every table whose difference of row proportions, |x/R1 - (C1 - x)/R2|, is
  // at least the observed one. Scaled by R1 R2 it is the integer |x N - C1 R1|, so tables
  // at exactly the observed distance are counted, not left to rounding.
  const std::int64_t expected = c1 * r1, observed = a * n - expected;
  if (observed == 0) return 1;
  double p;
  if (observed < 0) {
    // The far side starts at the smallest x with x N - C1 R1 >= |observed|.
    const std::int64_t far = -FloorDiv(-(expected - observed), n);
    p = x.Lower(a) + x.Upper(far);
  } else {
    const std::int64_t far = FloorDiv(expected - observed, n);
    p = x.Upper(a) + x.Lower(far);
  }
  return std::min(1.0, p);
}

namespace {

// P(X >= k) for X ~ Binomial(n, 1/2), as BinomialUpperBeta but on 64-bit counts and with
// the full-precision beta: BetaI's continued fraction drifts by 1e-6 at a billion trials.
double HalfUpper(std::int64_t k, std::int64_t n) {
  if (k <= 0) return 1;
  if (k > n) return 0;
  if (k == n) return std::ldexp(1.0, static_cast<int>(std::max<std::int64_t>(-2000, -n)));
  return IncompleteBeta(static_cast<double>(k), static_cast<double>(n - k + 1), 0.5, 0.5).Lower;
}

}  // namespace

double SignTestP(std::int64_t a, std::int64_t b, int alt) {
  const std::int64_t n = a + b;
  if (alt == 1) return HalfUpper(b, n);
  if (alt == 2) return 1 - HalfUpper(b + 1, n);
  if (a == b) return 1;
  return std::min(1.0, 2 * HalfUpper(std::max(a, b), n));
}

double BinomialTestP(int k, int n, double p0, int alt) {
  // Zero trials carry no evidence either way.
  if (n <= 0) return 1;
  if (alt == 1) return 1 - BinomialUpperBeta(p0, k + 1, n);
  if (alt == 2) return BinomialUpperBeta(p0, k, n);
  const double share = static_cast<double>(k) / n;
  if (share == p0) return 1;
  const double p =
      p0 < share ? 2 * BinomialUpperBeta(p0, k, n) : 2 - 2 * BinomialUpperBeta(p0, k + 1, n);
  return std::min(1.0, p);
}

}  // namespace sorvel
