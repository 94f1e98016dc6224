#include "numerics/format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "numerics/parse.h"
#include "numerics/settings_store.h"

namespace sorvel {

namespace {

int numberFormat = NumberFormatNumber;

std::string NonFinite(double x) {
  if (std::isnan(x)) return "NAN";
  return x < 0 ? "-INF" : "INF";
}

// True when x lies exactly halfway between two neighbours with the given decimals, i.e.
// x = m / 2^k with m odd and k = decimals + 1 (then 2·10^decimals·x is an odd integer).
bool IsExactHalf(double x, int decimals) {
  if (x == 0) return false;
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(x), &exponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const int binaryDecimals = 53 - exponent - std::countr_zero(mantissa);
  return binaryDecimals == decimals + 1;
}

// Adds one unit in the last digit of a plain decimal text, carrying as far as needed.
void IncrementLastDigit(std::string& text) {
  const std::size_t first = (!text.empty() && text[0] == '-') ? 1 : 0;
  for (std::size_t i = text.size(); i-- > first;) {
    if (text[i] == '.') continue;
    if (text[i] != '9') {
      ++text[i];
      return;
    }
    text[i] = '0';
  }
  text.insert(first, 1, '1');
}

// Fixed style without separators, decimals already clamped.
std::string FixedText(double x, int decimals) {
  if (!std::isfinite(x)) return NonFinite(x);
  if (std::fabs(x) >= 1e18) return FormatGeneral(x);
  char buf[64];
  std::string text;
  if (IsExactHalf(x, decimals)) {
    // The text with one more decimal is exact and ends in 5: drop it, round away from 0.
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals + 1);
    text.assign(buf, r.ptr);
    text.pop_back();
    if (decimals == 0) text.pop_back();  // the point
    IncrementLastDigit(text);
  } else {
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    text.assign(buf, r.ptr);
  }
  if (!text.empty() && text[0] == '-' && text.find_first_of("123456789") == std::string::npos) {
    text.erase(0, 1);  // "-0.000" would read as a fault
  }
  return text;
}

// Inserts "," between the groups of three of the leading digit run (after a sign).
std::string InsertGroups(std::string text) {
  std::size_t start = 0;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) start = 1;
  std::size_t end = start;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  for (std::size_t n = end - start; n > 3; n -= 3) text.insert(start + n - 3, 1, ',');
  return text;
}

int ClampDecimals(int decimals) { return std::clamp(decimals, 0, 18); }

void AppendInt(std::string& out, long long n) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

std::string StarOrNot(double p, double alpha, const char* otherwise) {
  return FormatReal(p, 3) + (p <= alpha ? "*" : otherwise);
}

}  // namespace

int NumberFormat() { return numberFormat; }

void SetNumberFormat(int style) {
  if (style != NumberFormatFixed && style != NumberFormatNumber) return;
  numberFormat = style;
  Settings().Write(SettingsGroup, NumberFormatKey, style == NumberFormatNumber ? "N" : "F");
}

void LoadNumberFormat() {
  const auto stored = Settings().Read(SettingsGroup, NumberFormatKey);
  if (!stored) return;
  if (*stored == "N")
    numberFormat = NumberFormatNumber;
  else if (*stored == "F")
    numberFormat = NumberFormatFixed;
}

std::string FormatReal(double x, int decimals) {
  return numberFormat == NumberFormatNumber ? FormatNumber(x, decimals)
                                            : FixedText(x, ClampDecimals(decimals));
}

std::string FormatNumber(double x, int decimals) {
  std::string text = FixedText(x, ClampDecimals(decimals));
  // General style (huge values) and INF/NAN are not grouped.
  if (text.find_first_of("EN") != std::string::npos) return text;
  return InsertGroups(std::move(text));
}

