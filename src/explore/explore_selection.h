// Explore's choice of data, shared by the windows it opens (histograms, plots) and by the
// command line: analysis variables (one set per column), or a dependent variable split by
// the levels of one independent variable or the runs of several. It becomes the
// TRunInfo every load of those windows iterates.
#pragma once

#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "data/data_list.h"

namespace sorvel {

// Shown (exit 1) when neither kind of selection is given: Explore beeps in that case.
inline constexpr const char* NoExploreVariablesText =
    "Select analysis variables, or a dependent variable and independent variables!";

struct TExploreSelection {
  std::vector<int> AnalysisVariables;  // column analysis (1-based columns)
  int Dependent = 0;                   // reference analysis
  std::vector<int> Independent;
  std::string Title;  // the report title typed in Explore
  bool Reference() const { return Dependent != 0 || !Independent.empty(); }
};

// One option of a graph command: name, kind, the window's default, its caption, one line.
TOptionSpec GraphOption(std::string name, TOptionKind kind, std::string def, std::string label,
                        std::string help);
// The data modification summary on one line (the chart's foot), empty when no rule is active.
std::string FileModificationsFoot();

// --analysis-variables, --dependent-variable, --independent-variables, --title.
std::vector<TOptionSpec> ExploreSelectionOptions();
TExploreSelection ReadExploreSelection(const TOptionValues& options);

// Fills `ri` as Explore builds its run: column analysis in load mode 1 over the chosen
// columns (marked in IncludeCol, every other column unmarked), measure "Value", group
// header "Variable"; one independent variable in mode 2 by its levels, several in mode 3
// by their runs, measure the dependent's title or name and group the independent
// variables' titles or names joined by ", ". Then the groups are counted. Returns the
// refusal text, empty when the run was built.
std::string BuildExploreRun(TDataList& data, const TExploreSelection& sel, TRunInfo& ri);

// True for the load modes whose sets are groups of rows (titles read "group (set)").
bool IsGroupedLoadMode(int mode);

// One set of a run as the loads deliver it (Process If, missing values, transformation).
struct TExploreSet {
  std::string Name, Title;     // CurrentName, CurrentTitle
  int DescCol = 0;             // the column whose specification limits belong to the set
  std::vector<double> Values;  // load order
};
// Every set of the run from the first, then SetupIndex again.
std::vector<TExploreSet> LoadExploreSets(TDataList& data, TRunInfo& ri);

}  // namespace sorvel
