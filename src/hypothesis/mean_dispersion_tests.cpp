#include "hypothesis/mean_dispersion_tests.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/column_selection.h"
#include "data/data_state.h"
#include "data/grid_edit.h"
#include "numerics/common.h"
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/intervals.h"
#include "output/report_writer.h"
#include "stats/stats_engine.h"

namespace sorvel {

namespace {

const std::string Mu = "\xCE\xBC";
const std::string Sigma = "\xCF\x83";
const std::string Squared = "\xC2\xB2";
const std::string Rho = "\xCF\x81";
const std::string Chi = "\xCE\xA7";
const char* const HypTexts[] = {" = ", " \xE2\x89\xA5 ", " \xE2\x89\xA4 "};

// Characters, not bytes: the report's symbols are two-byte UTF-8.
int Width(const std::string& s) {
  int n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}
std::string Right(const std::string& s, int width) { return Blanks(width - Width(s)) + s; }
std::string Left(const std::string& s, int width) { return s + Blanks(width - Width(s)); }

bool IsTwoSample(TMDTest t) {
  return t == TMDTest::TwoSampleIndependent || t == TMDTest::TwoSampleDependent;
}

// The p-value of a chi-square or F statistic for a hypothesis: "=" both tails, "≥" the
// lower tail, "≤" the upper tail.
TTails SideOf(TMDHyp h) {
  switch (h) {
    case TMDHyp::Equal: return TTails::Two;
    case TMDHyp::AtLeast: return TTails::Lower;
    case TMDHyp::AtMost: return TTails::Upper;
  }
  return TTails::Two;
}

// The p-values of t and z for a hypothesis index (the alternative code: two-sided, lower,
// upper), each side computed directly.
double TP(double t, double df, TMDHyp h) { return TTail(t, df, SideOf(h)); }
double ZP(double z, TMDHyp h) { return NormalTailExact(z, SideOf(h)); }

// A pooled t of two groups' deviation summaries (Levene; ADM(n-1)).
TMDStat PooledDeviationT(const TDeviationSummary& g1, const TDeviationSummary& g2, double n1,
                         double n2, TMDHyp h) {
  TMDStat s;
  s.Shown = true;
  const double df = g1.Df + g2.Df;
  const double pooled = df > 0 ? (g1.Df * g1.Variance + g2.Df * g2.Variance) / df : 0;
  s.Value = pooled > 0 ? (g1.Mean - g2.Mean) / std::sqrt(pooled / n1 + pooled / n2) : 0;
  s.Df = df;
  s.P = TP(s.Value, df, h);
  return s;
}

std::string HypItem(TMDTest test, TMDHyp h, bool variance) {
  const std::string op = HypTexts[static_cast<int>(h)];
  if (!variance) return test == TMDTest::OneSampleMean ? Mu + op + "Mo" : Mu + "1" + op + Mu + "2";
  if (test == TMDTest::OneSampleVariance) return Sigma + Squared + op + "Vo";
  return Sigma + Squared + "1" + op + Sigma + Squared + "2";
}

}  // namespace

TMDInputs Effective(const TMDInputs& in) {
  TMDInputs e = in;
  // Tests 2 and 4 hide "df Calculations" and test 4 the second n: what they still hold
  // from another test must not change the report.
  if (e.Test == TMDTest::OneSampleVariance || e.Test == TMDTest::TwoSampleDependent)
    e.Df = TMDDf::Standard;
  if (e.Test == TMDTest::TwoSampleDependent) {
    e.N2 = e.N1;
    e.N2Text = e.N1Text;
  }
  return e;
}

TMDResult ComputeMeanDispersion(const TMDInputs& input) {
  const TMDInputs in = Effective(input);
  TMDResult res;
  const TMDTest test = in.Test;
  const bool t3 = test == TMDTest::TwoSampleIndependent, t4 = test == TMDTest::TwoSampleDependent;
  const double n1 = in.N1, n2 = in.N2, s1 = in.S1, s2 = in.S2, r = in.R12;
  const bool mse = in.Df == TMDDf::FromMse, known = in.Df == TMDDf::SigmaKnown;
  const bool standard = in.Df == TMDDf::Standard;

  if (n1 <= 1 || (t3 && n2 <= 1)) {
    res.Error = MDNMessage;
    return res;
  }
  // A negative dispersion is never valid, wherever it is typed.
  if (s1 <= 0 || s2 < 0 || (((t3 && standard) || t4) && s2 <= 0)) {
    res.Error = MDSMessage;
    return res;
  }
  if ((test == TMDTest::OneSampleMean || t3) && mse && in.Dfs <= 0) {
    res.Error = MDDfMessage;
    return res;
  }
  if (t4 && std::fabs(r) > 1) {
    res.Error = MDRMessage;
    return res;
  }

  const double alpha = 1 - in.Conf;
  const double v1 = s1 * s1, v2 = s2 * s2;
  const double meanDf1 = mse ? in.Dfs : known ? 0 : n1 - 1;
  const double meanDf2 = mse ? in.Dfs : known ? 0 : n2 - 1;
  auto interval = [](TMDInterval& i, double center, double h) {
    i.Shown = true;
    i.Lower = center - h;
    i.Upper = center + h;
  };

  // Confidence intervals.
  if (test != TMDTest::OneSampleVariance) {
    res.Mean1.Shown = true;
    MeanInterval(in.X1, s1, n1, meanDf1, alpha, res.Mean1.Lower, res.Mean1.Upper);
  }
  if (IsTwoSample(test) && n2 > 1) {
    res.Mean2.Shown = true;
    MeanInterval(in.X2, mse ? s1 : s2, n2, meanDf2, alpha, res.Mean2.Lower, res.Mean2.Upper);
  }
  if (!known) {
    res.Disp1.Shown = true;
    SDInterval(s1, mse ? in.Dfs : n1 - 1, alpha, res.Disp1.Lower, res.Disp1.Upper);
  }
  if (IsTwoSample(test) && n2 > 1 && s2 > 0 && standard) {
    res.Disp2.Shown = true;
    SDInterval(s2, n2 - 1, alpha, res.Disp2.Lower, res.Disp2.Upper);
  }
  if (t4 && n1 > 3) {
    res.Corr.Shown = true;
    CorrInterval(r, n1, alpha, res.Corr.Lower, res.Corr.Upper);
  }
  // Variance of the paired differences; cancellation noise of equal columns is not a
  // variance (it gave the root of -8.9e-17).
  double pairedVar = v1 + v2 - 2 * r * s1 * s2;
  if (pairedVar <= 8 * std::numeric_limits<double>::epsilon() * (v1 + v2)) pairedVar = 0;
  const double d = in.X1 - in.X2;
  const double pooled = ((n1 - 1) * v1 + (n2 - 1) * v2) / (n1 + n2 - 2);
  const double welchSe2 = v1 / n1 + v2 / n2;
  const double welchDf =
      welchSe2 * welchSe2 / ((v1 / n1) * (v1 / n1) / (n1 - 1) + (v2 / n2) * (v2 / n2) / (n2 - 1));
  if (IsTwoSample(test) && n1 > 2 && n2 > 2) {
    if (t4) {
      interval(res.DiffEqual, d,
               TQuantile(alpha / 2, n1 - 1, TTails::Upper) * std::sqrt(pairedVar / n1));
    } else if (standard) {
      interval(res.DiffEqual, d,
               TQuantile(alpha / 2, std::trunc(n1 + n2 - 2), TTails::Upper) *
                   std::sqrt(pooled * (1 / n1 + 1 / n2)));
      interval(res.DiffUnequal, d,
               TQuantile(alpha / 2, welchDf, TTails::Upper) * std::sqrt(welchSe2));
    } else if (mse) {
      interval(res.DiffEqual, d,
               TQuantile(alpha / 2, in.Dfs, TTails::Upper) * std::sqrt(v1 * (1 / n1 + 1 / n2)));
    } else {
      interval(res.DiffEqual, d,
               NormalQuantileExact(alpha / 2, TTails::Upper) * std::sqrt(welchSe2));
    }
  }

  // Tests.
  if (t4 && n1 > 3) {
    TMDStat& c = res.CorrTest;
    c.Shown = true;
    c.Df = n1 - 2;
    if (std::fabs(r) >= 1) {
      c.Undefined = true;  // a perfect line: no t, but certainly not chance
      c.P = 0;
    } else {
      c.Value = CorrelationT(r, n1);
      c.P = TTail(c.Value, c.Df, TTails::Two);
    }
  }
  if (test == TMDTest::OneSampleMean && !in.X2Text.empty()) {
    TMDStat& m = res.MeanTest;
    m.Shown = true;
    m.Value = (in.X1 - in.X2) * std::sqrt(n1) / s1;
    if (known) {
      m.P = ZP(m.Value, in.HypMeans);
    } else {
      m.Df = mse && in.Dfs > 0 ? in.Dfs : n1 - 1;
      m.P = TP(m.Value, m.Df, in.HypMeans);
    }
  }
  if (test == TMDTest::OneSampleVariance && s2 > 0) {
    TMDStat& x = res.VarianceTest;
    x.Shown = true;
    x.Df = n1 - 1;
    x.Value = v1 * (n1 - 1) / v2;
    x.P = ChiSqTail(x.Value, x.Df, SideOf(in.HypVariance));
  }
  if (t3 && standard) {
    TMDStat& f = res.FTest;
    f.Shown = true;
    f.Value = s1 == 0 || s2 == 0 ? 0 : v1 / v2;
    f.Df = n1 - 1;
    f.Df2 = n2 - 1;
    f.P = FTail(f.Value, f.Df, f.Df2, SideOf(in.HypVariance));
    if (in.File) {
      const TMDFileData& file = *in.File;
      res.Levene = PooledDeviationT(file.Levene[0], file.Levene[1], n1, n2, in.HypVariance);
      res.Adm = PooledDeviationT(file.Adm[0], file.Adm[1], n1 - 1, n2 - 1, in.HypVariance);
    }
  }
  if (t4 && n1 > 2 && std::fabs(r) < 1) {
    TMDStat& t = res.PairedVariance;
    t.Shown = true;
    t.Df = n1 - 2;
    t.Value = (v1 - v2) * std::sqrt(n1 - 2) / (2 * s1 * s2 * std::sqrt(1 - r * r));
    t.P = TP(t.Value, t.Df, in.HypVariance);
  }
  if (t3) {
    TMDStat& e = res.EqualMeans;
    e.Shown = true;
    if (known) {
      e.Value = d / std::sqrt(welchSe2);
      e.P = ZP(e.Value, in.HypMeans);
    } else {
      const double v = mse ? v1 : pooled;
      e.Value = d / std::sqrt(v / n1 + v / n2);
      e.Df = mse ? in.Dfs : n1 + n2 - 2;
      e.P = TP(e.Value, e.Df, in.HypMeans);
    }
    if (standard) {
      TMDStat& w = res.UnequalMeans;
      w.Shown = true;
      w.Value = d / std::sqrt(welchSe2);
      w.Df = welchDf;
      w.P = TP(w.Value, w.Df, in.HypMeans);
    }
  }
  if (t4) {
    TMDStat& p = res.PairedMeans;
    p.Shown = true;
    p.Df = n1 - 1;
    if (pairedVar == 0) {
      // Equal pairs differ by a constant: with no difference nothing can be tested.
      p.Undefined = true;
      p.P = d == 0 ? NotAvailable : 0;
    } else {
      p.Value = d / std::sqrt(pairedVar / n1);
      p.P = TP(p.Value, p.Df, in.HypMeans);
    }
  }
  return res;
}

void WriteMeanDispersionReport(const TMDInputs& input, const TMDResult& res) {
  const TMDInputs in = Effective(input);
  const TMDTest test = in.Test;
  const bool t1 = test == TMDTest::OneSampleMean, t2 = test == TMDTest::OneSampleVariance;
  const bool t3 = test == TMDTest::TwoSampleIndependent, t4 = test == TMDTest::TwoSampleDependent;
  const bool mse = in.Df == TMDDf::FromMse, known = in.Df == TMDDf::SigmaKnown;
  const int dec = std::clamp(in.Decimals, 0, 9);
  const double alpha = 1 - in.Conf;
  const std::string indent = Blanks(9);
  auto stat3 = [](double x) { return FormatReal(x, 3); };

  TitleStyle(in.TitleSize);
  WriteLine("Mean/Dispersion Tests");
  BodyStyle(in.BodySize);
  if (in.File) {
    WriteBlankLine();
    if (!in.File->FileName.empty()) WriteLine("File: " + in.File->FileName);
    if (in.File->ByReference) WriteLine("   " + in.File->Description);
    if (!in.File->ModificationNote.empty()) WriteLine(in.File->ModificationNote);
  }
  WriteBlankLine();

  // The inputs.
  if (t1) {
    WriteLine(indent + in.Label1);
    WriteLine(indent + "_");
  } else if (!t2) {
    WriteLine(indent + Left(in.Label1, 25) + in.Label2);
    WriteLine(indent + "_    " + Blanks(20) + "_");
  }
  if (!t2) {
    std::string line = indent + "X1 = " + Left(in.X1Text, 20);
    if (!in.X2Text.empty()) line += std::string(t1 ? "Mo" : "X2") + " = " + Left(in.X2Text, 20);
    WriteLine(line);
  }
  const std::string disp1Label = known ? "Sigma1" : in.EnterVariance ? "V1" : "s1";
  const std::string disp2Label = t2      ? (in.EnterVariance ? "Vo" : "So")
                                 : known ? "Sigma2"
                                         : (in.EnterVariance ? "V2" : "s2");
  {
    std::string line = Right(disp1Label, 11) + " = " + Left(in.S1Text, 24 - Width(disp1Label));
    const bool secondInUse = t2 || t4 || (t3 && !mse);
    if (in.S2 > 0 && secondInUse) line += disp2Label + " = " + Left(in.S2Text, 20);
    if (t4) line += "  R12 = " + in.R12Text;
    WriteLine(line);
  }
  {
    std::string line = indent + "n1 = " + Left(in.N1Text, 20);
    if (t3) line += "n2 = " + Left(in.N2Text, 20);
    if ((t1 || t3) && mse) line += "df(s) = " + in.DfsText;
    if ((t1 || t3) && known) line += "Sigma Known";
    WriteLine(line);
  }
  WriteBlankLine();

  // Confidence intervals, the limits lined up under the first line's.
  const std::string confText = FormatRight(in.Conf * 100, 10, 2);
  const std::string two = IsTwoSample(test) ? "1" : "";
  const std::string sigma = Sigma + (in.EnterVariance ? Squared : "");
  auto limits = [&](const TMDInterval& i, bool square) {
    const double lo = square ? i.Lower * i.Lower : i.Lower;
    const double hi = square ? i.Upper * i.Upper : i.Upper;
    return FormatRight(lo, 12, dec) + " to " + FormatReal(hi, dec);
  };
  // An SD interval that is not available stays 999, squared or not.
  auto dispLimits = [&](const TMDInterval& i) {
    return limits(i, in.EnterVariance && i.Lower != NotAvailable);
  };
  if (res.Mean1.Shown)
    WriteLine(confText + "% Confidence Interval for" + Right(Mu + two + ":", 5) +
              limits(res.Mean1, false));
  if (res.Mean2.Shown) WriteLine(Right(Mu + "2:", 40) + limits(res.Mean2, false));
  if (res.Disp1.Shown) {
    if (t2)
      WriteLine(confText + "% Confidence Interval for " + sigma + ":  " + dispLimits(res.Disp1));
    else
      WriteLine(Right(sigma + two + ":", 40) + dispLimits(res.Disp1));
  }
  if (res.Disp2.Shown) WriteLine(Right(sigma + "2:", 40) + dispLimits(res.Disp2));
  if (res.Corr.Shown) WriteLine(Right(Rho + ":", 40) + limits(res.Corr, false));
  const std::string difference = Mu + "1 - " + Mu + "2:";
  if (res.DiffEqual.Shown) {
    const std::string prefix = t4      ? "(Matched Pairs) "
                               : known ? "(Sigma Known) "
                                       : "(Variances Equal) ";
    WriteLine(Right(prefix + difference, 40) + limits(res.DiffEqual, false));
  }
  if (res.DiffUnequal.Shown)
    WriteLine(Right("(Variances Unequal) " + difference, 40) + limits(res.DiffUnequal, false));
  WriteBlankLine();

  // Tests.
  auto p = [&](double value) { return PValueText(value, alpha); };
  auto whole = [](double x) { return FormatReal(x, 0); };
  auto tText = [&](const TMDStat& s) {
    return s.Undefined ? std::string("Undefined") : stat3(s.Value);
  };
  if (res.CorrTest.Shown)
    WriteLine("Correlation Test (" + Rho + " = 0):  t = " + tText(res.CorrTest) +
              "   df = " + whole(res.CorrTest.Df) + p(res.CorrTest.P));
  if (res.MeanTest.Shown) {
    WriteBlankLine();
    std::string line = "Test for " + Mu + HypTexts[static_cast<int>(in.HypMeans)] +
                       FormatReal(in.X2, dec) + " :  " + (known ? "z" : "t") + " = " +
                       stat3(res.MeanTest.Value);
    if (!known) line += "   df = " + whole(res.MeanTest.Df);
    WriteLine(line + p(res.MeanTest.P));
  }
  if (res.VarianceTest.Shown) {
    const std::string hyp = HypTexts[static_cast<int>(in.HypVariance)];
    const std::string hypothesised = in.EnterVariance
                                         ? FormatReal(in.S2 * in.S2, dec)
                                         : "(" + FormatReal(in.S2, dec) + ")" + Squared;
    WriteLine("Test for Variance" + hyp + hypothesised + " :  " + Chi + Squared + " = " +
              stat3(res.VarianceTest.Value) + "   df = " + whole(res.VarianceTest.Df) +
              p(res.VarianceTest.P));
  }
  if (res.FTest.Shown) {
    WriteLine("Tests for Dispersion (" + HypItem(test, in.HypVariance, true) + "):");
    WriteBlankLine();
    WriteLine("          F-Test:  F = " + Left(stat3(res.FTest.Value), 8) +
              Left("df = " + whole(res.FTest.Df) + "/" + whole(res.FTest.Df2), 10) +
              p(res.FTest.P));
    auto deviationLine = [&](const char* name, const TMDStat& s) {
      WriteLine(std::string(name) + "t = " + Left(stat3(s.Value), 8) +
                Left("df = " + whole(s.Df), 10) + p(s.P));
    };
    if (res.Levene.Shown) deviationLine("   Levene's Test:  ", res.Levene);
    if (res.Adm.Shown) deviationLine("   ADM(n-1) Test:  ", res.Adm);
  }
  if (res.PairedVariance.Shown) {
    WriteBlankLine();
    WriteLine("Matched Pair t-Test for Variance (" + HypItem(test, in.HypVariance, true) +
              "):  t = " + stat3(res.PairedVariance.Value) +
              "   df = " + whole(res.PairedVariance.Df) + p(res.PairedVariance.P));
  }
  if (IsTwoSample(test)) {
    WriteBlankLine();
    WriteLine("Test for Differences in Means (" + HypItem(test, in.HypMeans, false) + "):");
  }
  if (res.EqualMeans.Shown) {
    WriteBlankLine();
    const TMDStat& e = res.EqualMeans;
    if (known)
      WriteLine("     Variances Known :  z = " + stat3(e.Value) + p(e.P));
    else
      WriteLine("     Variances Equal :  t = " + stat3(e.Value) + "   df = " + FormatReal(e.Df, 1) +
                p(e.P));
  }
  if (res.UnequalMeans.Shown) {
    const TMDStat& w = res.UnequalMeans;
    WriteLine("   Variances Unequal :  t = " + stat3(w.Value) + "   df = " + FormatReal(w.Df, 1) +
              p(w.P));
  }
  if (res.PairedMeans.Shown) {
    WriteBlankLine();
    const TMDStat& t = res.PairedMeans;
    WriteLine("     Paired t-Test :  t = " + tText(t) + "   df = " + FormatReal(t.Df, 1) + p(t.P));
  }
}

void ApplyFileData(TMDInputs& in, const TMDFileData& file) {
  const int dec = std::clamp(in.Decimals, 0, 9);
  auto dispersionText = [&](double s) { return FormatReal(in.EnterVariance ? s * s : s, dec); };
  in.X1 = file.X1;
  in.S1 = file.S1;
  in.N1 = file.N1;
  in.X1Text = FormatReal(file.X1, dec);
  in.S1Text = dispersionText(file.S1);
  in.N1Text = FormatReal(file.N1, 0);
  in.Label1 = file.Label1;
  if (IsTwoSample(in.Test)) {
    in.X2 = file.X2;
    in.S2 = file.S2;
    in.N2 = file.N2;
    in.X2Text = FormatReal(file.X2, dec);
    in.S2Text = dispersionText(file.S2);
    in.N2Text = FormatReal(file.N2, 0);
    in.Label2 = file.Label2;
  }
  if (in.Test == TMDTest::TwoSampleDependent) {
    in.R12 = file.R12;
    in.R12Text = FormatReal(file.R12, dec);
  }
  in.File = file;
}

void DeviationSummaries(std::vector<double>& values, double mean, TDeviationSummary& levene,
                        TDeviationSummary& adm) {
  const std::size_t n = values.size();
  std::vector<double> dev(n);
  TStatsEngine engine;
  // Levene: absolute deviations from the mean.
  for (std::size_t i = 0; i < n; ++i) dev[i] = std::fabs(values[i] - mean);
  engine.Load(dev);
  engine.MeanAndVariance();
  levene = {engine.Stats.Mean, engine.Stats.Variance, n > 0 ? static_cast<double>(n) - 1 : 0};
  // ADM(n-1): absolute deviations from the median, in sorted order, without the
  // observation at (n + 1) div 2 (the median's own, 0 for odd n).
  engine.Load(values);
  engine.SortAndQuartiles();
  const double median = engine.Stats.Median;
  for (std::size_t i = 0; i < n; ++i) dev[i] = std::fabs(values[i] - median);
  if (n >= 1) {
    dev[(n + 1) / 2 - 1] = dev[n - 1];
    dev.pop_back();
  }
  engine.Load(dev);
  engine.MeanAndVariance();
  adm = {engine.Stats.Mean, engine.Stats.Variance, std::max(0.0, static_cast<double>(n) - 2)};
}

TMDFileData ComputeMDFileData(TDataList& data, const TColumnSelection& sel, TMDTest test) {
  TMDFileData f;
  const std::string& path = DataEditor.DataFilename;
  f.FileName =
      path.substr(path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
  TFileModStrings mods;
  if (BuildFileModString(mods)) f.ModificationNote = mods.Line;
  const bool two = IsTwoSample(test);
  f.ByReference = sel.LoadMode == ColSelByReference;
  auto label = [&](int group) {
    const std::string name = SelectedGroupName(data, sel, group);
    return f.ByReference ? "Ref = " + name : name;
  };
  f.Label1 = label(1);
  if (two) f.Label2 = label(2);
  if (f.ByReference) {
    f.Description = data.ColumnTitleOrName(sel.DataCol) + " by " +
                    data.ColumnTitleOrName(sel.ReferenceCol) + "[" +
                    std::to_string(sel.Reference1) +
                    (two ? "," + std::to_string(sel.Reference2) : std::string()) + "]";
  } else {
    f.Description = "Group1=" + data.ColumnTitleOrName(sel.SelectedCol1);
    if (two) f.Description += "   Group2=" + data.ColumnTitleOrName(sel.SelectedCol2);
  }
  TRunInfo ri;
  TStatsEngine engine;
  auto group = [&](int g, double& mean, double& sd, double& n) {
    std::vector<double> values = SelectedGroupValues(data, sel, ri, g);
    engine.Load(values);
    engine.MeanAndVariance();
    mean = values.empty() ? 0 : engine.Stats.Mean;
    sd = values.size() > 1 ? engine.Stats.StdDev : 0;
    n = static_cast<double>(values.size());
    DeviationSummaries(values, mean, f.Levene[g - 1], f.Adm[g - 1]);
  };
  group(1, f.X1, f.S1, f.N1);
  if (two) group(2, f.X2, f.S2, f.N2);
  if (two && !f.ByReference) {
    const TSelectedPairs pairs = SelectedPairValues(data, sel, ri);
    TCorr corr;
    for (std::size_t i = 0; i < pairs.X.size() && i < pairs.Y.size(); ++i)
      corr.AddPair(pairs.X[i], pairs.Y[i]);
    f.R12 = corr.PearsonR();
  }
  return f;
}

namespace {

// A box's text as the window keeps it: thousands grouped again.
std::string BoxText(const std::string& typed) { return GroupThousands(typed); }

}  // namespace

TMDInputs MeanDispersionInputsFrom(const TOptionValues& o) {
  TMDInputs in;
  in.Test = o.Choice<TMDTest>("test");
  in.EnterVariance = o.Choice<int>("variance") == 1;
  in.HypMeans = o.Choice<TMDHyp>("hyp-means");
  in.HypVariance = o.Choice<TMDHyp>("hyp-variance");
  in.Df = o.Choice<TMDDf>("df-calculations");
  auto dispersion = [&](const char* name) {
    const double x = o.Number(name);
    return in.EnterVariance ? (x > 0 ? std::sqrt(x) : x) : x;
  };
  in.X1 = o.Number("x1");
  in.S1 = dispersion("s1");
  in.S2 = dispersion("s2");
  in.N1 = o.Whole("n1");
  in.N2 = o.Whole("n2");
  in.R12 = o.Number("r12");
  in.Dfs = o.Whole("dfs");
  in.X1Text = BoxText(o.Text("x1"));
  in.S1Text = BoxText(o.Text("s1"));
  in.S2Text = BoxText(o.Text("s2"));
  in.N1Text = BoxText(o.Text("n1"));
  in.N2Text = BoxText(o.Text("n2"));
  in.R12Text = BoxText(o.Text("r12"));
  in.DfsText = BoxText(o.Text("dfs"));
  in.X2Text = BoxText(o.Text("x2"));
  in.X2 = 0;
  if (!in.X2Text.empty()) ReadPlainNumber(o.Text("x2"), in.X2);
  in.Conf = o.Number("conf") / 100;
  in.Decimals = o.Decimals();
  in.Label2 = IsTwoSample(in.Test) ? "Group2" : "Population";
  return in;
}

TAnalysis MeanDispersionTestsAnalysis() {
  TAnalysis a;
  a.Name = MeanDispersionTestsCommand;
  a.Summary =
      "Tests one or two means and dispersions (t, z, chi-square, F) from typed summary "
      "statistics, or from a data file's groups chosen with --group1/--group2 or "
      "--reference/--data/--level1/--level2, with confidence intervals for every parameter.";
  auto choice = [](const char* name, const char* initial, const char* label, const char* help,
                   std::vector<TChoice> choices) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Choice;
    s.Default = initial;
    s.Label = label;
    s.Help = help;
    s.Choices = std::move(choices);
    return s;
  };
  auto number = [](const char* name, const char* label, const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Number;
    s.Default = "0";
    s.Label = label;
    s.Help = help;
    return s;
  };
  auto whole = [](const char* name, const char* label, const char* help, const char* refusal) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::WholeNumber;
    s.Default = "0";
    s.Min = 0;
    s.Max = std::numeric_limits<int>::max();
    s.Label = label;
    s.Help = help;
    s.Refusal = refusal;
    return s;
  };
  const std::string ge = "\xE2\x89\xA5", le = "\xE2\x89\xA4";
  const std::string mu1 = Mu + "1", mu2 = Mu + "2", s2 = Sigma + Squared;
  TOptionSpec x2 = number("x2", "X2",
                          "mean of group 2; in the one-sample mean test the hypothesised mean "
                          "Mo (empty: no test)");
  x2.Kind = TOptionKind::Text;
  TOptionSpec conf;
  conf.Name = "conf";
  conf.Kind = TOptionKind::PositiveNumber;
  conf.Default = "95";
  conf.Label = "Conf";
  conf.Help = "confidence level in percent (90, 95, 99 or any between 0 and 100)";
  a.Options = {
      choice("test", "two-sample-independent-tests", "Test", "the design",
             {ChoiceOf(TMDTest::OneSampleMean, "one-sample-mean-test", "One-Sample Mean Test"),
              ChoiceOf(TMDTest::OneSampleVariance, "one-sample-variance-test",
                       "One-Sample Variance Test"),
              ChoiceOf(TMDTest::TwoSampleIndependent, "two-sample-independent-tests",
                       "Two-Sample Independent Tests"),
              ChoiceOf(TMDTest::TwoSampleDependent, "two-sample-dependent-tests",
                       "Two-Sample Dependent Tests")}),
      choice("variance", "enter-standard-deviation", "Variance",
             "whether --s1 and --s2 are standard deviations or variances",
             {{"enter-standard-deviation", "Enter Standard Deviation", 0},
              {"enter-variance", "Enter Variance", 1}}),
      choice("hyp-means", "=", "Hyp Means", "the means' hypothesis (= two-sided)",
             {ChoiceOf(TMDHyp::Equal, "=", mu1 + " = " + mu2),
              ChoiceOf(TMDHyp::AtLeast, ">=", mu1 + " " + ge + " " + mu2),
              ChoiceOf(TMDHyp::AtMost, "<=", mu1 + " " + le + " " + mu2)}),
      choice("hyp-variance", "=", "Hyp Variance", "the variances' hypothesis (= two-sided)",
             {ChoiceOf(TMDHyp::Equal, "=", s2 + "1 = " + s2 + "2"),
              ChoiceOf(TMDHyp::AtLeast, ">=", s2 + "1 " + ge + " " + s2 + "2"),
              ChoiceOf(TMDHyp::AtMost, "<=", s2 + "1 " + le + " " + s2 + "2")}),
      choice("df-calculations", "standard", "df Calculations",
             "degrees of freedom of tests 1 and 3: from the n, from --dfs, or sigma known (z)",
             {ChoiceOf(TMDDf::Standard, "standard", "Standard"),
              ChoiceOf(TMDDf::FromMse, "df-from-mse", "df from MSE"),
              ChoiceOf(TMDDf::SigmaKnown, "sigma-known", Sigma + " Known")}),
      number("x1", "X1", "mean of group 1"),
      number("s1", "s1", "standard deviation (or variance) of group 1"),
      whole("n1", "n1", "size of group 1", MDNMessage),
      x2,
      number("s2", "s2",
             "standard deviation (or variance) of group 2; the hypothesised So (Vo) in the "
             "one-sample variance test"),
      whole("n2", "n2", "size of group 2 (independent samples)", MDNMessage),
      number("r12", "r12", "correlation of the paired groups (dependent samples)"),
      whole("dfs", "df(s)", "degrees of freedom of an external mean square (df from MSE)",
            MDDfMessage),
      conf,
  };
  // A data file is optional: with Variable Selection's options the groups come from it.
  a.NeedsData = true;
  a.DataOptional = true;
  a.ColumnSelectionTest = [](const TOptionValues& o) { return o.Choice<int>("test"); };
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    if (!o.Text("x2").empty()) {
      double x = 0;
      if (!ReadPlainNumber(o.Text("x2"), x))
        return TOutcome::Refuse("'" + o.Text("x2") + "' is not a valid number!");
    }
    if (!(o.Number("conf") < 100))
      return TOutcome::Refuse("Conf must be greater than 0 and less than 100!");
    TMDInputs in = MeanDispersionInputsFrom(o);
    if (const TColumnSelection* sel = o.ColumnSelection(); sel && context.Data)
      ApplyFileData(in, ComputeMDFileData(*context.Data, *sel, in.Test));
    const TMDResult res = ComputeMeanDispersion(in);
    if (!res.Error.empty()) return TOutcome::Refuse(res.Error);
    TOutcome out;
    {
      TReportScope scope(out.Report);
      WriteMeanDispersionReport(in, res);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
