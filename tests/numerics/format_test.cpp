#include "numerics/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include "numerics/common.h"
#include "numerics/parse.h"
#include "numerics/settings_store.h"

namespace sorvel {
namespace {

// Every test starts with format 3 and a private settings store.
class FormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFormatState();
    SetSettingsStore(&store);
  }
  void TearDown() override {
    SetSettingsStore(nullptr);
    ResetFormatState();
  }
  MemorySettingsStore store;
};

struct RealCase {
  double x;
  int decimals;
  const char* fixed;    // number format 2
  const char* grouped;  // number format 3
};

// Expected texts: the exact binary value correctly rounded; exact halves away from zero.
const std::vector<RealCase> kRealCases = {
    {1234567.891, 2, "1234567.89", "1,234,567.89"},
    {-1234.5, 1, "-1234.5", "-1,234.5"},
    {123456, 0, "123456", "123,456"},
    {-123456, 0, "-123456", "-123,456"},
    {1000, 0, "1000", "1,000"},
    {100, 0, "100", "100"},
    {999, 3, "999.000", "999.000"},
    {0, 0, "0", "0"},
    {0, 4, "0.0000", "0.0000"},
    {-0.0, 2, "0.00", "0.00"},
    {2.675, 2, "2.67", "2.67"},  // stored as 2.67499999999999982...
    {1.005, 2, "1.00", "1.00"},  // stored as 1.00499999999999989...
    {9.995, 2, "9.99", "9.99"},  // stored as 9.99499999999999921...
    {-999999.995, 2, "-999999.99", "-999,999.99"},
    {0.125, 2, "0.13", "0.13"},  // exact half
    {0.625, 2, "0.63", "0.63"},  // exact half, even neighbour below
    {2.5, 0, "3", "3"},
    {-2.5, 0, "-3", "-3"},
    {-0.5, 0, "-1", "-1"},
    {99.5, 0, "100", "100"},  // half with a carry
    {999.9996, 3, "1000.000", "1,000.000"},
    {-0.0004, 3, "0.000", "0.000"},    // rounds to zero: no minus sign
    {-0.0005, 3, "-0.001", "-0.001"},  // stored as -0.000500000000000000010...
    {-0.4, 0, "0", "0"},
    {MissingValue, 0, "-2147483647", "-2,147,483,647"},
    {1.5, -3, "2", "2"},                                        // decimals below 0 read as 0
    {0.1, 25, "0.100000000000000006", "0.100000000000000006"},  // at most 18 decimals
    {1e18, 2, "1E+18", "1E+18"},  // past 18 integer digits: general style
    {-1.5e20, 2, "-1.5E+20", "-1.5E+20"},
    {std::numeric_limits<double>::infinity(), 2, "INF", "INF"},
    {-std::numeric_limits<double>::infinity(), 2, "-INF", "-INF"},
    {std::numeric_limits<double>::quiet_NaN(), 2, "NAN", "NAN"},
};

TEST_F(FormatTest, FormatRealFollowsTheNumberFormat) {
  for (const RealCase& c : kRealCases) {
    SCOPED_TRACE(::testing::Message() << c.x << " with " << c.decimals << " decimals");
    SetNumberFormat(NumberFormatFixed);
    EXPECT_EQ(FormatReal(c.x, c.decimals), c.fixed);
    EXPECT_EQ(FormatNumber(c.x, c.decimals), c.grouped);
    EXPECT_EQ(FormatFixedOrGeneral(c.x, c.decimals), c.fixed);
    SetNumberFormat(NumberFormatNumber);
    EXPECT_EQ(FormatReal(c.x, c.decimals), c.grouped);
    EXPECT_EQ(FormatNumber(c.x, c.decimals), c.grouped);
    EXPECT_EQ(FormatFixedOrGeneral(c.x, c.decimals), c.fixed);
  }
}

TEST_F(FormatTest, NegativeValuesThatRoundToZeroHaveNoSign) {
  for (int decimals = 0; decimals <= 9; ++decimals) {
    const double tiny = -0.4 * std::pow(10.0, -decimals);
    for (int style : {NumberFormatFixed, NumberFormatNumber}) {
      SetNumberFormat(style);
      const std::string text = FormatReal(tiny, decimals);
      EXPECT_EQ(text.find('-'), std::string::npos) << text;
    }
  }
}

