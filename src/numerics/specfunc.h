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
