// Test statistic and p-value converter: a z, t, chi-square or F statistic to its p-value,
// or a p-value to the critical value, for a two-tailed, lower or upper question.
#pragma once

#include <string>

#include "numerics/picture.h"
#include "output/report.h"

namespace sorvel {

// The window's pages, in tab order.
enum class TStatPage { Z = 1, T = 2, ChiSq = 3, F = 4 };

// What the window's current page holds.
struct TTestStatInputs {
  TStatPage Page = TStatPage::Z;
  bool WantPV = true;  // "&Want": p-Value (statistic entered) or Value (p-value entered)
  int TailType = 0;    // "&Tails": 0 Two, 1 Lower, 2 Upper
  std::string ValueText = "0";
  std::string Df1Text = "0";  // "d&f:" of t and X², "df&1:" of F
  std::string Df2Text = "0";  // "df&2:" of F
  int Decimals = 4;           // 0..9
};

// Sizes of the report fonts: this window keeps its own, as the distribution forms do.
inline constexpr int TestStatTitleSize = 10;
inline constexpr int TestStatBodySize = 8;

inline constexpr const char* PValueRangeMessage = "p-value must be < 1.0 and > 0.0!";
inline constexpr const char* DegreesOfFreedomMessage = "Degrees of Freedom must be > 0!";

// The tab caption of a page: "z (Normal)", "t", "X²" or "F".
std::string TestStatCaption(TStatPage page);

struct TTestStatResult {
  std::string Error;  // the message the window shows; empty when the result was written
  double r = 0;       // p-value, or the critical value (upper point of X² and F)
  double s = 0;       // lower point of X² and F when a p-value was entered
};

// The "&Action" of the window: clears `report` (made the current report) and writes the
// result's two lines, then fills and draws `picture`, or blanks its graphic on an error.
TTestStatResult ComputeTestStatistic(const TTestStatInputs& in, TReport& report,
                                     TPictureRecord& picture);

}  // namespace sorvel