TEST_F(FormatTest, GeneralStyleIsLikePercentTwelveG) {
  const struct {
    double x;
    const char* text;
  } cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {1, "1"},
      {100, "100"},
      {0.1, "0.1"},
      {-2.25, "-2.25"},
      {1.0 / 3.0, "0.333333333333"},
      {2.0 / 3.0, "0.666666666667"},
      {123456789012.0, "123456789012"},
      {1234567890123.0, "1.23456789012E+12"},
      {999999999999.5, "1E+12"},  // rounding moves the exponent to 12
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
      {1.5e-7, "1.5E-07"},
      {-2.5e100, "-2.5E+100"},
      {MissingValue, "-2147483647"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatGeneral(c.x), c.text) << c.x;
    EXPECT_EQ(FormatFixedOrGeneral(c.x, -1), c.text) << c.x;
  }
  SetNumberFormat(NumberFormatNumber);
  EXPECT_EQ(FormatGeneral(1234567.0), "1234567");  // never grouped
}

TEST_F(FormatTest, FormatSignificantChoosesTheDecimals) {
  const struct {
    double x;
    int digits;
    const char* text;
  } cases[] = {
      {123.45, 3, "123"},  {0.012345, 3, "0.0123"}, {0.01, 3, "0.0100"},
      {1, 3, "1.00"},      {0, 3, "0.000"},         {10, 3, "10.0"},
      {-0.5, 3, "-0.500"}, {1000, 3, "1,000"},      {12345.6, 3, "12,346"},
      {0.5, 1, "0.5"},     {-123.45, 5, "-123.45"}, {98765.4321, 2, "98,765"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatSignificant(c.x, c.digits), c.text) << c.x << " " << c.digits;
  }
  SetNumberFormat(NumberFormatFixed);
  EXPECT_EQ(FormatSignificant(12345.6, 3), "12346");
}

TEST_F(FormatTest, PaddingAndWidths) {
  EXPECT_EQ(FormatRight(1.5, 8, 2), "    1.50");
  EXPECT_EQ(FormatRight(1234.5, 0, 1), "1,234.5");
  EXPECT_EQ(FormatRight(1234.5, 3, 1), "1,234.5");  // too long: unchanged
  EXPECT_EQ(FormatLeft(-1.5, 7, 1), "-1.5   ");
  EXPECT_EQ(FormatIntRight(42, 5), "   42");
  EXPECT_EQ(FormatIntRight(-1234567, 0), "-1234567");  // integers are not grouped
  EXPECT_EQ(PadLeft("ab", 4), "  ab");
  EXPECT_EQ(PadRight("ab", 4), "ab  ");
  EXPECT_EQ(PadLeft("abcdef", 4), "abcdef");
  EXPECT_EQ(PadRight("abcdef", -1), "abcdef");
  EXPECT_EQ(Blanks(0), "");
  EXPECT_EQ(Blanks(-2), "");
  EXPECT_EQ(Blanks(3), "   ");
  EXPECT_EQ(Dashes(4), "----");
  EXPECT_EQ(Dashes(0), "");
}

TEST_F(FormatTest, GroupThousandsRegroupsTypedNumbers) {
  const struct {
    const char* text;
    const char* grouped;
    const char* fixed;
  } cases[] = {
      {"-123456", "-123,456", "-123456"},
      {"1234.5678", "1,234.5678", "1234.5678"},
      {"1,2,3,4", "1,234", "1234"},
      {"1,234,567.891,2", "1,234,567.8912", "1234567.8912"},
      {"123", "123", "123"},
      {"", "", ""},
      {"+1234", "+1,234", "+1234"},
      {"12345e3", "12,345e3", "12345e3"},  // only the leading digits are grouped
      {".5", ".5", ".5"},
  };
  for (const auto& c : cases) {
    SetNumberFormat(NumberFormatNumber);
    EXPECT_EQ(GroupThousands(c.text), c.grouped) << c.text;
    SetNumberFormat(NumberFormatFixed);
    EXPECT_EQ(GroupThousands(c.text), c.fixed) << c.text;
  }
}

TEST_F(FormatTest, PValueCells) {
  EXPECT_EQ(PValueStar(0.05, 0.05), "0.050*");
  EXPECT_EQ(PValueStar(0.0501, 0.05), "0.050");  // prints like alpha, but is above it
  EXPECT_EQ(PValueText(0.01, 0.05), "   p = 0.010*");
  EXPECT_EQ(PValueText(0.2, 0.05), "   p = 0.200");
  EXPECT_EQ(PValueCell(0.2, 0.05), "0.200 ");
  EXPECT_EQ(PValueCell(0.001, 0.05), "0.001*");
  EXPECT_EQ(PValueCell(999, 0.05), "999.000 ");  // not available
}

