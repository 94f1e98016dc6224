#include "explore/histogram.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/data_list.h"
#include "data/data_state.h"
#include "explore/explore_selection.h"
#include "explore/include_guard.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "output/report_table.h"
#include "output/report_writer.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

constexpr TRgb Lime = 0x00FF00;

double Rnd(double x) { return std::nearbyint(x); }  // halves to even

// A label number: 9 decimals, trailing zeros and point removed.
std::string LabelNumber(double x) {
  std::string s = FormatReal(x, 9);
  if (s.find('.') != std::string::npos) {
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
  }
  return s;
}

double IntervalCount(double hi, double f, double g) { return Rnd((hi + g - (f - g / 2)) / g); }

bool ReadBox(const std::string& text, double& x) { return ReadPlainNumber(text, x); }

}  // namespace

double MoveFirstMidpointDown(double f, double g, double lo) {
  const double tol = g / 10000;
  if (!(f - g / 2 + tol > lo)) return f;
  const double k = std::ceil((f - g / 2 + tol - lo) / g);
  double moved = f - k * g;
  // The rounding of k * g may leave it one interval off either way.
  for (int i = 0; i < 4 && moved - g / 2 + tol > lo; ++i) moved -= g;
  for (int i = 0; i < 4 && moved + g < f && !(moved + g - g / 2 + tol > lo); ++i) moved += g;
  return moved;
}

double SmallestRise(std::span<const double> values) {
  double gap = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < values.size(); ++i) {
    const double d = values[i] - values[i - 1];
    if (d > 0 && d < gap) gap = d;
  }
  return gap;
}

double NiceInterval(double width, double target, std::span<const double> sorted) {
  if (sorted.size() < 2 || sorted.front() == sorted.back()) return 1;
  return NiceStep(std::max(width / target, SmallestRise(sorted)));
}

double NiceStep(double v) {
  if (!(v > 0) || !std::isfinite(v)) return 1;
  const double k = std::log10(v);
  double e = k < 0 ? std::trunc(std::abs(k) + 1) : k > 0 ? -std::trunc(std::abs(k)) : 0;
  e += 1;
  if (e < -20) e = 0;
  const double t = Rnd(v * std::pow(10.0, e));
  const double step = t < 15 ? 10 : t < 27 ? 20 : t < 42 ? 30 : t < 75 ? 50 : 100;
  return step / std::pow(10.0, e);
}

double AutoFirstMidpoint(double lo, double g) {
  const double sign = lo > 0 ? 1 : lo < 0 ? -1 : 0;
  return g * std::trunc((lo + sign * g / 2) / g);
}

int MidpointDecimals(double g, const std::string& typedSize) {
  int d = 0;
  if (g > 0) {
    const double s = std::log10(g);
    if (s < 0) d = static_cast<int>(std::trunc(-s)) + 1;
    if (d > 10) d = 0;
  }
  const auto dot = typedSize.find('.');
  if (g > 0 && dot != std::string::npos) {
    std::size_t end = dot + 1;
    while (end < typedSize.size() && std::isdigit(static_cast<unsigned char>(typedSize[end])))
      ++end;
    d = std::max(d, static_cast<int>(end - dot - 1));
  }
  return d;
}

