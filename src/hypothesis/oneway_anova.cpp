#include "hypothesis/oneway_anova.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "data/data_rules.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "hypothesis/mean_dispersion_tests.h"
#include "hypothesis/nonparametric.h"
#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "output/report_writer.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

constexpr int HeadingSize = 10;
constexpr int BodySize = 8;

// ---------------------------------------------------------------- exact decimal centring

// A decimal text as its significant digits times 10^Exponent.
struct TDecimalText {
  bool Negative = false;
  std::string Digits;  // no leading zeros; empty for zero
  int Exponent = 0;
};

bool ParseDecimalText(std::string_view s, TDecimalText& d) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  d = TDecimalText();
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.Negative = s[i++] == '-';
  int fraction = 0;
  bool any = false, point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (c < '0' || c > '9') break;
    any = true;
    if (point) ++fraction;
    if (d.Digits.empty() && c == '0') continue;
    d.Digits += c;
  }
  if (!any || d.Digits.size() > 40) return false;
  int exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    const char* first = s.data() + i + 1;
    if (first < s.data() + s.size() && *first == '+') ++first;
    auto [p, ec] = std::from_chars(first, s.data() + s.size(), exponent);
    if (ec != std::errc() || p != s.data() + s.size() || std::abs(exponent) > 300) return false;
    i = s.size();
  }
  if (i != s.size()) return false;
  d.Exponent = exponent - fraction;
  return true;
}

// a - b, computed exactly in decimal and rounded once to double.
bool DecimalDifference(const TDecimalText& a, const TDecimalText& b, double& out) {
  const int e = std::min(a.Exponent, b.Exponent);
  if (std::max(a.Exponent, b.Exponent) - e > 60) return false;
  // Both as digit strings of one length at exponent e.
  std::string x = a.Digits + std::string(a.Digits.empty() ? 0 : a.Exponent - e, '0');
  std::string y = b.Digits + std::string(b.Digits.empty() ? 0 : b.Exponent - e, '0');
  const std::size_t width = std::max(x.size(), y.size());
  x.insert(0, width - x.size(), '0');
  y.insert(0, width - y.size(), '0');
  bool negative = false;
  std::string big = x, small = y;
  if (a.Negative == b.Negative) {
    // Same signs: the magnitudes subtract; the result's sign follows the larger.
    negative = a.Negative;
    if (x < y) {
      std::swap(big, small);
      negative = !negative;
    }
    int borrow = 0;
    for (std::size_t k = width; k-- > 0;) {
      int digit = (big[k] - '0') - (small[k] - '0') - borrow;
      borrow = digit < 0;
      big[k] = static_cast<char>('0' + digit + 10 * borrow);
    }
  } else {
    // Opposite signs: the magnitudes add, with a's sign.
    negative = a.Negative;
    int carry = 0;
    for (std::size_t k = width; k-- > 0;) {
      const int digit = (x[k] - '0') + (y[k] - '0') + carry;
      carry = digit / 10;
      big[k] = static_cast<char>('0' + digit % 10);
    }
    if (carry) big.insert(0, 1, '1');
  }
  const std::string text = (negative ? "-" : "") + big + "e" + std::to_string(e);
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && p == text.data() + text.size();
}

std::int64_t NearestCode(double x) {
  constexpr double lim = 9007199254740992.0;
  if (!(x > -lim)) return -static_cast<std::int64_t>(lim);
  if (!(x < lim)) return static_cast<std::int64_t>(lim);
  return static_cast<std::int64_t>(std::nearbyint(x));
}