TEST_F(FormatTest, ColumnCodesRoundTrip) {
  EXPECT_EQ(ColumnCode(0), "AA");
  EXPECT_EQ(ColumnCode(24), "AY");
  EXPECT_EQ(ColumnCode(25), "BA");
  EXPECT_EQ(ColumnCode(511), "UL");
  EXPECT_EQ(ColumnIndex("BA"), 25);
  EXPECT_EQ(ColumnIndex(""), 0);
  EXPECT_EQ(ColumnIndex("BA Weight"), 25);
  for (int n = 0; n < 650; ++n) ASSERT_EQ(ColumnIndex(ColumnCode(n)), n) << n;
  EXPECT_EQ(ColumnCode(-1), "");
  EXPECT_EQ(ColumnCode(650), "");
  for (const char* bad : {"A", "AZ", "aa", "1A"}) EXPECT_EQ(ColumnIndex(bad), -1) << bad;
}

TEST_F(FormatTest, TableCharacters) {
  EXPECT_EQ(TableVertical, '|');
  EXPECT_EQ(TableCross, '+');
}

TEST_F(FormatTest, NumberFormatIsStoredAndLoaded) {
  EXPECT_EQ(NumberFormat(), NumberFormatNumber);
  LoadNumberFormat();  // nothing stored yet
  EXPECT_EQ(NumberFormat(), NumberFormatNumber);

  SetNumberFormat(NumberFormatFixed);
  EXPECT_EQ(store.Read(SettingsGroup, "SorvelNumberFormat"), "F");
  ResetFormatState();
  EXPECT_EQ(NumberFormat(), NumberFormatNumber);
  LoadNumberFormat();
  EXPECT_EQ(NumberFormat(), NumberFormatFixed);

  SetNumberFormat(NumberFormatNumber);
  EXPECT_EQ(store.Read(SettingsGroup, "SorvelNumberFormat"), "N");
  ResetFormatState();
  SetNumberFormat(NumberFormatFixed);
  store.Write(SettingsGroup, "SorvelNumberFormat", "N");
  LoadNumberFormat();
  EXPECT_EQ(NumberFormat(), NumberFormatNumber);

  SetNumberFormat(5);  // no such style: nothing changes, nothing is written
  EXPECT_EQ(NumberFormat(), NumberFormatNumber);
  EXPECT_EQ(store.Read(SettingsGroup, "SorvelNumberFormat"), "N");
}

TEST_F(FormatTest, UnknownStoredTextLeavesTheDefault) {
  for (const char* stored : {"X", "", "n", "2", "NF"}) {
    ResetFormatState();
    store.Write(SettingsGroup, "SorvelNumberFormat", stored);
    LoadNumberFormat();
    EXPECT_EQ(NumberFormat(), NumberFormatNumber) << '"' << stored << '"';
  }
}

TEST_F(FormatTest, TextBuffer) {
  TextBuffer().clear();
  AppendText("File1=");
  AppendText("a.dat");
  EXPECT_EQ(TextBuffer(), "File1=a.dat");
  ResetFormatState();
  EXPECT_EQ(TextBuffer(), "");
}

// The report of a German desktop must read like any other.
std::vector<std::string> SampleTexts() {
  return {FormatReal(1234567.891, 2), FormatNumber(-0.5, 3),           FormatGeneral(1.5e-7),
          FormatGeneral(2.0 / 3.0),   FormatFixedOrGeneral(1234.5, 1), PValueCell(0.0123, 0.05),
          FormatIntRight(1234567, 9)};
}

const std::vector<std::string> kSampleTexts = {
    "1,234,567.89", "-0.500", "1.5E-07", "0.666666666667", "1234.5", "0.012*", "  1234567"};

TEST_F(FormatTest, GermanCLocaleChangesNothing) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* german = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
    if (std::setlocale(LC_ALL, name)) {
      german = name;
      break;
    }
  }
  if (!german) GTEST_SKIP() << "no German locale installed";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");  // the locale really is German
  const std::vector<std::string> texts = SampleTexts();
  const TRealConversion read = StrToReal("1,234.5");
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(texts, kSampleTexts);
  EXPECT_EQ(read.Code, 0);
  EXPECT_EQ(read.Value, 1234.5);
}

// A global C++ locale with "," as the decimal point and "." as the separator.
struct CommaPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST_F(FormatTest, GlobalCppLocaleChangesNothing) {
  const std::locale saved =
      std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
  const std::vector<std::string> texts = SampleTexts();
  const TRealConversion read = StrToReal("1,234.5");
  std::locale::global(saved);
  EXPECT_EQ(texts, kSampleTexts);
  EXPECT_EQ(read.Code, 0);
  EXPECT_EQ(read.Value, 1234.5);
}

}  // namespace
}  // namespace sorvel
