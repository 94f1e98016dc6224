#include "explore/explore_tables.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "data/data_list.h"
#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "explore/explore_selection.h"
#include "explore/include_guard.h"
#include "explore/plots.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/intervals.h"
#include "output/grid_print.h"
#include "output/report_writer.h"
#include "output/text_printer.h"

namespace sorvel {

namespace {

struct TItemDef {
  const char* Text;
  TCustomColour Colour;
};

constexpr TCustomColour L = TCustomColour::Lime, F = TCustomColour::Fuchsia,
                        A = TCustomColour::Aqua, S = TCustomColour::Silver;

// clang-format off
constexpr TItemDef ItemDefs[CustomItemCount] = {
    {"n", L}, {"Sum", L}, {"Mean", F}, {"Mean CI@Mean Confidence Interval", F},
    {"Std Dev@Standard Deviation", A}, {"Std Dev CI@Std Dev Confidence Interval", A},
    {"Variance", A}, {"Variance CI@Variance Confidence Interval", A},
    {"Std(MR)@Std Dev using Average MR", A}, {"Std(MMR)@Std Dev using Median MR", A},
    {"IR@Interquartile Range", A}, {"PSD@Pseudo Std Dev using IR", A},
    {"SIR@Semi-Interquartile Range", A}, {"MD(Avg)@Mean Abs Dev from Mean", A},
    {"MD(Med)@Mean Abs Dev from Median", A}, {"Coeff Var@Coefficent of Variation", A},
    {"Low", S}, {"Q1", S}, {"Median", S}, {"Median(i)@Interpolated Median", S}, {"Q3", S},
    {"High", S}, {"Range", S},
    {"A-D@Anderson-Darling", L}, {"S-W@Shapiro-Wilk", L}, {"L-M@Lin-Mudholkar", L},
    {"Skewness", L}, {"Kurtosis", L}, {"W(E)@Exponential Test", L},
    {"Sorvel(E)@Sorvel Exponential Test", L}, {"Poisson Test", L},
    {"-4s", F}, {"-3s@Lower Process Limit", F}, {"-2s", F}, {"-1s", F}, {"+1s", F}, {"+2s", F},
    {"+3s@Upper Process Limit", F}, {"+4s", F},
    {"4s", A}, {"6s@Natural Tolerance", A}, {"8s", A},
    {"n Below -3s", S}, {"n Above +3s", S},
    {"LSL@Specifications", L}, {"Target", L}, {"USL", L},
    {"n Below Spec@Nonconformance", F}, {"n Above Spec", F}, {"n Out Spec", F},
    {"% Below Spec", F}, {"% Above Spec", F}, {"% Out Spec", F},
    {"Est %Below Spec", F}, {"Est %Above Spec", F}, {"Est %Out Spec", F},
    {"Cp@Capability Measures", A}, {"Cpk", A}, {"Cpm", A},
    {"Pp@Performance Measures", S}, {"Ppk", S}, {"Ppm", S}, {"%Off-Target", S},
    {"P(.005)@Percentiles", L}, {"P(.01)", L}, {"P(.025)", L}, {"P(.05)", L}, {"P(.10)", L},
    {"P(.20)", L}, {"P(.25)", L}, {"P(.30)", L}, {"P(.40)", L}, {"P(.50)", L}, {"P(.60)", L},
    {"P(.70)", L}, {"P(.75)", L}, {"P(.80)", L}, {"P(.90)", L}, {"P(.95)", L}, {"P(.975)", L},
    {"P(.99)", L}, {"P(.995)", L}};

constexpr double PercentileAt[19] = {0.005, 0.01, 0.025, 0.05, 0.10, 0.20, 0.25, 0.30, 0.40, 0.50,
                                     // clang-format on
                                     0.60, 0.70, 0.75, 0.80, 0.90, 0.95, 0.975, 0.99, 0.995};
constexpr int FirstPercentileItem = 63;

// Items whose cells come in pairs.
bool IsTwoSidedItem(int i) { return i == 3 || i == 5 || i == 7; }
bool HasPValueColumn(int i) { return (i >= 23 && i <= 27) || i == 29 || i == 30; }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

std::vector<std::string> SplitList(const std::string& s) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = s.find(',', start);
    out.push_back(
        Trim(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

std::string Fixed(double x, int decimals) { return FormatReal(x, decimals); }
std::string Count(double n) { return FormatReal(n, 0); }

// The kurtosis significance text, marked when alpha reaches the upper end of its range.
std::string KurtosisCell(double g2, int n, double alpha) {
  const TKurtosisSig k = KurtosisSig(g2, n);
  return k.Text + (alpha >= k.Bound ? "*" : " ");
}

double Alpha(const TExploreOptions& o) { return 1 - o.Conf; }

// Builds a table: heading texts, the header row and one grid row per row of the run.
struct TTableBuilder {
  TExploreTable& t;
  int row = 0;
  void Header(const std::string& first, const std::vector<std::string>& cells) {
    t.Grid.SetSize(static_cast<int>(cells.size()) + 1, 1);
    t.Grid.SetCell(0, 0, first);
    t.PValueColumns.assign(cells.size() + 1, false);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      t.Grid.SetCell(static_cast<int>(c) + 1, 0, cells[c]);
      t.PValueColumns[c + 1] = cells[c] == "p-value";
    }
  }
  void Row(const std::string& label, const std::vector<std::string>& cells) {
    ++row;
    t.Grid.SetRowCount(row + 1);
    t.Grid.SetCell(0, row, label);
    for (std::size_t c = 0; c < cells.size(); ++c)
      t.Grid.SetCell(static_cast<int>(c) + 1, row, cells[c]);
  }
};

TExploreSpecs RowSpecs(const TDataList* data, int col) {
  if (!data || col < 1 || col > data->MaxCol()) return {};
  return ExploreSpecsOf(data->ColumnLSL(col), data->ColumnTarget(col), data->ColumnUSL(col));
}

TExploreTable BuildTable(TExplorePage page, const TExploreRows& rows, const TExploreOptions& o,
                         const TDataList* data) {
  TExploreTable t;
  t.Page = page;
  const std::string suffix = TransformationSuffix();
  const int d = std::clamp(o.Decimals, 0, 9);
  const double alpha = Alpha(o);
  TTableBuilder b{t};
  auto f = [d](double x) { return Fixed(x, d); };
  auto f3 = [](double x) { return Fixed(x, 3); };
  auto pcell = [alpha](double p) { return PValueCell(p, alpha); };

  switch (page) {
    case TExplorePage::Descriptives: {
      t.Heading = "Descriptives" + suffix;
      t.PrintHeading = t.ReportHeading = "DESCRIPTIVES";
      b.Header(rows.GroupHeader, {"n", "Mean", "Std Dev", "Low", "High", "Range"});
      for (const TExploreRow& r : rows.Rows) {
        std::vector<double> x = r.Values;
        TStatsEngine e(x);
        // The columns need no order statistics: no sort.
        e.MeanAndVariance();
        e.LowHighRange();
        const TStatsRecord& s = e.Stats;
        b.Row(r.Label, {Count(static_cast<double>(x.size())), f(s.Mean), f(s.StdDev), f(s.Low),
                        f(s.High), f(s.Range)});
      }
      break;
    }
    case TExplorePage::Quartiles: {
      t.Heading = "Quartiles" + suffix;
      t.PrintHeading = t.ReportHeading = "QUARTILES";
      b.Header(rows.GroupHeader, {"n", "Low", "Q1", "Median", "Q3", "High"});
      for (const TExploreRow& r : rows.Rows) {
        std::vector<double> x = r.Values;
        TStatsEngine e(x);
        e.SortAndQuartiles();
        const TStatsRecord& s = e.Stats;
        b.Row(r.Label, {Count(static_cast<double>(x.size())), f(s.Low), f(s.Q1), f(s.Median),
                        f(s.Q3), f(s.High)});
      }
      break;
    }
    case TExplorePage::NormalityTests: {
      t.Heading = "Normality Tests" + suffix;
      t.PrintHeading = t.ReportHeading = "NORMALITY TESTS";
      b.Header(rows.GroupHeader, {"n", "(A-D)A\xC2\xB2*", "p-value", "(S-W)W", "p-value", "(L-M)r",
                                  "p-value", "Skewness", "p-value", "Kurtosis", "p-value"});
      for (const TExploreRow& r : rows.Rows) {
        std::vector<double> x = r.Values;
        TStatsEngine e(x);
        e.StatsByCode('T');
        const TStatsRecord& s = e.Stats;
        const int n = static_cast<int>(x.size());
        b.Row(r.Label, {Count(n), f3(s.ADStat), pcell(s.ADp), f3(s.SWW), pcell(s.SWp), f3(s.LMr),
                        pcell(s.LMp), f3(s.Skewness), pcell(SkewnessP(s.Skew1, n)), f3(s.Kurtosis),
                        KurtosisCell(s.Kurt1, n, alpha)});
      }
      break;
    }
    case TExplorePage::ConfInt: {
      t.Heading = ConfIntHeading(o) + suffix;
      t.PrintHeading = t.Heading;
      t.ReportHeading = Upper(t.Heading);
      b.Header(rows.GroupHeader,
               {"n", "Mean", "Mean(L)", "Mean(H)", "Std Dev", "Std Dev(L)", "Std Dev(H)"});
      const TExplorePooled pooled =
          o.PooledCI ? ExplorePooledValues(rows.Groups(), o.Conf) : TExplorePooled{};
      for (const TExploreRow& r : rows.Rows) {
        std::vector<double> x = r.Values;
        const double n = static_cast<double>(x.size());
        TStatsEngine e(x);
        if (o.PooledCI) {
          e.MeanOnly();
          const double m = e.Stats.Mean, h = n > 0 ? pooled.HalfWidth / std::sqrt(n) : 0;
          b.Row(r.Label, {Count(n), f(m), f(m - h), f(m + h), f(pooled.StdDev), f(pooled.Lower),
                          f(pooled.Upper)});
        } else {
          e.MeanAndVariance();
          TConfI ci;
          ci.SetConf(o.Conf);
          ci.Intervals(e.Stats.Mean, e.Stats.StdDev, static_cast<int>(n));
          b.Row(r.Label, {Count(n), f(ci.m), f(ci.m1), f(ci.m2), f(ci.S), f(ci.s1), f(ci.s2)});
        }
      }
      break;
    }
    case TExplorePage::NatTol: {
      t.Heading = "Natural Tolerance (Assuming Normality)" + suffix;
      t.PrintHeading = "NATURAL TOLERANCE";
      t.ReportHeading = "NATURAL TOLERANCE (Assuming Normality)";
      b.Header(rows.GroupHeader, {"n", "Mean", "Std Dev", "NT Low", "NT High", "NT (6s)"});
      const TExplorePooled pooled =
          o.PooledNT ? ExplorePooledValues(rows.Groups(), o.Conf) : TExplorePooled{};
      for (const TExploreRow& r : rows.Rows) {
        std::vector<double> x = r.Values;
        TStatsEngine e(x);
        e.MeanAndVariance();
        const double m = e.Stats.Mean, sd = o.PooledNT ? pooled.StdDev : e.Stats.StdDev;
        b.Row(r.Label, {Count(static_cast<double>(x.size())), f(m), f(sd), f(m - 3 * sd),
                        f(m + 3 * sd), f(6 * sd)});
      }
      break;
    }
    case TExplorePage::Custom: {
      t.Heading = "Custom Statistics" + suffix;
      t.PrintHeading = "CUSTOM";
      t.ReportHeading = "CUSTOM STATISTICS";
      b.Header(rows.GroupHeader, CustomHeader(o.Custom));
      if (!AnyCustomChecked(o.Custom)) {
        for (const TExploreRow& r : rows.Rows) b.Row(r.Label, {});
        break;
      }
      for (const TExploreRow& r : rows.Rows) {
        TCustomRowStats row =
            PrepareCustomRow(r.Values, o.Custom, o.Conf, RowSpecs(data, r.DescCol));
        std::vector<std::string> cells;
        for (int i = 0; i < CustomItemCount; ++i) {
          if (!o.Custom[static_cast<std::size_t>(i)]) continue;
          for (std::string& c : CustomItemCells(i, row, r.Label, o)) cells.push_back(std::move(c));
        }
        b.Row(r.Label, cells);
      }
      break;
    }
  }
  return t;
}

}  // namespace

// ---------------------------------------------------------------- custom items

const std::vector<TCustomItem>& CustomItems() {
  static const std::vector<TCustomItem> items = [] {
    std::vector<TCustomItem> v;
    for (int i = 0; i < CustomItemCount; ++i) {
      TCustomItem it;
      it.Text = ItemDefs[i].Text;
      const auto at = it.Text.find('@');
      it.ShortName = it.Text.substr(0, at);
      if (at != std::string::npos) it.Group = it.Text.substr(at + 1);
      it.TwoSided = IsTwoSidedItem(i);
      it.PValue = HasPValueColumn(i);
      it.Columns = it.TwoSided || it.PValue ? 2 : 1;
      it.Colour = ItemDefs[i].Colour;
      v.push_back(std::move(it));
    }
    return v;
  }();
  return items;
}

int FindCustomItem(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return -1;
  if (std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (t.size() > 2) return -1;
    const int k = std::stoi(t);
    return k < CustomItemCount ? k : -1;
  }
  const auto& items = CustomItems();
  for (int i = 0; i < CustomItemCount; ++i)
    if (items[static_cast<std::size_t>(i)].ShortName == t) return i;
  int found = -1;
  for (int i = 0; i < CustomItemCount; ++i)
    if (Lower(items[static_cast<std::size_t>(i)].ShortName) == Lower(t)) {
      if (found >= 0) return -1;
      found = i;
    }
  return found;
}

bool AnyCustomChecked(const TCustomChecks& checks) {
  return std::any_of(checks.begin(), checks.end(), [](bool b) { return b; });
}

std::vector<std::string> CustomHeader(const TCustomChecks& checks) {
  std::vector<std::string> h;
  const auto& items = CustomItems();
  for (int i = 0; i < CustomItemCount; ++i) {
    if (!checks[static_cast<std::size_t>(i)]) continue;
    const TCustomItem& it = items[static_cast<std::size_t>(i)];
    if (it.TwoSided) {
      h.push_back(it.ShortName + "(L)");
      h.push_back(it.ShortName + "(H)");
    } else {
      h.push_back(it.ShortName);
      if (it.PValue) h.push_back("p-value");
    }
  }
  return h;
}

// ---------------------------------------------------------------- rows

TExploreRows LoadExploreRows(TDataList& data, TRunInfo& ri) {
  TExploreRows rows;
  rows.GroupHeader = ri.Run ? "Run" : ri.GroupName;
  rows.Combined = ri.NumberOfGroups > 1;
  if (rows.Combined) {
    data.LoadAllToA_Array(ri);
    TExploreRow all;
    all.Label = "(All)";
    all.DescCol = data.DescCol;
    all.Values.assign(A_Array.begin() + 1, A_Array.begin() + 1 + A_ArrayCount);
    rows.Rows.push_back(std::move(all));
  }
  for (TExploreSet& s : LoadExploreSets(data, ri)) {
    TExploreRow r;
    r.Label = s.Title;
    r.DescCol = s.DescCol;
    r.Values = std::move(s.Values);
    rows.Rows.push_back(std::move(r));
  }
  return rows;
}

// ---------------------------------------------------------------- tables

std::string TransformationSuffix() {
  if (TransformRec.no == TransformNone) return {};
  return " (" + TransformFormulaText(TransformRec) + ")";
}

std::string ConfIntHeading(const TExploreOptions& o) {
  const std::string pct = o.ConfText.empty() ? FormatGeneral(100 * o.Conf, 10) : o.ConfText;
  return pct + "% Confidence Intervals";
}

TExploreTable ComputeExploreTable(TExplorePage page, const TExploreRows& rows,
                                  const TExploreOptions& options) {
  return BuildTable(page, rows, options, nullptr);
}

TExploreTable ComputeExploreTable(TExplorePage page, TDataList& data, TRunInfo& ri,
                                  const TExploreOptions& options) {
  const TExploreRows rows = LoadExploreRows(data, ri);
  return BuildTable(page, rows, options, &data);
}

// ---------------------------------------------------------------- the pieces

TExplorePooled ExplorePooledValues(std::span<const TExploreRow> groups, double conf) {
  std::vector<TExploreSet> sets;
  sets.reserve(groups.size());
  for (const TExploreRow& g : groups) {
    TExploreSet s;
    s.Values = g.Values;
    sets.push_back(std::move(s));
  }
  const TPooledStats p = PooledStatistics(sets, conf);
  TExplorePooled r;
  if (p.dfTotal <= 0) return r;
  r.df = p.dfTotal;
  r.StdDev = p.pooledStd;
  r.HalfWidth = p.mdiff;
  SDInterval(p.pooledStd, p.dfTotal, 1 - conf, r.Lower, r.Upper);
  return r;
}

TExploreSpecs ExploreSpecsOf(double lsl, double target, double usl) {
  TExploreSpecs s;
  s.LSL = lsl;
  s.Target = target;
  s.USL = usl;
  s.HasLSL = IsPresent(lsl);
  s.HasTarget = IsPresent(target);
  s.HasUSL = IsPresent(usl);
  return s;
}

TCapability ExploreCapability(double m, double s, int n, const TExploreSpecs& sp) {
  TCapability c;
  if (!(s > 0) || !(sp.HasLSL || sp.HasUSL)) return c;
  auto index = [&](double spread) {
    if (sp.HasLSL && sp.HasUSL) return (sp.USL - sp.LSL) / (6 * spread);
    if (sp.HasUSL) return (sp.USL - m) / (3 * spread);
    return (m - sp.LSL) / (3 * spread);
  };
  c.Cp = index(s);
  c.Cpk = sp.HasLSL && sp.HasUSL ? std::min((sp.USL - m) / (3 * s), (m - sp.LSL) / (3 * s)) : c.Cp;
  if (sp.HasTarget && n > 1) {
    const double off = m - sp.Target;
    c.Cpm = index(std::sqrt(s * s + off * off * n / (n - 1.0)));
  }
  return c;
}

TExponentialStats ExponentialStatistics(int n, double mean, double low, double variance) {
  TExponentialStats e;
  if (n < 2 || !(variance > 0)) return e;
  const double d2 = (mean - low) * (mean - low);
  e.W = n * d2 / ((n - 1.0) * (n - 1.0) * variance);
  e.T = d2 / variance;
  e.Tested = true;
  return e;
}

TCustomRowStats PrepareCustomRow(std::vector<double> values, const TCustomChecks& c, double conf,
                                 const TExploreSpecs& specs) {
  TCustomRowStats r;
  r.n = static_cast<int>(values.size());
  r.Specs = specs;
  TStatsEngine e(values);
  if (c[8] || c[9]) {
    // The moving ranges need the case order and overwrite their sample: a copy.
    std::vector<double> w = values;
    TStatsEngine m(w);
    m.MovingRangeSigma();
    r.StdDevMR = m.Stats.StdDevMR;
    r.StdDevMMR = m.Stats.StdDevMMR;
  }
  if (c[23]) {
    e.MeanAndVariance();
    e.SortAndQuartiles();
    e.AndersonDarling();
  }
  e.BasicStats();
  if (c[3] || c[5] || c[7]) {
    TConfI ci;
    ci.SetConf(conf);
    ci.Intervals(e.Stats.Mean, e.Stats.StdDev, r.n);
    r.MeanL = ci.m1;
    r.MeanH = ci.m2;
    r.SdL = ci.s1;
    r.SdH = ci.s2;
  }
  if (c[24]) e.ShapiroWilk(false, r.SWW, r.SWp);
  if (c[26] || c[27]) e.Moments();
  if (specs.HasLSL && (c[47] || c[49] || c[50] || c[52])) e.CountBelow(r.CountBelow, specs.LSL);
  if (specs.HasUSL && (c[48] || c[49] || c[51] || c[52])) e.CountAbove(r.CountAbove, specs.USL);
  r.Stats = e.Stats;
  r.Stats.StdDevMR = r.StdDevMR;
  r.Stats.StdDevMMR = r.StdDevMMR;
  r.Stats.SWW = r.SWW;
  r.Stats.SWp = r.SWp;
  r.Sorted = std::move(values);
  return r;
}

std::vector<std::string> CustomItemCells(int item, TCustomRowStats& row, const std::string& label,
                                         const TExploreOptions& o) {
  const int d = std::clamp(o.Decimals, 0, 9);
  const double alpha = Alpha(o);
  const TStatsRecord& s = row.Stats;
  const TExploreSpecs& sp = row.Specs;
  const double n = row.n;
  auto f = [d](double x) { return Fixed(x, d); };
  auto f3 = [](double x) { return Fixed(x, 3); };
  auto pcell = [alpha](double p) { return PValueCell(p, alpha); };
  // An engine over the sorted row that starts from the row's record (cells run their own
  // operations on it).
  auto engine = [&row]() {
    TStatsEngine e(row.Sorted);
    e.Stats = row.Stats;
    return e;
  };
  auto one = [](std::string a) { return std::vector<std::string>{std::move(a)}; };
  auto none = []() { return std::vector<std::string>{""}; };
  // A limit of 999 is not available: its square is not one either.
  auto squared = [](double x) { return x == NotAvailable ? x : x * x; };
  const double sd = s.StdDev, m = s.Mean;

  if (item >= FirstPercentileItem && item < CustomItemCount) {
    const TStatsEngine e = engine();
    const double v = e.Percentile(PercentileAt[item - FirstPercentileItem]);
    return StatError != 0 ? none() : one(f(v));
  }
  if (item >= 31 && item <= 38) {
    static constexpr int k[8] = {-4, -3, -2, -1, 1, 2, 3, 4};
    return one(f(m + k[item - 31] * sd));
  }
  switch (item) {
    case 0: return one(Count(n));
    case 1: return one(f(s.Sum));
    case 2: return one(f(m));
    case 3: return {f(row.MeanL), f(row.MeanH)};
    case 4: return one(f(sd));
    case 5: return {f(row.SdL), f(row.SdH)};
    case 6: return one(f(s.Variance));
    case 7: return {f(squared(row.SdL)), f(squared(row.SdH))};
    case 8: return one(f(row.StdDevMR));
    case 9: return one(f(row.StdDevMMR));
    case 10: return one(f(s.Q3 - s.Q1));
    case 11: return one(f((s.Q3 - s.Q1) / 1.3489795));
    case 12: return one(f((s.Q3 - s.Q1) / 2));
    case 13: return one(f(s.MeanAbsDevMean));
    case 14: return one(f(s.MeanAbsDevMedian));
    case 15: return m > 0 ? one(f(100 * sd / m)) : none();
    case 16: return one(f(s.Low));
    case 17: return one(f(s.Q1));
    case 18: return one(f(s.Median));
    case 19: {
      TStatsEngine e = engine();
      e.InterpolatedMedian();
      return one(f(e.Stats.InterpMedian));
    }
    case 20: return one(f(s.Q3));
    case 21: return one(f(s.High));
    case 22: return one(f(s.Range));
    case 23: return {f3(s.ADStat), pcell(s.ADp)};
    case 24: return {f3(row.SWW), pcell(row.SWp)};
    case 25: {
      TStatsEngine e = engine();
      e.LinMudholkar();
      return {f3(e.Stats.LMr), pcell(e.Stats.LMp)};
    }
    case 26: return {f3(s.Skewness), pcell(SkewnessP(s.Skew1, n))};
    case 27: return {f3(s.Kurtosis), KurtosisCell(s.Kurt1, row.n, alpha)};
    case 28: return one(Fixed(ExponentialStatistics(row.n, m, s.Low, s.Variance).W, 4));
    case 29: {
      const TExponentialStats x = ExponentialStatistics(row.n, m, s.Low, s.Variance);
      if (!x.Tested) return {Fixed(0, 4), pcell(NotAvailable)};
      const double p =
          o.ExponentialP ? o.ExponentialP(row.n, x.T, label) : ExponentialTestP(row.n, x.T, label);
      return {Fixed(x.T, 4), pcell(p)};
    }
    case 30: {
      const TStatsEngine e = engine();
      double dd = 0, p = 0;
      e.IndexOfDispersion(dd, p);
      return {f3(dd), pcell(p)};
    }
    case 39: return one(f(4 * sd));
    case 40: return one(f(6 * sd));
    case 41: return one(f(8 * sd));
    case 42:
    case 43: {
      const TStatsEngine e = engine();
      int count = 0;
      if (item == 42)
        e.CountBelow(count, m - 3 * sd);
      else
        e.CountAbove(count, m + 3 * sd);
      return one(std::to_string(count));
    }
    case 44: return sp.HasLSL ? one(f(sp.LSL)) : none();
    case 45: return sp.HasTarget ? one(f(sp.Target)) : none();
    case 46: return sp.HasUSL ? one(f(sp.USL)) : none();
    case 47: return sp.HasLSL ? one(std::to_string(row.CountBelow)) : none();
    case 48: return sp.HasUSL ? one(std::to_string(row.CountAbove)) : none();
    case 49:
      return sp.HasLSL || sp.HasUSL ? one(std::to_string(row.CountBelow + row.CountAbove)) : none();
    case 50: return sp.HasLSL && n > 0 ? one(f(100 * row.CountBelow / n)) : none();
    case 51: return sp.HasUSL && n > 0 ? one(f(100 * row.CountAbove / n)) : none();
    case 52:
      return (sp.HasLSL || sp.HasUSL) && n > 0 ? one(f(100 * (row.CountBelow + row.CountAbove) / n))
                                               : none();
    case 53: return sp.HasLSL && sd > 0 ? one(f(100 * NormalTail((m - sp.LSL) / sd, 1))) : none();
    case 54: return sp.HasUSL && sd > 0 ? one(f(100 * NormalTail((sp.USL - m) / sd, 1))) : none();
    case 55: {
      if (!(sp.HasLSL || sp.HasUSL) || !(sd > 0)) return none();
      double area = 0;
      if (sp.HasLSL) area += NormalTail((m - sp.LSL) / sd, 1);
      if (sp.HasUSL) area += NormalTail((sp.USL - m) / sd, 1);
      return one(f(100 * area));
    }
    case 56:
    case 59:
    case 57:
    case 60:
    case 58:
    case 61: {
      if (!(sp.HasLSL || sp.HasUSL)) return none();
      const int kind = (item - 56) % 3;
      if (kind == 2 && !sp.HasTarget) return none();
      const TCapability c = ExploreCapability(m, sd, row.n, sp);
      return one(f3(kind == 0 ? c.Cp : kind == 1 ? c.Cpk : c.Cpm));
    }
    case 62:
      // Limits that coincide leave no width to measure the offset against.
      if (!(sp.HasLSL && sp.HasUSL && sp.HasTarget) || sp.USL == sp.LSL) return none();
      return one(Fixed(100 * std::fabs(m - sp.Target) / (sp.USL - sp.LSL), 1) + "%");
    default: return {};
  }
}

// ---------------------------------------------------------------- the report print

void PrintExploreReport(TMPrinter& mp, TDataList& data, TRunInfo& ri,
                        const TExploreReportInputs& in) {
  if (!in.Title.empty()) {
    mp.SetFont(TPrintFont{"Arial", 12, true, false, 0});
    mp.PrintLine(in.Title);
    mp.SetFont(GridPrintFont());
    mp.PrintLine("");
  }
  mp.SetFont(GridPrintFont());
  if (!in.FileName.empty()) mp.PrintLine("File: " + in.FileName);
  if (ri.Run) mp.PrintLine("Reference = " + ri.GroupName + "    " + "Measure = " + ri.MeasureName);
  if (!in.ModificationLine.empty()) mp.PrintLine(in.ModificationLine);
  bool any = false;
  for (int k = 0; k < ExplorePageCount; ++k) any |= in.Sections[static_cast<std::size_t>(k)];
  if (!any) return;
  const TExploreRows rows = LoadExploreRows(data, ri);
  for (int k = 0; k < ExplorePageCount; ++k) {
    if (!in.Sections[static_cast<std::size_t>(k)]) continue;
    const auto page = static_cast<TExplorePage>(k);
    if (page == TExplorePage::Custom && !AnyCustomChecked(in.Options.Custom)) continue;
    const TExploreTable t = BuildTable(page, rows, in.Options, &data);
    PrintGridInJob(mp, t.Grid, t.ReportHeading);
  }
}

std::vector<std::string> ExploreReportLines(TDataList& data, TRunInfo& ri,
                                            const TExploreReportInputs& in) {
  TTextPageDevice device;
  TMPrinter mp;
  mp.InitMPrinter(device);
  PrintExploreReport(mp, data, ri, in);
  std::vector<std::string> lines = device.Lines();
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// ---------------------------------------------------------------- the command

namespace {

constexpr const char* TableNames[ExplorePageCount] = {"descriptives",      "quartiles",
                                                      "normality-tests",   "confidence-intervals",
                                                      "natural-tolerance", "custom"};

}  // namespace

TAnalysis ExploreAnalysis() {
  TAnalysis a;
  a.Name = ExploreCommand;
  a.Summary =
      "Descriptives, quartiles, normality tests, confidence intervals, natural tolerance "
      "and chosen statistics of Explore's groups, as its Output page prints them.";
  a.NeedsData = true;
  a.Options = ExploreSelectionOptions();
  using K = TOptionKind;
  TOptionSpec conf =
      GraphOption("conf", K::Choice, "95", "Conf",
                  "confidence level in percent: a p-value at or below 1 - conf is marked \"*\"");
  conf.Choices = {{"90", "90", 90}, {"95", "95", 95}, {"99", "99", 99}};
  TOptionSpec decimals = DecimalsOption(2);
  for (TOptionSpec s :
       {GraphOption("tables", K::Text, "descriptives", "Output",
                    "tables printed, in this order: descriptives, quartiles, normality-tests, "
                    "confidence-intervals, natural-tolerance, custom"),
        GraphOption("custom", K::Text, "", "Custom Selection",
                    "the custom statistics, by short name (\"Mean CI\", \"Cpk\") or number 0-81, "
                    "separated by commas"),
        GraphOption("use-pooled-variance", K::Flag, "", "Use Pooled Variance",
                    "confidence intervals from the pooled within-group variance"),
        GraphOption("use-pooled-variance-nt", K::Flag, "", "Use Pooled Variance",
                    "natural tolerances from the pooled within-group standard deviation"),
        conf, decimals})
    a.Options.push_back(std::move(s));
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    TDataList& data = *context.Data;
    TExploreReportInputs in;
    for (const std::string& name : SplitList(o.Text("tables"))) {
      if (name.empty()) continue;
      const auto* it = std::find(std::begin(TableNames), std::end(TableNames), name);
      if (it == std::end(TableNames))
        return TOutcome::Refuse("'" + name + "' is not a table of --tables!");
      in.Sections[static_cast<std::size_t>(it - std::begin(TableNames))] = true;
    }
    if (!o.Text("custom").empty())
      for (const std::string& name : SplitList(o.Text("custom"))) {
        const int item = FindCustomItem(name);
        if (item < 0) return TOutcome::Refuse("'" + name + "' is not a custom statistic!");
        in.Options.Custom[static_cast<std::size_t>(item)] = true;
      }
    if (!std::any_of(in.Sections.begin(), in.Sections.end(), [](bool b) { return b; }))
      return TOutcome::Refuse("Choose at least one table with --tables!");
    if (in.Sections[static_cast<std::size_t>(TExplorePage::Custom)] &&
        !AnyCustomChecked(in.Options.Custom))
      return TOutcome::Refuse("Choose the custom statistics with --custom!");
    in.Options.Decimals = o.Decimals();
    in.Options.ConfText = o.Text("conf");
    in.Options.Conf = o.Choice<int>("conf") / 100.0;
    in.Options.PooledCI = o.Flag("use-pooled-variance");
    in.Options.PooledNT = o.Flag("use-pooled-variance-nt");
    // The Monte-Carlo test can run long on a large sample: the caller's progress may stop it.
    in.Options.ExponentialP = [&context](int n, double t, const std::string& label) {
      return ExponentialTestP(n, t, label, [&context](double f) { return context.KeepGoing(f); });
    };

    TIncludeColumnsGuard guard(data);
    TRunInfo ri;
    const TExploreSelection sel = ReadExploreSelection(o);
    if (std::string error = BuildExploreRun(data, sel, ri); !error.empty())
      return TOutcome::Refuse(error);
    if (ri.NumberOfGroups == 0) return TOutcome::Refuse("There are no values in the chosen sets!");
    in.Title = sel.Title;
    const std::string& path = DataEditor.DataFilename;
    const auto slash = path.find_last_of("/\\");
    in.FileName = slash == std::string::npos ? path : path.substr(slash + 1);
    TFileModStrings mods;
    if (BuildFileModString(mods)) in.ModificationLine = mods.Line;

    TOutcome out;
    TReportScope scope(out.Report);
    const std::vector<std::string> lines = ExploreReportLines(data, ri, in);
    for (std::size_t k = 0; k < lines.size(); ++k) {
      if (k == 0 && !in.Title.empty())
        HeadingStyle(12);
      else
        BodyStyle(8);
      WriteLine(lines[k]);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
