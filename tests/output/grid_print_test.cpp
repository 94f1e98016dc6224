#include "output/grid_print.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numerics/format.h"
#include "output/fake_page_device.h"

namespace sorvel {
namespace {

// The fake page in portrait: margins 65..760 across and 40..970 down, Courier 9 is 9 x 18
// pixels, so a line holds 77 characters (capacity 76) and a page 46 lines (43 rows).
constexpr int Left = 65, HeaderY = 5, FooterY = 995 - 36;  // header in portrait

// A grid with `cols` body columns and `rows` body rows: headings heading(c), labels
// "r" + row, cells cell(c, r).
template <class H, class C>
TTextGrid MakeGrid(int cols, int rows, H heading, C cell) {
  TTextGrid g(cols + 1, rows + 1);
  for (int c = 1; c <= cols; ++c) g.SetCell(c, 0, heading(c));
  for (int r = 1; r <= rows; ++r) {
    g.SetCell(0, r, "r" + std::to_string(r));
    for (int c = 1; c <= cols; ++c) g.SetCell(c, r, cell(c, r));
  }
  return g;
}

// The text lines of one page from its top margin down, rebuilt from the draws (header
// above the margin and footer left out); lines are 18 pixels apart in every font here.
std::vector<std::string> BodyLines(const TFakeDevice& d, int page, int top = 40) {
  std::vector<std::string> out;
  for (const auto& draw : d.OnPage(page)) {
    if (draw.Y < top || draw.Y == FooterY) continue;
    const std::size_t row = static_cast<std::size_t>((draw.Y - top) / 18);
    if (out.size() <= row) out.resize(row + 1);
    std::string& line = out[row];
    const std::size_t at = static_cast<std::size_t>((draw.X - Left) / 9);
    if (line.size() < at) line.resize(at, ' ');
    line.replace(at, draw.Text.size(), draw.Text);
  }
  return out;
}

struct PrintGridTest : ::testing::Test {
  void Print(const TTextGrid& g, const TGridRange& range, bool landscape = false) {
    PrintGridPages(mp, device, g, range, "Title", "HEADING", landscape);
  }
  TFakeDevice device;
  TMPrinter mp;
};

TEST_F(PrintGridTest, ColumnsAsWideAsTheirLongestTextValuesRightAligned) {
  const char* heads[] = {"", "A", "Mean", "Std Dev"};
  TTextGrid g = MakeGrid(
      3, 2, [&](int c) { return heads[c]; }, [](int c, int r) { return std::to_string(c * r); });
  EXPECT_EQ(GridColumnWidths(g, WholeGridBody(g), 3), (std::vector<int>{5, 4, 7, 10}));
  Print(g, WholeGridBody(g));
  const auto lines = BodyLines(device, 1);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "HEADING");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "   |    A   Mean   Std Dev");
  EXPECT_EQ(lines[3], "r1 |    1      2         3");
  EXPECT_EQ(lines[4], "r2 |    2      4         6");
  EXPECT_EQ(device.Page, 1);
}

TEST_F(PrintGridTest, HeaderOnEveryPageFooterFromPageTwo) {
  // 44 rows: one more than a page holds.
  TTextGrid g = MakeGrid(
      2, 44, [](int) { return "H"; }, [](int, int) { return "1"; });
  Print(g, WholeGridBody(g));
  ASSERT_EQ(device.Page, 2);
  auto texts = [&](int page) {
    std::vector<std::string> t;
    for (const auto& d : device.OnPage(page))
      if (d.Y == HeaderY || d.Y == FooterY) t.push_back(d.Text);
    return t;
  };
  EXPECT_EQ(texts(1), (std::vector<std::string>{"Title", "12/9/26"}));
  EXPECT_EQ(texts(2), (std::vector<std::string>{"Title", "12/9/26", "Page (2)"}));
  // The row past the page is alone on the second page, under heading and heading row.
  const auto page2 = BodyLines(device, 2);
  ASSERT_EQ(page2.size(), 4u);
  EXPECT_EQ(page2[3], "r44 |    1   1");
  EXPECT_EQ(BodyLines(device, 1).back(), "r43 |    1   1");
}

TEST_F(PrintGridTest, WideGridPrintsColumnBlocksForAPageOfRowsFirst) {
  // 12 columns of width 12 after labels of width 6: five fit in 76 characters.
  TTextGrid g = MakeGrid(
      12, 50,
      [](int c) { return std::string("Column_") + (c < 10 ? "0" : "") + std::to_string(c); },
      [](int c, int r) { return std::to_string(c * 100 + r); });
  Print(g, WholeGridBody(g));
  ASSERT_EQ(device.Page, 6);
  struct Expect {
    int Page;
    std::string FirstHeading, LastHeading, FirstRow, LastRow;
  };
  const Expect expected[] = {
      {1, "Column_01", "Column_05", "r1", "r43"},  {2, "Column_06", "Column_10", "r1", "r43"},
      {3, "Column_11", "Column_12", "r1", "r43"},  {4, "Column_01", "Column_05", "r44", "r50"},
      {5, "Column_06", "Column_10", "r44", "r50"}, {6, "Column_11", "Column_12", "r44", "r50"},
  };
  for (const auto& e : expected) {
    const auto lines = BodyLines(device, e.Page);
    ASSERT_GE(lines.size(), 4u) << e.Page;
    EXPECT_EQ(lines[0], "HEADING");
    const std::string& head = lines[2];
    EXPECT_EQ(head.substr(6, 12), "   " + e.FirstHeading) << e.Page;
    EXPECT_EQ(head.substr(head.size() - 9), e.LastHeading) << e.Page;
    EXPECT_LE(head.size(), 76u);
    EXPECT_EQ(lines[3].substr(0, 6), PadLeft(e.FirstRow, 3) + " | ") << e.Page;
    EXPECT_EQ(lines.back().substr(0, 6), PadLeft(e.LastRow, 3) + " | ") << e.Page;
  }
}

