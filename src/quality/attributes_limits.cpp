#include "quality/attributes_limits.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "analysis/analysis.h"
#include "numerics/format.h"
#include "quality/chart_constants.h"
#include "quality/control_limits.h"
#include "quality/variables_setup.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

bool Present(double x) { return IsPresent(x) && std::isfinite(x); }

bool Binomial(int type) { return type == AttrP || type == AttrNP; }
// np and c plot counts: their centre scales with n.
bool CountChart(int type) { return type == AttrNP || type == AttrC; }

TChartType RoutineChart(int type) { return static_cast<TChartType>(type + 7); }

double UserZone(double ucl, double cl, double lcl, double k) {
  if (Present(ucl) && Present(lcl)) return (ucl - lcl) / (2 * k);
  if (Present(cl) && Present(ucl)) return (ucl - cl) / k;
  if (Present(cl) && Present(lcl)) return (cl - lcl) / k;
  return MissingValue;
}

struct TPointLimits {
  double LCL = MissingValue, CL = MissingValue, UCL = MissingValue, Sigma = MissingValue;
};

// The spread of the plotted values of a set: Average MR / 1.12838, Median MR / 0.954 or
// the standard deviation. Missing below two values.
double SpreadOf(std::vector<double> v, int method) {
  if (v.size() < 2) return MissingValue;
  TStatsEngine e(v);
  if (method == AttrStdDev) {
    e.MeanAndVariance();
    return e.Stats.StdDev;
  }
  e.MovingRangeSigma();
  return method == AttrAverageMR ? e.Stats.StdDevMR : e.Stats.StdDevMMR;
}

double MedianOf(std::vector<double> v) {
  if (v.empty()) return MissingValue;
  TStatsEngine e(v);
  e.SortAndQuartiles();
  return e.Stats.Median;
}

// Limits of one point of size n around the set's base value b.
TPointLimits LimitsAt(const TAttrSettings& s, double b, double d, double n) {
  TPointLimits out;
  const double c = CountChart(s.Type) ? n * b : b;
  if (!Present(c)) return out;
  out.CL = c;
  switch (s.Method) {
    case AttrCentreOnly: return out;
    case AttrAverageMR:
    case AttrMedianMR:
    case AttrStdDev: {
      if (!Present(d)) return out;
      const double lcl = c - s.K * d, ucl = c + s.K * d;
      if (lcl > 0) out.LCL = lcl;
      if (ucl != 0 && !(s.Type == AttrP && ucl >= 1)) out.UCL = ucl;
      out.Sigma = d;
      return out;
    }
    case AttrExact:
    case AttrNormal: {
      TControlLimits lim;
      const int status = CalcControlLimits(
          RoutineChart(s.Type), s.Method == AttrNormal ? ApproximateMethod : 0, c, s.K, n, lim);
      if (status == ZeroStatistic) {
        out.CL = 0;
        return out;
      }
      // A refused point (no usable n, a proportion of 1) keeps its centre only.
      if (status > 0) return out;
      out.CL = lim.Centre;
      out.Sigma = lim.Sigma;
      // The status keeps only the last of "no UCL" and "no LCL", so both are read off the
      // values as well: a p chart's UCL of 1 (np: n) and an LCL of 0 are no limits.
      const double top = s.Type == AttrP ? 1.0 : s.Type == AttrNP ? std::round(n) : INFINITY;
      if (status != NoUpperLimit && lim.UCL < top) out.UCL = lim.UCL;
      if (status != NoLowerLimit && lim.LCL > 0) out.LCL = lim.LCL;
      return out;
    }
    default: return out;
  }
}