std::string FormatGeneral(double x, int precision) {
  if (!std::isfinite(x)) return NonFinite(x);
  if (x == 0) return "0";
  char buf[64];
  // The exponent of the rounded scientific form decides, as C's %G does.
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, precision - 1);
  std::string text(buf, r.ptr);
  const std::size_t e = text.find('e');
  int exponent = 0;
  const char* expBegin = text.data() + e + 1;
  if (*expBegin == '+') ++expBegin;
  std::from_chars(expBegin, text.data() + text.size(), exponent);

  auto stripZeros = [](std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
  };
  if (exponent < -4 || exponent >= precision) {
    std::string out = stripZeros(text.substr(0, e));
    out += exponent < 0 ? "E-" : "E+";
    if (std::abs(exponent) < 10) out += '0';
    AppendInt(out, std::abs(exponent));
    return out;
  }
  r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, precision - 1 - exponent);
  return stripZeros(std::string(buf, r.ptr));
}

std::string FormatFixedOrGeneral(double x, int decimals) {
  if (decimals == -1) return FormatGeneral(x);
  return FixedText(x, ClampDecimals(decimals));
}

std::string FormatSignificant(double x, int digits) {
  int decimals = digits;
  if (x != 0 && std::isfinite(x)) {
    const double l = std::log10(std::fabs(x));
    const double whole = std::trunc(l);
    if (l > 0) {
      decimals = whole < digits ? digits - static_cast<int>(whole) - 1 : 0;
    } else if (l != whole) {
      // trunc goes towards zero: log10 = -1.9 adds one decimal, not two
      decimals = digits - static_cast<int>(whole);
    } else {
      decimals = digits - (static_cast<int>(l) + 1);
    }
  }
  return FormatReal(x, decimals);
}

std::string FormatRight(double x, int width, int decimals) {
  return PadLeft(FormatReal(x, decimals), width);
}

std::string FormatLeft(double x, int width, int decimals) {
  return PadRight(FormatReal(x, decimals), width);
}

std::string FormatIntRight(long long n, int width) {
  std::string text;
  AppendInt(text, n);
  return PadLeft(text, width);
}

std::string GroupThousands(const std::string& text) {
  std::string plain = RemoveCommas(text);
  if (numberFormat != NumberFormatNumber) return plain;
  return InsertGroups(std::move(plain));
}

std::string PadLeft(const std::string& text, int width) {
  if (width <= 0 || text.size() >= static_cast<std::size_t>(width)) return text;
  return std::string(width - text.size(), ' ') + text;
}

std::string PadRight(const std::string& text, int width) {
  if (width <= 0 || text.size() >= static_cast<std::size_t>(width)) return text;
  return text + std::string(width - text.size(), ' ');
}

std::string Blanks(int n) { return n > 0 ? std::string(n, ' ') : std::string(); }
std::string Dashes(int n) { return n > 0 ? std::string(n, '-') : std::string(); }

std::string PValueStar(double p, double alpha) { return StarOrNot(p, alpha, ""); }
std::string PValueText(double p, double alpha) { return "   p = " + StarOrNot(p, alpha, ""); }
std::string PValueCell(double p, double alpha) { return StarOrNot(p, alpha, " "); }

std::string ColumnCode(int n) {
  if (n < 0 || n >= 26 * 25) return {};
  return {static_cast<char>('A' + n / 25), static_cast<char>('A' + n % 25)};
}

int ColumnIndex(const std::string& code) {
  if (code.empty()) return 0;
  if (code.size() < 2 || code[0] < 'A' || code[0] > 'Z' || code[1] < 'A' || code[1] > 'Y') {
    return -1;
  }
  return code[0] * 25 + code[1] - 1690;  // 1690 = 'A' * 25 + 'A'
}

std::string& TextBuffer() {
  static std::string buffer;
  return buffer;
}

void AppendText(const std::string& text) { TextBuffer() += text; }

void ResetFormatState() {
  numberFormat = NumberFormatNumber;
  ResetBlankCommaAnswer();
  TextBuffer().clear();
}

}  // namespace sorvel
