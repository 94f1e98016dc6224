#include "explore/frequency_plot.h"

#include <algorithm>
#include <cmath>

#include "data/data_list.h"
#include "data/data_state.h"
#include "explore/explore_selection.h"
#include "explore/histogram.h"
#include "explore/include_guard.h"
#include "numerics/format.h"
#include "output/grid_print.h"
#include "output/report_writer.h"

namespace sorvel {

namespace {

constexpr std::size_t MaxRows = static_cast<std::size_t>(MaxHistogramIntervals);

// The rows the midpoints give (m from f + tol by g while high + g/2 > m); more than MaxRows
// as MaxRows + 1, without walking them.
std::size_t CountRows(double f, double g, double high) {
  const double tol = g / 10000;
  const double estimate = (high + g / 2 - f - tol) / g;
  if (!(estimate <= MaxRows + 2.0)) return MaxRows + 1;
  std::size_t rows = 0;
  // A g lost in the midpoint's rounding never advances: the cap ends that too.
  for (double m = f + tol; high + g / 2 > m && rows <= MaxRows; m += g) ++rows;
  return rows;
}

void FillRows(TFrequencyIntervals& iv, std::size_t rows, double high) {
  const double g = iv.Size, tol = g / 10000;
  double m = iv.FirstMidpoint + tol, bound = iv.FirstMidpoint + g / 2 + tol;
  auto add = [&] {
    iv.Labels.push_back(FormatReal(m, iv.MidpointDecimals));
    iv.Bounds.push_back(bound);
    m += g;
    bound += g;
  };
  iv.Labels.reserve(rows + 1);
  iv.Bounds.reserve(rows + 1);
  for (std::size_t i = 0; i < rows; ++i) add();
  // The largest value lying exactly on the last bound (or a first midpoint above all the
  // values) would fall past every row and go uncounted: add the row it belongs to.
  while ((iv.Bounds.empty() || !(high < iv.Bounds.back())) && iv.Bounds.size() <= MaxRows) {
    if (!iv.Bounds.empty() && !(bound > iv.Bounds.back())) break;
    add();
  }
}

std::string CellText(TFrequencyType type, std::int32_t k, std::int64_t cumulative, std::size_t n,
                     int decimals) {
  switch (type) {
    case TFrequencyType::Frequencies: return std::to_string(k);
    case TFrequencyType::RelativeFrequencies:
      return FormatReal(static_cast<double>(k) / static_cast<double>(n), decimals);
    case TFrequencyType::CumulativeFrequencies:
      return FormatReal(static_cast<double>(cumulative) / static_cast<double>(n), decimals);
  }
  return {};
}

}  // namespace

TFrequencyIntervals FrequencyIntervals(std::span<const double> pooled, const TFrequencyOptions& o,
                                       const std::function<void(const std::string&)>& warn) {
  TFrequencyIntervals iv;
  if (pooled.empty()) return iv;
  const auto [lowIt, highIt] = std::minmax_element(pooled.begin(), pooled.end());
  const double low = *lowIt, high = *highIt;
  auto automaticSize = [&] {
    if (pooled.size() < 2 || high == low) return 1.0;
    double v = (high - low) / 20;
    // The data's resolution counts only for positive data, from the values as loaded;
    // values that never rise in that order give none.
    if (low > 0) {
      const double rise = SmallestRise(pooled);
      if (std::isfinite(rise) && v < rise) v = rise;
    }
    return NiceStep(v);
  };
  auto automaticMidpoint = [&](double g) {
    return pooled.size() == 1 ? low : AutoFirstMidpoint(low, g);
  };

  double typedSize = 0, typedMidpoint = 0;
  const bool sizeTyped = o.IntervalSizeOn && ReadPlainNumber(o.IntervalSizeText, typedSize) &&
                         typedSize > 0 && std::isfinite(typedSize);
  const bool midpointTyped = o.FirstMidpointOn &&
                             ReadPlainNumber(o.FirstMidpointText, typedMidpoint) &&
                             std::isfinite(typedMidpoint);
  double g = sizeTyped ? typedSize : automaticSize();
  double f = midpointTyped ? MoveFirstMidpointDown(typedMidpoint, g, low) : automaticMidpoint(g);
  std::size_t rows = CountRows(f, g, high);
  if ((sizeTyped || midpointTyped) && rows > MaxRows) {
    iv.TooManyIntervals = true;
    if (warn) warn(TooManyIntervalsText);
    g = automaticSize();
    f = automaticMidpoint(g);
    rows = CountRows(f, g, high);
  }
  // Only values spanning more than the doubles' precision allows get here; coarser steps
  // of the same kind keep the rows few.
  for (int i = 0; rows > MaxRows && i < 700 && std::isfinite(g * 10); ++i) {
    g *= 10;
    f = automaticMidpoint(g);
    rows = CountRows(f, g, high);
  }
  iv.Size = g;
  iv.FirstMidpoint = f;
  iv.MidpointDecimals = MidpointDecimals(
      g, o.IntervalSizeOn && !iv.TooManyIntervals ? o.IntervalSizeText : std::string());
  FillRows(iv, std::min(rows, MaxRows), high);
  return iv;
}

std::vector<std::int32_t> CountIntervals(std::span<const double> values,
                                         const TFrequencyIntervals& iv) {
  const std::size_t rows = iv.Rows();
  std::vector<std::int32_t> counts(rows, 0);
  if (rows == 0) return counts;
  // The row from the first bound and the size, then checked against the added-up bounds
  // (which drift from it by roundings): the same rows as a walk over sorted values, without
  // the sort.
  const double* bounds = iv.Bounds.data();
  const double first = bounds[0], g = iv.Size;
  const std::size_t last = rows - 1;
  for (const double x : values) {
    const double at = (x - first) / g;
    std::size_t i = 0;
    if (at >= 0) i = at < static_cast<double>(last) ? static_cast<std::size_t>(at) + 1 : last;
    while (i > 0 && x < bounds[i - 1]) --i;
    while (i < last && !(x < bounds[i])) ++i;
    ++counts[i];
  }
  return counts;
}

TFrequencyTable StartFrequencyTable(std::span<const double> pooled, const TFrequencyOptions& o,
                                    const std::function<void(const std::string&)>& warn) {
  TFrequencyTable t;
  t.Intervals = FrequencyIntervals(pooled, o, warn);
  const int rows = static_cast<int>(t.Intervals.Rows());
  t.Grid.SetSize(1, rows + 1);
  t.Grid.SetCell(0, 0, MidPointText);
  for (int i = 0; i < rows; ++i)
    t.Grid.SetCell(0, i + 1, t.Intervals.Labels[static_cast<std::size_t>(i)]);
  return t;
}

void AddFrequencySet(TFrequencyTable& t, const std::string& title, std::span<const double> values,
                     const TFrequencyOptions& o) {
  const int col = t.Grid.ColCount();
  t.Grid.SetColCount(col + 1);
  t.Grid.SetCell(col, 0, title);
  const std::vector<std::int32_t> counts = CountIntervals(values, t.Intervals);
  std::int64_t cumulative = 0;
  for (std::size_t i = 0; i < counts.size(); ++i) {
    const std::int32_t k = counts[i];
    cumulative += k;
    // An empty interval stays empty in every type, the cumulative one included.
    if (k > 0)
      t.Grid.SetCell(col, static_cast<int>(i) + 1,
                     CellText(o.Type, k, cumulative, values.size(), o.Decimals));
  }
}

TFrequencyTable BuildFrequencyTable(TDataList& data, TRunInfo& ri, const TFrequencyOptions& o,
                                    const std::function<void(const std::string&)>& warn,
                                    const std::function<void(int, int)>& beforeSet) {
  data.LoadAllToA_Array(ri);
  TFrequencyTable t = StartFrequencyTable(
      std::span<const double>(A_Array.data() + 1, static_cast<std::size_t>(A_ArrayCount)), o, warn);
  data.SetupIndex(ri);
  for (int j = 0;; ++j) {
    if (beforeSet) beforeSet(j, ri.NumberOfGroups);
    if (!data.GetAR(ri)) break;
    AddFrequencySet(
        t, ri.CurrentTitle,
        std::span<const double>(A_Array.data() + 1, static_cast<std::size_t>(A_ArrayCount)), o);
  }
  data.SetupIndex(ri);
  return t;
}

TAnalysis FrequencyPlotsAnalysis() {
  TAnalysis a;
  a.Name = FrequencyPlotsCommand;
  a.Summary =
      "Counts per class interval of Explore's sets, one column per set, with shared "
      "intervals from the pooled values.";
  a.NeedsData = true;
  a.Options = ExploreSelectionOptions();
  using K = TOptionKind;
  TOptionSpec type = GraphOption("type", K::Choice, "frequencies", "Type", "what the cells show");
  type.Choices = {
      ChoiceOf(TFrequencyType::Frequencies, "frequencies", "Frequencies"),
      ChoiceOf(TFrequencyType::RelativeFrequencies, "relative-frequencies", "Relative Frequencies"),
      ChoiceOf(TFrequencyType::CumulativeFrequencies, "cumulative-frequencies",
               "Cumulative Frequencies")};
  a.Options.push_back(std::move(type));
  a.Options.push_back(GraphOption("interval-size", K::Text, "", "Interval Size",
                                  "the interval size (empty or 0: the automatic size)"));
  a.Options.push_back(GraphOption("first-midpoint", K::Text, "", "First Midpoint",
                                  "the first midpoint, moved down to the data (empty: automatic)"));
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TDataList& data = *context.Data;
    TIncludeColumnsGuard guard(data);
    TRunInfo ri;
    const TExploreSelection sel = ReadExploreSelection(o);
    if (std::string error = BuildExploreRun(data, sel, ri); !error.empty())
      return TOutcome::Refuse(error);

    TFrequencyOptions fo;
    fo.Type = o.Choice<TFrequencyType>("type");
    fo.Decimals = o.Decimals();
    if (std::string e = ReadIntervalBoxes(o, fo.IntervalSizeOn, fo.IntervalSizeText,
                                          fo.FirstMidpointOn, fo.FirstMidpointText);
        !e.empty())
      return TOutcome::Refuse(e);

    const TFrequencyTable t = BuildFrequencyTable(data, ri, fo, context.Warn);
    if (t.Grid.ColCount() < 2) return TOutcome::Refuse("There are no values in the chosen sets!");
    TOutcome out;
    TReportScope scope(out.Report);
    if (!sel.Title.empty()) {
      TitleStyle(10);
      WriteLine(sel.Title);
    }
    const std::vector<std::string> lines = GridPageLines(t.Grid, FrequencyPlotHeading);
    for (std::size_t k = 0; k < lines.size(); ++k) {
      if (k == 0)
        HeadingStyle(8);
      else
        BodyStyle(8);
      WriteLine(lines[k]);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
