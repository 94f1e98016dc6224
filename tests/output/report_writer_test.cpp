#include "output/report_writer.h"

#include <gtest/gtest.h>

#include "output/report_text.h"

namespace sorvel {
namespace {

class ReportWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetReportWriter();
    SetReport(report);
  }
  void TearDown() override { ResetReportWriter(); }
  TReport report;
};

TEST_F(ReportWriterTest, LayoutOfAnAnalysisReport) {
  TitleStyle(10);
  WriteLine("McNemar's Test of Change");
  BodyStyle(8);
  WriteBlankLine();
  WriteText("n = ");
  WriteLine("12");
  UnderlineStyle();
  WriteLine("Results");
  RegularStyle();
  WriteLine("p = 0.031*");

  ASSERT_EQ(report.Lines.size(), 5u);
  const TTextStyle title = report.Lines[0].Runs[0].Style;
  EXPECT_EQ(title.Font, "Arial");
  EXPECT_TRUE(title.Bold);
  EXPECT_TRUE(title.Underline);
  EXPECT_EQ(title.Size, 10);
  EXPECT_EQ(report.Lines[1].Text(), "");
  EXPECT_EQ(report.Lines[1].Runs.at(0).Style.Font, "Courier New");  // blank line keeps its size
  EXPECT_EQ(report.Lines[2].Text(), "n = 12");
  EXPECT_EQ(report.Lines[2].Runs.size(), 2u);
  EXPECT_TRUE(report.Lines[3].Runs[0].Style.Underline);
  EXPECT_FALSE(report.Lines[3].Runs[0].Style.Bold);
  const TTextStyle body = report.Lines[4].Runs[0].Style;
  EXPECT_EQ(body.Font, "Courier New");
  EXPECT_FALSE(body.Underline);
  EXPECT_EQ(body.Size, 8);
  EXPECT_FALSE(report.LastLineOpen);
}

TEST_F(ReportWriterTest, StyleOperationsChangeOnlyTheirPart) {
  HeadingStyle(12);
  UnderlineStyle();
  FontSize(14);
  WriteLine("x");
  const TTextStyle s = report.Lines[0].Runs[0].Style;
  EXPECT_EQ(s.Font, "Arial");
  EXPECT_TRUE(s.Bold);
  EXPECT_TRUE(s.Underline);
  EXPECT_EQ(s.Size, 14);
}

TEST_F(ReportWriterTest, SetReportTakesTheReportsFontAndWritesThere) {
  TReport other;
  other.BaseFont.Font = "Arial";
  other.BaseFont.Size = 9;
  TitleStyle(10);
  SetReport(other);
  WriteLine("a");
  EXPECT_TRUE(report.Empty());
  ASSERT_EQ(other.Lines.size(), 1u);
  EXPECT_EQ(other.Lines[0].Runs[0].Style, other.BaseFont);
  EXPECT_EQ(CurrentReport(), &other);
}

TEST_F(ReportWriterTest, PageMarkIsItsOwnRedArialLine) {
  BodyStyle(8);
  WriteText("unfinished");
  WritePageMark();
  WriteLine("next");
  ASSERT_EQ(report.Lines.size(), 3u);
  EXPECT_EQ(report.Lines[0].Text(), "unfinished");
  EXPECT_TRUE(report.Lines[1].IsPageMark());
  const TTextStyle mark = report.Lines[1].Runs[0].Style;
  EXPECT_EQ(mark.Font, "Arial");
  EXPECT_EQ(mark.Color, RedColor);
  EXPECT_EQ(mark.Size, 8);
  EXPECT_FALSE(mark.Bold);
  // the page mark does not change the font of what follows
  EXPECT_EQ(report.Lines[2].Runs[0].Style.Font, "Courier New");
  EXPECT_EQ(report.Lines[2].Runs[0].Style.Color, 0u);
}

TEST_F(ReportWriterTest, RedLineColoursTheWholeLineRegular) {
  TitleStyle(10);
  WriteText("Out of ");
  WriteRedLine("control");
  WriteLine("after");
  ASSERT_EQ(report.Lines.size(), 2u);
  for (const auto& run : report.Lines[0].Runs) {
    EXPECT_EQ(run.Style.Color, RedColor);
    EXPECT_FALSE(run.Style.Bold);
    EXPECT_FALSE(run.Style.Underline);
  }
  EXPECT_EQ(report.Lines[1].Runs[0].Style.Color, 0u);
  EXPECT_TRUE(report.Lines[1].Runs[0].Style.Bold);
}

TEST_F(ReportWriterTest, ClearReportEmptiesAndClosesTheLine) {
  WriteText("half");
  ClearReport();
  EXPECT_TRUE(report.Empty());
  WriteLine("fresh");
  ASSERT_EQ(report.Lines.size(), 1u);
  EXPECT_EQ(report.Lines[0].Text(), "fresh");
}

TEST(ReportWriterNoReport, WritingWithoutACurrentReportIsHarmless) {
  ResetReportWriter();
  WriteLine("nowhere");
  WritePageMark();
  WriteRedLine("x");
  ScaleReportFonts(2, 0);
  ClearReport();
  EXPECT_EQ(CurrentReport(), nullptr);
}

struct TScaleCase {
  double Factor;
  int Delta;
  int Title, Body;  // sizes after scaling 10 and 8
};

class ScaleReportFontsTest : public ::testing::TestWithParam<TScaleCase> {};

TEST_P(ScaleReportFontsTest, EveryRunIsRescaled) {
  ResetReportWriter();
  TReport report;
  SetReport(report);
  TitleStyle(10);
  WriteLine("Title");
  BodyStyle(8);
  WriteText("a");
  FontSize(8);
  WriteLine("b");
  const TScaleCase c = GetParam();
  ScaleReportFonts(c.Factor, c.Delta);
  EXPECT_EQ(report.Lines[0].Runs[0].Style.Size, c.Title);
  EXPECT_EQ(report.Lines[1].Runs[0].Style.Size, c.Body);
  EXPECT_EQ(report.Lines[1].Runs[1].Style.Size, c.Body);
  EXPECT_EQ(report.Lines[0].Text(), "Title");
  ResetReportWriter();
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleReportFontsTest,
                         ::testing::Values(TScaleCase{1.0, 0, 10, 8},     // no change
                                           TScaleCase{1.0, 1, 11, 9},     // Increase Font
                                           TScaleCase{1.0, -1, 9, 7},     // Decrease Font
                                           TScaleCase{1.25, 0, 13, 10},   // zoom: 12.5 rounds up
                                           TScaleCase{0.8, 0, 8, 6},      // back: 6.4 rounds down
                                           TScaleCase{1.0, -20, 1, 1}));  // never below 1 point

TEST(ReportPlainTextTest, PageMarkLinesAreLeftOut) {
  ResetReportWriter();
  TReport report;
  SetReport(report);
  WriteLine("first");
  WritePageMark();
  WriteLine("second -Page- inside");
  WriteBlankLine();
  WriteLine("third");
  EXPECT_EQ(ReportPlainText(report), "first\n\nthird\n");
  ResetReportWriter();
}

}  // namespace
}  // namespace sorvel