// The delivered groups again, each value the exact difference of its cell's decimal text
// from the first one's. Doubles of values such as 1000000000000.4 keep only four of the
// digits that vary; their texts keep all. False (nothing changed) when the rows do not
// match the delivered groups or the first text is no plain decimal.
bool CentreOnDecimalTexts(TDataList& data, int measure, int groupColumn, TAnovaSamples& s) {
  std::unordered_map<std::int64_t, std::size_t> byCode;
  for (std::size_t g = 0; g < s.Groups.size(); ++g) byCode[s.Groups[g].Code] = g;
  std::vector<std::vector<std::int32_t>> rows(s.Groups.size());
  for (int r = 1; r <= data.Ncount; ++r) {
    if (!data.HasValue(groupColumn, r)) continue;
    auto it = byCode.find(NearestCode(data.CellArray[groupColumn][r]));
    if (it == byCode.end() || !data.DataValid(measure, r) || !data.ProcessOK(r)) continue;
    rows[it->second].push_back(r);
  }
  for (std::size_t g = 0; g < rows.size(); ++g)
    if (rows[g].size() != s.Groups[g].Values.size()) return false;
  const int firstRow = rows[0][0];
  TDecimalText centre;
  if (!ParseDecimalText(data.DataGrid.View(measure, firstRow), centre)) return false;
  const double centreValue = data.CellArray[measure][firstRow];
  for (std::size_t g = 0; g < rows.size(); ++g) {
    auto& values = s.Groups[g].Values;
    for (std::size_t i = 0; i < rows[g].size(); ++i) {
      const int r = rows[g][i];
      const double x = data.CellArray[measure][r];
      const std::string_view text = data.DataGrid.View(measure, r);
      TDecimalText cell;
      double parsed = 0, exact = 0;
      // Only a text that reads back as the cell's very value stands for it.
      const bool plain = ParseDecimalText(text, cell) &&
                         std::from_chars(text.data() + (text.size() && text[0] == '+'),
                                         text.data() + text.size(), parsed)
                                 .ec == std::errc() &&
                         parsed == x && DecimalDifference(cell, centre, exact);
      values[i] = plain ? exact : x - centreValue;
    }
  }
  s.Centre = centreValue;
  s.ExactDecimal = true;
  return true;
}

// Mean and variance by the descriptive engine (it reads the values, never moves them).
void Summarise(const std::vector<double>& values, double& mean, double& variance) {
  TStatsEngine e(std::span<double>(const_cast<double*>(values.data()), values.size()));
  e.MeanAndVariance();
  mean = e.Stats.Mean;
  variance = values.size() > 1 ? e.Stats.Variance : 0;
}

// Steps 3 to 7 of the analysis of variance from the sums.
struct TAnovaSums {
  double N = 0, SSB = 0, SSW = 0, S2 = 0;
  std::int32_t DfB = -1, DfW = 0;
};
void FinishAnova(const TAnovaSums& s, TAnovaRec& rec) {
  rec.N = s.N;
  rec.DfB = s.DfB;
  rec.DfW = s.DfW;
  rec.Error = AnovaNoError;
  if (s.DfB < 1) {
    rec.Error = AnovaSingleGroup;
    rec.MSB = 0;
    rec.N0 = 0;
  } else {
    rec.MSB = s.SSB / s.DfB;
    rec.N0 = (s.N - s.S2 / s.N) / s.DfB;
  }
  // No spread within the groups leaves nothing to compare the means with: F would be
  // infinite, not 0 with p = 1.
  if (s.DfW < 1 || !(s.SSW > 0)) {
    rec.MSW = 0;
    rec.Error = AnovaNoWithin;
  } else {
    rec.MSW = s.SSW / s.DfW;
  }
  rec.SSB = rec.MSB * rec.DfB;
  rec.SSW = rec.MSW * rec.DfW;
  rec.F = rec.MSW > 0 ? rec.MSB / rec.MSW : 0;
  rec.VarA = rec.VarTotal = rec.Icc = 0;
  if (rec.N0 > 0) {
    rec.VarA = std::max(0.0, (rec.MSB - rec.MSW) / rec.N0);
    rec.VarTotal = rec.VarA + rec.MSW;
    rec.Icc = rec.VarTotal > 0 ? rec.VarA / rec.VarTotal : 0;
  }
  if (rec.Error != AnovaNoError) {
    rec.P = 1;
    rec.Omega2 = 0;
    return;
  }
  rec.P = FTail(rec.F, rec.DfB, rec.DfW, 1);
  const double denominator = rec.SSB + rec.SSW + rec.MSW;
  rec.Omega2 = denominator > 0 ? std::max(0.0, (rec.SSB - rec.DfB * rec.MSW) / denominator) : 0;
}

