// "Test Statistics": the converter between a statistic and its p-value.
#include <algorithm>

#include "hypothesis/test_statistics.h"
#include "output/report_writer.h"
#include "shell/analysis_registry.h"

namespace sorvel {

void RegisterTestStatistics(TAnalysisRegistry& registry) {
  TAnalysis a;
  a.Name = "test-statistics";
  a.Summary =
      "Converts a z, t, chi-square or F statistic into its p-value (--want p-value), or a "
      "p-value into the critical value of the statistic (--want value).";
  a.Options = {
      {"distribution", "z", "the page: z (Normal), t, X\xC2\xB2 or F", {"z", "t", "chi-square", "f"}},
      {"want", "p-value", "p-value: a statistic is entered; value: a p-value is entered",
       {"p-value", "value"}},
      {"tails", "two", "the question's tails", {"two", "lower", "upper"}},
      {"value", "0", "the statistic, or the p-value (between 0 and 1)", {}},
      {"df", "0", "degrees of freedom of t and chi-square", {}},
      {"df1", "0", "first degrees of freedom of F", {}},
      {"df2", "0", "second degrees of freedom of F", {}},
  };
  a.Run = [](const TOptions& o) {
    TTestStatInputs in;
    const std::string& dist = o.at("distribution");
    in.Page = dist == "t"            ? TStatPage::T
              : dist == "chi-square" ? TStatPage::ChiSq
              : dist == "f"          ? TStatPage::F
                                     : TStatPage::Z;
    in.WantPV = o.at("want") != "value";
    const std::string& tails = o.at("tails");
    in.TailType = tails == "lower" ? 1 : tails == "upper" ? 2 : 0;
    in.ValueText = o.at("value");
    if (in.Page == TStatPage::F) {
      in.Df1Text = o.at("df1");
      in.Df2Text = o.at("df2");
    } else {
      in.Df1Text = o.at("df");
    }
    in.Decimals = std::stoi(o.at("decimals"));

    TOutcome out;
    TPictureRecord picture;
    TTestStatResult res = ComputeTestStatistic(in, out.Report, picture);
    // No window keeps this report: leave no current report pointing into `out`.
    ResetReportWriter();
    if (!res.Error.empty()) return TOutcome::Refuse(res.Error);
    out.Picture = picture.graphic;
    return out;
  };
  registry.Add(std::move(a));
}

}  // namespace sorvel