THistogram ComputeHistogram(std::span<double> values, const THistogramInputs& in,
                            const std::function<void(const std::string&)>& warn) {
  const THistogramOptions& o = in.Options;
  THistogram h;
  h.n = static_cast<std::int32_t>(values.size());
  if (h.n == 0) return h;
  TStatsEngine e(values);
  e.SortAndQuartiles();
  h.Scale = o.RelativeFrequencies ? 1.0 / h.n : 1.0;
  double lo = o.ConstantXAxis ? in.GrandLow : e.Stats.Low;
  double hi = o.ConstantXAxis ? in.GrandHigh : e.Stats.High;
  if (o.Specifications)
    for (double limit : {in.LSL, in.Target, in.USL})
      if (IsPresent(limit)) {
        lo = std::min(lo, limit);
        hi = std::max(hi, limit);
      }
  h.Lo = lo;
  h.Hi = hi;
  if (o.NormalCurve || o.ProcessLimits) {
    e.MeanAndVariance();
    h.Mean = e.Stats.Mean;
    h.Variance = e.Stats.Variance;
    h.StdDev = e.Stats.StdDev;
  }

  const std::span<const double> sorted = values;
  auto automaticSize = [&] {
    return NiceInterval(hi - lo, std::min(h.n / 100.0 + 10, 20.0), sorted);
  };
  auto automaticMidpoint = [&](double g) { return h.n == 1 ? lo : AutoFirstMidpoint(lo, g); };

  double typedSize = 0, typedMidpoint = 0;
  const bool sizeTyped =
      o.IntervalSizeOn && ReadBox(o.IntervalSizeText, typedSize) && typedSize > 0;
  const bool midpointTyped = o.FirstMidpointOn && ReadBox(o.FirstMidpointText, typedMidpoint);
  double g = sizeTyped ? typedSize : automaticSize();
  double f = midpointTyped ? MoveFirstMidpointDown(typedMidpoint, g, lo) : automaticMidpoint(g);
  double m = IntervalCount(hi, f, g);
  if ((sizeTyped || midpointTyped) && !(m <= MaxHistogramIntervals)) {
    h.TooManyIntervals = true;
    if (warn) warn(TooManyIntervalsText);
    g = automaticSize();
    f = automaticMidpoint(g);
    m = IntervalCount(hi, f, g);
  }
  // Only ranges beyond 1e21 get here; coarser steps of the same kind keep the counters few.
  while (!(m <= MaxHistogramIntervals)) {
    g *= 10;
    f = automaticMidpoint(g);
    m = IntervalCount(hi, f, g);
  }
  const bool showTyped = sizeTyped && !h.TooManyIntervals;
  h.g = g;
  h.f = f;
  h.SizeUsed = "Size Used: (" + (showTyped ? o.IntervalSizeText : LabelNumber(g)) + ")";
  h.FirstUsed = "First Used: (" + LabelNumber(f) + ")";
  h.MidpointDecimals = MidpointDecimals(g, showTyped ? o.IntervalSizeText : std::string());

  // One pass over the sorted values; a value on a boundary belongs to the lower interval.
  const auto intervals = static_cast<std::size_t>(std::max(m, 0.0));
  h.Counts.assign(intervals + 1, 0);
  const double tol = g / 10000;
  std::size_t j = 0;
  const std::size_t n = values.size();
  for (std::size_t i = 0; i < intervals && j < n; ++i) {
    const double bound = f + g / 2 + static_cast<double>(i) * g + tol;
    std::int32_t k = 0;
    while (j < n && values[j] < bound) {
      ++k;
      ++j;
    }
    h.Counts[i] = k;
  }
  h.MaxCount = *std::max_element(h.Counts.begin(), h.Counts.end());

  if (o.NormalCurve && h.StdDev > 0) {
    h.H = h.n * (1 - NormalTail(g / (2 * h.StdDev), 2));
    if (h.H > h.MaxCount) h.MaxCount = static_cast<std::int32_t>(Rnd(h.H));
  }

  // Intervals drawn: up to the first midpoint beyond hi + g/2, or the last counter.
  std::int32_t drawn = 0;
  for (std::size_t k = 0; k < h.Counts.size(); ++k) {
    ++drawn;
    if (f + static_cast<double>(k) * g > hi + g / 2) break;
  }
  h.Drawn = drawn;
  h.AxisMin = f - g;
  // Histograms add an empty bar, polygons a zero point, after the last interval.
  h.AxisMax = f + static_cast<double>(drawn) * g;

  if (o.NormalCurve && h.StdDev > 0) {
    while (h.AxisMin > h.Mean - 3 * h.StdDev) h.AxisMin -= g;
    while (h.AxisMax < h.Mean + 3 * h.StdDev) h.AxisMax += g;
    // A tenth of a standard deviation apart, but never more than 10,000 points (a
    // specification limit far from the data widens the range).
    const double step = std::max(h.StdDev / 10, (h.AxisMax - h.AxisMin) / 10000);
    const double height = h.H * h.Scale;
    for (double x = h.AxisMin; x <= h.AxisMax + step * 1e-9; x += step) {
      const double z = x - h.Mean;
      h.CurveX.push_back(x);
      h.CurveY.push_back(std::exp(-z * z / (2 * h.Variance)) * height);
    }
  }
  return h;
}

std::string HistogramTitle(THistogramType type, bool allItem, int listCount, int mode,
                           const std::string& groupName, const std::string& currentTitle) {
  std::string t = type == THistogramType::FrequencyPolygons ? "Frequency Polygon: " : "Histogram: ";
  if (allItem && listCount >= 2) return t + "(All)";
  if (IsGroupedLoadMode(mode)) return t + groupName + " (" + currentTitle + ")";
  return t + currentTitle;
}