// The analysis of variance of groups given by n, mean and variance (groups with n = 0
// are left out).
struct TGroupSummary {
  double N = 0, Mean = 0, Variance = 0;
};
TAnovaRec AnovaOfSummaries(const std::vector<TGroupSummary>& groups) {
  TAnovaSums s;
  double weighted = 0;
  for (const auto& g : groups) {
    if (g.N <= 0) continue;
    s.N += g.N;
    weighted += g.N * g.Mean;
  }
  const double grand = s.N > 0 ? weighted / s.N : 0;
  for (const auto& g : groups) {
    if (g.N <= 0) continue;
    s.SSB += g.N * (g.Mean - grand) * (g.Mean - grand);
    s.DfB += 1;
    s.DfW += static_cast<std::int32_t>(g.N) - 1;
    if (g.N > 1) s.SSW += (g.N - 1) * g.Variance;
    s.S2 += g.N * g.N;
  }
  TAnovaRec rec;
  rec.GrandMean = grand;
  FinishAnova(s, rec);
  return rec;
}

std::string Right(const std::string& s, int width) {
  int n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return Blanks(width - n) + s;
}
std::string Left(const std::string& s, int width) {
  int n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return s + Blanks(width - n);
}
std::string Whole(double x) { return FormatReal(x, 0); }

// A part's heading: the heading style at the body's size.
void SectionHeading(const std::string& text) {
  HeadingStyle(BodySize);
  WriteLine(text);
  BodyStyle(BodySize);
}

}  // namespace

std::string AnovaErrorLine(int error) {
  switch (error) {
    case AnovaSingleGroup:
    case AnovaBartlettSingle: return "**** ERROR - Single or No Groups Found!";
    case AnovaNoWithin: return "**** ERROR - No Within Variation Found!";
    case AnovaZeroVariance: return "**** ERROR - Zero Variance Group Found!";
    default: return "";
  }
}

TAnovaSamples LoadAnovaGroups(TDataList& data, int measure, int groupColumn, std::int64_t low,
                              std::int64_t high) {
  TAnovaSamples s;
  if (data.DataChanged) data.UpdateData();
  if (measure < 1 || measure > data.MaxCol() || groupColumn < 1 || groupColumn > data.MaxCol())
    return s;
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = measure;
  ri.index = groupColumn;
  auto int32 = [](std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -2147483647, 2147483646));
  };
  ri.Afirst = int32(low);
  ri.Alast = int32(high);
  data.SetupIndex(ri);
  double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
  bool centred = false;
  while (data.GetAR(ri)) {
    TAnovaSample g;
    g.Code = ri.v;
    g.Name = ri.CurrentName;
    const double* x = A_Array.data() + 1;
    const std::size_t n = static_cast<std::size_t>(A_ArrayCount);
    if (!centred) {
      s.Centre = x[0];
      centred = true;
    }
    g.Values.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      g.Values[i] = x[i] - s.Centre;
      lowest = std::min(lowest, x[i]);
      highest = std::max(highest, x[i]);
    }
    s.Groups.push_back(std::move(g));
  }
  // Values that share more than about five leading digits lose the ones that vary in the
  // conversion to double; the cells' texts still hold them.
  const double spread = highest - lowest;
  if (!s.Groups.empty() && TransformRec.no == TransformNone && spread > 0 &&
      std::max(std::fabs(lowest), std::fabs(highest)) >= 1e5 * spread) {
    TAnovaSamples exact = s;
    if (CentreOnDecimalTexts(data, measure, groupColumn, exact)) s = std::move(exact);
  }
  return s;
}

TAnovaRec ComputeAnova(const TAnovaSamples& samples) {
  TAnovaSums s;
  TAnovaRec rec;
  std::vector<TGroupSummary> groups;
  double weighted = 0;
  for (const auto& g : samples.Groups) {
    TGroupSummary sum;
    sum.N = static_cast<double>(g.Values.size());
    Summarise(g.Values, sum.Mean, sum.Variance);
    groups.push_back(sum);
    s.N += sum.N;
    weighted += sum.N * sum.Mean;
  }
  // The grand mean of the groups delivered: a case outside them never enters it.
  const double grand = s.N > 0 ? weighted / s.N : 0;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const TGroupSummary& g = groups[i];
    s.SSB += g.N * (g.Mean - grand) * (g.Mean - grand);
    s.DfB += 1;
    s.DfW += static_cast<std::int32_t>(g.N) - 1;
    s.SSW += (g.N - 1) * g.Variance;
    s.S2 += g.N * g.N;
    TAnovaGroupStats st;
    st.N = static_cast<std::int32_t>(g.N);
    st.Mean = samples.Centre + g.Mean;
    st.CentredMean = g.Mean;
    st.Variance = g.Variance;
    st.Name = samples.Groups[i].Name;
    rec.Groups.push_back(std::move(st));
  }
  rec.GrandMean = samples.Centre + grand;
  FinishAnova(s, rec);
  return rec;
}

