#include "data/cell_text.h"

#include <charconv>
#include <cstring>

namespace sorvel {

namespace {

struct TNumericTable {
  bool Numeric[256] = {};
  constexpr TNumericTable() {
    for (const char* p = "\t $%+,-.0123456789Ee"; *p; ++p) Numeric[static_cast<unsigned char>(*p)] = true;
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

}  // namespace

bool IsNumericChar(char ch) { return NumericTable.Numeric[static_cast<unsigned char>(ch)]; }

bool HasNonNumericChar(std::string_view t) {
  for (char ch : t)
    if (!IsNumericChar(ch)) return true;
  return false;
}

double ParseCellText(std::string_view t) {
  // Fast path: plain numbers (the bulk of any file) need no copy.
  bool plain = !t.empty();
  for (char ch : t) {
    unsigned char u = static_cast<unsigned char>(ch);
    if (!((u >= '0' && u <= '9') || u == '-' || u == 'e' || u == 'E')) {
      if (u == '.') continue;
      plain = false;
      break;
    }
  }
  if (plain && t.front() != '.' && t.back() != '.' && !(t.size() >= 2 && t[0] == '-' && t[1] == '.')) {
    double x;
    return ParseNumber(t, x) ? x : MissingValue;
  }

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
    // 2. Any other character outside the numeric set makes the cell text.
    if (!IsNumericChar(ch)) return TextValue;
    if (ch == '%') {
      percent = true;
      continue;  // 4. every "%" is removed and the number divided by 100
    }
    s[n++] = ch;
  }
  std::string_view u(s, n);
  // 3. Empty, "." and ".." are missing (judged before the "%" signs go).
  if (!percent && (u.empty() || u == "." || u == "..")) return MissingValue;
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
  double x;
  if (!ParseNumber(u, x)) return MissingValue;
  return percent ? x / 100.0 : x;
}

bool FieldIsNumber(std::string_view t) {
  double x = ParseCellText(t);
  return x != MissingValue && x != TextValue;
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
