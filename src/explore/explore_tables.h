// "Explore": the tables of descriptive statistics of Explore's run, one per page
// (Descriptives, Quartiles, Normality Tests, confidence intervals, natural tolerance and a
// table of statistics the user picks from 82), one row per group and a first "(All)" row
// when there are several groups. Everything here is free of the window: the window and
// the `explore` command build the same tables and print the same report.
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "data/text_grid.h"
#include "explore/explore_selection.h"
#include "numerics/common.h"
#include "stats/stats_engine.h"

namespace sorvel {

class TDataList;
class TMPrinter;
struct TRunInfo;

inline constexpr const char* ExploreCommand = "explore";

// The result pages, in the page control's order (after "Select Data").
enum class TExplorePage { Descriptives = 0, Quartiles, NormalityTests, ConfInt, NatTol, Custom };
inline constexpr int ExplorePageCount = 6;

// ---------------------------------------------------------------- custom items

// The background of a custom item in the list (items of one colour belong together).
enum class TCustomColour { Lime, Fuchsia, Aqua, Silver };

struct TCustomItem {
  std::string Text;       // the list item as stored: "Mean CI@Mean Confidence Interval"
  std::string ShortName;  // before "@": the column heading and the --custom name
  std::string Group;      // after "@", drawn as a group heading; empty when none
  int Columns = 1;        // grid columns the item fills (1 or 2)
  bool PValue = false;    // the second column is headed "p-value"
  bool TwoSided = false;  // the two columns are short name + "(L)" and + "(H)"
  TCustomColour Colour = TCustomColour::Lime;
};
inline constexpr int CustomItemCount = 82;
// The 82 items in list order.
const std::vector<TCustomItem>& CustomItems();
// An item by its short name (exact, then without regard to case) or its number "0".."81";
// -1 when none.
int FindCustomItem(const std::string& nameOrNumber);

// Which custom items are checked, by item number.
using TCustomChecks = std::array<bool, CustomItemCount>;
bool AnyCustomChecked(const TCustomChecks& checks);
// The Custom page's header cells after the label column, in list order.
std::vector<std::string> CustomHeader(const TCustomChecks& checks);

// ---------------------------------------------------------------- rows

// One row of every table: a group as the loads deliver it, or all groups together.
struct TExploreRow {
  std::string Label;           // the group's label; "(All)" for the combined row
  std::vector<double> Values;  // load (case) order
  int DescCol = 0;             // the column whose specification limits belong to the row
};

struct TExploreRows {
  std::string GroupHeader;  // first header cell: "Variable", the independent variable, "Run"
  bool Combined = false;    // Rows[0] is "(All)" (more than one group)
  std::vector<TExploreRow> Rows;
  // The groups alone (without "(All)").
  std::span<const TExploreRow> Groups() const {
    return std::span<const TExploreRow>(Rows).subspan(Combined ? 1 : 0);
  }
};
// The rows of a run built by BuildExploreRun: "(All)" (LoadAllToA_Array) first when the
// run has more than one group, then every group GetAR delivers.
TExploreRows LoadExploreRows(TDataList& data, TRunInfo& ri);

// ---------------------------------------------------------------- options

// The Monte-Carlo p-value of the exponential test (ExponentialTestP's arguments). The
// window passes its "Exponential Test Monitor" (progress and Abort, 999 when aborted).
using TExponentialP = std::function<double(int n, double t, const std::string& label)>;

struct TExploreOptions {
  int Decimals = 2;       // 0..9: every value that is not a count, p or test statistic
  double Conf = 0.95;     // the "&Conf:" level as a fraction
  std::string ConfText;   // the combo's text for the interval heading; empty: from Conf
  bool PooledCI = false;  // "&Use Pooled Variance" on "Conf. Int."
  bool PooledNT = false;  // the same on "Nat. Tol."
  TCustomChecks Custom{};
  TExponentialP ExponentialP;  // empty: ExponentialTestP without a monitor
};

// ---------------------------------------------------------------- tables

struct TExploreTable {
  TExplorePage Page = TExplorePage::Descriptives;
  std::string Heading;        // the page's heading panel, with the transformation suffix
  std::string PrintHeading;   // the toolbar Print's heading ("DESCRIPTIVES", ...)
  std::string ReportHeading;  // the Output page's print ("DESCRIPTIVES", ..., "CUSTOM STATISTICS")
  // Row 0 the header ("Variable", "n", ...), column 0 the row labels.
  TTextGrid Grid{2, 1};
  std::vector<bool> PValueColumns;  // per grid column: headed "p-value"
};

// " (" + the transformation's formula + ")" while one is active, else empty.
std::string TransformationSuffix();
// The Conf. Int. page's heading before the suffix: "95% Confidence Intervals".
std::string ConfIntHeading(const TExploreOptions& o);

// One page's table. The Custom page with nothing checked gives the label column alone.
TExploreTable ComputeExploreTable(TExplorePage page, const TExploreRows& rows,
                                  const TExploreOptions& options);
// The same, loading the rows of `ri` first.
TExploreTable ComputeExploreTable(TExplorePage page, TDataList& data, TRunInfo& ri,
                                  const TExploreOptions& options);

// ---------------------------------------------------------------- the pieces

// Pooled within-group values over the groups with n >= 2 (all 0 when none has two).
struct TExplorePooled {
  int df = 0;
  double StdDev = 0;            // sqrt(sum (n - 1) s^2 / df)
  double Lower = 0, Upper = 0;  // its chi-square confidence limits
  double HalfWidth = 0;         // t(alpha, df) x StdDev; a mean's interval is mean -+ it / sqrt(n)
};
TExplorePooled ExplorePooledValues(std::span<const TExploreRow> groups, double conf);

// Specification limits of a column (MissingValue when absent) and which are present.
struct TExploreSpecs {
  double LSL = MissingValue, Target = MissingValue, USL = MissingValue;
  bool HasLSL = false, HasTarget = false, HasUSL = false;
};
TExploreSpecs ExploreSpecsOf(double lsl, double target, double usl);

// Capability (or performance) from the overall mean and standard deviation; 0 when
// sd <= 0 or no limit is present; Cpm needs the target too (0 without it or for n < 2).
struct TCapability {
  double Cp = 0, Cpk = 0, Cpm = 0;
};
TCapability ExploreCapability(double mean, double sd, int n, const TExploreSpecs& specs);

// The exponential statistics from n, mean, smallest value and variance: W(E) (0 for
// n < 2 or s^2 = 0) and T(E) (Tested false, T 0 and p 999 when not computable).
struct TExponentialStats {
  double W = 0;
  double T = 0;
  bool Tested = false;
};
TExponentialStats ExponentialStatistics(int n, double mean, double low, double variance);

// What the checked custom items need of one row, computed once before its cells.
struct TCustomRowStats {
  int n = 0;
  TStatsRecord Stats;                                     // engine record after the preparation
  double StdDevMR = 0, StdDevMMR = 0;                     // moving-range estimates (case order)
  double MeanL = 999, MeanH = 999, SdL = 999, SdH = 999;  // confidence intervals
  double SWW = 999, SWp = 999;
  TExploreSpecs Specs;
  int CountBelow = 0, CountAbove = 0;  // values below LSL / above USL
  std::vector<double> Sorted;          // the row ascending (percentiles, counts beyond 3s)
};
// Prepares a row for the checked items, running only the engine operations they use.
// `values` is the row in case order (used as work space).
TCustomRowStats PrepareCustomRow(std::vector<double> values, const TCustomChecks& checks,
                                 double conf, const TExploreSpecs& specs);
// The cells one custom item writes for a prepared row (its Columns texts, "" when its
// condition fails); `label` is the row's label (the exponential test's monitor shows it).
std::vector<std::string> CustomItemCells(int item, TCustomRowStats& row, const std::string& label,
                                         const TExploreOptions& options);

// ---------------------------------------------------------------- the report print

// The Output page's check list in order: which tables the report prints.
using TExploreSections = std::array<bool, ExplorePageCount>;

struct TExploreReportInputs {
  std::string Title;             // the report title; empty: no title line
  std::string FileName;          // the data file's name without its folder; empty: none
  std::string ModificationLine;  // the data set's modification line; empty: none
  TExploreSections Sections{};
  TExploreOptions Options;
};

// The report print onto a running job (the caller sets up the printer, margins, header
// and footer): the title in Arial bold and an empty line, "File: ", "Reference = ...
// Measure = ..." for a run of several independent variables, the modification line, then
// every checked table (recomputed) under its report heading. The Custom table is left
// out while no item is checked.
void PrintExploreReport(TMPrinter& mp, TDataList& data, TRunInfo& ri,
                        const TExploreReportInputs& in);
// The same on one page of unlimited width without header and footer, as lines.
std::vector<std::string> ExploreReportLines(TDataList& data, TRunInfo& ri,
                                            const TExploreReportInputs& in);

TAnalysis ExploreAnalysis();

}  // namespace sorvel