std::vector<TDispersionLine> DispersionTests(TAnovaSamples& samples) {
  std::vector<TDispersionLine> lines;
  std::vector<TGroupSummary> adm, levene;
  for (auto& g : samples.Groups) {
    double mean = 0, variance = 0;
    Summarise(g.Values, mean, variance);
    TDeviationSummary lev, ad;
    DeviationSummaries(g.Values, mean, lev, ad);
    const double n = static_cast<double>(g.Values.size());
    levene.push_back({n, lev.Mean, lev.Variance});
    // One value dropped: a one-case group has none left and takes no part.
    adm.push_back({n - 1, ad.Mean, ad.Variance});
  }
  auto anovaLine = [&](const char* name, const std::vector<TGroupSummary>& groups) {
    const TAnovaRec r = AnovaOfSummaries(groups);
    TDispersionLine line;
    line.Name = name;
    line.Error = r.Error;
    line.DfB = r.DfB;
    line.Df2 = r.DfW;
    line.F = r.F;
    line.P = r.P;
    return line;
  };
  lines.push_back(anovaLine("ADM(n-1)", adm));
  lines.push_back(anovaLine("Levene", levene));

  // Bartlett-Box F (Box 1949, as in Winer's tables).
  TDispersionLine box;
  box.Name = "Bartlett-Box F";
  double dfW = 0, ssw = 0, a = 0, l = 0;
  int k = 0;
  for (auto& g : samples.Groups) {
    double mean = 0, variance = 0;
    Summarise(g.Values, mean, variance);
    if (!(variance > 0)) {
      box.Error = AnovaZeroVariance;
      break;
    }
    const double nu = static_cast<double>(g.Values.size()) - 1;
    dfW += nu;
    ssw += nu * variance;
    a += 1 / nu;
    l += nu * std::log(variance);
    ++k;
  }
  if (box.Error == AnovaNoError && k <= 1) box.Error = AnovaBartlettSingle;
  if (box.Error == AnovaNoError) {
    const double m = dfW * std::log(ssw / dfW) - l;
    const double c = (a - 1 / dfW) / (3.0 * (k - 1));
    const double nu2 = (k + 1) / (c * c);
    const double denominator = nu2 / (1 - c + 2 / nu2) - m;
    box.DfB = k - 1;
    if (denominator > 0) {
      box.Df2 = nu2;
      box.F = nu2 * m / ((k - 1) * denominator);
      box.P = FTail(box.F, k - 1, nu2, 1);
    } else {
      // Box's F has no positive value here; Bartlett's chi-square still holds.
      box.ChiSquare = true;
      box.F = m / (1 + c);
      box.P = ChiSqTail(box.F, k - 1, 1);
    }
  }
  lines.push_back(box);
  return lines;
}

std::vector<TPairwiseLine> PairwiseComparisons(const TAnovaRec& anova) {
  std::vector<TPairwiseLine> pairs;
  const auto& g = anova.Groups;
  const int k = static_cast<int>(g.size());
  const double msw = anova.MSW;
  for (int i = 0; i < k; ++i)
    for (int j = 0; j < k; ++j) {
      if (i == j) continue;
      TPairwiseLine line;
      line.I = i;
      line.J = j;
      const double ni = g[i].N, nj = g[j].N;
      const double d = g[i].CentredMean - g[j].CentredMean;
      // Fisher's least significant difference.
      TPValue(d / std::sqrt(msw / ni + msw / nj), anova.DfW, 0, line.Lsd);
      // Tukey-Kramer: the studentized range of the k means (AS 190).
      line.Tukey = RangeTail(std::fabs(d) / std::sqrt(msw / 2 * (1 / ni + 1 / nj)), anova.DfW, k);
      // Games-Howell: each pair's own variances and Welch's degrees of freedom. A pair
      // without spread, or with a one-case group, has neither.
      const double vi = g[i].Variance / ni, vj = g[j].Variance / nj;
      if (ni < 2 || nj < 2 || !(vi + vj > 0)) {
        line.GamesHowell = NotAvailable;
      } else {
        const double q = std::fabs(d) / std::sqrt((vi + vj) / 2);
        const double nu =
            std::nearbyint((vi + vj) * (vi + vj) / (vi * vi / (ni - 1) + vj * vj / (nj - 1)));
        line.GamesHowell = RangeTail(q, nu, k);
      }
      pairs.push_back(line);
    }
  return pairs;
}

