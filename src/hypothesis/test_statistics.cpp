#include "hypothesis/test_statistics.h"

#include <algorithm>
#include <cmath>

#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/parse.h"
#include "output/report_writer.h"

namespace sorvel {

std::string TestStatCaption(TStatPage page) {
  switch (page) {
    case TStatPage::Z: return "z (Normal)";
    case TStatPage::T: return "t";
    case TStatPage::ChiSq: return "X\xC2\xB2";
    case TStatPage::F: return "F";
  }
  return "";
}

namespace {

// The window's key filters keep letters out of its edits, but pasted text and the
// command line can bring them; such text is refused rather than read as 0.
bool ReadNumber(const std::string& text, double& value, std::string& error) {
  TRealConversion c = StrToReal(text);
  if (c.Code != 0) {
    error = "'" + text + "' is not a valid number!";
    return false;
  }
  value = c.Value;
  return true;
}

}  // namespace

TTestStatResult ComputeTestStatistic(const TTestStatInputs& in, TReport& report,
                                     TPictureRecord& picture) {
  TTestStatResult res;
  SetReport(report);
  ClearReport();
  const int d = std::clamp(in.Decimals, 0, 9);
  const int tailType = std::clamp(in.TailType, 0, 2);
  const int tails = tailType == 0 ? 2 : 1;
  const bool two = tailType == 0, lower = tailType == 1, upper = tailType == 2;
  const TStatPage page = in.Page;
  const bool hasDf = page != TStatPage::Z;

  std::string valueText = in.ValueText;
  if (!valueText.empty() && valueText[0] == '.') valueText = "0" + valueText;
  double a = 0, df1 = 0, df2 = 0;
  bool ok = ReadNumber(valueText, a, res.Error);
  if (ok && hasDf) ok = ReadNumber(in.Df1Text, df1, res.Error);
  if (ok && page == TStatPage::F) ok = ReadNumber(in.Df2Text, df2, res.Error);

  if (ok && !in.WantPV && (a >= 1 || a <= 0)) {
    res.Error = PValueRangeMessage;
    ok = false;
  }
  // Negative degrees of freedom are refused with zero: no distribution has them.
  if (ok && ((hasDf && df1 <= 0) || (page == TStatPage::F && df2 <= 0))) {
    res.Error = DegreesOfFreedomMessage;
    ok = false;
  }
  if (!ok) {
    BlankPicture(picture.graphic);
    return res;
  }

  double r = 0, s = 0, xValue = 0, xLower = 0, xUpper = 0;
  if (in.WantPV) {
    xValue = a;
    switch (page) {
      case TStatPage::Z:
        r = NormalTailExact(two ? std::fabs(a) : a, tails);
        if (lower) r = 1 - r;
        xLower = -std::fabs(a);
        xUpper = std::fabs(a);
        break;
      case TStatPage::T:
        // TTail works on |t|: the far side of a one-tailed question is the complement.
        r = TTail(a, df1, tails);
        if ((a < 0 && upper) || (a > 0 && lower)) r = 1 - r;
        xLower = -std::fabs(a);
        xUpper = std::fabs(a);
        break;
      case TStatPage::ChiSq:
        r = ChiSqTail(a, df1, tails);
        xLower = ChiSqQuantile(1 - r / 2, df1, 1);
        xUpper = ChiSqQuantile(r / 2, df1, 1);
        if (lower) r = 1 - r;
        break;
      case TStatPage::F:
        r = FTail(a, df1, df2, tails);
        xLower = FQuantile(1 - r / 2, df1, df2, 1);
        xUpper = FQuantile(r / 2, df1, df2, 1);
        if (lower) r = 1 - r;
        break;
    }
  } else if (page == TStatPage::Z || page == TStatPage::T) {
    r = page == TStatPage::Z ? NormalQuantileExact(a, tails) : TQuantile(a, df1, tails);
    if (two) r = std::fabs(r);
    if (lower || (upper && a < 0)) r = -r;
    xValue = r;
    xLower = -std::fabs(r);
    xUpper = std::fabs(r);
  } else {
    auto quantile = [&](double p) {
      return page == TStatPage::ChiSq ? ChiSqQuantile(p, df1, 1) : FQuantile(p, df1, df2, 1);
    };
    if (two) {
      r = quantile(a / 2);      // upper point
      s = quantile(1 - a / 2);  // lower point
    } else if (lower) {
      r = quantile(1 - a);
      s = quantile(a);
    } else {
      r = quantile(a);
      s = quantile(1 - a);
    }
    xValue = r;
    xLower = std::min(r, s);
    xUpper = std::max(r, s);
  }
  res.r = r;
  res.s = s;

  std::string line1 = "For " + TestStatCaption(page) +
                      (in.WantPV ? " Value = " : " p-Value = ") + valueText;
  if (hasDf) {
    line1 += "  with " + in.Df1Text;
    if (page == TStatPage::F) line1 += ", " + in.Df2Text;
    line1 += " df";
  }
  line1 += ":";

  static const char* tailNames[] = {"Two", "Lower", "Upper"};
  std::string line2 = std::string("\t") + tailNames[tailType] + "-tail " +
                      (in.WantPV ? " p-Value = " : " Value = ");
  const bool twoPoints = two && !in.WantPV;
  if (twoPoints && (page == TStatPage::Z || page == TStatPage::T))
    line2 += " \xC2\xB1 " + FormatFixedOrGeneral(r, d);
  else if (twoPoints)
    line2 += FormatFixedOrGeneral(s, d) + ", " + FormatFixedOrGeneral(r, d);
  else
    line2 += FormatFixedOrGeneral(r, d);

  BodyStyle(TestStatBodySize);
  WriteLine(line1);
  WriteLine(line2);

  SetPicture(picture, static_cast<int>(page), xValue, xLower, xUpper, df1, df2, in.WantPV,
             tailType);
  DrawTestPicture(picture);
  return res;
}

}  // namespace sorvel
