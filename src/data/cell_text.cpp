#include "data/cell_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace sorvel {

namespace {

struct TNumericTable {
  bool Numeric[256] = {};
  constexpr TNumericTable() {
    for (const char* p = "\t $%+,-.0123456789Ee"; *p; ++p)
      Numeric[static_cast<unsigned char>(*p)] = true;
  }
};
constexpr TNumericTable NumericTable;

// Parses t completely as [blanks][sign]digits[.digits][exponent]; false otherwise.
bool ParseNumber(std::string_view t, double& x) {
  size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  if (i < t.size() && t[i] == '+') {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) return false;
  }
  const char* first = t.data() + i;
  const char* last = t.data() + t.size();
  if (first == last) return false;
  auto [ptr, ec] = std::from_chars(first, last, x, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: treat like any text that gives no number.
    return false;
  }
  return ec == std::errc() && ptr == last;
}

// Exact powers of ten up to 10^22, the largest that a double holds exactly.
constexpr double Pow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Short decimals ("-12.3456", "1e5") without a library call: when the digits form an
// integer below 2^53 and the power of ten is at most 22, one correctly rounded multiply or
// divide gives the correctly rounded value (Clinger 1990, "How to read floating point
// numbers accurately", the fast path). Anything else is left to std::from_chars.
bool FastDecimal(std::string_view t, double& x) {
  const char* p = t.data();
  const char* e = p + t.size();
  bool neg = false;
  if (p < e && *p == '-') {
    neg = true;
    ++p;
  }
  std::uint64_t mant = 0;
  int sig = 0, exp10 = 0, digits = 0;
  for (; p < e && *p >= '0' && *p <= '9'; ++p, ++digits) {
    if (sig > 0 || *p != '0') ++sig;
    mant = mant * 10 + static_cast<unsigned>(*p - '0');
  }
  if (p < e && *p == '.') {
    for (++p; p < e && *p >= '0' && *p <= '9'; ++p, ++digits) {
      if (sig > 0 || *p != '0') ++sig;
      mant = mant * 10 + static_cast<unsigned>(*p - '0');
      --exp10;
    }
  }
  if (digits == 0 || sig > 15) return false;
  if (p < e && (*p == 'e' || *p == 'E')) {
    ++p;
    bool eneg = false;
    if (p < e && (*p == '-' || *p == '+')) eneg = *p++ == '-';
    if (p == e || e - p > 3) return false;
    int ev = 0;
    for (; p < e && *p >= '0' && *p <= '9'; ++p) ev = ev * 10 + (*p - '0');
    exp10 += eneg ? -ev : ev;
  }
  if (p != e) return false;
  double m = static_cast<double>(mant);  // exact: at most 15 significant digits
  if (mant == 0)
    x = 0;
  else if (exp10 >= 0 && exp10 <= 22)
    x = m * Pow10[exp10];
  else if (exp10 < 0 && exp10 >= -22)
    x = m / Pow10[-exp10];
  else
    return false;
  if (neg) x = -x;
  return true;
}

// What R, spreadsheets and databases write for a missing number ("-" is missing by the
// number rules already).
bool IsMissingMark(std::string_view t) {
  t = TrimBlanks(t);
  if (t.size() < 2 || t.size() > 4) return false;
  for (const char* mark : {"NA", "N/A", "#N/A", "NaN", "nan", "null", "NULL"})
    if (t == mark) return true;
  return false;
}

}  // namespace

bool IsNumericChar(char ch) { return NumericTable.Numeric[static_cast<unsigned char>(ch)]; }

bool HasNonNumericChar(std::string_view t) {
  for (char ch : t)
    if (!IsNumericChar(ch)) return true;
  return false;
}

TCellKind ParseCell(std::string_view t, double& x) {
  // Fast path: plain decimals, the bulk of any file, give the same value as the rules below.
  if (FastDecimal(t, x)) return TCellKind::Number;

  // 1. Thousands separators and currency signs go.
  char small[64];
  std::string big;
  char* s = small;
  size_t n = 0;
  if (t.size() > sizeof small) {
    big.resize(t.size());
    s = big.data();
  }
  bool percent = false;
  for (char ch : t) {
    if (ch == ',' || ch == '$') continue;
    // 2. Any other character outside the numeric set makes the cell text, except in the
    // missing-value marks that other programs write.
    if (!IsNumericChar(ch)) return IsMissingMark(t) ? TCellKind::Missing : TCellKind::Text;
    if (ch == '%') {
      percent = true;
      continue;  // 4. every "%" is removed and the number divided by 100
    }
    s[n++] = ch;
  }
  std::string_view u(s, n);
  // 3. Empty, "." and ".." are missing (judged before the "%" signs go).
  if (!percent && (u.empty() || u == "." || u == "..")) return TCellKind::Missing;
  // 4. A leading "." gets a "0" in front, "-." becomes "-0.", one trailing "." goes.
  std::string norm;
  if (!u.empty() && u.front() == '.') {
    norm = "0";
    norm += u;
    u = norm;
  } else if (u.size() >= 2 && u[0] == '-' && u[1] == '.') {
    norm = "-0";
    norm += u.substr(1);
    u = norm;
  }
  if (!u.empty() && u.back() == '.') u.remove_suffix(1);
  double v;
  if (!ParseNumber(u, v)) return TCellKind::Missing;
  x = percent ? v / 100.0 : v;
  return TCellKind::Number;
}

