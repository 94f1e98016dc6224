#include "data/cell_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sorvel {
namespace {

TEST(CellText, ParsesTheProgramsNumberInput) {
  struct Case {
    const char* text;
    double want;
  };
  const Case cases[] = {
      // clang-format off
      {"1,234", 1234},     {"$5", 5},          {"50%", 0.5},         {"12.5%", 0.125},
      {"-.5", -0.5},       {"5.", 5},          {".5", 0.5},          {" 5", 5},
      {"+5", 5},           {"1e3", 1000},      {"-2.5E-2", -0.025},  {"1,234,567.25", 1234567.25},
      {"-.", -0.0},        {"0", 0},           {"007", 7},
      // clang-format on
      // missing: empty, dots, trailing blank, incomplete numbers
      // clang-format off
      {"", MissingValue},  {".", MissingValue}, {"..", MissingValue}, {"5 ", MissingValue},
      {"1-2", MissingValue}, {"E", MissingValue}, {"-", MissingValue}, {"%", MissingValue},
      {"1.2.3", MissingValue}, {"+-5", MissingValue}, {"1e999", MissingValue}, {"1 2", MissingValue},
      // clang-format on
      // missing: the marks R, spreadsheets and databases write for a missing number
      {"NA", MissingValue},
      {"N/A", MissingValue},
      {"#N/A", MissingValue},
      {"NaN", MissingValue},
      {"nan", MissingValue},
      {"null", MissingValue},
      {"NULL", MissingValue},
      {" NA", MissingValue},
      // text: any other character outside the numeric set, other spellings of the marks too
      // clang-format off
      {"abc", TextValue},  {"1a", TextValue},   {"inf", TextValue},   {"Na", TextValue},
      {"na", TextValue},   {"Null", TextValue}, {"NAN", TextValue},   {"N/A/", TextValue},
      {"#NA", TextValue},  {"NA5", TextValue},  {"none", TextValue},
      {"12:30", TextValue}, {"0x10", TextValue},
      // clang-format on
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCellText(c.text), c.want) << '"' << c.text << '"';
}

TEST(CellText, KindComesFromTheCharactersNotTheValue) {
  // The values that mark text and missing cells can be typed too; they stay numbers.
  struct Case {
    const char* text;
    TCellKind kind;
    double value;  // for numbers
  };
  const Case cases[] = {
      {"2147483647", TCellKind::Number, 2147483647.0},
      {"-2147483647", TCellKind::Number, -2147483647.0},
      {"2,147,483,647", TCellKind::Number, 2147483647.0},
      {"-2147483647.0", TCellKind::Number, -2147483647.0},
      {"214748364700%", TCellKind::Number, 2147483647.0},
      {"$-2147483647", TCellKind::Number, -2147483647.0},
      {"5", TCellKind::Number, 5},
      {"", TCellKind::Missing, 0},
      {"..", TCellKind::Missing, 0},
      {"1-2", TCellKind::Missing, 0},
      {"2147483647 ", TCellKind::Missing, 0},
      {"x2147483647", TCellKind::Text, 0},
  };
  for (const auto& c : cases) {
    double x = 0;
    EXPECT_EQ(ParseCell(c.text, x), c.kind) << '"' << c.text << '"';
    if (c.kind == TCellKind::Number) {
      EXPECT_EQ(x, c.value) << '"' << c.text << '"';
    }
    EXPECT_EQ(FieldIsNumber(c.text), c.kind == TCellKind::Number) << '"' << c.text << '"';
  }
}

TEST(CellText, LimitsParseAsPlainDecimals) {
  EXPECT_EQ(ParseLimitText("10.05"), 10.05);
  EXPECT_EQ(ParseLimitText(" -1e-3 "), -0.001);
  EXPECT_EQ(ParseLimitText(""), MissingValue);
  EXPECT_EQ(ParseLimitText("abc"), MissingValue);
  EXPECT_EQ(ParseLimitText("1,5"), MissingValue);
}

TEST(CellText, DefaultNamesIgnoreCase) {
  EXPECT_EQ(DefaultColumnName(3), "Col3");
  EXPECT_TRUE(IsDefaultColumnName("col3", 3));
  EXPECT_TRUE(IsDefaultColumnName("COL12", 12));
  EXPECT_FALSE(IsDefaultColumnName("Col3", 4));
  EXPECT_FALSE(IsDefaultColumnName("Col03", 3));
}

std::vector<std::string> Data(const std::string& line) {
  std::vector<std::string_view> f;
  SplitDataLine(line, f);
  return {f.begin(), f.end()};
}

using Fields = std::vector<std::string>;

TEST(CellText, DataLineSplitter) {
  struct Case {
    std::string line;
    Fields want;
  };
  const Case cases[] = {
      {"1,2,3", {"1", "2", "3"}},
      {"1 2   3", {"1", "2", "3"}},
      {"1\t2\t3", {"1", "2", "3"}},
      {"1,,3", {"1", "", "3"}},
      {"1\t\t3", {"1", "", "3"}},
      {"1\t2\t", {"1", "2"}},
      {"\t5", {"", "5"}},
      {"  a  b ", {"a", "b"}},
      {"a b\tc", {"a b", "c"}},  // a tab wins over blanks
      {"x, y", {"x", "y"}},      // commas win over blanks; fields trimmed
      {"\t", {""}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Data(c.line), c.want) << c.line;
}

TEST(CellText, DataLineSplitterKeepsAtMostTheLimit) {
  std::string line;
  for (int i = 1; i <= 600; ++i) line += std::to_string(i) + "\t";
  std::vector<std::string_view> f;
  EXPECT_EQ(SplitDataLine(line, f), 600u);
  ASSERT_EQ(f.size(), 512u);
  EXPECT_EQ(f.back(), "512");
}

TEST(CellText, HeaderSplitter) {
  struct Case {
    std::string line;
    bool tab, defaults;
    Fields want;
  };
  const Case cases[] = {
      {"A\tB\t", true, true, {"A", "B", "Col3"}},
      {"A\t\tC", true, true, {"A", "Col2", "C"}},
      {"A\t\tC", true, false, {"A", "", "C"}},
      {"First Name,Last Name", false, true, {"First", "Name", "Last", "Name"}},
      {"Length\tMass", true, false, {"Length", "Mass"}},
      {"\tB", true, false, {"", "B"}},
      {" Height \t Weight ", true, true, {"Height", "Weight"}},
      {"a  ,, b", false, true, {"a", "b"}},
  };
  for (const auto& c : cases) {
    bool truncated = false;
    EXPECT_EQ(SplitHeaderLine(c.line, c.tab, c.defaults, truncated), c.want) << c.line;
    EXPECT_FALSE(truncated);
  }
  std::string wide;
  for (int i = 1; i <= 513; ++i) wide += "n" + std::to_string(i) + "\t";
  wide.pop_back();
  bool truncated = false;
  auto f = SplitHeaderLine(wide, true, true, truncated);
  EXPECT_EQ(f.size(), 512u);
  EXPECT_TRUE(truncated);
}

}  // namespace
}  // namespace sorvel
