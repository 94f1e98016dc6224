#include "numerics/parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numerics/common.h"
#include "numerics/format.h"

namespace sorvel {
namespace {

using Strings = std::vector<std::string>;
constexpr double M = MissingValue;

TEST(StrToReal, ValuesAndErrorPositions) {
  const struct {
    const char* text;
    double value;
    int code;
  } cases[] = {
      {"1,234.5", 1234.5, 0},
      {"0.1", 0.1, 0},  // the double nearest 0.1, bit for bit
      {"2.675", 2.675, 0},
      {"-.5", -0.5, 0},
      {".5", 0.5, 0},
      {"5.", 5, 0},
      {"+7", 7, 0},
      {" 7 ", 7, 0},
      {"1e3", 1000, 0},
      {"1E-2", 0.01, 0},
      {"1.5e+2", 150, 0},
      {"-2147483647", MissingValue, 0},
      {"1,2,3", 123, 0},
      {"1.2.3", 0, 4},
      {"", 0, 1},
      {"   ", 0, 1},
      {",", 0, 1},
      {"abc", 0, 1},
      {"12a", 0, 3},
      {"1,2x", 0, 4},  // position in the text as typed, commas counted
      {"7 8", 0, 3},
      {"-", 0, 2},
      {".", 0, 2},
      {"1e", 0, 3},
      {"1e+", 0, 4},
      {"1e5.5", 0, 4},
      {"\t5", 0, 1},  // tabs are not blanks
      {"5%", 0, 2},
      {"1e400", 0, 1},
      {"  -1e400", 0, 3},
  };
  for (const auto& c : cases) {
    const TRealConversion r = StrToReal(c.text);
    EXPECT_EQ(r.Code, c.code) << '"' << c.text << '"';
    EXPECT_EQ(r.Value, c.value) << '"' << c.text << '"';
  }
}

TEST(StrToInt, ValuesAndErrorPositions) {
  const struct {
    const char* text;
    int value;
    int code;
  } cases[] = {
      // clang-format off
      {"1,234", 1234, 0},  {"-12", -12, 0},      {"+3", 3, 0},  {" 42 ", 42, 0},
      {"2147483647", 2147483647, 0},             {"2147483648", 0, 1},
      {"1.5", 0, 2},       {"1e3", 0, 2},        {"", 0, 1},    {"-", 0, 2},
      // clang-format on
      {"12 3", 0, 4},
  };
  for (const auto& c : cases) {
    const TIntConversion r = StrToInt(c.text);
    EXPECT_EQ(r.Code, c.code) << '"' << c.text << '"';
    EXPECT_EQ(r.Value, c.value) << '"' << c.text << '"';
  }
}

TEST(TextHelpers, BlanksAndCommas) {
  EXPECT_EQ(RemoveCommas("1,234,567.8,9"), "1234567.89");
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("\t a \t"), "\t a \t");  // blanks only
  EXPECT_EQ(TrimBlanks("    "), "");
  EXPECT_EQ(CollapseBlanks("  a   b  c "), "a b c");
  EXPECT_EQ(CollapseBlanks("a\t\tb"), "a\t\tb");
  EXPECT_EQ(CollapseBlanks(""), "");
}

TEST(TextHelpers, ContainsNonNumeric) {
  EXPECT_FALSE(ContainsNonNumeric(""));
  EXPECT_FALSE(ContainsNonNumeric("\t $1,234.50% +-1e5E3"));
  for (const char* text : {"12a", "1;2", "x", "1/2", "(3)", "1\n"}) {
    EXPECT_TRUE(ContainsNonNumeric(text)) << text;
  }
}

TEST(SplitFields, SeparatorsAndEmptyFields) {
  const struct {
    const char* line;
    Strings fields;
  } cases[] = {
      {"1\t2\t3", {"1", "2", "3"}},
      {"1\t\t3", {"1", "", "3"}},
      {" 1 \t 2 ", {"1", "2"}},
      {"\t3", {"", "3"}},
      {"1\t2\t", {"1", "2", ""}},
      {"1,5\t2", {"1,5", "2"}},  // a tab wins over commas
      {"a, b ,c", {"a", "b", "c"}},
      {"1,,3", {"1", "", "3"}},
      {",", {"", ""}},
      {"  1   2  3 ", {"1", "2", "3"}},
      {"one", {"one"}},
      {"1\t2\r\n", {"1", "2"}},
      {"1 2\r", {"1", "2"}},
      {"", {}},
      {"    ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitFields(c.line), c.fields) << '"' << c.line << '"';
}

TEST(SplitNames, HeaderTokens) {
  const struct {
    const char* line;
    bool tabsOnly;
    bool nameBlanks;
    Strings names;
  } cases[] = {
      {"A\tB\tC", true, false, {"A", "B", "C"}},
      {"Weight kg\t Height \t", true, false, {"Weight kg", "Height"}},
      {"Weight kg,Height", false, false, {"Weight", "kg", "Height"}},
      {"A  B,,C", false, false, {"A", "B", "C"}},
      {"\tB", true, false, {"", "B"}},
      {"\tB", true, true, {"Col1", "B"}},
      {"A\t\tC", true, true, {"A", "Col2", "C"}},
      {"A\t\t\tD", false, true, {"A", "Col2", "Col3", "D"}},
      {"A\t  \tC", true, false, {"A", "", "C"}},
      {"A\tB\r\n", true, false, {"A", "B"}},
      {"", true, true, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitNames(c.line, c.tabsOnly, c.nameBlanks), c.names) << '"' << c.line << '"';
  }
}

TEST(SplitNames, AtMost512) {
  std::string line;
  for (int i = 0; i < 600; ++i) line += "N" + std::to_string(i) + "\t";
  const Strings names = SplitNames(line, true, false);
  ASSERT_EQ(names.size(), 512u);
  EXPECT_EQ(names.back(), "N511");
}

TEST(ParseNumbers, NumbersAnywhereInALine) {
  const struct {
    const char* line;
    std::vector<double> values;
  } cases[] = {
      {"a=3, b=-.5 and 7.", {3, -0.5, 7}},
      {"1,234", {1, 234}},  // a comma ends a number
      {"x 1e3 y 2.5E-1", {1000, 0.25}},
      {"- . 5", {5}},  // lone signs and points are skipped
      {"+5", {5}},
      {"E5", {5}},
      {"1-2", {M}},  // unreadable tokens give the missing value
      {"5e and 6", {M, 6}},
      {"1.2.3", {M}},
      {"\t-4\t", {-4}},
      {"", {}},
      {"no numbers", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumbers(c.line), c.values) << '"' << c.line << '"';
}

TEST(ParseNumbers, AtMost512) {
  std::string line;
  for (int i = 0; i < 600; ++i) line += std::to_string(i) + " ";
  const std::vector<double> values = ParseNumbers(line);
  ASSERT_EQ(values.size(), 512u);
  EXPECT_EQ(values.back(), 511);
}

// Counts the questions asked and gives a fixed answer.
class BlankCommaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatState();
    previous = SetYesNoQuestion([this](const std::string& question) {
      ++asked;
      lastQuestion = question;
      return answer;
    });
  }
  void TearDown() override {
    SetYesNoQuestion(previous);
    ResetFormatState();
  }
  YesNoQuestion previous;
  bool answer = true;
  int asked = 0;
  std::string lastQuestion;
};

TEST_F(BlankCommaTest, EmptyTabFieldsAreMissingWithoutAsking) {
  const struct {
    const char* line;
    Strings texts;
    std::vector<double> values;
  } cases[] = {
      {"1\t\t3", {"1", "", "3"}, {1, M, 3}}, {"\t5", {"", "5"}, {M, 5}},
      {"5 \t 6", {"5", "6"}, {5, 6}},  // blanks beside a tab are no empty field
      {"x\t2", {"", "2"}, {M, 2}},     // text in a field is no number
      {"-.5\t7.", {"-.5", "7."}, {-0.5, 7}}, {"1\t2\t", {"1", "2"}, {1, 2}},
      {"2e\t1", {"2e", "1"}, {M, 1}},  // unreadable: kept with its text
  };
  for (const auto& c : cases) {
    const TParsedLine parsed = ParseNumbersBlankComma(c.line);
    EXPECT_EQ(parsed.Texts, c.texts) << '"' << c.line << '"';
    EXPECT_EQ(parsed.Values, c.values) << '"' << c.line << '"';
  }
  EXPECT_EQ(asked, 0);
}

TEST_F(BlankCommaTest, EmptyCommaFieldsAskOnce) {
  EXPECT_EQ(ParseNumbersBlankComma("1,2, 3").Values, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(asked, 0);  // no empty comma field, no question
  EXPECT_EQ(ParseNumbersBlankComma("1,,3").Values, (std::vector<double>{1, M, 3}));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(lastQuestion, "Want blank Commas to indicate missing values?");
  EXPECT_EQ(ParseNumbersBlankComma(",4,").Values, (std::vector<double>{M, 4}));
  EXPECT_EQ(asked, 1);  // remembered
}

TEST_F(BlankCommaTest, NoKeepsCommasOutAndIsRememberedUntilReset) {
  answer = false;
  EXPECT_EQ(ParseNumbersBlankComma("1,,3").Values, (std::vector<double>{1, 3}));
  EXPECT_EQ(ParseNumbersBlankComma(",,\t2").Values, (std::vector<double>{M, 2}));
  EXPECT_EQ(asked, 1);
  ResetFormatState();
  answer = true;
  EXPECT_EQ(ParseNumbersBlankComma("1,,3").Values, (std::vector<double>{1, M, 3}));
  EXPECT_EQ(asked, 2);
}

TEST_F(BlankCommaTest, WithoutAQuestionTheAnswerIsNo) {
  SetYesNoQuestion(nullptr);
  EXPECT_EQ(ParseNumbersBlankComma("1,,3").Values, (std::vector<double>{1, 3}));
  EXPECT_EQ(asked, 0);
}

TEST(ParseIntegers, DigitRuns) {
  EXPECT_EQ(ParseIntegers("12 ab 5-7"), (std::vector<int>{12, 5, 7}));
  EXPECT_EQ(ParseIntegers("-3.25"), (std::vector<int>{3, 25}));
  EXPECT_EQ(ParseIntegers("99999999999 3"), (std::vector<int>{3}));  // too long for an int
  EXPECT_EQ(ParseIntegers(""), std::vector<int>{});
}

TEST(FirstInteger, FirstPositiveRun) {
  EXPECT_EQ(FirstInteger("Col12"), 12);
  EXPECT_EQ(FirstInteger("File 3 of 9"), 3);
  EXPECT_EQ(FirstInteger("0 then 7"), 7);
  EXPECT_EQ(FirstInteger("99999999999 then 4"), 4);
  EXPECT_EQ(FirstInteger("none"), -1);
  EXPECT_EQ(FirstInteger(""), -1);
}

}  // namespace
}  // namespace sorvel
