#include "hypothesis/statistic_calculator.h"

#include <algorithm>
#include <cmath>

#include "numerics/format.h"
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

TPictureKind PictureKindOf(TStatPage page) {
  switch (page) {
    case TStatPage::Z: return PictureNormal;
    case TStatPage::T: return PictureT;
    case TStatPage::ChiSq: return PictureChiSq;
    case TStatPage::F: return PictureF;
  }
  return PictureNormal;
}

namespace {

int TailTypeOf(TTails tail) {
  switch (tail) {
    case TTails::Two: return 0;
    case TTails::Lower: return 1;
    case TTails::Upper: return 2;
  }
  return 0;
}

}  // namespace

TTestStatResult ComputeTestStatistic(const TTestStatInputs& in) {
  TTestStatResult res;
  const TStatPage page = in.Page;
  const bool hasDf = page != TStatPage::Z;
  const double a = in.Value, df1 = in.Df1, df2 = in.Df2;
  const TTails tail = in.Tail;

  if (!in.WantPV && (a >= 1 || a <= 0)) {
    res.Error = PValueRangeMessage;
    return res;
  }
  // Negative degrees of freedom are refused with zero: no distribution has them.
  if ((hasDf && df1 <= 0) || (page == TStatPage::F && df2 <= 0)) {
    res.Error = DegreesOfFreedomMessage;
    return res;
  }

  double r = 0, s = 0;
  if (in.WantPV) {
    res.XValue = a;
    switch (page) {
      case TStatPage::Z:
        r = NormalTailExact(a, tail);
        res.XLower = -std::fabs(a);
        res.XUpper = std::fabs(a);
        break;
      case TStatPage::T:
        r = TTail(a, df1, tail);
        res.XLower = -std::fabs(a);
        res.XUpper = std::fabs(a);
        break;
      case TStatPage::ChiSq:
      case TStatPage::F: {
        // The picture shades equal tails of the two-tailed (or upper) area on both sides.
        const TTails folded = tail == TTails::Two ? TTails::Two : TTails::Upper;
        const double area =
            page == TStatPage::ChiSq ? ChiSqTail(a, df1, folded) : FTail(a, df1, df2, folded);
        auto quantile = [&](double p, TTails side) {
          return page == TStatPage::ChiSq ? ChiSqQuantile(p, df1, side)
                                          : FQuantile(p, df1, df2, side);
        };
        res.XLower = quantile(area / 2, TTails::Lower);
        res.XUpper = quantile(area / 2, TTails::Upper);
        r = tail != TTails::Lower      ? area
            : page == TStatPage::ChiSq ? ChiSqTail(a, df1, TTails::Lower)
                                       : FTail(a, df1, df2, TTails::Lower);
        break;
      }
    }
  } else if (page == TStatPage::Z || page == TStatPage::T) {
    r = page == TStatPage::Z ? NormalQuantileExact(a, tail) : TQuantile(a, df1, tail);
    res.XValue = r;
    res.XLower = -std::fabs(r);
    res.XUpper = std::fabs(r);
  } else {
    auto quantile = [&](double p, TTails side) {
      return page == TStatPage::ChiSq ? ChiSqQuantile(p, df1, side) : FQuantile(p, df1, df2, side);
    };
    switch (tail) {
      case TTails::Two:  // upper and lower points of equal tails
        r = quantile(a / 2, TTails::Upper);
        s = quantile(a / 2, TTails::Lower);
        break;
      case TTails::Lower:
        r = quantile(a, TTails::Lower);
        s = quantile(a, TTails::Upper);
        break;
      case TTails::Upper:
        r = quantile(a, TTails::Upper);
        s = quantile(a, TTails::Lower);
        break;
    }
    res.XValue = r;
    res.XLower = std::min(r, s);
    res.XUpper = std::max(r, s);
  }
  res.r = r;
  res.s = s;
  return res;
}

