#include "numerics/parse.h"

#include <charconv>
#include <system_error>
#include <utility>

#include "numerics/common.h"

namespace sorvel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the blanks, sign, number and blanks shape shared by StrToReal and StrToInt,
// stepping over commas everywhere. Collects the sign, digits, point and exponent that
// std::from_chars reads (which takes no "+"). Returns 0 or the 1-based error position;
// numberStart receives the index where the number begins.
int ScanNumber(std::string_view text, bool allowFraction, std::string& clean,
               std::size_t& numberStart) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  auto more = [&] {
    while (i < n && text[i] == ',') ++i;
    return i < n;
  };
  auto fail = [&] { return static_cast<int>(i) + 1; };

  while (more() && text[i] == ' ') ++i;
  if (!more()) return 1;
  numberStart = i;
  if (text[i] == '+' || text[i] == '-') {
    if (text[i] == '-') clean += '-';
    ++i;
  }
  int digits = 0;
  for (; more() && IsDigit(text[i]); ++i, ++digits) clean += text[i];
  if (allowFraction && more() && text[i] == '.') {
    clean += text[i++];
    for (; more() && IsDigit(text[i]); ++i, ++digits) clean += text[i];
  }
  if (digits == 0) return fail();
  if (allowFraction && more() && (text[i] == 'e' || text[i] == 'E')) {
    clean += 'e';
    ++i;
    if (more() && (text[i] == '+' || text[i] == '-')) {
      if (text[i] == '-') clean += '-';
      ++i;
    }
    int expDigits = 0;
    for (; more() && IsDigit(text[i]); ++i, ++expDigits) clean += text[i];
    if (expDigits == 0) return fail();
  }
  while (more() && text[i] == ' ') ++i;
  if (more()) return fail();
  return 0;
}

enum class TAnswer { Unasked, Yes, No };
TAnswer blankCommaAnswer = TAnswer::Unasked;

YesNoQuestion& QuestionCallback() {
  static YesNoQuestion question;
  return question;
}

bool BlankCommasAreMissing() {
  if (blankCommaAnswer == TAnswer::Unasked) {
    const YesNoQuestion& ask = QuestionCallback();
    blankCommaAnswer = (ask && ask(BlankCommaQuestion)) ? TAnswer::Yes : TAnswer::No;
  }
  return blankCommaAnswer == TAnswer::Yes;
}

bool StartsNumber(char c) { return c == '-' || c == '.' || IsDigit(c); }
bool ContinuesNumber(char c) {
  return IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

// A scanned token as a value: "." and "-." get their leading 0, a trailing "." goes.
double ReadToken(std::string_view token) {
  std::string text(token);
  if (text[0] == '.')
    text.insert(0, 1, '0');
  else if (text.size() > 1 && text[0] == '-' && text[1] == '.')
    text.insert(1, 1, '0');
  if (text.back() == '.') text.pop_back();
  if (text.empty()) text = "0";
  const auto [value, code] = StrToReal(text);
  return code == 0 ? value : MissingValue;
}

// Numbers of a line; with blankComma, empty tab fields (and empty comma fields once
// agreed) become MissingValue. "Empty" means no number since the last tab or comma, so
// blanks around a separator ("5 \t6") do not invent a value.
TParsedLine ScanLine(std::string_view line, bool blankComma) {
  TParsedLine out;
  auto add = [&](std::string_view text, double value) {
    out.Texts.emplace_back(text);
    out.Values.push_back(value);
  };
  const std::size_t n = line.size();
  bool fieldHasNumber = false;
  std::size_t i = 0;
  while (i < n && out.Values.size() < static_cast<std::size_t>(MaxLineValues)) {
    const char c = line[i];
    if (StartsNumber(c)) {
      std::size_t j = i + 1;
      while (j < n && ContinuesNumber(line[j])) ++j;
      const std::string_view token = line.substr(i, j - i);
      i = j;
      if (token == "." || token == "-") continue;  // a lone sign or point is no number
      fieldHasNumber = true;
      add(token, ReadToken(token));
      continue;
    }
    if (c == '\t' || c == ',') {
      if (blankComma && !fieldHasNumber && (c == '\t' || BlankCommasAreMissing())) {
        add("", MissingValue);
      }
      fieldHasNumber = false;
    }
    ++i;
  }
  return out;
}

// The line without a line end left on it.
std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

}  // namespace

