// Attribute control charts (p, np, c, u) without their data set: the point table, the
// limits of each set by the eight limit calculations, the limit summary of the memo, and
// the validation of the setup's choices.
#pragma once

#include <string>
#include <vector>

#include "numerics/common.h"
#include "quality/chart_array.h"
#include "quality/control_tests.h"

namespace sorvel {

inline constexpr const char* KnownParameterNotValidMessage = "Known Parameter Not Valid!";
inline constexpr const char* UserLimitsNotValidMessage = "User Defined Limits Not Valid!";
inline constexpr const char* SampleSizeNotGivenMessage = "Sample size not given!";
// StdErrNotValidMessage ("Std Err Not Valid!") is shared with the variables setup.

// The items of "Chart Type", "Control Limit Calculation" and "Centerline".
enum TAttrChartType : int { AttrP = 0, AttrNP = 1, AttrC = 2, AttrU = 3 };
enum TAttrMethod : int {
  AttrNoLimits = 0,
  AttrExact = 1,
  AttrNormal = 2,
  AttrAverageMR = 3,
  AttrMedianMR = 4,
  AttrStdDev = 5,
  AttrCentreOnly = 6,
  AttrUserDefined = 7,
};
enum TAttrCentre : int { AttrCentreMean = 0, AttrCentreMedian = 1, AttrCentreKnown = 2 };

const std::vector<std::string>& AttrChartTypeItems();  // "p", "np", "c", "u"
const std::vector<std::string>& AttrMethodItems();     // "None" .. "User Defined"
const std::vector<std::string>& AttrCentreItems();     // "Mean", "Median", "Known Parameter"
// "Proportion", "Count" or "Rate".
std::string AttrAxisTitle(int type);

// Rows of the point table (points numbered from 1).
enum AttrRow : int {
  AttrRowCount = 0,  // d_i
  AttrRowSize = 1,   // n_i (MissingValue when the case gives none)
  AttrRowStat = 2,   // d_i / n_i (p, u) or d_i (np, c); missing without a positive n_i
  AttrRowLCL = 3,
  AttrRowCL = 4,
  AttrRowUCL = 5,
  AttrRowLabel = 6,  // case number with an axis-label column, else the point number
  AttrRowSet = 7,    // set number (0 without a set variable)
  AttrRowSigma = 8,  // zone sigma: standard error of the plotted statistic
  AttrRowBreak = 9,  // 1: the line is broken after this point
};
inline constexpr int AttrRowCountTotal = 10;
inline constexpr TControlTestRows AttributeTestRows{
    AttrRowSet, AttrRowStat, AttrRowLCL, AttrRowCL, AttrRowUCL, AttrRowBreak, AttrRowSigma};

// The point table: the first ten rows of a chart array, so that the run tests read it.
struct TAttrTable {
  ChartArrayType T;
  int Count = 0;

  void Clear(int reserve = 0);
  // Appends a point; its statistic follows from the chart type.
  void AddPoint(int type, double count, double n, double label, double set);
  double operator()(int row, int point) const { return T(row, point); }
  double& operator()(int row, int point) { return T(row, point); }
};

struct TAttrSettings {
  int Type = AttrP;
  int Method = AttrExact;
  int Centre = AttrCentreMean;
  double Parameter = MissingValue;  // the known Pi or Lambda
  double K = 3;
  std::string KText = "3";  // as typed, for the summary
  // User-defined limits; MissingValue when not ticked.
  double UCL = MissingValue, CL = MissingValue, LCL = MissingValue;
};

// Rows 3, 4, 5 and 8 of every point, for each set number present. A point without a
// statistic, or whose limits the routine refuses (n of 0 or 1, a proportion of 1), gets
// no limits; its neighbours keep theirs.
void CalcAttributeLimits(TAttrTable& table, const TAttrSettings& s);
// The run tests of the chart (standard selection of `tests`).
std::vector<TTestFiring> RunAttributeTests(const TAttrTable& table,
                                           const TControlTestSettings& tests);

// The limit summary: the memo's lines in order (the chart foot lists them the other way
// round). Values are those of the last point with a statistic.
std::vector<std::string> AttrLimitSummary(const TAttrTable& table, const TAttrSettings& s);

// The setup's choices as typed.
struct TAttrSetupChoices {
  int Type = AttrP;
  int Method = AttrExact;
  int Centre = AttrCentreMean;
  std::string Parameter;
  std::string StdErr = "3";
  bool UseUCL = false, UseCL = false, UseLCL = false;
  std::string UCL, CL, LCL;
  bool ReferencePage = false;
  int Measures = 0;           // "Columns": chosen measures
  int MeasureColumn = 0;      // "Reference": the measure
  int GroupingVariables = 0;  // "Reference": chosen grouping variables
  int SampleSizeColumn = 0;   // 0: none
  bool ConstantSampleSize = false;
  std::string SampleSize;
  int DataColumns = 2;  // columns of the data set
};

struct TAttrSetupResult {
  std::string Error;  // a message of the window; empty when valid
  bool Beep = false;  // nothing to chart: the window beeps and stops
  TAttrSettings Settings;
  double ConstantSize = MissingValue;  // the constant sample size, when used
};

// Validation and storage of Action.
TAttrSetupResult ValidateAttrSetup(const TAttrSetupChoices& c);
// Limits estimated from the data: the only case where sets are offered.
bool AttrLimitsEstimated(int method, int centre);

}  // namespace sorvel