void WriteTestStatReport(const TTestStatInputs& in, const TTestStatResult& res) {
  const int d = std::clamp(in.Decimals, 0, 9);
  const TStatPage page = in.Page;
  std::string valueText = in.ValueText;
  if (!valueText.empty() && valueText[0] == '.') valueText = "0" + valueText;

  std::string line1 =
      "For " + TestStatCaption(page) + (in.WantPV ? " Value = " : " p-Value = ") + valueText;
  if (page != TStatPage::Z) {
    line1 += "  with " + in.Df1Text;
    if (page == TStatPage::F) line1 += ", " + in.Df2Text;
    line1 += " df";
  }
  line1 += ":";

  static const char* tailNames[] = {"Two", "Lower", "Upper"};
  std::string line2 = std::string("\t") + tailNames[TailTypeOf(in.Tail)] + "-tail " +
                      (in.WantPV ? " p-Value = " : " Value = ");
  const bool twoPoints = in.Tail == TTails::Two && !in.WantPV;
  if (twoPoints && (page == TStatPage::Z || page == TStatPage::T))
    line2 += " \xC2\xB1 " + FormatFixedOrGeneral(res.r, d);
  else if (twoPoints)
    line2 += FormatFixedOrGeneral(res.s, d) + ", " + FormatFixedOrGeneral(res.r, d);
  else
    line2 += FormatFixedOrGeneral(res.r, d);

  BodyStyle(TestStatBodySize);
  WriteLine(line1);
  WriteLine(line2);
}

void FillTestStatPicture(const TTestStatInputs& in, const TTestStatResult& res,
                         TPictureRecord& picture) {
  if (!res.Error.empty()) {
    BlankPicture(picture.graphic);
    return;
  }
  SetPicture(picture, PictureKindOf(in.Page), res.XValue, res.XLower, res.XUpper, in.Df1, in.Df2,
             in.WantPV, TailTypeOf(in.Tail));
  DrawTestPicture(picture);
}

TTestStatInputs TestStatInputsFrom(const TOptionValues& o) {
  TTestStatInputs in;
  in.Page = o.Choice<TStatPage>("distribution");
  in.WantPV = o.Choice<int>("want") == 0;
  in.Tail = o.Choice<TTails>("tails");
  in.Value = o.Number("value");
  in.ValueText = o.Text("value");
  const bool f = in.Page == TStatPage::F;
  in.Df1 = o.Number(f ? "df1" : "df");
  in.Df1Text = o.Text(f ? "df1" : "df");
  in.Df2 = o.Number("df2");
  in.Df2Text = o.Text("df2");
  in.Decimals = o.Decimals();
  return in;
}

TAnalysis TestStatisticsAnalysis() {
  TAnalysis a;
  a.Name = TestStatisticsCommand;
  a.Summary =
      "Converts a z, t, chi-square or F statistic into its p-value (--want p-value), or a "
      "p-value into the critical value of the statistic (--want value).";
  a.DrawsPicture = true;
  auto number = [](const char* name, const char* label, const char* help) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Number;
    s.Default = "0";
    s.Label = label;
    s.Help = help;
    return s;
  };
  auto choice = [](const char* name, const char* initial, const char* help,
                   std::vector<TChoice> choices) {
    TOptionSpec s;
    s.Name = name;
    s.Kind = TOptionKind::Choice;
    s.Default = initial;
    s.Help = help;
    s.Choices = std::move(choices);
    return s;
  };
  TOptionSpec distribution = choice(
      "distribution", "z", "the page",
      {ChoiceOf(TStatPage::Z, "z", "z (Normal)"), ChoiceOf(TStatPage::T, "t", "t"),
       ChoiceOf(TStatPage::ChiSq, "chi-square", "X\xC2\xB2"), ChoiceOf(TStatPage::F, "f", "F")});
  TOptionSpec want =
      choice("want", "p-value", "p-value: a statistic is entered; value: a p-value is entered",
             {{"p-value", "p-Value", 0}, {"value", "Value", 1}});
  TOptionSpec tails =
      choice("tails", "two", "the question's tails",
             {ChoiceOf(TTails::Two, "two", "Two"), ChoiceOf(TTails::Lower, "lower", "Lower"),
              ChoiceOf(TTails::Upper, "upper", "Upper")});
  a.Options = {distribution,
               want,
               tails,
               number("value", "Value", "the statistic, or the p-value (between 0 and 1)"),
               number("df", "df", "degrees of freedom of t and chi-square"),
               number("df1", "df1", "first degrees of freedom of F"),
               number("df2", "df2", "second degrees of freedom of F")};
  a.Run = [](const TAnalysisContext& context) {
    const TTestStatInputs in = TestStatInputsFrom(context.Options);
    const TTestStatResult res = ComputeTestStatistic(in);
    if (!res.Error.empty()) return TOutcome::Refuse(res.Error);
    TOutcome out;
    {
      TReportScope scope(out.Report);
      WriteTestStatReport(in, res);
    }
    TPictureRecord picture;
    FillTestStatPicture(in, res, picture);
    out.Picture = picture.graphic;
    return out;
  };
  return a;
}

}  // namespace sorvel
