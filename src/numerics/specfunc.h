// Special functions (gamma, incomplete gamma and beta) and small numeric helpers.
#pragma once

namespace sorvel {

// ln Gamma(x); 0 for x <= 0 and for x = 1.
double GammaLn(double x);
// ln(n!) from a table filled on first use (n rounded to the nearest integer); GammaLn(n + 1)
// above 170; 0 for negative n.
double FactorialLn(double n);

// Regularised lower incomplete gamma P(a, x) and its two workers: the series for
// P(a, x) and the continued fraction for Q(a, x) = 1 - P(a, x).
double GSER(double a, double x);
double GCF(double a, double x);
double GAMMP(double a, double x);

// Continued fraction of the incomplete beta function and the regularised I_x(a, b).
double BETACF(double a, double b, double x);
double BetaI(double a, double b, double x);

// Full-precision companions of GAMMP and BetaI for tail areas that must keep their
// relative accuracy far out: both sides are returned, and the smaller one is always
// computed directly, never as 1 minus the other. No warnings; NaN for invalid arguments.
struct TTwoSides {
  double Lower;  // P(a, x), I_x(a, b)
  double Upper;  // Q(a, x), 1 - I_x(a, b)
};
// Regularised incomplete gamma P(a, x) and Q(a, x), a > 0, x >= 0.
TTwoSides IncompleteGamma(double a, double x);
// Regularised incomplete beta I_x(a, b) and its complement; y = 1 - x is passed by the
// caller, who can often form it without the rounding of 1 - x.
TTwoSides IncompleteBeta(double a, double b, double x, double y);
// x^a e^-x / Gamma(a) and x^a y^b / B(a, b) without the cancellation of their logarithms.
double GammaPowerTerm(double a, double x);
double BetaPowerTerm(double a, double b, double x, double y);

double RealPower(double x, double y);
double FisherZ(double r);
double TanH(double x);
double SinH(double x);
double ArcSinH(double x);
double ArcCosH(double x);
double SignOf(double x);
double Log10Of(double x);
double PowerOf10(int n);

double MinReal(double a, double b);
double MaxReal(double a, double b);
int MinInt(int a, int b);
int MaxInt(int a, int b);

// Sample standard deviation and variance from n, the sum and the sum of squares.
double SDFromSums(double n, double sum, double sumSq);
double VarFromSums(double n, double sum, double sumSq);

// Forgets the log-factorial table (for tests).
void ResetSpecialFunctionsState();

}  // namespace sorvel