void LimitsOfSet(TAttrTable& t, const std::vector<int>& points, const TAttrSettings& s) {
  // Base value: the known parameter, the median proportion or rate, or the pooled one.
  double b = MissingValue;
  if (s.Centre == AttrCentreKnown && Present(s.Parameter)) {
    b = s.Parameter;
  } else if (s.Centre == AttrCentreMedian) {
    std::vector<double> r;
    for (int p : points) {
      const double n = t(AttrRowSize, p), x = t(AttrRowCount, p);
      if (Present(n) && n > 0) r.push_back(x / n);
    }
    b = MedianOf(std::move(r));
  } else {
    double sd = 0, sn = 0;
    for (int p : points) {
      if (!Present(t(AttrRowStat, p))) continue;
      sd += t(AttrRowCount, p);
      sn += t(AttrRowSize, p);
    }
    b = sn > 0 ? sd / sn : 0;
  }

  double spread = MissingValue;
  if (s.Method == AttrAverageMR || s.Method == AttrMedianMR || s.Method == AttrStdDev) {
    std::vector<double> v;
    v.reserve(points.size());
    for (int p : points) {
      const double n = t(AttrRowSize, p), x = t(AttrRowCount, p);
      if (Present(n) && n > 0) v.push_back(s.Type == AttrP || s.Type == AttrU ? x / n : x);
    }
    spread = SpreadOf(std::move(v), s.Method);
  }

  // The limits depend on n alone within a set: each n is worked out once.
  std::unordered_map<double, TPointLimits> memo;
  double lastN = MissingValue;
  TPointLimits last;
  for (int p : points) {
    const double n = t(AttrRowSize, p);
    TPointLimits lim;
    if (Present(t(AttrRowStat, p))) {
      if (n == lastN) {
        lim = last;
      } else {
        auto found = memo.find(n);
        if (found == memo.end()) found = memo.emplace(n, LimitsAt(s, b, spread, n)).first;
        lim = found->second;
        lastN = n;
        last = lim;
      }
    }
    t(AttrRowLCL, p) = lim.LCL;
    t(AttrRowCL, p) = lim.CL;
    t(AttrRowUCL, p) = lim.UCL;
    t(AttrRowSigma, p) = lim.Sigma;
  }
}

std::string MethodText(int type, int method) {
  switch (method) {
    case AttrExact: return Binomial(type) ? "Exact Binomial Limits" : "Exact Poisson Limits";
    case AttrNormal: return "Normal Approximation Limits";
    case AttrAverageMR: return "Std Error from Avg MR";
    case AttrMedianMR: return "Std Error from Median MR";
    case AttrStdDev: return "Std Error from Std Dev";
    case AttrUserDefined: return "User Defined Limits";
    default: return "";
  }
}

std::string SummaryValue(double x) {
  return Present(x) ? PadRight(FormatSignificant(x, 4), 15) : "none" + Blanks(11);
}

}  // namespace

const std::vector<std::string>& AttrChartTypeItems() {
  static const std::vector<std::string> items{"p", "np", "c", "u"};
  return items;
}

const std::vector<std::string>& AttrMethodItems() {
  static const std::vector<std::string> items{"None",
                                              "Exact",
                                              "Normal Approximation",
                                              "Average Moving Range",
                                              "Median Moving Range",
                                              "Standard Deviation",
                                              "Centerline Only",
                                              "User Defined"};
  return items;
}

const std::vector<std::string>& AttrCentreItems() {
  static const std::vector<std::string> items{"Mean", "Median", "Known Parameter"};
  return items;
}

std::string AttrAxisTitle(int type) {
  return type == AttrP ? "Proportion" : type == AttrU ? "Rate" : "Count";
}

void TAttrTable::Clear(int reserve) {
  Count = 0;
  for (int r = 0; r < AttrRowCountTotal; ++r) {
    auto& row = T.Rows[static_cast<std::size_t>(r)];
    row.assign(1, 0.0);
    row.reserve(static_cast<std::size_t>(reserve) + 2);
  }
}

void TAttrTable::AddPoint(int type, double count, double n, double label, double set) {
  if (T.Rows[0].empty()) Clear();
  ++Count;
  const bool sized = Present(n) && n > 0;
  const double stat = !sized ? MissingValue : (type == AttrP || type == AttrU) ? count / n : count;
  const double values[AttrRowCountTotal] = {count,        n,     stat, MissingValue, MissingValue,
                                            MissingValue, label, set,  MissingValue, 0};
  for (int r = 0; r < AttrRowCountTotal; ++r)
    T.Rows[static_cast<std::size_t>(r)].push_back(values[r]);
}

void CalcAttributeLimits(TAttrTable& t, const TAttrSettings& s) {
  for (int p = 1; p <= t.Count; ++p) {
    t(AttrRowLCL, p) = t(AttrRowCL, p) = t(AttrRowUCL, p) = t(AttrRowSigma, p) = MissingValue;
  }
  if (s.Method == AttrNoLimits || t.Count == 0) return;
  if (s.Method == AttrUserDefined) {
    const double zone = UserZone(s.UCL, s.CL, s.LCL, s.K);
    for (int p = 1; p <= t.Count; ++p) {
      t(AttrRowLCL, p) = s.LCL;
      t(AttrRowCL, p) = s.CL;
      t(AttrRowUCL, p) = s.UCL;
      t(AttrRowSigma, p) = zone;
    }
    return;
  }
  // The set numbers present, each once: an empty set cell is a set of its own and codes
  // far apart cost nothing.
  std::map<double, std::vector<int>> sets;
  for (int p = 1; p <= t.Count; ++p) sets[t(AttrRowSet, p)].push_back(p);
  for (const auto& [set, points] : sets) LimitsOfSet(t, points, s);
}