TEST_F(PrintGridTest, SelectionPrintsOnlyItsCellsWithLabelsAndHeadings) {
  TTextGrid g = MakeGrid(
      5, 5, [](int c) { return "C" + std::to_string(c); },
      [](int c, int r) { return std::to_string(c) + "." + std::to_string(r); });
  g.SetCell(3, 1, "a much longer text outside the selection");
  const TGridRange sel{2, 3, 4, 3};
  EXPECT_EQ(GridColumnWidths(g, sel, 3), (std::vector<int>{5, 0, 6, 6, 6, 0}));
  Print(g, sel);
  const auto lines = BodyLines(device, 1);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "   |     C2    C3    C4");
  EXPECT_EQ(lines[3], "r3 |    2.3   3.3   4.3");
}

TEST_F(PrintGridTest, ThreeHundredColumnsOneWidthEach) {
  TTextGrid g = MakeGrid(
      300, 2, [](int c) { return "V" + std::to_string(c); },
      [](int c, int) { return std::to_string(c); });
  const auto widths = GridColumnWidths(g, WholeGridBody(g), 3);
  ASSERT_EQ(widths.size(), 301u);
  EXPECT_EQ(widths[300], 7);
  EXPECT_EQ(widths[9], 5);
  Print(g, WholeGridBody(g), true);
  // Every column printed once, in order, no line beyond the page.
  std::string all;
  int pages = device.Page;
  for (int p = 1; p <= pages; ++p) {
    const auto lines = BodyLines(device, p, mp.Margins.Top);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_LE(lines[2].size() * 9, static_cast<std::size_t>(mp.Margins.Right - mp.Margins.Left));
    all += lines[2].substr(5);
  }
  std::string expected;
  for (int c = 1; c <= 300; ++c) expected += PadLeft("V" + std::to_string(c), widths[c]);
  EXPECT_EQ(all, expected);
  EXPECT_GT(pages, 1);
}

TEST(GridBlockEnd, StartColumnAlwaysIncluded) {
  const std::vector<int> widths{6, 50, 80, 10, 10};
  struct Case {
    int First, Capacity, End;
  };
  const Case cases[] = {
      {1, 76, 1},   // 56 fits, 136 does not
      {2, 76, 2},   // 86 alone is too wide: printed anyway
      {3, 76, 4},   // 16, 26
      {3, 16, 3},   // exactly at the capacity ends the block there
      {1, 200, 4},  // everything
  };
  for (const auto& c : cases)
    EXPECT_EQ(GridBlockEnd(widths, c.First, 4, c.Capacity), c.End) << c.First;
}

struct PrintInJobTest : ::testing::Test {
  void SetUp() override {
    mp.InitMPrinter(device);
    mp.SetMargins(750, 500, 600, 500);
    mp.SetFont(GridPrintFont());
  }
  TFakeDevice device;
  TMPrinter mp;
};

TEST_F(PrintInJobTest, BetweenTheCallersLinesWithNarrowerSeparator) {
  TTextGrid g = MakeGrid(
      2, 2, [](int c) { return "C" + std::to_string(c); },
      [](int c, int r) { return std::to_string(c * r); });
  mp.PrintLine("before");
  PrintGridInJob(mp, g, "CrossTabs");
  mp.PrintLine("after");
  const auto lines = BodyLines(device, 1);
  const std::vector<std::string> expected{
      "before",       "",     "", "", "CrossTabs", "", "   |  C1  C2", "r1 |   1   2",
      "r2 |   2   4", "after"};
  EXPECT_EQ(lines, expected);
}

TEST_F(PrintInJobTest, NewPageWhenTheTableDoesNotFitAndBlocksApartByAnEmptyLine) {
  // 42 lines used of 46: fewer left (8) than rows + 5.
  for (int i = 0; i < 42; ++i) mp.PrintLine("x");
  TTextGrid g = MakeGrid(
      8, 3, [](int c) { return "Heading_" + std::to_string(c); },
      [](int, int r) { return std::to_string(r); });
  PrintGridInJob(mp, g, "CrossTabs");
  ASSERT_EQ(device.Page, 2);
  const auto lines = BodyLines(device, 2);
  // Widths 11 after labels of 4: six columns in 76; the second block without a heading.
  const std::vector<std::string> expected{
      "",
      "CrossTabs",
      "",
      "   |  Heading_1  Heading_2  Heading_3  Heading_4  Heading_5  Heading_6",
      "r1 |          1          1          1          1          1          1",
      "r2 |          2          2          2          2          2          2",
      "r3 |          3          3          3          3          3          3",
      "",
      "   |  Heading_7  Heading_8",
      "r1 |          1          1",
      "r2 |          2          2",
      "r3 |          3          3"};
  EXPECT_EQ(lines, expected);
}

TEST(TextPageDevice, GridAsAJobLaysItOut) {
  TTextGrid g = MakeGrid(
      2, 1, [](int c) { return "C" + std::to_string(c); }, [](int, int) { return "10"; });
  EXPECT_EQ(GridInJobLines(g, "CrossTabs"),
            (std::vector<std::string>{"CrossTabs", "", "   |  C1  C2", "r1 |  10  10"}));
}

}  // namespace
}  // namespace sorvel
