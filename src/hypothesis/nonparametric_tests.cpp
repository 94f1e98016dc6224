#include "hypothesis/nonparametric_tests.h"

#include <cmath>

#include "data/column_selection.h"
#include "data/data_list.h"
#include "data/grid_edit.h"
#include "numerics/format.h"
#include "output/report_writer.h"

namespace sorvel {

namespace {

// clang-format off
const char* const Captions[] = {
    "Sign Test for Location", "Wilcoxon Test for Location", "Wilcoxon-Mann-Whitney",
    "Two-Sample Median",      "Sign Test",                  "Wilcoxon Signed Ranks",
    "Spearman Rank Correlation"};
const char* const Titles[] = {
    "Sign Test for Location", "Wilcoxon Test for Location", "Wilcoxon-Mann-Whitney Test",
    "Two-Sample Median Test", "Sign Test",                  "Wilcoxon Signed Ranks Test",
    "Spearman Rank Correlation"};
const char* const Values[] = {
    "sign-test-for-location", "wilcoxon-test-for-location", "wilcoxon-mann-whitney",
    "two-sample-median",      "sign-test",                  "wilcoxon-signed-ranks",
    "spearman-rank-correlation"};
// clang-format on

int Index(TNPTest t) { return static_cast<int>(t); }

std::string Count(std::int64_t n, int width) { return FormatIntRight(n, width); }
std::string Rank(double x) { return FormatRight(x, 15, 2); }

void Underlined(const std::string& line) {
  UnderlineStyle();
  WriteLine(line);
  RegularStyle();
}

}  // namespace

const char* NPTestCaption(TNPTest test) { return Captions[Index(test)]; }
const char* NPTestTitle(TNPTest test) { return Titles[Index(test)]; }
const char* NPTestValue(TNPTest test) { return Values[Index(test)]; }

std::string NPHypothesisText(TNPTest test, int alternative) {
  const std::string other = NPUsesLocation(test) ? "Loc" : "M2";
  if (alternative == 1) return "M1 \xE2\x89\xA5 " + other;
  if (alternative == 2) return "M1 \xE2\x89\xA4 " + other;
  return "M1  =  " + other;
}

bool NPUsesLocation(TNPTest t) { return Index(t) <= 1; }
bool NPUsesSecondGroup(TNPTest t) { return Index(t) >= 2; }
bool NPOffersReference(TNPTest t) { return Index(t) == 2 || Index(t) == 3; }
bool NPUsesHypothesis(TNPTest t) { return t != TNPTest::SpearmanRankCorrelation; }
bool NPOffersIncludeEqual(TNPTest t, int alternative) {
  return t == TNPTest::SignTestForLocation && alternative != 0;
}

TNPInputs Effective(const TNPInputs& input) {
  TNPInputs in = input;
  if (!NPOffersIncludeEqual(in.Test, in.Alternative)) in.IncludeEqual = false;
  if (!NPOffersReference(in.Test)) in.Mode = NPByColumns;
  if (!NPUsesHypothesis(in.Test)) in.Alternative = 0;
  return in;
}

TNPResult ComputeNonparametric(TDataList& data, const TNPInputs& input) {
  const TNPInputs in = Effective(input);
  TNPResult res;
  const int alt = in.Alternative;
  const bool byColumns = in.Mode == NPByColumns;
  const std::int64_t g1 = byColumns ? in.Col1 : in.Code1, g2 = byColumns ? in.Col2 : in.Code2;
  switch (in.Test) {
    case TNPTest::SignTestForLocation:
      res.SignLocation = SignTestLocation(data, in.Col1, in.Location, alt, in.IncludeEqual);
      break;
    case TNPTest::WilcoxonTestForLocation:
      res.SignedRank = WilcoxonSignedRank(data, in.Col1, 0, in.Location, alt);
      break;
    case TNPTest::WilcoxonMannWhitney:
      res.MannWhitney = MannWhitney(data, in.Mode, in.GroupCol, g1, g2, in.MeasureCol, alt);
      break;
    case TNPTest::TwoSampleMedian:
      res.Median = MedianTest(data, in.Mode, in.GroupCol, g1, g2, in.MeasureCol, alt);
      break;
    case TNPTest::SignTest: res.PairedSign = PairedSignTest(data, in.Col1, in.Col2, alt); break;
    case TNPTest::WilcoxonSignedRanks:
      res.SignedRank = WilcoxonSignedRank(data, in.Col1, in.Col2, 0, alt);
      break;
    case TNPTest::SpearmanRankCorrelation:
      res.Spearman = SpearmanRank(data, in.Col1, in.Col2);
      break;
  }
  if (byColumns) {
    res.Name1 = data.ColumnTitleOrName(in.Col1);
    res.Name2 = data.ColumnTitleOrName(in.Col2);
  } else {
    res.MeasureTitle = data.ColumnTitleOrName(in.MeasureCol);
    res.GroupLabel = data.ColumnTitleOrName(in.GroupCol);
    res.Name1 = data.GetLevelName(in.GroupCol, static_cast<int>(in.Code1));
    res.Name2 = data.GetLevelName(in.GroupCol, static_cast<int>(in.Code2));
  }
  // After the loads: a transform error there has switched the transformation off.
  TFileModStrings mods;
  if (BuildFileModString(mods)) res.ModificationLine = mods.Line;
  return res;
}

void WriteNonparametricReport(const TNPInputs& input, const TNPResult& res) {
  const TNPInputs in = Effective(input);
  const double alpha = 1 - in.Conf;
  const std::string hypothesis = NPHypothesisText(in.Test, in.Alternative);
  const std::string pText = [&] {
    switch (in.Test) {
      case TNPTest::SignTestForLocation: return PValueText(res.SignLocation.P, alpha);
      case TNPTest::WilcoxonTestForLocation:
      case TNPTest::WilcoxonSignedRanks: return PValueText(res.SignedRank.P, alpha);
      case TNPTest::WilcoxonMannWhitney: return PValueText(res.MannWhitney.P, alpha);
      case TNPTest::TwoSampleMedian: return PValueText(res.Median.P, alpha);
      case TNPTest::SignTest: return PValueText(res.PairedSign.P, alpha);
      case TNPTest::SpearmanRankCorrelation: return PValueText(res.Spearman.P, alpha);
    }
    return std::string();
  }();

  HeadingStyle(NPTitleSize);
  WriteLine(NPTestTitle(in.Test));
  BodyStyle(NPBodySize);
  WriteBlankLine();
  if (NPUsesLocation(in.Test))
    WriteLine("  " + res.Name1 + "  vs  Location = " + in.LocationText);
  else if (in.Mode == NPByColumns)
    WriteLine("  " + res.Name1 + "  vs  " + res.Name2);
  else
    WriteLine("  " + res.MeasureTitle + "  by  " + res.GroupLabel + " [" + res.Name1 + "," +
              res.Name2 + "]");
  if (!res.ModificationLine.empty()) WriteLine(res.ModificationLine);
  WriteBlankLine();

  // The signed-rank layout of tests 1 and 5.
  auto signedRanks = [&](const char* heading, const char* nLabel) {
    const TSignedRankResult& r = res.SignedRank;
    Underlined(std::string(heading) + PadLeft("Count", 11) + PadLeft("Mean Rank", 15));
    WriteLine("      >" + Count(r.Positive, 13) + Rank(r.MeanRankPositive));
    WriteLine("      <" + Count(r.Negative, 13) + Rank(r.MeanRankNegative));
    Underlined("      =" + Count(r.N - r.Untied, 13) + Blanks(15));
    WriteLine(std::string(nLabel) + Count(r.N, 10));
    WriteLine(" included " + Count(r.Untied, 10));
    WriteBlankLine();
    WriteLine("  Test for: " + hypothesis);
    WriteLine("  z = " + FormatReal(r.Z, 3) + pText);
  };
  // The group table of tests 2 and 3.
  auto groups = [&](const std::string& heading, double v1, double v2, bool ranks) {
    const std::int64_t n1 = ranks ? res.MannWhitney.N1 : res.Median.N1;
    const std::int64_t n2 = ranks ? res.MannWhitney.N2 : res.Median.N2;
    auto cell = [&](double v) { return ranks ? Rank(v) : Count(static_cast<std::int64_t>(v), 15); };
    Underlined(PadLeft(res.GroupLabel, 12) + PadLeft("n", 10) + PadLeft(heading, 15));
    WriteLine(PadLeft(res.Name1, 12) + Count(n1, 10) + cell(v1));
    Underlined(PadLeft(res.Name2, 12) + Count(n2, 10) + cell(v2));
    WriteBlankLine();
  };

  switch (in.Test) {
    case TNPTest::SignTestForLocation: {
      const TSignLocationResult& r = res.SignLocation;
      Underlined("   1 vs L" + PadLeft("Count", 11));
      WriteLine("      >" + Count(r.Above, 13));
      WriteLine("      <" + Count(r.Below, 13));
      Underlined("      =" + Count(r.N - r.Above - r.Below, 13) +
                 (in.IncludeEqual ? " included" : ""));
      WriteLine(" n (obs.) " + Count(r.N, 10));
      WriteLine(" included " + Count(in.IncludeEqual ? r.N : r.Above + r.Below, 10));
      WriteBlankLine();
      WriteLine("  Exact Test for: " + hypothesis);
      WriteLine("  Binomial" + pText);
      break;
    }
    case TNPTest::WilcoxonTestForLocation: signedRanks("   1 vs L", " n (obs.) "); break;
    case TNPTest::WilcoxonMannWhitney:
      groups("Mean Rank", res.MannWhitney.MeanRank1, res.MannWhitney.MeanRank2, true);
      WriteLine("  Test for: " + hypothesis);
      WriteLine("  z = " + FormatReal(res.MannWhitney.Z, 3) + pText);
      break;
    case TNPTest::TwoSampleMedian:
      groups(res.Median.Above ? "Above Median" : "Below Median",
             static_cast<double>(res.Median.Count1), static_cast<double>(res.Median.Count2), false);
      WriteLine("  Exact Test for: " + hypothesis);
      WriteLine("  Fisher Exact" + pText);
      break;
    case TNPTest::SignTest: {
      const TPairedSignResult& r = res.PairedSign;
      Underlined("   1 vs 2" + PadLeft("Count", 11));
      WriteLine("      >" + Count(r.Positive, 13));
      WriteLine("      <" + Count(r.Untied - r.Positive, 13));
      Underlined("      =" + Count(r.N - r.Untied, 13));
      WriteLine(" n (pairs)" + Count(r.N, 10));
      WriteLine(" included " + Count(r.Untied, 10));
      WriteBlankLine();
      WriteLine("  Exact Test for: " + hypothesis);
      WriteLine("  Binomial" + pText);
      break;
    }
    case TNPTest::WilcoxonSignedRanks: signedRanks("   1 vs 2", " n (pairs)"); break;
    case TNPTest::SpearmanRankCorrelation: {
      const TSpearmanResult& r = res.Spearman;
      WriteLine(" n (pairs) = " + std::to_string(r.N));
      WriteLine(" r(s) = " + FormatReal(r.Rs, 3) +
                "   t = " + (r.TUndefined ? std::string("Undefined") : FormatReal(r.T, 3)) + pText);
      break;
    }
  }
}

TAnalysis NonparametricTestsAnalysis() {
  TAnalysis a;
  a.Name = NonparametricTestsCommand;
  // Counts, mean ranks (2), z, r(s), t and p (3) have decimals of their own.
  a.HasDecimals = false;
  a.Summary =
      "Sign and rank tests of a data file's columns: sign and Wilcoxon tests against a "
      "location, Wilcoxon-Mann-Whitney and the two-sample median test (two columns, or "
      "two levels of a grouping column), and the paired sign, Wilcoxon signed-ranks and "
      "Spearman rank correlation tests.";
  TOptionSpec test;
  test.Name = "test";
  test.Kind = TOptionKind::Choice;
  test.Default = Values[Index(TNPTest::WilcoxonMannWhitney)];
  test.Label = "Test";
  test.Help = "the test";
  for (int i = 0; i < 7; ++i) test.Choices.push_back({Values[i], Captions[i], i});

  TOptionSpec hyp;
  hyp.Name = "hypothesis";
  hyp.Kind = TOptionKind::Choice;
  hyp.Default = "two";
  hyp.Label = "Hypothesis";
  hyp.Help = "two-sided, or one-sided: lower tests M1 >= M2 (or Loc), upper M1 <= M2";
  hyp.Choices = {{"two", NPHypothesisText(TNPTest::WilcoxonMannWhitney, 0), 0},
                 {"lower", NPHypothesisText(TNPTest::WilcoxonMannWhitney, 1), 1},
                 {"upper", NPHypothesisText(TNPTest::WilcoxonMannWhitney, 2), 2}};

  TOptionSpec location;
  location.Name = "location";
  location.Kind = TOptionKind::Number;
  location.Default = "0";
  location.Label = "Location";
  location.Help = "the location of the one-sample tests";

  TOptionSpec includeEqual;
  includeEqual.Name = "include-equal";
  includeEqual.Kind = TOptionKind::Flag;
  includeEqual.Default = "0";
  includeEqual.Label = "Include equal";
  includeEqual.Help =
      "sign test for location, one-sided: values at the location count against the hypothesis";

  TOptionSpec conf;
  conf.Name = "conf";
  conf.Kind = TOptionKind::Choice;
  conf.Default = "95";
  conf.Label = "Conf";
  conf.Help = "confidence level in percent: a p-value at or below 1 - conf is starred";
  conf.Choices = {{"90", "90", 90}, {"95", "95", 95}, {"99", "99", 99}};

  a.Options = {test, hyp, location, includeEqual, conf};
  a.NeedsData = true;
  // Groups come from Variable Selection's options: --group1/--group2 ("Define Columns"),
  // or --reference (the "Groups:" column), --data ("Measure:"), --level1 and --level2.
  a.ColumnSelectionTest = [](const TOptionValues& o) {
    const auto t = o.Choice<TNPTest>("test");
    if (NPUsesLocation(t)) return static_cast<int>(ColSelOneMean);
    return static_cast<int>(NPOffersReference(t) ? ColSelTwoIndependent : ColSelTwoDependent);
  };
  a.Run = [](const TAnalysisContext& context) {
    const TOptionValues& o = context.Options;
    const TColumnSelection* sel = o.ColumnSelection();
    if (!sel || !context.Data) return TOutcome::Refuse(NPNoGroupsMessage);
    TNPInputs in;
    in.Test = o.Choice<TNPTest>("test");
    in.Alternative = o.Choice<int>("hypothesis");
    in.Location = o.Number("location");
    in.LocationText = o.Text("location");
    in.IncludeEqual = o.Flag("include-equal");
    in.Conf = o.Choice<int>("conf") / 100.0;
    if (sel->LoadMode == ColSelByReference) {
      if (!NPOffersReference(in.Test))
        return TOutcome::Refuse(
            "--reference is for the Wilcoxon-Mann-Whitney and Two-Sample Median tests");
      in.Mode = NPByReference;
      in.GroupCol = sel->ReferenceCol;
      in.MeasureCol = sel->DataCol;
      in.Code1 = sel->Reference1;
      in.Code2 = sel->Reference2;
    } else {
      if (sel->ExcludeIncompletePairs)
        return TOutcome::Refuse(
            "--exclude-incomplete-pairs does not apply: the paired tests take complete pairs, "
            "the others every value");
      in.Mode = NPByColumns;
      in.Col1 = sel->SelectedCol1;
      in.Col2 = sel->SelectedCol2;
    }
    const TNPResult res = ComputeNonparametric(*context.Data, in);
    TOutcome out;
    {
      TReportScope scope(out.Report);
      WriteNonparametricReport(in, res);
    }
    return out;
  };
  return a;
}

}  // namespace sorvel
