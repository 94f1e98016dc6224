// Binomial, Poisson and hypergeometric probabilities and tails, and the exact tests built
// on them: Fisher's test of a 2x2 table, the sign test and the binomial test of a
// proportion.
//
// Alternative codes as everywhere in the library: 0 two-sided, 1 lower, 2 upper.
// Probabilities p and x of exactly 0 or 1 give the degenerate distribution (all mass on
// 0 or on n); counts outside their range have probability 0.
#pragma once

#include <cstdint>

namespace sorvel {

// ln C(n, k) as a sum of logarithms over min(k, n - k) factors; -infinity when k < 0 or
// k > n (no such subset), so that exp() of a sum containing it is 0.
double ChooseLn(int n, int k);

// P(X = k), X ~ Binomial(n, p). StatError = 0.
double BinomialProb(double p, int k, int n);
// P(X >= k) by summing terms from k outwards until a term falls below 2e-10/n.
double BinomialUpper(double p, int k, int n);
// P(X >= k) through the incomplete beta function (BetaI, about 1e-7).
double BinomialUpperBeta(double p, int k, int n);

// P(X = k), P(X >= k) and P(X <= k) for X ~ Poisson(mu); k is rounded to a count.
// mu < 0 gives probability 0; mu = 0 puts all mass on 0.
double PoissonProb(double k, double mu);
double PoissonUpper(double k, double mu);
double PoissonCumulative(double k, double mu);

// P(X = k) for a sample of n from a population of N holding round(N x) successes. When
// cache is 0 it receives ln C(N, n), so a caller summing many terms computes that once.
double HypergeoProb(double x, int k, int n, int N, double& cache);
// P(X >= k) for the same, summed outwards until a term falls below 2e-10/n.
double HypergeoUpper(double x, int k, int n, int N);

// Fisher's exact test of the table with rows (a, b) and (c, d). Alternative 1 asks whether
// a's share of its column is the smaller one (P(X <= a) with X the top-left cell given the
// margins), 2 whether it is the larger (P(X >= a)); two-sided sums the tables whose
// difference of row proportions is at least the observed one. 999 (and StatError 1) for
// an empty row or column, negative cells, or more than 10,000,000 observations.
double FisherExact2x2(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d, int alt);

// Sign test of a against b (X ~ Binomial(a + b, 1/2)): alternative 1 P(X >= b),
// 2 P(X <= b), 0 twice the smaller tail (1 when a = b). 64-bit counts: table cells may
// sum past 2^31.
double SignTestP(std::int64_t a, std::int64_t b, int alt);
// Exact test of k successes in n trials against p0: alternative 1 P(X <= k), 2 P(X >= k),
// 0 twice the tail on k's side, at most 1. No trials: 1.
double BinomialTestP(int k, int n, double p0, int alt);

}  // namespace sorvel