TKruskalResult KruskalWallisGroups(TDataList& data, int groupColumn, std::int64_t low,
                                   std::int64_t high, int measure) {
  TKruskalResult res;
  const TKruskalWallisResult kw = KruskalWallis(data, groupColumn, low, high, measure);
  res.H = kw.H;
  res.P = kw.P;
  // The work matrix now holds each case's code and rank; only the codes present count.
  std::unordered_map<std::int64_t, std::size_t> byCode;
  const TNPWork& w = NPWork();
  for (std::int64_t i = 1; i <= w.N; ++i) {
    const std::int64_t code = NearestCode(w.Rows[i][0]);
    auto [it, added] = byCode.try_emplace(code, res.Groups.size());
    if (added) res.Groups.push_back({code, 0, 0});
    TKruskalGroup& g = res.Groups[it->second];
    ++g.Count;
    g.MeanRank += w.Rows[i][1];
  }
  for (TKruskalGroup& g : res.Groups) g.MeanRank /= g.Count;
  std::sort(res.Groups.begin(), res.Groups.end(),
            [](const TKruskalGroup& a, const TKruskalGroup& b) { return a.Code < b.Code; });
  return res;
}

TOnewayResult ComputeOneway(TDataList& data, const TOnewayInputs& in) {
  TOnewayResult res;
  StatError = 0;
  if (in.Type == TAnovaType::KruskalWallis) {
    res.Kruskal = KruskalWallisGroups(data, in.GroupColumn, in.Low, in.High, in.Measure);
    return res;
  }
  TAnovaSamples samples = LoadAnovaGroups(data, in.Measure, in.GroupColumn, in.Low, in.High);
  res.Anova = ComputeAnova(samples);
  StatError = res.Anova.Error;
  if (res.Anova.Error != AnovaNoError) return res;
  int pending = AnovaNoError;
  if (in.Dispersion) {
    res.DispersionRun = true;
    res.Dispersion = DispersionTests(samples);
    pending = res.Dispersion.back().Error;
    StatError = pending;
  }
  if (in.Pairwise && pending == AnovaNoError) {
    res.PairwiseRun = true;
    res.Pairs = PairwiseComparisons(res.Anova);
  }
  return res;
}

