// The View menu of the control chart windows as a record, its items as command-line
// options (one flag or value per menu item, in command shape), and the --select option
// that picks charts of a selection list. The variables and attribute chart commands share
// them; each declares the items its window has.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"

namespace sorvel {

struct TChartViewOptions {
  bool DisplayViolations = true;      // "&Display Control Violations" (colour coded points)
  bool DisplayCodes = false;          // "Display Control Violation Codes"
  bool DisplayZones = false;          // "Display Zones"
  bool ShowAllPoints = false;         // "Show &All Points"
  bool Show3Sigma = false;            // "Show ±&3 Sigma Lines"
  bool ShowSpecifications = false;    // "Show Specifications"
  bool RemoveLocation = false;        // "Remove Plot of Location Statistics"
  bool ConnectPoints = true;          // "&Connect Points"
  bool ShowBreaks = false;            // "&Show Breaks"
  bool AddLimitInformation = false;   // "&Add Limit Information to Chart"
  bool AddFileModifications = false;  // "Add File &Modifications to Chart"
  bool BlackWhite = false;            // "&Black && White"
  int AxisDecimals = -1;              // "Axis Decimal &Places": -1 floating, else 0 .. 9
  int Split = 60;                     // location share of the height, 10 .. 90
  int PointSize = 3;                  // 1 .. 25
  int LineThickness = 1;              // 1 .. 10
  std::string Title;                  // the shared report title
};

// The menu items a chart command offers as options.
enum class TChartViewItem {
  DisplayViolations,     // --no-display-control-violations
  DisplayCodes,          // --display-control-violation-codes
  DisplayZones,          // --display-zones
  ShowAllPoints,         // --show-all-points
  Show3Sigma,            // --show-3-sigma-lines
  ShowSpecifications,    // --show-specifications
  RemoveLocation,        // --remove-plot-of-location-statistics
  ConnectPoints,         // --no-connect-points
  ShowBreaks,            // --show-breaks
  AddLimitInformation,   // --add-limit-information-to-chart
  AddFileModifications,  // --add-file-modifications-to-chart
  AxisDecimals,          // --axis-decimal-places floating|0..9
  BlackWhite,            // --black-white
  Split,                 // --split 10..90
  PointSize,             // --point-size 1..25
  LineThickness,         // --line-thickness 1..10
  Title,                 // --title TEXT
};
// Every item, in the variables chart's menu order.
std::vector<TChartViewItem> AllChartViewItems();
std::vector<TOptionSpec> ChartViewOptionSpecs(const std::vector<TChartViewItem>& items);
// The record from validated options; items a command did not declare keep their defaults.
TChartViewOptions ChartViewOptionsFrom(const TOptionValues& o);

// "#,##0.#########" for floating, else "#,##0." and that many zeros ("#,##0" for 0).
std::string AxisValueFormat(int decimals);
// "Axis Decimal &Places (Floating)" or "Axis Decimal &Places (" + n + ")".
std::string AxisDecimalsCaption(int decimals);
// The split track bar's hint: "Location/Dispersion Chart Sizing (60%/40%)"; "0%/100%)" at
// 10 and "100%/0%)" at 90.
std::string SplitHint(int split);

// --select N|NAME|all: which charts of the selection list a command reports.
TOptionSpec SelectOption();
// The indices (0-based) of `names` that `select` picks: empty text the first chart, "all"
// every one, a number its 1-based position, else the chart of that name (case ignored).
// False with a message naming the offered charts when nothing matches.
bool ResolveSelection(const std::string& select, const std::vector<std::string>& names,
                      std::vector<int>& picked, std::string& error);

}  // namespace sorvel