std::vector<TTestFiring> RunAttributeTests(const TAttrTable& t, const TControlTestSettings& tests) {
  return RunControlTests(t.T, t.Count, AttributeTestRows, false, 0, tests);
}

std::vector<std::string> AttrLimitSummary(const TAttrTable& t, const TAttrSettings& s) {
  if (s.Method == AttrNoLimits) return {"No Limits Requested"};
  int last = t.Count;
  while (last > 1 && !Present(t(AttrRowStat, last))) --last;
  const double ucl = last > 0 ? t(AttrRowUCL, last) : MissingValue;
  const double cl = last > 0 ? t(AttrRowCL, last) : MissingValue;
  const double lcl = last > 0 ? t(AttrRowLCL, last) : MissingValue;
  const bool limits = s.Method != AttrCentreOnly;
  std::vector<std::string> lines;
  if (limits) lines.push_back("       UCL = " + SummaryValue(ucl) + MethodText(s.Type, s.Method));
  if (Present(cl)) {
    if (s.Method == AttrUserDefined)
      lines.push_back("Centerline = " + FormatSignificant(cl, 4));
    else
      lines.push_back("Centerline = " + SummaryValue(cl) + "Centerline from " +
                      AttrCentreItems()[static_cast<std::size_t>(std::clamp(s.Centre, 0, 2))]);
  }
  if (limits)
    lines.push_back("       LCL = " + SummaryValue(lcl) + "(" + s.KText + ") Sigma Limits");
  return lines;
}

bool AttrLimitsEstimated(int method, int centre) {
  return method != AttrNoLimits && method != AttrUserDefined && centre != AttrCentreKnown;
}

TAttrSetupResult ValidateAttrSetup(const TAttrSetupChoices& c) {
  TAttrSetupResult out;
  TAttrSettings& s = out.Settings;
  s.Type = c.Type;
  s.Method = c.Method;
  s.Centre = c.Centre;
  if (c.Centre == AttrCentreKnown && c.Method != AttrNoLimits && c.Method != AttrUserDefined) {
    // Pi is a proportion strictly inside 0 .. 1; Lambda a positive rate.
    double x = 0;
    const bool ok = ReadPlainNumber(c.Parameter, x) && x > 0 && (!Binomial(c.Type) || x < 1);
    if (!ok) {
      out.Error = KnownParameterNotValidMessage;
      return out;
    }
    s.Parameter = x;
  }
  // A multiplier of 0 or below divides the user's zones by zero and collapses the limits.
  // (Unused without limits: "None" and "Centerline Only" keep the default.)
  if (c.Method != AttrNoLimits && c.Method != AttrCentreOnly) {
    double k = 0;
    if (!ReadPlainNumber(c.StdErr, k) || !(k > 0)) {
      out.Error = StdErrNotValidMessage;
      return out;
    }
    s.K = k;
    s.KText = c.StdErr;
  }
  if (c.Method == AttrUserDefined) {
    auto read = [](bool use, const std::string& text, double& into) {
      into = MissingValue;
      return !use || ReadPlainNumber(text, into);
    };
    auto above = [](double a, double b) { return Present(a) && Present(b) && a > b; };
    if (!read(c.UseUCL, c.UCL, s.UCL) || !read(c.UseCL, c.CL, s.CL) ||
        !read(c.UseLCL, c.LCL, s.LCL) || above(s.LCL, s.CL) || above(s.CL, s.UCL) ||
        above(s.LCL, s.UCL)) {
      out.Error = UserLimitsNotValidMessage;
      return out;
    }
  }
  const bool single = c.DataColumns <= 1;
  if (single || c.SampleSizeColumn == 0) {
    double n = 0;
    if (!(single || c.ConstantSampleSize) || !ReadPlainNumber(c.SampleSize, n) || !(n > 0)) {
      out.Error = SampleSizeNotGivenMessage;
      return out;
    }
    out.ConstantSize = n;
  }
  if (single) return out;
  if (c.ReferencePage ? (c.MeasureColumn == 0 || c.GroupingVariables == 0) : c.Measures == 0)
    out.Beep = true;
  return out;
}

}  // namespace sorvel