TChart HistogramChart(const THistogram& h, const THistogramInputs& in,
                      const THistogramLabels& labels) {
  const THistogramOptions& o = in.Options;
  TChart c;
  c.BlackWhite = labels.BlackWhite;
  c.Title = labels.Title;
  if (!labels.Foot.empty()) c.Foot = {labels.Foot};
  c.Bottom.Title = labels.MeasureName;
  TChartAxis& left = c.Panels[0].Left;
  left.Title = o.RelativeFrequencies ? "Relative Frequency" : "Frequency";
  left.Format = o.RelativeFrequencies ? "#,##0.000" : "#,##0.###";
  if (h.n == 0) return c;
  const double s = h.Scale;
  const double top = h.MaxCount * s;

  auto& room = c.Add(TSeriesKind::Range, "");
  room.X = {h.Lo, h.Hi};
  room.Y = {1.2 * top, 1.2 * top};

  const TChartColor limitColor{ChartRed, ChartBlack};
  auto verticals = [&](const char* title, const std::vector<std::pair<double, std::string>>& at,
                       double height, TChartColor color) {
    if (at.empty()) return;
    auto& lines = c.Add(TSeriesKind::Lines, title);
    lines.Palette = {color};
    lines.Width = 2;
    auto& marks = c.Add(TSeriesKind::Points, title);
    marks.Palette = {color};
    marks.Size = 0;
    for (const auto& [x, mark] : at) {
      lines.X.push_back(x);
      lines.Y.push_back(0);
      lines.X2.push_back(x);
      lines.Y2.push_back(height);
      marks.X.push_back(x);
      marks.Y.push_back(height);
      marks.Labels.push_back(mark);
    }
  };
  const double g = h.g;
  if (o.Type == THistogramType::Histograms) {
    auto& bars = c.Add(TSeriesKind::Bars, left.Title);
    bars.Palette = {{Lime, ChartSilver}};
    bars.Width = g;  // a bar fills its interval
    for (std::int32_t k = 0; k < h.Drawn; ++k) {
      bars.X.push_back(h.f + k * g);
      bars.Y.push_back(h.Counts[static_cast<std::size_t>(k)] * s);
    }
    // Empty bars fill the slots the axis adds (after the data, and for the curve).
    for (double x = h.f + h.Drawn * g; x <= h.AxisMax + g / 2; x += g) {
      bars.X.push_back(x);
      bars.Y.push_back(0);
    }
    for (double x = h.f - 2 * g; x >= h.AxisMin - g / 2; x -= g) {
      bars.X.insert(bars.X.begin(), x);
      bars.Y.insert(bars.Y.begin(), 0);
    }
  } else {
    auto& line = c.Add(TSeriesKind::Line, left.Title);
    line.Palette = {{Lime, ChartBlack}};
    line.Width = 3;
    line.X.push_back(h.f - g);
    line.Y.push_back(0);
    for (std::int32_t k = 0; k < h.Drawn; ++k) {
      line.X.push_back(h.f + k * g);
      line.Y.push_back(h.Counts[static_cast<std::size_t>(k)] * s);
    }
    line.X.push_back(h.f + h.Drawn * g);
    line.Y.push_back(0);
  }
  if (!h.CurveX.empty()) {
    auto& curve = c.Add(TSeriesKind::Line, "Normal Curve");
    curve.Palette = {limitColor};
    curve.Width = 2;
    curve.X = h.CurveX;
    curve.Y = h.CurveY;
  }
  // The limit lines over the bars.
  if (o.Specifications) {
    std::vector<std::pair<double, std::string>> at;
    if (IsPresent(in.LSL)) at.emplace_back(in.LSL, "LSL");
    if (IsPresent(in.Target)) at.emplace_back(in.Target, "Target");
    if (IsPresent(in.USL)) at.emplace_back(in.USL, "USL");
    verticals("Specifications", at, 1.1 * top, limitColor);
  }
  if (o.ProcessLimits)
    verticals("Process Limits",
              {{h.Mean, "Mean"}, {h.Mean - 3 * h.StdDev, "LPL"}, {h.Mean + 3 * h.StdDev, "UPL"}},
              1.05 * top, {ChartBlack, ChartBlack});

  auto& n = c.Add(TSeriesKind::TopText, "n");
  n.X = {h.AxisMax - 0.05 * (h.AxisMax - h.AxisMin)};
  n.Labels = {"n=" + std::to_string(h.n)};

  c.Bottom.Automatic = false;
  c.Bottom.Min = h.AxisMin;
  c.Bottom.Max = h.AxisMax;
  c.Bottom.Format = "#,##0.#########";
  return c;
}

