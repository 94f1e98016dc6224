// Text typed or pasted by the user turned into numbers, and lines split into fields.
// Input always reads "." as the decimal point and "," as a thousands separator, whatever
// the desktop locale.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sorvel {

// Value and status of a conversion: Code 0 on success, otherwise the 1-based position,
// in the text as given, of the first character that cannot belong to the number.
struct TRealConversion {
  double Value = 0;
  int Code = 0;
};
struct TIntConversion {
  int Value = 0;
  int Code = 0;
};

// Most values a line yields in ParseNumbers, ParseNumbersBlankComma and SplitNames.
inline constexpr int MaxLineValues = 512;

std::string RemoveCommas(std::string_view text);

// Reads [sign] digits [. digits] [(E|e) [sign] digits], with commas ignored anywhere and
// blanks allowed before and after ("1,234.5" and " 7 " read; ".5" and "5." read too).
// Empty or blank text gives Code 1. A value beyond the range of a double gives the
// position of the number's first character. Value is 0 whenever Code is not 0.
TRealConversion StrToReal(std::string_view text);
// The same for [sign] digits, within the range of int.
TIntConversion StrToInt(std::string_view text);

std::string TrimBlanks(std::string_view text);      // blanks only, not tabs
std::string CollapseBlanks(std::string_view text);  // trimmed, inner runs of blanks -> one
// True when a character is outside tab, blank, "$%+,-.", the digits, "E" and "e".
bool ContainsNonNumeric(std::string_view text);

// Fields of one data line: tab-separated when the line holds a tab, else comma-separated
// when it holds a comma, else blank-separated. Each field is trimmed; k separators give
// k + 1 fields, so empty fields keep their places. An empty or blank line gives none.
// A line end left on the line ("\r", "\n") is ignored.
std::vector<std::string> SplitFields(std::string_view line);

// Header names: separated by tabs only (tabsOnly) or by tabs, blanks and commas. A tab
// met where no name has started yields an empty name, or "Col" + its 1-based place when
// nameBlanks is set. At most MaxLineValues names.
std::vector<std::string> SplitNames(std::string_view line, bool tabsOnly, bool nameBlanks);

// Numbers anywhere in a line of text ("a=3, b=-.5 and 7." gives 3, -0.5 and 7). A
// number starts at "-", "." or a digit and runs over digits and "+-.Ee"; a token that
// does not read gives MissingValue. At most MaxLineValues values.
std::vector<double> ParseNumbers(std::string_view line);

// As ParseNumbers, but an empty tab-separated field gives MissingValue, and so does an
// empty comma-separated field once the user agreed (asked once at the first such comma).
// Texts holds the text of each value ("" for an empty field), beside Values.
struct TParsedLine {
  std::vector<std::string> Texts;
  std::vector<double> Values;
};
TParsedLine ParseNumbersBlankComma(std::string_view line);

// The question ParseNumbersBlankComma asks; the GUI installs a Yes/No box. Without one
// the answer is No. Returns the previous callback (nullptr restores the default).
using YesNoQuestion = std::function<bool(const std::string& question)>;
YesNoQuestion SetYesNoQuestion(YesNoQuestion question);
inline constexpr const char* BlankCommaQuestion = "Want blank Commas to indicate missing values?";
// Forgets the answer, so that the next empty comma field asks again.
void ResetBlankCommaAnswer();

// Each run of digits read as an integer (no sign); runs too long for an int are skipped.
std::vector<int> ParseIntegers(std::string_view line);
// The first run of digits that reads as a positive integer, or -1.
int FirstInteger(std::string_view text);

}  // namespace sorvel