std::string RemoveCommas(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ',') out += c;
  }
  return out;
}

TRealConversion StrToReal(std::string_view text) {
  std::string clean;
  std::size_t numberStart = 0;
  const int code = ScanNumber(text, true, clean, numberStart);
  if (code != 0) return {0, code};
  double value = 0;
  const auto r = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (r.ec != std::errc()) return {0, static_cast<int>(numberStart) + 1};
  return {value, 0};
}

TIntConversion StrToInt(std::string_view text) {
  std::string clean;
  std::size_t numberStart = 0;
  const int code = ScanNumber(text, false, clean, numberStart);
  if (code != 0) return {0, code};
  int value = 0;
  const auto r = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (r.ec != std::errc()) return {0, static_cast<int>(numberStart) + 1};
  return {value, 0};
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string CollapseBlanks(std::string_view text) {
  std::string out;
  for (char c : TrimBlanks(text)) {
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}

bool ContainsNonNumeric(std::string_view text) {
  for (char c : text) {
    if (IsDigit(c)) continue;
    switch (c) {
      // clang-format off
      case '\t': case ' ': case '$': case '%': case '+': case ',': case '-': case '.':
      case 'E': case 'e':
        continue;
      default:
        return true;
        // clang-format on
    }
  }
  return false;
}

std::vector<std::string> SplitFields(std::string_view line) {
  line = WithoutLineEnd(line);
  std::string collapsed;
  char separator = ' ';
  if (line.find('\t') != std::string_view::npos) {
    separator = '\t';
  } else if (line.find(',') != std::string_view::npos) {
    separator = ',';
  } else {
    collapsed = CollapseBlanks(line);
    if (collapsed.empty()) return {};
    line = collapsed;
  }
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = line.find(separator, start);
    fields.push_back(
        TrimBlanks(line.substr(start, end == std::string_view::npos ? line.npos : end - start)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return fields;
}

std::vector<std::string> SplitNames(std::string_view line, bool tabsOnly, bool nameBlanks) {
  line = WithoutLineEnd(line);
  std::vector<std::string> names;
  const auto full = [&] { return names.size() >= static_cast<std::size_t>(MaxLineValues); };
  std::string token;
  bool open = false;
  for (char c : line) {
    if (full()) break;
    const bool separator = c == '\t' || (!tabsOnly && (c == ' ' || c == ','));
    if (separator) {
      if (open) {
        names.push_back(TrimBlanks(token));
        token.clear();
        open = false;
      } else if (c == '\t') {
        names.push_back(nameBlanks ? "Col" + std::to_string(names.size() + 1) : std::string());
      }
    } else if (open || c != ' ') {  // blanks before a name (tabs-only mode) do not start one
      token += c;
      open = true;
    }
  }
  if (open && !full()) names.push_back(TrimBlanks(token));
  return names;
}

std::vector<double> ParseNumbers(std::string_view line) { return ScanLine(line, false).Values; }

TParsedLine ParseNumbersBlankComma(std::string_view line) { return ScanLine(line, true); }

YesNoQuestion SetYesNoQuestion(YesNoQuestion question) {
  return std::exchange(QuestionCallback(), std::move(question));
}

void ResetBlankCommaAnswer() { blankCommaAnswer = TAnswer::Unasked; }

std::vector<int> ParseIntegers(std::string_view line) {
  std::vector<int> values;
  std::size_t i = 0;
  while (i < line.size()) {
    if (!IsDigit(line[i])) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < line.size() && IsDigit(line[j])) ++j;
    int value = 0;
    if (std::from_chars(line.data() + i, line.data() + j, value).ec == std::errc()) {
      values.push_back(value);
    }
    i = j;
  }
  return values;
}

int FirstInteger(std::string_view text) {
  for (int value : ParseIntegers(text)) {
    if (value > 0) return value;
  }
  return -1;
}

}  // namespace sorvel