void WriteHistogramReport(const THistogram& h, const THistogramInputs& in,
                          const THistogramLabels& labels, int decimals) {
  TitleStyle(10);
  for (const auto& line : labels.Title) WriteLine(line);
  BodyStyle(8);
  if (!labels.Foot.empty()) WriteLine(labels.Foot);
  WriteBlankLine();
  WriteLine(h.SizeUsed + "   " + h.FirstUsed);
  WriteLine("n = " + std::to_string(h.n));
  WriteBlankLine();
  const bool relative = in.Options.RelativeFrequencies;
  using A = TReportTable::TAlign;
  TReportTable t;
  t.AddColumn("Midpoint", A::Right);
  t.AddColumn(relative ? "Relative Frequency" : "Frequency", A::Right);
  for (std::int32_t k = 0; k < h.Drawn; ++k) {
    const double count = h.Counts[static_cast<std::size_t>(k)];
    t.AddRow({FormatReal(h.f + k * h.g, h.MidpointDecimals),
              relative ? FormatReal(count * h.Scale, decimals) : TReportTable::Count(count)});
  }
  t.Write();
}

std::vector<std::string> HistogramSetList(TDataList& data, TRunInfo& ri,
                                          std::vector<std::string>* indexes) {
  std::vector<std::string> names, index;
  data.SetupVarList(ri, names, index);
  if (names.size() > 1) names.insert(names.begin(), "(All)");
  if (indexes) *indexes = std::move(index);
  return names;
}

void LoadHistogramItem(TDataList& data, TRunInfo& ri, const std::vector<std::string>& indexes,
                       int item) {
  if (item == 0 && indexes.size() != 1) {
    data.LoadAllToA_Array(ri);
    return;
  }
  const std::string& code = indexes[static_cast<std::size_t>(item == 0 ? 0 : item - 1)];
  const auto comma = code.find(',');
  if (comma != std::string::npos) {
    ri.ColIndex = std::stoi(code.substr(0, comma));
    ri.v = std::stoi(code.substr(comma + 1));
  } else {
    ri.v = std::stoi(code);
  }
  data.DataToA_Array(ri.v, ri);
  data.SetCurrentTitles(ri);
}

