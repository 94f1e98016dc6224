// Frequency tables: intervals shared by every set, boundary values, empty rows in each type,
// typed sizes and midpoints that would ask for too many rows, and a grid of many sets as
// it is printed.
#include "explore/frequency_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "data/data_state.h"
#include "explore/explore_selection.h"
#include "explore/histogram.h"
#include "output/grid_print.h"
#include "support/load_text.h"

namespace sorvel {
namespace {

std::vector<double> Spread(int n, double lo, double hi) {
  std::vector<double> x;
  for (int i = 0; i < n; ++i) x.push_back(lo + (hi - lo) * i / (n - 1));
  return x;
}

std::vector<std::string> Column(const TTextGrid& g, int c) {
  std::vector<std::string> out;
  for (int r = 1; r < g.RowCount(); ++r) out.push_back(g.Cell(c, r));
  return out;
}

std::vector<std::string> Labels(int first, int last, int step = 1) {
  std::vector<std::string> out;
  for (int m = first; m <= last; m += step) out.push_back(std::to_string(m));
  return out;
}

// n midpoints from `first`, `step` apart, with d decimals.
std::vector<std::string> Steps(double first, int n, double step, int d) {
  std::vector<std::string> out;
  char buf[64];
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%.*f", d, first + i * step);
    out.push_back(buf);
  }
  return out;
}

TEST(FrequencyTableTest, OneSetCases) {
  using T = TFrequencyType;
  struct {
    const char* Case;
    std::vector<double> Values;
    const char* Size;      // typed interval size, nullptr: not ticked
    const char* Midpoint;  // typed first midpoint, nullptr: not ticked
    T Type;
    int Decimals;
    std::vector<std::string> Midpoints, Cells;
    bool TooMany;
  } cases[] = {
      // clang-format off
      {"counts", {1, 2, 2, 3}, "1", "1", T::Frequencies, 4, {"1", "2", "3"}, {"1", "2", "1"}, false},
      {"cumulative", {1, 2, 2, 3}, "1", "1", T::CumulativeFrequencies, 2, {"1", "2", "3"},
       {"0.25", "0.75", "1.00"}, false},
      {"relative", {1, 2, 2, 3}, "1", "1", T::RelativeFrequencies, 3, {"1", "2", "3"},
       {"0.250", "0.500", "0.250"}, false},
      // clang-format on
      // A value on a boundary belongs to the lower interval.
      {"boundary", {2, 2.5, 3.2}, "1", "2", T::Frequencies, 4, {"2", "3"}, {"2", "1"}, false},
      // clang-format off
      {"empty row counts", {1, 3}, "1", "1", T::Frequencies, 4, {"1", "2", "3"}, {"1", "", "1"}, false},
      {"empty row relative", {1, 3}, "1", "1", T::RelativeFrequencies, 1, {"1", "2", "3"},
       {"0.5", "", "0.5"}, false},
      {"empty row cumulative", {1, 3}, "1", "1", T::CumulativeFrequencies, 1, {"1", "2", "3"},
       {"0.5", "", "1.0"}, false},
      // clang-format on
      // A typed midpoint above the data moves down by whole intervals, at once.
      {"midpoint 1e12",
       {0, 3},
       "1",
       "1e12",
       T::Frequencies,
       4,
       {"0", "1", "2", "3"},
       {"1", "", "", "1"},
       false},
      // The typed decimals of the size show in the midpoints.
      {"size 0.50",
       {1, 2},
       "0.50",
       "1",
       T::Frequencies,
       4,
       {"1.00", "1.50", "2.00"},
       {"1", "", "1"},
       false},
      // Ticked with 0: the automatic size (range 3 / 20 = 0.15 gives 0.2, first midpoint 0).
      {"size 0",
       {0, 3},
       "0",
       nullptr,
       T::Frequencies,
       4,
       {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0", "1.2", "1.4", "1.6", "1.8", "2.0", "2.2", "2.4",
        "2.6", "2.8", "3.0"},
       {"1", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "1"},
       false},
      // Too many rows asked for: warned, then the automatic size 5 and first midpoint 0.
      // clang-format off
      {"size 1e-6", Spread(101, 0, 100), "0.000001", nullptr, T::Frequencies, 4, Labels(0, 100, 5),
       {"3", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5",
        "5", "3"},
       // clang-format on
       true},
      // clang-format off
      {"midpoint -1e9", Spread(101, 0, 100), "1", "-1e9", T::Frequencies, 4, Labels(0, 100, 5),
       {"3", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5", "5",
        "5", "3"},
       // clang-format on
       true},
      // The largest value exactly on the last row's upper bound (0.5 + 1 + 0.0001, added up
      // as the rows are) gets the row it belongs to instead of none.
      {"largest on the last bound",
       {0, 1.5001},
       "1",
       "0",
       T::Frequencies,
       4,
       {"0", "1", "2"},
       {"1", "", "1"},
       false},
      // Equal values whose automatic midpoint lies above them still get a row.
      {"equal halves", {0.5, 0.5}, nullptr, nullptr, T::Frequencies, 4, {"1"}, {"2"}, false},
      // The resolution counts for positive data from the values as loaded: 10 -> 11 rises
      // by 1, so the size is 1 although sorted neighbours lie 0.1 apart.
      {"resolution in load order",
       {10, 11, 10.1},
       nullptr,
       nullptr,
       T::Frequencies,
       4,
       {"10", "11"},
       {"2", "1"},
       false},
      // Values that never rise in load order have no resolution: 2 / 20 gives 0.1.
      {"descending",
       {12, 11, 10},
       nullptr,
       nullptr,
       T::Frequencies,
       4,
       Steps(10, 21, 0.1, 2),
       {"1", "", "", "", "", "", "", "", "", "", "1", "", "", "", "", "", "", "", "", "", "1"},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    TFrequencyOptions o;
    o.Type = c.Type;
    o.Decimals = c.Decimals;
    o.IntervalSizeOn = c.Size != nullptr;
    if (c.Size) o.IntervalSizeText = c.Size;
    o.FirstMidpointOn = c.Midpoint != nullptr;
    if (c.Midpoint) o.FirstMidpointText = c.Midpoint;
    std::vector<std::string> warnings;
    TFrequencyTable t =
        StartFrequencyTable(c.Values, o, [&](const std::string& w) { warnings.push_back(w); });
    AddFrequencySet(t, "X", c.Values, o);
    EXPECT_EQ(t.Grid.Cell(0, 0), "MidPoint");
    EXPECT_EQ(t.Grid.Cell(1, 0), "X");
    EXPECT_EQ(Column(t.Grid, 0), c.Midpoints);
    EXPECT_EQ(Column(t.Grid, 1), c.Cells);
    EXPECT_EQ(t.Intervals.TooManyIntervals, c.TooMany);
    EXPECT_EQ(warnings, c.TooMany ? std::vector<std::string>{TooManyIntervalsText}
                                  : std::vector<std::string>{});
  }
}

TEST(FrequencyTableTest, NoValuesNoRows) {
  const TFrequencyIntervals iv = FrequencyIntervals({}, {});
  EXPECT_EQ(iv.Rows(), 0u);
  EXPECT_TRUE(CountIntervals(std::vector<double>{1, 2}, iv).empty());
}

// Counting without a sort gives the rows of the walk over sorted values, however far the
// added-up bounds drift from f + g/2 + i*g.
TEST(FrequencyTableTest, CountsMatchTheSortedWalk) {
  std::vector<double> x;
  for (int i = 0; i < 5000; ++i) x.push_back(0.1 * ((i * 7919) % 3001) - 17.3);
  TFrequencyOptions o;
  o.IntervalSizeOn = true;
  o.IntervalSizeText = "0.1";
  const TFrequencyIntervals iv = FrequencyIntervals(x, o);
  const std::vector<std::int32_t> counts = CountIntervals(x, iv);
  std::vector<double> sorted = x;
  std::sort(sorted.begin(), sorted.end());
  std::vector<std::int32_t> walk(iv.Rows(), 0);
  std::size_t j = 0;
  for (std::size_t i = 0; i < iv.Rows(); ++i)
    while (j < sorted.size() && sorted[j] < iv.Bounds[i]) {
      ++walk[i];
      ++j;
    }
  EXPECT_EQ(j, sorted.size());
  EXPECT_EQ(counts, walk);
}

class FrequencyDataTest : public ::testing::Test {
 protected:
  void TearDown() override { ResetDataState(); }
};

TEST_F(FrequencyDataTest, TwoSetsWithDifferentRangesShareTheRows) {
  TDataList& d = test::LoadText("A\tB\r\n1\t5\r\n2\t6\r\n2\t6\r\n\t7\r\n");
  TRunInfo ri;
  ASSERT_EQ(BuildExploreRun(d, {{1, 2}, 0, {}, ""}, ri), "");
  TFrequencyOptions o;
  o.IntervalSizeOn = true;
  o.IntervalSizeText = "1";
  std::vector<int> progress;
  const TFrequencyTable t =
      BuildFrequencyTable(d, ri, o, {}, [&](int j, int) { progress.push_back(j); });
  ASSERT_EQ(t.Grid.ColCount(), 3);
  EXPECT_EQ(Column(t.Grid, 0), Labels(1, 7));
  EXPECT_EQ(t.Grid.Cell(1, 0), "A");
  EXPECT_EQ(t.Grid.Cell(2, 0), "B");
  EXPECT_EQ(Column(t.Grid, 1), (std::vector<std::string>{"1", "2", "", "", "", "", ""}));
  EXPECT_EQ(Column(t.Grid, 2), (std::vector<std::string>{"", "", "", "", "1", "2", "1"}));
  EXPECT_EQ(progress, (std::vector<int>{0, 1, 2}));  // before each set and before the end
}

// A grouping column of 200 levels gives 201 grid columns, every one printed with a width
// of its own.
TEST_F(FrequencyDataTest, TwoHundredGroupsPrinted) {
  std::string text = "Y\tG\r\n";
  for (int g = 1; g <= 200; ++g) text += std::to_string(g % 3) + "\t" + std::to_string(g) + "\r\n";
  TDataList& d = test::LoadText(text);
  TRunInfo ri;
  ASSERT_EQ(BuildExploreRun(d, {{}, 1, {2}, ""}, ri), "");
  const TFrequencyTable t = BuildFrequencyTable(d, ri, {});
  ASSERT_EQ(t.Grid.ColCount(), 201);
  const std::vector<std::string> lines = GridPageLines(t.Grid, FrequencyPlotHeading);
  ASSERT_EQ(lines.size(), 2u + 1u + t.Intervals.Rows());
  EXPECT_EQ(lines[0], "FREQUENCY PLOT");
  const std::string& head = lines[2];
  EXPECT_EQ(head.rfind("MidPoint | ", 0), 0u) << head;
  EXPECT_NE(head.find("   199   200"), std::string::npos) << head;
  // Level 200 holds the value 2 (200 % 3): its count ends the last row's line.
  EXPECT_EQ(lines.back().substr(lines.back().size() - 5), "    1") << lines.back();
  EXPECT_EQ(lines.back().size(), head.size());
}

}  // namespace
}  // namespace sorvel
