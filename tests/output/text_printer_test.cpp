#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/fake_page_device.h"
#include "output/text_printer.h"

namespace sorvel {
namespace {

class TextPrinter : public ::testing::Test {
 protected:
  void SetUp() override { printer.InitMPrinter(device); }
  TFakeDevice device;
  TMPrinter printer;
};

TEST_F(TextPrinter, MarginsConvertAndFallBackToTheFullPage) {
  struct Case {
    int L, R, T, B;
    TPrintRect Expected;
  };
  // x: v / 10 - 10, y: v / 10 - 20; page 800 x 1000.
  const Case cases[] = {
      {1000, 500, 600, 500, {90, 40, 760, 970}},
      {1000, 0, 600, 500, {90, 40, 800, 970}},       // no right margin: full width
      {1000, 9000, 600, 500, {90, 40, 800, 970}},    // wider than the page: full width
      {0, 500, 0, 0, {0, 0, 760, 1000}},             // offsets make L and T negative
      {9000, 500, 11000, 500, {0, 0, 760, 970}},     // beyond the page: 0
      {1000, 500, 600, 10000, {90, 40, 760, 1000}},  // bottom above top: full height
  };
  for (const auto& c : cases) {
    printer.SetMargins(c.L, c.R, c.T, c.B);
    EXPECT_EQ(printer.Margins, c.Expected) << c.L << ' ' << c.R << ' ' << c.T << ' ' << c.B;
  }
}

TEST(TextPrinterCodes, PageAndDateCodes) {
  struct Case {
    const char* Text;
    int Page;
    const char* Expected;
  };
  const Case cases[] = {
      {"&D", 1, "12/9/26"},
      {"&d", 1, "12/9/26"},
      {"Page (&P)", 3, "Page (3)"},
      {"Page (&p)", 12, "Page (12)"},
      {"&P", 7, "7"},
      {"&P of &P", 2, "2 of &P"},  // only the first occurrence
      {"Sorvelstats", 4, "Sorvelstats"},
      {"&P - &D", 5, "5 - 12/9/26"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TMPrinter::SubstituteCodes(c.Text, c.Page, "12/9/26"), c.Expected) << c.Text;
}

TEST_F(TextPrinter, TabsBecomeBlanksAndLineFeedsAreDropped) {
  printer.SetMargins(1000, 500, 600, 500);
  printer.PrintLine("a\tb\nc");
  ASSERT_EQ(device.Draws.size(), 1u);
  EXPECT_EQ(device.Draws[0].Text, "a        bc");
  EXPECT_EQ(device.Draws[0].X, 90);
  EXPECT_EQ(device.Draws[0].Y, 40);
  EXPECT_EQ(printer.CurrentY(), 40 + 20);
}

TEST_F(TextPrinter, FormFeedInsideALineStartsANewPageThere) {
  printer.SetMargins(1000, 500, 600, 500);
  printer.PrintLine("one\ftwo");
  ASSERT_EQ(device.Draws.size(), 2u);
  EXPECT_EQ(device.Draws[0].Page, 1);
  EXPECT_EQ(device.Draws[0].Text, "one");
  EXPECT_EQ(device.Draws[1].Page, 2);
  EXPECT_EQ(device.Draws[1].Text, "two");
  EXPECT_EQ(device.Draws[1].X, 90);  // back at the left margin and the top
  EXPECT_EQ(device.Draws[1].Y, 40);
  EXPECT_EQ(printer.PageNumber(), 2);
}

TEST_F(TextPrinter, PartsOfOneLineFollowEachOther) {
  printer.SetMargins(1000, 500, 600, 500);
  printer.PrintString("ab");
  printer.PrintString("cd");
  ASSERT_EQ(device.Draws.size(), 2u);
  EXPECT_EQ(device.Draws[1].X, 90 + 2 * 10);
  EXPECT_EQ(device.Draws[1].Y, device.Draws[0].Y);
}

TEST_F(TextPrinter, HeaderAndFooterLayout) {
  printer.SetMargins(1000, 500, 600, 500);
  const TPrintFont hf{"Courier New", 9};
  printer.SetHeaderFooter("Left", "Mid", "&D", 250, true, 1, hf);
  printer.SetHeaderFooter("", "Page (&P)", "", 250, true, 2, hf);
  const auto page1 = device.OnPage(1);
  ASSERT_EQ(page1.size(), 4u);  // each printed once
  // Header at 250 / 10 - 20 = 5; the right text ends at the right margin.
  EXPECT_EQ(page1[0].Text, "Left");
  EXPECT_EQ(page1[0].X, 90);
  EXPECT_EQ(page1[0].Y, 5);
  EXPECT_EQ(page1[1].Text, "Mid");
  EXPECT_EQ(page1[1].X, 90 + (760 - 90 - 27) / 2);
  EXPECT_EQ(page1[2].Text, "12/9/26");
  EXPECT_EQ(page1[2].X + 7 * 9, 760);
  // Footer: VLoc = 1000 - 5, drawn twice the letter height above it.
  EXPECT_EQ(page1[3].Text, "Page (1)");
  EXPECT_EQ(page1[3].Y, 995 - 2 * 18);
  EXPECT_EQ(page1[3].Font, hf);
  // The canvas font comes back after the header.
  EXPECT_EQ(device.Font().Size, 10);
}

TEST_F(TextPrinter, HeaderWithoutFirstPageWaitsForPageTwo) {
  printer.SetMargins(1000, 500, 600, 500);
  printer.SetHeaderFooter("Title", "", "", 250, false, 1, TPrintFont{});
  EXPECT_TRUE(device.Draws.empty());
  printer.NewPage();
  ASSERT_EQ(device.Draws.size(), 1u);
  EXPECT_EQ(device.Draws[0].Page, 2);
  printer.ClearHeaderFooter(1);
  printer.NewPage();
  EXPECT_EQ(device.Draws.size(), 1u);
}

TEST_F(TextPrinter, LinesRunOntoANewPageWithHeaderAndFooter) {
  printer.SetMargins(1000, 500, 600, 500);  // text area 40..970
  printer.SetHeaderFooter("", "", "&D", 250, true, 1, TPrintFont{});
  printer.SetHeaderFooter("", "Page (&P)", "", 250, true, 2, TPrintFont{});
  // Line height 20: lines at 40, 60, ..., the last one whose next line still ends a line
  // height above the bottom margin (y + 20 <= 950) is at 940.
  const int linesOnPage1 = (940 - 40) / 20 + 1;
  for (int i = 0; i < linesOnPage1 + 1; ++i) printer.PrintLine("x" + std::to_string(i));
  std::vector<TFakeDevice::TDraw> text1, text2;
  for (const auto& d : device.Draws) {
    if (d.Text[0] != 'x') continue;
    (d.Page == 1 ? text1 : text2).push_back(d);
  }
  ASSERT_EQ(static_cast<int>(text1.size()), linesOnPage1);
  EXPECT_EQ(text1.back().Y, 940);
  ASSERT_EQ(text2.size(), 1u);
  EXPECT_EQ(text2[0].Y, 40);
  bool footer2 = false, header2 = false;
  for (const auto& d : device.OnPage(2)) {
    footer2 |= d.Text == "Page (2)";
    header2 |= d.Text == "12/9/26";
  }
  EXPECT_TRUE(footer2);
  EXPECT_TRUE(header2);
}

TEST_F(TextPrinter, PageMetrics) {
  printer.SetMargins(1000, 500, 600, 500);
  EXPECT_EQ(printer.CharactersPerLine(), (760 - 90) / 10);
  EXPECT_EQ(printer.LinesPerPage(), (970 - 40) / 22);
  printer.PrintLine("a");
  EXPECT_EQ(printer.LinesLeftOnPage(), (970 - 60) / 22);
  EXPECT_EQ(printer.InchesToPixels({2000, 750, 6000, 3750}), (TPrintRect{190, 55, 590, 355}));
}

}  // namespace
}  // namespace sorvel