bool HistogramGrandRange(TDataList& data, TRunInfo& ri, double& low, double& high) {
  data.LoadAllToA_Array(ri);
  if (A_ArrayCount == 0) return false;
  low = *std::min_element(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
  high = *std::max_element(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
  return true;
}

THistogramDrawing DrawHistogramItem(TDataList& data, TRunInfo& ri,
                                    const std::vector<std::string>& indexes, int item,
                                    int listCount, const THistogramOptions& options,
                                    double grandLow, double grandHigh,
                                    const std::string& reportTitle, bool blackWhite,
                                    const std::function<void(const std::string&)>& warn) {
  THistogramDrawing d;
  LoadHistogramItem(data, ri, indexes, item);
  THistogramInputs& in = d.Inputs;
  in.Options = options;
  in.GrandLow = grandLow;
  in.GrandHigh = grandHigh;
  in.LSL = data.ColumnLSL(data.DescCol);
  in.Target = data.ColumnTarget(data.DescCol);
  in.USL = data.ColumnUSL(data.DescCol);
  THistogramLabels& labels = d.Labels;
  if (!reportTitle.empty()) labels.Title.push_back(reportTitle);
  labels.Title.push_back(HistogramTitle(options.Type, item == 0, listCount, ri.ColRefRun,
                                        ri.GroupName, ri.CurrentTitle));
  labels.MeasureName = ri.MeasureName;
  labels.BlackWhite = blackWhite;
  if (options.FileModifications) labels.Foot = FileModificationsFoot();
  std::vector<double> values(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
  d.Histogram = ComputeHistogram(values, in, warn);
  d.Chart = HistogramChart(d.Histogram, in, labels);
  return d;
}

namespace {

// "all", an item number (1 the first set) or a set's name; -1 when none matches.
int FindSetItem(const std::string& text, const std::vector<std::string>& list) {
  const bool hasAll = list.size() > 1;
  if (text == "all" || text == "(All)") return 0;
  double x = 0;
  if (ReadPlainNumber(text, x) && x == std::trunc(x)) {
    const int sets = static_cast<int>(list.size()) - (hasAll ? 1 : 0);
    if (x < 1 || x > sets) return -1;
    return hasAll ? static_cast<int>(x) : 0;
  }
  for (std::size_t i = hasAll ? 1 : 0; i < list.size(); ++i)
    if (list[i] == text) return static_cast<int>(i);
  return -1;
}

}  // namespace

std::string ReadIntervalBoxes(const TOptionValues& o, bool& sizeOn, std::string& sizeText,
                              bool& midpointOn, std::string& midpointText) {
  auto box = [&](const char* name, bool& on, std::string& text) -> std::string {
    text = o.Text(name);
    on = !text.empty();
    double x = 0;
    if (on && !ReadPlainNumber(text, x)) return "'" + text + "' is not a valid number!";
    return {};
  };
  if (std::string e = box("interval-size", sizeOn, sizeText); !e.empty()) return e;
  double size = 0;
  if (sizeOn && ReadPlainNumber(sizeText, size) && size < 0)
    return "Interval Size must not be negative!";
  return box("first-midpoint", midpointOn, midpointText);
}

TAnalysis HistogramAnalysis() {
  TAnalysis a;
  a.Name = HistogramCommand;
  a.Summary =
      "Histogram or frequency polygon of Explore's sets, with a nice interval size, "
      "normal curve, specification and process limits.";
  a.NeedsData = true;
  a.DrawsPicture = true;
  a.Options = ExploreSelectionOptions();
  using K = TOptionKind;
  TOptionSpec type =
      GraphOption("type", K::Choice, "histograms", "Type", "bars or a frequency polygon");
  type.Choices = {
      ChoiceOf(THistogramType::Histograms, "histograms", "Histograms"),
      ChoiceOf(THistogramType::FrequencyPolygons, "frequency-polygons", "Frequency Polygons")};
  for (TOptionSpec s : {
           GraphOption("set", K::Text, "all", "Set",
                       "all, a set's number (1 the first) or its name"),
           GraphOption("interval-size", K::Text, "", "Interval Size",
                       "the interval size (empty or 0: the automatic size)"),
           GraphOption("first-midpoint", K::Text, "", "First Midpoint",
                       "the first midpoint, moved down to the data (empty: automatic)"),
           GraphOption("constant-x-axis", K::Flag, "", "Constant X Axis",
                       "the range of all sets for every set"),
           GraphOption("normal-curve", K::Flag, "", "Normal Curve", "the fitted normal curve"),
           type,
           GraphOption("relative-frequencies", K::Flag, "", "Relative Frequencies",
                       "heights as fractions of n"),
           GraphOption("display-process-limits", K::Flag, "", "Display Process Limits",
                       "lines at the mean and the mean +- 3 standard deviations"),
           GraphOption("no-display-specifications", K::Flag, "", "Display Specifications",
                       "leave out the column's LSL, Target and USL"),
           GraphOption("add-file-modifications-to-chart", K::Flag, "",
                       "Add File Modifications to Chart",
                       "the data rules in force as the chart's foot"),
           GraphOption("black-white", K::Flag, "", "Black & White", "draw in black and white"),
       })
    a.Options.push_back(std::move(s));
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TDataList& data = *context.Data;
    TIncludeColumnsGuard guard(data);
    TRunInfo ri;
    const TExploreSelection sel = ReadExploreSelection(o);
    if (std::string error = BuildExploreRun(data, sel, ri); !error.empty())
      return TOutcome::Refuse(error);
    std::vector<std::string> indexes;
    const std::vector<std::string> list = HistogramSetList(data, ri, &indexes);
    if (list.empty()) return TOutcome::Refuse("There are no values in the chosen sets!");
    const int item = FindSetItem(o.Text("set"), list);
    if (item < 0) return TOutcome::Refuse("'" + o.Text("set") + "' is not a set of the run!");

    THistogramOptions ho;
    if (std::string e = ReadIntervalBoxes(o, ho.IntervalSizeOn, ho.IntervalSizeText,
                                          ho.FirstMidpointOn, ho.FirstMidpointText);
        !e.empty())
      return TOutcome::Refuse(e);
    ho.ConstantXAxis = o.Flag("constant-x-axis");
    ho.NormalCurve = o.Flag("normal-curve");
    ho.Type = o.Choice<THistogramType>("type");
    ho.RelativeFrequencies = o.Flag("relative-frequencies");
    ho.ProcessLimits = o.Flag("display-process-limits");
    ho.Specifications = !o.Flag("no-display-specifications");
    ho.FileModifications = o.Flag("add-file-modifications-to-chart");

    double low = 0, high = 0;
    HistogramGrandRange(data, ri, low, high);
    THistogramDrawing d =
        DrawHistogramItem(data, ri, indexes, item, static_cast<int>(list.size()), ho, low, high,
                          sel.Title, o.Flag("black-white"), context.Warn);
    TOutcome out;
    out.Chart = std::move(d.Chart);
    TReportScope scope(out.Report);
    WriteHistogramReport(d.Histogram, d.Inputs, d.Labels, o.Decimals());
    return out;
  };
  return a;
}

}  // namespace sorvel
