// Test statistic and p-value converter: a z, t, chi-square or F statistic to its p-value,
// or a p-value to the critical value, for a two-tailed, lower or upper question.
// Compute (numbers), report (lines) and picture are apart; the analysis registered in
// register.cpp joins them for the window and the command line.
#pragma once

#include <string>

#include "analysis/analysis.h"
#include "numerics/distributions.h"
#include "numerics/picture.h"
#include "output/report.h"

namespace sorvel {

inline constexpr const char* TestStatisticsCommand = "test-statistics";

// The window's pages, in tab order.
enum class TStatPage { Z, T, ChiSq, F };

// What the window's current page holds, after validation.
struct TTestStatInputs {
  TStatPage Page = TStatPage::Z;
  bool WantPV = true;         // "&Want": p-Value (statistic entered) or Value (p-value entered)
  TTails Tail = TTails::Two;  // "&Tails": Two, Lower, Upper
  double Value = 0;
  double Df1 = 0;  // "d&f:" of t and X², "df&1:" of F
  double Df2 = 0;  // "df&2:" of F
  // The texts as typed: the report quotes them.
  std::string ValueText = "0", Df1Text = "0", Df2Text = "0";
  int Decimals = 4;  // 0..9
};

// Sizes of the report fonts: this window keeps its own, as the distribution forms do.
inline constexpr int TestStatTitleSize = 10;
inline constexpr int TestStatBodySize = 8;

inline constexpr const char* PValueRangeMessage = "p-value must be < 1.0 and > 0.0!";
inline constexpr const char* DegreesOfFreedomMessage = "Degrees of Freedom must be > 0!";

// The tab caption of a page: "z (Normal)", "t", "X²" or "F".
std::string TestStatCaption(TStatPage page);
// The picture drawn for a page.
TPictureKind PictureKindOf(TStatPage page);

struct TTestStatResult {
  std::string Error;  // the message the window shows; empty when there is a result
  double r = 0;       // p-value, or the critical value (upper point of X² and F)
  double s = 0;       // lower point of X² and F when a p-value was entered
  // Where the picture marks the statistic and starts its shaded tails.
  double XValue = 0, XLower = 0, XUpper = 0;
};

TTestStatResult ComputeTestStatistic(const TTestStatInputs& in);
// The result's two lines, in the body style, appended to the current report.
void WriteTestStatReport(const TTestStatInputs& in, const TTestStatResult& res);
// The shaded distribution picture of a result.
void FillTestStatPicture(const TTestStatInputs& in, const TTestStatResult& res,
                         TPictureRecord& picture);

// Reads validated options into inputs (the analysis's Run and the tests).
TTestStatInputs TestStatInputsFrom(const TOptionValues& o);

// The registration of "test-statistics" (register.cpp).
TAnalysis TestStatisticsAnalysis();

}  // namespace sorvel
