// Centre lines, control limits and zone sigmas of every point of a variables control
// chart, computed separately for each set (phase) of the chart from the subgroup
// statistics in the point table; and the holder of one column's specification limits.
#pragma once

#include <string>

#include "numerics/common.h"
#include "quality/chart_array.h"

namespace sorvel {

// Chart type codes of the setup window's lists.
enum VarChartType : int {
  ChartNone = 0,
  ChartX = 1,
  ChartMean = 2,
  ChartMedian = 3,
  ChartMovingRange = 4,
  ChartRange = 5,
  ChartStdDev = 6,
  ChartVariance = 7,
};

// Method codes (one list for location and dispersion).
enum VarMethod : int {
  MethodNone = 0,
  MethodCentreOnly = 1,
  MethodUserDefined = 2,
  MethodKnownSigma = 3,
  MethodAverageMR = 4,
  MethodMedianMR = 5,
  MethodStdDev = 6,
  MethodAverageRange = 7,
  MethodMedianRange = 8,
  MethodAverageSD = 9,
  MethodMedianSD = 10,
  MethodAverageVariance = 11,
  MethodAverageMRMeans = 12,
  MethodAverageMRMedians = 13,
  MethodMedianMRMeans = 14,
  MethodMedianMRMedians = 15,
  MethodSDMeans = 16,
  MethodSDMedians = 17,
  MethodAverageMRDispersion = 18,
  MethodMedianMRDispersion = 19,
  MethodSDDispersion = 20,
};

// Centre-line codes: location 1 average, 2 median, 3 known mean; dispersion 4 average,
// 5 median, 6 known standard deviation.
struct TVariablesChartSettings {
  int LocationChart = ChartMean, DispersionChart = ChartRange;
  int LocationMethod = MethodAverageRange, DispersionMethod = MethodAverageRange;
  int LocationCentre = 1, DispersionCentre = 4;
  double K = 3;                                      // standard errors of the limits
  int MRSpan = 2;                                    // w, 2 .. 30
  double Sigma0 = MissingValue, Mu0 = MissingValue;  // known values; missing when not given
  // User-defined limits, MissingValue when not given.
  double UCL = MissingValue, CL = MissingValue, LCL = MissingValue;
  double DUCL = MissingValue, DCL = MissingValue, DLCL = MissingValue;
  bool PositiveLimitsOnly = false;
};

// Fills rows 3 .. 8, 13, 14, 15 and 17 of points 1 .. count from rows 0, 1, 2, 9, 10, 12
// and 16, once per set number present, then rows 1 .. 8 of columns count + 1 and count + 2
// with each row's smallest and largest present value. What cannot be computed (too few
// points, a subgroup of one, a zero sigma estimate) stays MissingValue. Returns true when
// the process sigma (row 15) comes from the dispersion method, false when from the
// location method.
bool CalcVariablesLimits(ChartArrayType& table, int count, const TVariablesChartSettings& s);

// The specification limits of one column: LSL, Target and USL with their texts (general
// format, 12 significant digits, empty when absent) and flags.
struct TSpecLimits {
  double LSL = MissingValue, Target = MissingValue, USL = MissingValue;
  std::string LSLText, TargetText, USLText;
  bool HasLSL = false, HasTarget = false, HasUSL = false;
  bool AnySpec = false, HasLimit = false, TwoSided = false;
  double SpecWidth = 0;  // USL - LSL when TwoSided
  bool SpecsOrdered = false;
};
// The program's one holder.
TSpecLimits& SpecLimits();
void SetSpecLimits(double lsl, double target, double usl);

}  // namespace sorvel
