#include "explore/explore_selection.h"

#include <algorithm>
#include <cmath>

#include "data/data_state.h"
#include "data/grid_edit.h"

namespace sorvel {

namespace {

// A level index as the loads round it (halves to even), kept inside 32 bits.
std::int32_t LevelIndex(double x) {
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(x), -2147483647.0, 2147483646.0));
}

}  // namespace

TOptionSpec GraphOption(std::string name, TOptionKind kind, std::string def, std::string label,
                        std::string help) {
  TOptionSpec s;
  s.Name = std::move(name);
  s.Kind = kind;
  s.Default = std::move(def);
  s.Label = std::move(label);
  s.Help = std::move(help);
  return s;
}

std::string FileModificationsFoot() {
  TFileModStrings mods;
  if (!BuildFileModString(mods)) return {};
  std::replace(mods.Text.begin(), mods.Text.end(), '\r', ' ');
  return mods.Text;
}

std::vector<TOptionSpec> ExploreSelectionOptions() {
  return {
      GraphOption("analysis-variables", TOptionKind::Columns, "", "Analysis Variables",
                  "column analysis: one set per column, by name or number, separated by commas"),
      GraphOption("dependent-variable", TOptionKind::Column, "", "Dependent Variable",
                  "reference analysis: the column analysed"),
      GraphOption("independent-variables", TOptionKind::Columns, "", "Independent Variables",
                  "reference analysis: one set per level of one column, or per run of several"),
      GraphOption("title", TOptionKind::Text, "", "Title", "the report title (first title line)"),
  };
}

TExploreSelection ReadExploreSelection(const TOptionValues& o) {
  TExploreSelection s;
  s.AnalysisVariables = o.Columns("analysis-variables");
  s.Dependent = o.Column("dependent-variable");
  s.Independent = o.Columns("independent-variables");
  s.Title = o.Text("title");
  return s;
}

bool IsGroupedLoadMode(int mode) {
  switch (mode) {
    case LoadMeasureByLevel:
    case LoadMeasureByRun:
    case LoadColumnsByLevel:
    case LoadColumnsByRun:
    case LoadRowMeansByLevel:
    case LoadRowMeansByRun:
    case LoadMeasureBySingleRun: return true;
    default: return false;
  }
}

std::string BuildExploreRun(TDataList& data, const TExploreSelection& sel, TRunInfo& ri) {
  if (data.DataChanged) data.UpdateData();
  ri.InitRunInfo();
  if (sel.Reference() && !sel.AnalysisVariables.empty())
    return "Choose analysis variables or a dependent variable, not both!";
  if (sel.Reference()) {
    if (sel.Dependent == 0 || sel.Independent.empty()) return NoExploreVariablesText;
    if (std::find(sel.Independent.begin(), sel.Independent.end(), sel.Dependent) !=
        sel.Independent.end())
      return "The dependent variable cannot also be an independent variable!";
  } else if (sel.AnalysisVariables.empty()) {
    return NoExploreVariablesText;
  }

  data.IncludeCol.fill(false);
  if (!sel.Reference()) {
    for (int c : sel.AnalysisVariables) data.IncludeCol[static_cast<std::size_t>(c)] = true;
    ri.Col = true;
    ri.ColRefRun = LoadColumn;
    ri.ColRefRunStr = "C";
    ri.Afirst = *std::min_element(sel.AnalysisVariables.begin(), sel.AnalysisVariables.end());
    ri.Alast = *std::max_element(sel.AnalysisVariables.begin(), sel.AnalysisVariables.end());
    ri.MeasureName = "Value";
    ri.GroupName = "Variable";
  } else {
    ri.measure = sel.Dependent;
    data.IncludeCol[static_cast<std::size_t>(sel.Dependent)] = true;
    ri.MeasureName = data.ColumnTitleOrName(sel.Dependent);
    if (sel.Independent.size() == 1) {
      const int g = sel.Independent[0];
      ri.Ref = true;
      ri.ColRefRun = LoadMeasureByLevel;
      ri.ColRefRunStr = "R";
      ri.index = g;
      ri.GroupName = data.ColumnTitleOrName(g);
      if (data.Highlow[static_cast<std::size_t>(g)]) {
        ri.Afirst = LevelIndex(data.ColumnLow[static_cast<std::size_t>(g)]);
        ri.Alast = LevelIndex(data.ColumnHigh[static_cast<std::size_t>(g)]);
      } else {
        ri.Afirst = 1;  // a grouping column without values gives no sets
        ri.Alast = 0;
      }
    } else {
      ri.Run = true;
      ri.ColRefRun = LoadMeasureByRun;
      ri.ColRefRunStr = "RR";
      ri.RefArray[0] = static_cast<std::int32_t>(sel.Independent.size());
      std::string label;
      for (std::size_t i = 0; i < sel.Independent.size(); ++i) {
        ri.RefArray[i + 1] = sel.Independent[i];
        label += (i ? ", " : "") + data.ColumnTitleOrName(sel.Independent[i]);
      }
      ri.GroupName = label;
      data.SetRunData(ri);
    }
  }
  data.GetGroupCount(ri);
  return {};
}

std::vector<TExploreSet> LoadExploreSets(TDataList& data, TRunInfo& ri) {
  std::vector<TExploreSet> sets;
  data.SetupIndex(ri);
  while (data.GetAR(ri)) {
    TExploreSet s;
    s.Name = ri.CurrentName;
    s.Title = ri.CurrentTitle;
    s.DescCol = data.DescCol;
    s.Values.assign(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
    sets.push_back(std::move(s));
  }
  data.SetupIndex(ri);
  return sets;
}

}  // namespace sorvel