void WriteOnewayReport(const TOnewayInputs& in, const TOnewayResult& res) {
  const int dec = std::clamp(in.Decimals, 0, 9);
  const double alpha = 1 - in.Conf;
  const TAnovaRec& a = res.Anova;
  auto underlined = [](const std::string& text) {
    UnderlineStyle();
    WriteLine(text);
    RegularStyle();
  };
  if (in.Type == TAnovaType::KruskalWallis) {
    HeadingStyle(HeadingSize);
    WriteLine("KRUSKAL-WALLIS ONEWAY ANOVA");
    BodyStyle(BodySize);
    WriteLine(in.MeasureName + " by " + in.GroupName + ",   " + std::to_string(in.Low) + " to " +
              std::to_string(in.High));
    if (!in.ModificationLine.empty()) WriteLine(in.ModificationLine);
    WriteBlankLine();
    WriteText(Blanks(5));
    underlined("Group" + Right("Count", 10) + Right("Mean Rank", 15));
    for (const TKruskalGroup& g : res.Kruskal.Groups)
      WriteLine(Right(std::to_string(g.Code), 10) + Right(std::to_string(g.Count), 10) +
                Right(FormatReal(g.MeanRank, dec), 15));
    WriteBlankLine();
    WriteLine("\tH = " + FormatReal(res.Kruskal.H, 3) + PValueText(res.Kruskal.P, alpha));
    return;
  }
  HeadingStyle(HeadingSize);
  WriteLine("ONEWAY ANOVA");
  BodyStyle(BodySize);
  WriteLine(in.MeasureLabel + " by " + in.GroupLabel + "[" + std::to_string(in.Low) + " to " +
            std::to_string(in.High) + "]");
  if (!in.ModificationLine.empty()) WriteLine(in.ModificationLine);
  WriteBlankLine();

  underlined(Right("Source", 10) + Right("df", 10) + Right("SS", 12) + Right("MS", 12) +
             Right("F", 10) + Right("p", 10));
  WriteLine(Right("Between", 10) + Right(Whole(a.DfB), 10) + Right(FormatReal(a.SSB, dec), 12) +
            Right(FormatReal(a.MSB, dec), 12) + Right(FormatReal(a.F, 3), 10) +
            Right(PValueStar(a.P, alpha), 10));
  WriteLine(Right("Within", 10) + Right(Whole(a.DfW), 10) + Right(FormatReal(a.SSW, dec), 12) +
            Right(FormatReal(a.MSW, dec), 12));
  WriteLine(Right("Total", 10) + Right(Whole(a.DfB + a.DfW), 10) +
            Right(FormatReal(a.SSB + a.SSW, dec), 12));
  WriteBlankLine();
  if (a.Error != AnovaNoError) {
    WriteLine(AnovaErrorLine(a.Error));
    return;
  }
  if (in.Type == TAnovaType::Random) {
    WriteLine("Random Effects Analysis:");
    auto component = [&](const char* label, double v) {
      WriteLine(std::string(label) + Left(FormatReal(v, dec), 15) +
                "Std Dev = " + FormatReal(std::sqrt(std::max(0.0, v)), dec));
    };
    component("      Treatment Variance = ", a.VarA);
    component("         Within Variance = ", a.MSW);
    component("          Total Variance = ", a.VarTotal);
    WriteLine("  Intraclass Correlation = " + FormatReal(100 * a.Icc, 2) + "%");
  } else {
    WriteLine("Fixed Effects Analysis:");
    WriteLine("    \xCF\x89\xC2\xB2 = " + FormatReal(100 * a.Omega2, 2) + "%");
  }

  if (res.DispersionRun) {
    WriteBlankLine();
    SectionHeading("Dispersion Analysis");
    for (const TDispersionLine& d : res.Dispersion) {
      if (d.Error == AnovaZeroVariance || d.Error == AnovaBartlettSingle) {
        WriteLine(AnovaErrorLine(d.Error));
        continue;
      }
      if (d.Error != AnovaNoError) continue;
      const std::string stat =
          d.ChiSquare ? "\xCF\x87\xC2\xB2(" + Whole(d.DfB) + ") = " + FormatReal(d.F, 3)
                      : "F(" + Whole(d.DfB) + "," + Whole(std::nearbyint(d.Df2)) +
                            ") = " + FormatReal(d.F, 3);
      WriteLine(Left(d.Name, 18) + Left(stat, 22) + "p = " + PValueStar(d.P, alpha));
    }
  }

  if (res.PairwiseRun) {
    WriteBlankLine();
    SectionHeading("Pairwise Comparisons");
    underlined(Left("Comparison", 20) + Right("t(LSD)", 10) + Right("Tukey(HSD)", 15) +
               Right("Games-Howell", 15));
    const int k = static_cast<int>(a.Groups.size());
    for (const TPairwiseLine& p : res.Pairs) {
      const std::string line = Left(a.Groups[p.I].Name + " vs " + a.Groups[p.J].Name, 20) +
                               Right(PValueCell(p.Lsd, alpha), 10) +
                               Right(PValueCell(p.Tukey, alpha), 15) +
                               Right(PValueCell(p.GamesHowell, alpha), 15);
      // The last comparison of a group's block closes it.
      if (p.J == k - 1)
        underlined(line);
      else
        WriteLine(line);
    }
  }
}

