#include "data/column_selection.h"

#include <algorithm>
#include <cmath>

#include "data/data_rules.h"
#include "data/data_state.h"

namespace sorvel {

namespace {

std::int32_t RoundToLevel(double x) {
  constexpr double lim = 2147483647.0;
  const double r = std::nearbyint(x);  // halves to even, as the loads round levels
  return static_cast<std::int32_t>(std::clamp(r, -lim, lim));
}

bool IsColumn(const TDataList& list, int c) {
  return c >= 1 && c <= list.MaxCol() && c <= MaxColumns;
}

// Runs `load` with the incomplete-pairs filter on the choice's two columns when asked, and
// always leaves the filter off afterwards.
template <class F>
void WithPairsFilter(TDataList& list, const TColumnSelection& sel, bool pairs, F&& load) {
  if (pairs) list.SetProcessPairs(sel.SelectedCol1, sel.SelectedCol2);
  load();
  list.SetProcessPairs(0, 0);
}

std::vector<double> LoadSet(TDataList& list, int v, TRunInfo& ri) {
  list.DataToA_Array(v, ri);
  return std::vector<double>(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
}

void IncludeOnly(TDataList& list, std::initializer_list<int> columns) {
  list.IncludeCol.fill(false);
  for (int c : columns)
    if (c >= 1 && c <= MaxColumns) list.IncludeCol[c] = true;
}

}  // namespace

void TColumnSelection::Start(int csTest) {
  CStest = static_cast<std::uint16_t>(csTest);
  TwoSample = csTest >= ColSelTwoIndependent;
  // Kind 4 has no reference page: a choice left there from another kind cannot stand.
  if (!ReferencePageOffered()) LoadMode = ColSelByColumns;
}

bool TColumnSelection::Activate(std::int32_t columnsChangeCount) {
  if (columnsChangeCount == SeenColumnsChange) return false;
  SeenColumnsChange = columnsChangeCount;
  SelectedCol1 = SelectedCol2 = 1;
  ReferenceCol = DataCol = 1;
  Reference1 = Reference2 = 1;
  LoadMode = ColSelByColumns;
  return true;
}

void TColumnSelection::AcceptColumns(int col1, int col2, bool excludeIncompletePairs,
                                     TRunInfo& ri) {
  LoadMode = ColSelByColumns;
  SelectedCol1 = static_cast<std::int16_t>(col1);
  SelectedCol2 = static_cast<std::int16_t>(col2);
  ExcludeIncompletePairs = excludeIncompletePairs;
  ApplyColumnSelection(*this, ri);
  OKClose = true;
}

void TColumnSelection::AcceptReference(int referenceCol, int dataCol, std::int32_t level1,
                                       std::int32_t level2, TRunInfo& ri) {
  LoadMode = ColSelByReference;
  ReferenceCol = static_cast<std::uint16_t>(referenceCol);
  DataCol = static_cast<std::uint16_t>(dataCol);
  Reference1 = level1;
  Reference2 = level2;
  ApplyColumnSelection(*this, ri);
  OKClose = true;
}

void ApplyColumnSelection(const TColumnSelection& sel, TRunInfo& ri) {
  ri.ColRefRun = sel.LoadMode;
  if (sel.LoadMode == ColSelByReference) {
    ri.index = sel.ReferenceCol;
    ri.measure = sel.DataCol;
  }
}

namespace {

TLevelRange LevelRangeOf(const TDataList& list, int column) {
  TLevelRange r;
  if (!list.HaveData() || !IsColumn(list, column) || !list.Highlow[column]) return r;
  r.Known = true;
  r.Low = RoundToLevel(list.ColumnLow[column]);
  r.High = RoundToLevel(list.ColumnHigh[column]);
  if (r.High > 0) {
    const int high = static_cast<int>(std::to_string(r.High).size());
    const int low = static_cast<int>(std::to_string(r.Low).size());
    // The high end's digits alone would cut a negative low end ("-3" in one character).
    r.MaxLength = std::max(high, low);
  }
  return r;
}

}  // namespace

TLevelRange ReferenceLevelRange(TDataList& list, int column) {
  if (list.DataChanged) list.UpdateData();
  return LevelRangeOf(list, column);
}

TLevelRange ChooseReferenceColumn(TColumnSelection& sel, TDataList& list, int column) {
  sel.ReferenceCol = static_cast<std::uint16_t>(column);
  const TLevelRange r = ReferenceLevelRange(list, column);
  if (r.Known) {
    sel.Reference1 = r.Low;
    sel.Reference2 = r.High;
  }
  return r;
}

std::string ReferenceLevelLabel(const TDataList& list, int column, std::int32_t level) {
  if (!IsColumn(list, column) || !list.StringVar[column]) return {};
  return list.GetLevelName(column, level);
}

std::vector<double> SelectedGroupValues(TDataList& list, const TColumnSelection& sel, TRunInfo& ri,
                                        int group) {
  ApplyColumnSelection(sel, ri);
  std::vector<double> values;
  if (sel.LoadMode == ColSelByReference) {
    IncludeOnly(list, {sel.DataCol});
    values = LoadSet(list, group == 2 ? sel.Reference2 : sel.Reference1, ri);
  } else {
    IncludeOnly(list, {sel.SelectedCol1, sel.SelectedCol2});
    WithPairsFilter(list, sel, sel.ExcludeIncompletePairs && sel.TwoSample, [&] {
      values = LoadSet(list, group == 2 ? sel.SelectedCol2 : sel.SelectedCol1, ri);
    });
  }
  return values;
}

TSelectedPairs SelectedPairValues(TDataList& list, const TColumnSelection& sel, TRunInfo& ri) {
  TSelectedPairs p;
  if (sel.LoadMode != ColSelByColumns) return p;
  ApplyColumnSelection(sel, ri);
  IncludeOnly(list, {sel.SelectedCol1, sel.SelectedCol2});
  WithPairsFilter(list, sel, true, [&] {
    p.X = LoadSet(list, sel.SelectedCol1, ri);
    p.Y = LoadSet(list, sel.SelectedCol2, ri);
  });
  // A transform error in the second load switches the transform off, so the two sets
  // were read on different scales: read both again untransformed.
  if (p.X.size() != p.Y.size()) {
    WithPairsFilter(list, sel, true, [&] {
      p.X = LoadSet(list, sel.SelectedCol1, ri);
      p.Y = LoadSet(list, sel.SelectedCol2, ri);
    });
  }
  return p;
}

std::string SelectedGroupName(const TDataList& list, const TColumnSelection& sel, int group) {
  if (sel.LoadMode == ColSelByReference)
    return list.GetLevelName(sel.ReferenceCol, group == 2 ? sel.Reference2 : sel.Reference1);
  return list.ColumnTitleOrName(group == 2 ? sel.SelectedCol2 : sel.SelectedCol1);
}

namespace {

bool TakeColumn(const TDataList& list, const std::string& option, const std::string& text,
                int& column, std::string& error) {
  if (text.empty()) {
    error = "--" + option + " is needed";
    return false;
  }
  column = FindColumn(list, text);
  if (column == 0) {
    error = "--" + option + ": no column '" + text + "'";
    return false;
  }
  return true;
}

bool TakeLevel(const TDataList& list, const std::string& option, const std::string& text,
               int column, std::int32_t& level, std::string& error) {
  if (text.empty()) {
    error = "--" + option + " is needed";
    return false;
  }
  const std::string bad =
      "--" + option + ": no level '" + text + "' in column '" + list.ColumnName(column) + "'";
  const TLevelRange range = LevelRangeOf(list, column);
  double x = 0;
  if (ReadTypedNumber(text, x) && x == std::floor(x)) {
    if (range.Known && x >= range.Low && x <= range.High) {
      level = static_cast<std::int32_t>(x);
      return true;
    }
  }
  if (list.StringVar[column]) {
    for (int k = 1; k <= list.LevelCount(column); ++k)
      if (list.GetLevelName(column, k) == text) {
        level = k;
        return true;
      }
  }
  error = bad;
  return false;
}

}  // namespace

bool ColumnSelectionFromTexts(const TDataList& list, const TColumnSelectionTexts& t, int csTest,
                              TColumnSelection& sel, TRunInfo& ri, std::string& error) {
  sel.Start(csTest);
  const bool byColumns = !t.Group1.empty() || !t.Group2.empty() || t.ExcludeIncompletePairs;
  const bool byReference =
      !t.Reference.empty() || !t.Data.empty() || !t.Level1.empty() || !t.Level2.empty();
  if (byColumns && byReference) {
    error =
        "--group1/--group2 and --reference/--data/--level1/--level2 choose different "
        "pages: give one set";
    return false;
  }
  if (byReference) {
    if (!sel.ReferencePageOffered()) {
      error = "two dependent samples take --group1 and --group2, not --reference";
      return false;
    }
    int refCol = 0, dataCol = 0;
    std::int32_t l1 = 0, l2 = 0;
    if (!TakeColumn(list, "reference", t.Reference, refCol, error) ||
        !TakeColumn(list, "data", t.Data, dataCol, error) ||
        !TakeLevel(list, "level1", t.Level1, refCol, l1, error))
      return false;
    if (sel.TwoSample) {
      if (!TakeLevel(list, "level2", t.Level2, refCol, l2, error)) return false;
    } else if (!t.Level2.empty()) {
      error = "--level2 is for two-sample tests";
      return false;
    }
    sel.AcceptReference(refCol, dataCol, l1, sel.TwoSample ? l2 : l1, ri);
    return true;
  }
  int c1 = 0, c2 = 0;
  if (!TakeColumn(list, "group1", t.Group1, c1, error)) return false;
  if (sel.TwoSample) {
    if (!TakeColumn(list, "group2", t.Group2, c2, error)) return false;
  } else if (!t.Group2.empty() || t.ExcludeIncompletePairs) {
    error = std::string(t.Group2.empty() ? "--exclude-incomplete-pairs" : "--group2") +
            " is for two-sample tests";
    return false;
  }
  sel.AcceptColumns(c1, sel.TwoSample ? c2 : c1, t.ExcludeIncompletePairs, ri);
  return true;
}

TColumnSelectionTexts ColumnSelectionToTexts(const TColumnSelection& sel) {
  TColumnSelectionTexts t;
  if (sel.LoadMode == ColSelByReference) {
    t.Reference = std::to_string(sel.ReferenceCol);
    t.Data = std::to_string(sel.DataCol);
    t.Level1 = std::to_string(sel.Reference1);
    if (sel.TwoSample) t.Level2 = std::to_string(sel.Reference2);
  } else {
    t.Group1 = std::to_string(sel.SelectedCol1);
    if (sel.TwoSample) {
      t.Group2 = std::to_string(sel.SelectedCol2);
      t.ExcludeIncompletePairs = sel.ExcludeIncompletePairs;
    }
  }
  return t;
}

}  // namespace sorvel
