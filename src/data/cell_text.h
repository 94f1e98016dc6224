// How cell texts become numbers, and how file lines become fields. Shared by the data set,
// the file reader and writer, and the editor's paste.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "numerics/common.h"

namespace sorvel {

// At most this many variable columns; every per-column table is indexed 0..MaxColumns.
inline constexpr int MaxColumns = 512;

// Parsed value of a text cell before its column is recoded into level codes: +(2^31 - 1).
// A typed 2147483647 gives the same double, so whether a cell is text is told by
// ParseCell, never by comparing with this value.
inline constexpr double TextValue = 2147483647.0;

// The numeric character set: tab, space, "$", "%", "+", ",", "-", ".", digits, "E", "e".
bool IsNumericChar(char ch);
// True when t holds a character outside the numeric character set.
bool HasNonNumericChar(std::string_view t);

// What a data cell holds, judged from its characters.
enum class TCellKind : unsigned char { Number, Missing, Text };

// Parses a data cell: "," and "$" are dropped; any other character outside the numeric
// set makes it Text, except the missing-value marks NA, N/A, #N/A, NaN, nan, null and NULL,
// which are Missing (so a column of numbers and marks stays numeric, while in a column
// with other text they are levels like any text); "", "." and ".." are Missing; "12.5%" is 0.125;
// leading blanks and a sign are accepted; anything that does not parse completely (a trailing
// blank, "1-2", "E") is Missing. `x` is set only for a Number; every number a user can type, the
// values of MissingValue and TextValue included, is a Number. Locale-independent.
TCellKind ParseCell(std::string_view t, double& x);
// The same as one double: the number, TextValue or MissingValue. It cannot tell a typed
// +-2147483647 from those two, so deciding text or missing takes ParseCell.
double ParseCellText(std::string_view t);
// True when a field counts as a number for the names-line test.
bool FieldIsNumber(std::string_view t);
// A specification limit: a decimal number ("." as decimal point, optional sign and
// exponent, surrounding blanks allowed); MissingValue when it does not parse.
double ParseLimitText(std::string_view t);

// Blanks and control characters (bytes 0..32) removed at both ends.
std::string_view TrimBlanks(std::string_view t);

// The text a typed or replaced cell keeps: blanks and control characters at both ends go
// and tabs and line breaks inside become blanks, as the file reader would leave it, so
// that a saved data set reads back as the same cells.
std::string CleanCellText(std::string_view t);

// "Col" + n, and whether `name` equals "COL" + n without regard to case.
std::string DefaultColumnName(int n);
bool IsDefaultColumnName(std::string_view name, int n);

// The header splitter (names and description lines). Separators are tab in tab mode and
// tab, space and "," otherwise; a tab met outside a field makes an empty field (named
// "Col" + its number with defaultNames); a trailing separator makes one more empty field;
// fields are trimmed. Keeps at most MaxColumns fields and sets `truncated` when the line
// holds more.
std::vector<std::string> SplitHeaderLine(std::string_view line, bool tabMode, bool defaultNames,
                                         bool& truncated);

// The data-line splitter: at every tab when the line holds one; otherwise at runs of
// spaces when it holds no ","; otherwise at every ",". Fields are trimmed; an empty field
// between separators counts, a separator at the very end adds none. The fields are views
// into `line`. Returns the number of fields the line holds; at most `maxFields` are kept.
std::size_t SplitDataLine(std::string_view line, std::vector<std::string_view>& fields,
                          std::size_t maxFields = MaxColumns);

}  // namespace sorvel