TOnewayInputs OnewayInputsFrom(TDataList& data, const TOptionValues& o) {
  TOnewayInputs in;
  in.Measure = o.Column("measure");
  in.GroupColumn = o.Column("groups");
  in.Type = o.Choice<TAnovaType>("type");
  in.Dispersion = o.Flag("dispersion-tests") && in.Type != TAnovaType::KruskalWallis;
  in.Pairwise = o.Flag("pairwise-comparisons");
  in.Conf = o.Choice<int>("conf") / 100.0;
  in.Decimals = o.Decimals();
  if (data.DataChanged) data.UpdateData();
  const int g = in.GroupColumn;
  const bool haveRange = g >= 1 && g <= data.MaxCol() && data.Highlow[g];
  in.Low = haveRange ? NearestCode(data.ColumnLow[g]) : 0;
  in.High = haveRange ? NearestCode(data.ColumnHigh[g]) : 0;
  auto code = [&](const char* name, std::int64_t& out) {
    double x = 0;
    if (!o.Text(name).empty() && ReadPlainNumber(o.Text(name), x)) out = NearestCode(x);
  };
  code("low-group", in.Low);
  code("high-group", in.High);
  if (in.Measure >= 1 && in.Measure <= data.MaxCol()) {
    in.MeasureLabel = data.ColumnTitleOrName(in.Measure);
    in.MeasureName = data.ColumnName(in.Measure);
  }
  if (g >= 1 && g <= data.MaxCol()) {
    in.GroupLabel = data.ColumnTitleOrName(g);
    in.GroupName = data.ColumnName(g);
  }
  TFileModStrings mods;
  if (BuildFileModString(mods)) in.ModificationLine = mods.Line;
  return in;
}

TAnalysis OnewayAnovaAnalysis() {
  TAnalysis a;
  a.Name = OnewayAnovaCommand;
  a.Summary =
      "One-way analysis of variance of a measure by the integer codes of a grouping column: "
      "fixed or random effects, with tests of equal dispersion and pairwise comparisons, or "
      "the Kruskal-Wallis rank test.";
  a.NeedsData = true;
  auto column = [](const char* name, const char* label, const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Column;
    s.Default = "";
    s.Label = label;
    s.Help = help;
    return s;
  };
  auto code = [](const char* name, const char* label, const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Text;
    s.Default = "";
    s.Label = label;
    s.Help = help;
    return s;
  };
  auto flag = [](const char* name, const char* label, const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Flag;
    s.Default = "0";
    s.Label = label;
    s.Help = help;
    return s;
  };
  TOptionSpec type;
  type.Name = "type";
  type.Kind = TOptionKind::Choice;
  type.Default = "fixed";
  type.Label = "Type";
  type.Help =
      "fixed effects (omega squared), random effects (variance components) or the "
      "Kruskal-Wallis rank test";
  type.Choices = {ChoiceOf(TAnovaType::Fixed, "fixed", "Fixed"),
                  ChoiceOf(TAnovaType::Random, "random", "Random"),
                  ChoiceOf(TAnovaType::KruskalWallis, "kruskal-wallis", "Kruskal-Wallis")};
  TOptionSpec conf;
  conf.Name = "conf";
  conf.Kind = TOptionKind::Choice;
  conf.Default = "95";
  conf.Label = "Conf";
  conf.Help = "confidence level in percent: a p-value at or below 1 - conf is marked \"*\"";
  conf.Choices = {{"90", "90", 90}, {"95", "95", 95}, {"99", "99", 99}};
  a.Options = {
      column("measure", "Measure", "the measured column"),
      column("groups", "Groups", "the column of integer group codes"),
      code("low-group", "Low Group", "first group code (default: the column's lowest)"),
      code("high-group", "High Group", "last group code (default: the column's highest)"),
      type,
      flag("dispersion-tests", "Dispersion Tests",
           "ADM(n-1), Levene and Bartlett-Box F tests of equal dispersion (fixed and random)"),
      flag("pairwise-comparisons", "Pairwise Comparisons",
           "t(LSD), Tukey(HSD) and Games-Howell p-values of every pair of groups"),
      conf,
  };
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    for (const char* name : {"low-group", "high-group"}) {
      double x = 0;
      const std::string& t = o.Text(name);
      if (!t.empty() && (!ReadPlainNumber(t, x) || x != std::trunc(x) || std::fabs(x) > 2147483647))
        return TOutcome::Refuse("'" + t + "' is not a valid group code!");
    }
    if (o.Column("measure") == 0) return TOutcome::Refuse("Choose the measure column!");
    if (o.Column("groups") == 0) return TOutcome::Refuse("Choose the groups column!");
    const TOnewayInputs in = OnewayInputsFrom(*context.Data, o);
    const TOnewayResult res = ComputeOneway(*context.Data, in);
    TOutcome out;
    {
      TReportScope scope(out.Report);
      WriteOnewayReport(in, res);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
