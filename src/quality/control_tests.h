// Run rules of control charts: nine tests that mark points with a one-character code
// (points outside the limits, runs, trends, too much or too little variation,
// alternation, two zone rules, excessive moving ranges), and their settings, kept in the
// program's settings store.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "quality/chart_array.h"

namespace sorvel {

class SettingsStore;

inline constexpr int ControlTestCount = 9;

// Entries 1 .. 9 are used (index 0 is unused, as in the stored form).
struct TControlTestSettings {
  std::array<bool, 10> StdCheck{};
  std::array<bool, 10> MRCheck{};
  std::array<int, 10> TestParam{};   // L of tests 2 .. 6, k of tests 7 and 8
  std::array<int, 10> TestWindow{};  // m of tests 7 and 8
  bool operator==(const TControlTestSettings&) const = default;
};

// The built-in defaults: tests 1 .. 6 on for standard charts, test 1 alone for moving-range
// charts, L 8, 6, 8, 15, 14, zone rules 4 of 5 and 2 of 3.
TControlTestSettings DefaultControlTestSettings();
// The program's one set of settings.
TControlTestSettings& ControlTestSettings();

// Ranges of the parameters: L of test t, and k, m of the zone rules.
int TestParamMin(int test);
inline constexpr int TestParamMax = 99;
inline constexpr int ZoneWindowMin = 2;

// Stored form: "StdControlTestCheck" and "MRControlTestCheck" nine "1"/"0" characters,
// "ControlTestValues" eighteen characters of value + 64 (TestParam then TestWindow).
inline constexpr const char* StdCheckKey = "StdControlTestCheck";
inline constexpr const char* MRCheckKey = "MRControlTestCheck";
inline constexpr const char* TestValuesKey = "ControlTestValues";
std::string EncodeChecks(const std::array<bool, 10>& checks);
std::string EncodeTestValues(const TControlTestSettings& s);
// The stored settings, or the defaults when none are stored. A damaged entry (a wrong
// length, a value out of its range) falls back to its default.
TControlTestSettings ReadControlTestSettings(const SettingsStore& store);
void WriteControlTestSettings(SettingsStore& store, const TControlTestSettings& s);

// The code character of a test ('O', 'R', 'T', 'E', 'L', 'A', '1', '2', 'M').
char TestCode(int test);
// The report text of a test, with its parameters from the program's settings.
std::string TestDescription(int test);
std::string TestDescription(int test, const TControlTestSettings& s);

// Where the tests read the point table.
struct TControlTestRows {
  int Set = RowSet, Stat = RowLocation, LCL = RowLocLCL, CL = RowLocCL, UCL = RowLocUCL,
      Break = RowBreak, Sigma = RowLocSigma;
};
inline constexpr TControlTestRows LocationTestRows{};
inline constexpr TControlTestRows DispersionTestRows{
    RowSet, RowDispersion, RowDispLCL, RowDispCL, RowDispUCL, RowBreak, RowDispSigma};

struct TTestFiring {
  int Point = 0;
  int Test = 0;
  bool operator==(const TTestFiring&) const = default;
};

// Computes the codes of points 1 .. count of chart index 0 (location or attribute chart)
// or 1 (dispersion chart) with the standard or, when useMR, the moving-range selection of
// `settings`, and returns where each test fired. Every window of a test is checked for a
// break, a set change and a missing statistic, the first one too.
std::vector<TTestFiring> RunControlTests(const ChartArrayType& table, int count,
                                         const TControlTestRows& rows, bool useMR, int chartIndex,
                                         const TControlTestSettings& settings);
// The same with the program's settings.
std::vector<TTestFiring> RunControlTests(const ChartArrayType& table, int count,
                                         const TControlTestRows& rows, bool useMR, int chartIndex);
// The codes of a point (empty when none or out of range).
const std::string& PointCodes(int chartIndex, int point);

}  // namespace sorvel
