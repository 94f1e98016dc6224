// The Variables Chart Setup without its window: the choices as a record, what the window
// shows for them (lists, visible controls, the Action button), the data layout code and
// the validation that turns the choices into the chart settings of CalcVariablesLimits.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "data/data_list.h"
#include "quality/variables_limits.h"
#include "quality/variables_points.h"

namespace sorvel {

inline constexpr const char* KnownSigmaNotValidMessage = "Known Sigma Not Valid!";
inline constexpr const char* KnownMuNotValidMessage = "Known Location Parameter Not Valid!";
inline constexpr const char* LocationLimitsNotValidMessage =
    "User Defined Location Limits Not Valid!";
inline constexpr const char* DispersionLimitsNotValidMessage =
    "User Defined Dispersion Limits Not Valid!";
inline constexpr const char* StdErrNotValidMessage = "Std Err Not Valid!";
inline constexpr int VarSetupHelpTopic = 5050;

// The window's choices. Combo boxes are held by their item text ("" = the first item).
struct TVarSetupChoices {
  int ChartVariables = 0;       // chosen in "Chart Variables"
  int ChartGroups = 0;          // chosen in "Chart Groups"
  bool SampleVariable = false;  // the "Sample Variable" slot holds a column
  bool ConstantSampleSize = false;
  int SampleSize = 5;
  bool SubgroupsInRows = false;  // "Layout": "Subgroups in Rows"
  std::string LocationChart, LocationMethod, LocationCentre;
  std::string DispersionChart, DispersionMethod, DispersionCentre;
  std::string StdErr = "3", Sigma, Mu;
  int MRCount = 2;
  bool PositiveLimitsOnly = false;
  // User-defined limits: ticked and typed (location UCL, CL, LCL; dispersion DUCL, DCL, DLCL).
  bool UseUCL = true, UseCL = true, UseLCL = true, UseDUCL = true, UseDCL = true, UseDLCL = true;
  std::string UCL, CL, LCL, DUCL, DCL, DLCL;
};

// What the window shows for the choices (Algorithms 1 of the setup).
struct TVarSetupView {
  bool Individuals = true;
  std::vector<std::string> LocationCharts, LocationMethods, LocationCentres;
  std::vector<std::string> DispersionCharts, DispersionMethods, DispersionCentres;
  // The choices with each combo box's text resolved to one of its items.
  TVarSetupChoices Resolved;
  bool LayoutShown = false, SampleControlsShown = true, SampleSlotShown = true;
  bool LocationMethodShown = false, LocationCentreShown = false, PositiveLimitsShown = false,
       LocationUserLimitsShown = false;
  bool DispersionMethodShown = false, DispersionCentreShown = false,
       DispersionUserLimitsShown = false;
  bool MuShown = false, SigmaShown = false, StdErrShown = false, MRCountShown = false;
  bool ActionEnabled = false;
};

TVarSetupView RefreshVarSetup(const TVarSetupChoices& choices);

// The couplings of the combo boxes: choosing a location chart sets its centre line (the
// median item for "Median", else the average) and moves the location method to the
// dispersion method's position; choosing a dispersion method moves the location method to
// the same position and sets the dispersion centre line (median item for a "Median ..."
// method that is not "... of ...", else the average).
void ChooseLocationChart(TVarSetupChoices& choices, const std::string& chart);
void ChooseDispersionMethod(TVarSetupChoices& choices, const std::string& method);
// Choosing a dispersion chart renames its method and centre-line items after it; the
// chosen positions stay ("Average MR of Range" becomes "Average MR of Std Dev").
void ChooseDispersionChart(TVarSetupChoices& choices, const std::string& chart);

// The data layout code (1 .. 14; 0 when nothing can be charted) of the controls shown.
int VarSetupLayoutCode(const TVarSetupView& view);

struct TVarSetupResult {
  std::string Error;  // one of the messages above; empty when valid
  TVariablesChartSettings Settings;
  int LayoutCode = 0;
  int SampleSize = 0;  // 0 unless "Constant Sample Size" is ticked
};

// Validation and storage of Action.
TVarSetupResult ValidateVarSetup(const TVarSetupChoices& choices);

// The columns the setup's lists and slots hold (0: the slot is empty).
struct TVarSetupColumns {
  std::vector<int> ChartVariables;  // in list (= column) order
  std::vector<int> ChartGroups;
  int SampleVariable = 0, Sets = 0, AxisLabels = 0;
};

// The request of Action: validates the choices (their counts of chart variables and
// groups taken from `columns`) and keeps the columns of the controls that count (no
// sample variable outside the sample-variable layouts, no chart groups outside layouts
// 8 .. 14, no chart groups or sets in a one-column data set). Returns the message to show.
std::string VarChartRequestOf(const TVarSetupChoices& choices, const TVarSetupColumns& columns,
                              const TDataList& data, TVarChartRequest& request);
// Includes only the request's chart variables in the data set.
void IncludeChartVariables(TDataList& data, const TVarChartRequest& request);

// The setup's controls as command-line options of variables-control-charts, in the
// window's order: --chart-variables, --chart-groups, --sample-variable, --sample-size N
// (the box ticked), --layout, --sets, --axis-labels, the chart types, limit calculations
// and centre lines (their items in command shape, "²" as "2"), --std-err, --mr-count,
// --sigma, --mu, --positive-limits-only and the user limits (given = ticked).
std::vector<TOptionSpec> VariablesChartOptions();
// The choices the options describe, resolved against the lists the window would offer;
// false with a message naming the offered items when an item is not on its list.
bool VarSetupChoicesFrom(const TOptionValues& o, TVarSetupChoices& choices, std::string& error);
// A list item in command shape: "Variance (s²)" -> "variance-s2".
std::string ItemShape(const std::string& caption);

}  // namespace sorvel
