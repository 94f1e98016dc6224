// How every printed number looks: fixed and grouped styles, general style, padding,
// p-value cells, the two-letter column codes and the user's number format setting.
//
// Printing is locale-independent on purpose: "." is always the decimal point and "," the
// thousands separator, whatever the desktop locale, so that a report reads the same on
// every machine and reads back with the input routines of numerics/parse.h.
#pragma once

#include <string>

namespace sorvel {

// Number format byte: 3 prints thousands separators (the default), 2 prints plain fixed.
inline constexpr int NumberFormatFixed = 2;
inline constexpr int NumberFormatNumber = 3;

// Settings value that keeps the choice ("N" for 3, "F" for 2) in SettingsGroup.
inline constexpr const char* NumberFormatKey = "SorvelNumberFormat";

int NumberFormat();
// Stores the style and writes it to the settings at once; styles other than 2 and 3 are
// ignored (nothing prints in any other style).
void SetNumberFormat(int style);
// Reads the stored choice; a missing value or any text other than "N" or "F" leaves the
// current style as it is.
void LoadNumberFormat();

// Vertical and crossing characters of text tables.
inline constexpr char TableVertical = '|';
inline constexpr char TableCross = '+';

// Fixed style (format 2) or grouped style (format 3) with the given decimals.
// Decimals are clamped to 0..18. An exact half at the last decimal rounds away from zero
// (2.5 -> "3", 0.125 -> "0.13"); everything else is the correctly rounded value of the
// binary number (2.675 is stored as 2.67499999... and prints "2.67"). A value that rounds
// to zero never carries a minus sign. Values of 1e18 and more in magnitude, which would
// need more than 18 integer digits, print in general style; infinities and NaN print as
// "INF", "-INF" and "NAN".
std::string FormatReal(double x, int decimals);
// General style with 12 significant digits, as C's "%.12G": scientific ("1.5E-07",
// "1.23456789012E+15") when the decimal exponent is below -4 or at least 12, fixed
// otherwise, trailing zeros and a trailing point removed. Another precision (1..17) is
// "%.<precision>G"; 17 digits give back the very double.
std::string FormatGeneral(double x, int precision = 12);
// General style when decimals is -1, else fixed style without separators.
std::string FormatFixedOrGeneral(double x, int decimals);
// Grouped style whatever the number format.
std::string FormatNumber(double x, int decimals);
// FormatReal with the decimals that show the given significant digits.
std::string FormatSignificant(double x, int digits);
// FormatReal padded with blanks in front / behind up to width.
std::string FormatRight(double x, int width, int decimals);
std::string FormatLeft(double x, int width, int decimals);
// Decimal integer, blanks in front up to width.
std::string FormatIntRight(long long n, int width);

// Removes the commas of a typed number and, with number format 3, groups its integer
// digits again ("-123456" -> "-123,456", "1234.5678" -> "1,234.5678"). Not a validator:
// only the run of digits after an optional sign is grouped, the rest is kept as typed.
std::string GroupThousands(const std::string& text);

std::string PadLeft(const std::string& text, int width);
std::string PadRight(const std::string& text, int width);
std::string Blanks(int n);
std::string Dashes(int n);

// p-values with 3 decimals and a "*" when p <= alpha.
std::string PValueStar(double p, double alpha);
std::string PValueText(double p, double alpha);  // "   p = " in front
std::string PValueCell(double p, double alpha);  // a blank instead of "*": constant width

// Column n as two capitals in base 25 ("AA" = 0, "AY" = 24, "BA" = 25); empty for a
// column the code cannot hold (n < 0 or n >= 650).
std::string ColumnCode(int n);
// Inverse of ColumnCode from the first two characters (so a list item "BA Weight" reads
// as 25); an empty code is 0; anything else that is not a code gives -1.
int ColumnIndex(const std::string& code);

// Shared text buffer used to assemble a settings value or a list: clear, then append.
std::string& TextBuffer();
void AppendText(const std::string& text);

// Number format back to 3, the blank-commas answer unasked, the text buffer empty.
void ResetFormatState();

}  // namespace sorvel