double ParseCellText(std::string_view t) {
  double x = 0;
  switch (ParseCell(t, x)) {
    case TCellKind::Number: return x;
    case TCellKind::Text: return TextValue;
    case TCellKind::Missing: break;
  }
  return MissingValue;
}

bool FieldIsNumber(std::string_view t) {
  double x;
  return ParseCell(t, x) == TCellKind::Number;
}

double ParseLimitText(std::string_view t) {
  t = TrimBlanks(t);
  double x;
  if (t.empty() || !ParseNumber(t, x)) return MissingValue;
  return x;
}

std::string_view TrimBlanks(std::string_view t) {
  size_t b = 0, e = t.size();
  while (b < e && static_cast<unsigned char>(t[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(t[e - 1]) <= ' ') --e;
  return t.substr(b, e - b);
}

std::string CleanCellText(std::string_view t) {
  std::string s(TrimBlanks(t));
  for (char& ch : s)
    if (ch == '\t' || ch == '\r' || ch == '\n') ch = ' ';
  return s;
}

std::string DefaultColumnName(int n) { return "Col" + std::to_string(n); }

bool IsDefaultColumnName(std::string_view name, int n) {
  std::string want = "COL" + std::to_string(n);
  if (name.size() != want.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char ch = name[i];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch != want[i]) return false;
  }
  return true;
}

std::vector<std::string> SplitHeaderLine(std::string_view line, bool tabMode, bool defaultNames,
                                         bool& truncated) {
  std::vector<std::string> fields;
  auto isSep = [tabMode](char ch) { return ch == '\t' || (!tabMode && (ch == ' ' || ch == ',')); };
  auto add = [&](std::string_view f) -> bool {
    if (fields.size() >= static_cast<size_t>(MaxColumns)) {
      truncated = true;
      return false;
    }
    fields.emplace_back(TrimBlanks(f));
    return true;
  };
  auto addEmpty = [&]() -> bool {
    if (fields.size() >= static_cast<size_t>(MaxColumns)) {
      truncated = true;
      return false;
    }
    fields.push_back(defaultNames ? DefaultColumnName(static_cast<int>(fields.size()) + 1) : "");
    return true;
  };
  size_t start = 0;
  bool open = false;
  const size_t n = line.size();
  for (size_t i = 0; i < n; ++i) {
    char ch = line[i];
    bool sep = isSep(ch);
    bool last = i + 1 == n;
    if (!open) {
      if (!sep) {
        open = true;
        start = i;
        if (last && !add(line.substr(start, 1))) return fields;
        if (last) open = false;
        continue;
      }
      if (ch == '\t' && !addEmpty()) return fields;
      continue;
    }
    if (sep) {
      open = false;
      if (!add(line.substr(start, i - start))) return fields;
      // A separator at the very end is looked at once more as if no field were open.
      if (last && ch == '\t' && !addEmpty()) return fields;
    } else if (last) {
      open = false;
      if (!add(line.substr(start, i + 1 - start))) return fields;
    }
  }
  return fields;
}

std::size_t SplitDataLine(std::string_view line, std::vector<std::string_view>& fields,
                          std::size_t maxFields) {
  fields.clear();
  size_t count = 0;
  auto add = [&](std::string_view f) {
    if (fields.size() < maxFields) fields.push_back(TrimBlanks(f));
    ++count;
  };
  const char* b = line.data();
  const size_t n = line.size();
  char sep = 0;
  if (std::memchr(b, '\t', n))
    sep = '\t';
  else if (std::memchr(b, ',', n))
    sep = ',';
  if (sep) {
    size_t start = 0;
    while (start < n) {
      const void* hit = std::memchr(b + start, sep, n - start);
      if (!hit) {
        add(line.substr(start));
        break;
      }
      size_t pos = static_cast<const char*>(hit) - b;
      add(line.substr(start, pos - start));
      start = pos + 1;
    }
    return count;
  }
  // Runs of spaces are one separator; leading and trailing ones are dropped.
  size_t i = 0;
  while (i < n) {
    while (i < n && line[i] == ' ') ++i;
    if (i >= n) break;
    size_t start = i;
    while (i < n && line[i] != ' ') ++i;
    std::string_view f = TrimBlanks(line.substr(start, i - start));
    // A field of control characters only trims to nothing; it still counts.
    if (fields.size() < maxFields) fields.push_back(f);
    ++count;
  }
  return count;
}

}  // namespace sorvel
