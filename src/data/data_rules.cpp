#include "data/data_rules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <optional>
#include <span>

#include "data/data_state.h"
#include "data/grid_edit.h"  // MaxColumnsExceededText
#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/specfunc.h"

namespace sorvel {

TMissingRec MissingRec;
TProcessIfRec ProcessIfRec;
TTransformRec TransformRec;
TBlankCommas BlankCommasAnswer = TBlankCommas::Unasked;

namespace {

std::string_view Trim(std::string_view t) {
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
  return t;
}

std::string Lower(std::string_view t) {
  std::string s(t);
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

TBlankCommaQuestion& BlankCommaAsker() {
  static TBlankCommaQuestion ask;
  return ask;
}

std::optional<TRandomSnapshot>& LoadRandomState() {
  static std::optional<TRandomSnapshot> state;
  return state;
}

// Relation symbols by code, RelNone .. RelNotIn ("=" stands for none, as the label shows).
const char* const MissingSigns[] = {"=", "=", ">", ">=", "<", "<="};
const char* const ProcessIfSigns[] = {"All", "=", ">", ">=", "<", "<=", "<>", "in", "Not in"};

}  // namespace

bool ReadTypedNumber(std::string_view text, double& value) {
  text = Trim(text);
  if (text.empty()) return false;
  for (char ch : text)
    if (!std::isdigit(static_cast<unsigned char>(ch)) && ch != '.' && ch != '-' && ch != '+' &&
        ch != 'e' && ch != 'E')
      return false;
  std::string t(text);
  std::size_t sign = (t[0] == '+' || t[0] == '-') ? 1 : 0;
  if (t[0] == '+') t.erase(0, 1), sign = 0;
  // "5." and ".5" as the value boxes accept them.
  if (!t.empty() && t.back() == '.') t.pop_back();
  if (sign < t.size() && t[sign] == '.') t.insert(sign, "0");
  if (t.empty() || t == "-") return false;
  double x = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), x);
  if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(x)) return false;
  value = x;
  return true;
}

// ---------------------------------------------------------------- transformation

std::string TransformCaption(int no) {
  static const char* const captions[] = {
      "No Transform",
      "LINEAR  Y = AX + B",
      "POWER1  Y = (AX + B)^C",
      "POWER2  Y = (AX + B)^1/C",
      "INV     Y = B/(AX)^C",
      "LOG     Y = Ln(AX + B)",
      "EXP     Y = Exp(AX + B)",
      "ARCSIN  Y = Arcsin(AX + B)",
      "SIN     Y = Sin(AX + B) Rad",
      "Random: Uniform (A, B)",
      "Random: Normal (A=mean, B=std)",
      "Random: Exponential (A=min, B=mean)",
      "Random: Chi-Square(A=df, B=scale, C=min)",
  };
  return no >= 0 && no <= TransformChiSquare ? captions[no] : "";
}

namespace {
const char* const TransformNames[] = {"none",   "linear",      "power1",    "power2", "inv",
                                      "log",    "exp",         "arcsin",    "sin",    "uniform",
                                      "normal", "exponential", "chi-square"};
}

std::string TransformName(int no) {
  return no >= 0 && no <= TransformChiSquare ? TransformNames[no] : "";
}

int TransformByName(std::string_view name) {
  const std::string want = Lower(Trim(name));
  for (int i = 0; i <= TransformChiSquare; ++i)
    if (want == TransformNames[i]) return i;
  return -1;
}

bool IsRandomTransform(int no) { return no >= TransformUniform && no <= TransformChiSquare; }

bool TransformUsesC(int no) {
  return no == TransformPower1 || no == TransformPower2 || no == TransformInv ||
         no == TransformChiSquare;
}

std::string TransformFormulaText(const TTransformRec& t) {
  const std::string a = t.astr == "1" ? "" : t.astr;
  const std::string b = t.B == 0 ? "" : (t.B > 0 ? " + " : " ") + t.Bstr;
  const std::string ax = a + "X" + b;
  switch (t.no) {
    case TransformLinear: return ax;
    case TransformPower1: return "(" + ax + ")^" + t.Cstr;
    case TransformPower2: return "(" + ax + ")^(1/" + t.Cstr + ")";
    case TransformInv: return t.Bstr + "/(" + a + "X)^" + t.Cstr;
    case TransformLog: return "LN(" + ax + ")";
    case TransformExp: return "EXP(" + ax + ")";
    case TransformArcsin: return "ARCSIN(" + ax + ")";
    case TransformSin: return "SIN(" + ax + ")";
    case TransformUniform: return "Uniform(" + t.astr + "," + t.Bstr + ")";
    case TransformNormal: return "Normal(" + t.astr + "," + t.Bstr + ")";
    case TransformExponential: return "Exponential(" + t.astr + "," + t.Bstr + ")";
    case TransformChiSquare: return "Chi-Square(" + t.astr + "," + t.Bstr + "," + t.Cstr + ")";
    default: return "None";
  }
}

bool TransformConstantsOk(int no, std::string_view a, std::string_view b, std::string_view c) {
  if (!TransformUsesC(no)) return true;
  if (Trim(a).empty() || Trim(b).empty() || Trim(c).empty()) return false;
  double cv = 0;
  return !(no == TransformPower2 && ReadTypedNumber(c, cv) && cv == 0);
}

bool SetTransform(TTransformRec& t, int no, std::string_view a, std::string_view b,
                  std::string_view c, bool normFirst, std::string& error) {
  if (no < 0 || no > TransformChiSquare) {
    error = "no transform number " + std::to_string(no);
    return false;
  }
  TTransformRec n = t;
  n.no = no;
  n.astr = std::string(Trim(a));
  n.Bstr = std::string(Trim(b));
  n.Cstr = std::string(Trim(c));
  n.NORMFirst = normFirst;
  n.Error = false;
  n.ErrorString.clear();
  if (no != TransformNone) {
    if (!ReadTypedNumber(n.astr, n.a)) return error = "A is not a number: '" + n.astr + "'", false;
    if (!ReadTypedNumber(n.Bstr, n.B)) return error = "B is not a number: '" + n.Bstr + "'", false;
    if (TransformUsesC(no) && !ReadTypedNumber(n.Cstr, n.c))
      return error = "C is not a number: '" + n.Cstr + "'", false;
    if (no == TransformPower2 && n.c == 0) return error = "C must not be 0 for POWER2", false;
  }
  t = std::move(n);
  return true;
}

bool TransformValue(TTransformRec& t, double& x) {
  if (t.no == TransformNone) return true;
  double v = t.NORMFirst ? NormalRandom(10, 1) : x;
  const double ax = t.a * v + t.B;
  const char* reason = nullptr;
  double y = v;
  switch (t.no) {
    case TransformLinear: y = ax; break;
    case TransformPower1:
      if (ax < 0)
        reason = "X < 0";
      else
        y = RealPower(ax, t.c);
      break;
    case TransformPower2:
      if (ax < 0)
        reason = "X < 0";
      else
        y = RealPower(ax, 1 / t.c);
      break;
    case TransformInv:
      // B/(AX)^C needs AX > 0 (the reason keeps the dialog's wording).
      if (t.a * v <= 0)
        reason = "X <= 0";
      else
        y = t.B / RealPower(t.a * v, t.c);
      break;
    case TransformLog:
      if (ax <= 0)
        reason = "X <= 0";
      else
        y = std::log(ax);
      break;
    case TransformExp: y = std::exp(ax); break;
    case TransformArcsin:
      if (!(ax > -1 && ax < 1))
        reason = "ABS(X) >= 1";
      else
        y = std::atan(ax / std::sqrt(1 - ax * ax));
      break;
    case TransformSin: y = std::sin(ax); break;
    case TransformUniform: y = std::min(t.a, t.B) + UniformRandom() * std::fabs(t.a - t.B); break;
    case TransformNormal: y = NormalRandom(t.a, t.B); break;
    case TransformExponential:
      if (t.B <= t.a)
        reason = "B <= A";
      else
        y = t.a - (t.B - t.a) * std::log(UniformRandom());
      break;
    case TransformChiSquare: y = ChiSqQuantile(UniformRandom(), t.a, 1) * t.B + t.c; break;
    default: return true;
  }
  // No result may leave the finite numbers: an infinity or NaN would pass as a value.
  if (!reason && !std::isfinite(y)) reason = "Result out of range";
  if (reason) {
    t.Error = true;
    t.ErrorString = std::string("Error: ") + reason;
    return false;
  }
  x = y;
  return true;
}

bool TransformArray(TTransformRec& t, double* a, std::int32_t count) {
  t.Error = false;
  for (std::int32_t i = 1; i <= count; ++i)
    if (!TransformValue(t, a[i])) return false;
  return true;
}

std::string TransformErrorText(const TTransformRec& t) {
  return "Transform Error - Turning Off Transform!\nTransform: " + TransformFormulaText(t) + "\n" +
         t.ErrorString;
}

void TransformErrorReport(TTransformRec& t) {
  const std::string text = TransformErrorText(t);
  t.no = TransformNone;
  DataMessage(text);
}

void SaveLoadRandomState() {
  if (IsRandomTransform(TransformRec.no) || TransformRec.NORMFirst)
    LoadRandomState() = SaveRandomState();
  else
    LoadRandomState().reset();
}

void RestoreLoadRandomState() {
  if (LoadRandomState()) RestoreRandomState(*LoadRandomState());
}

// ---------------------------------------------------------------- number list

void SetBlankCommaQuestion(TBlankCommaQuestion ask) { BlankCommaAsker() = std::move(ask); }

TNumberList ReadNumberList(std::string_view text) {
  TNumberList list;
  auto add = [&](std::string t, double v) {
    if (static_cast<int>(list.Texts.size()) >= MaxListItems) return;
    list.Texts.push_back(std::move(t));
    list.Values.push_back(v);
  };
  auto blankCommas = [] {
    if (BlankCommasAnswer == TBlankCommas::Unasked) {
      const auto& ask = BlankCommaAsker();
      BlankCommasAnswer = ask && ask() ? TBlankCommas::Yes : TBlankCommas::No;
    }
    return BlankCommasAnswer == TBlankCommas::Yes;
  };
  auto inNumber = [](char ch) {
    return std::isdigit(static_cast<unsigned char>(ch)) || ch == '+' || ch == '-' || ch == '.' ||
           ch == 'E' || ch == 'e';
  };
  std::size_t i = 0;
  bool afterNumber = false;  // the character before was the end of a number
  while (i < text.size()) {
    const char ch = text[i];
    if (ch == '-' || ch == '.' || std::isdigit(static_cast<unsigned char>(ch))) {
      std::size_t j = i;
      while (j < text.size() && inNumber(text[j])) ++j;
      std::string t(text.substr(i, j - i));
      i = j;
      afterNumber = true;
      if (t == "." || t == "-" || t == "E" || t == "+") continue;
      double v = 0;
      if (t[0] == '.') t.insert(0, "0");
      if (t.rfind("-.", 0) == 0) t.insert(1, "0");
      if (t.size() > 1 && t.back() == '.') t.pop_back();
      if (ReadTypedNumber(t, v))
        add(t, v);
      else
        add("", MissingValue);
      continue;
    }
    if ((ch == ',' || ch == '\t') && !afterNumber) {
      if (ch == '\t' || blankCommas()) add("", MissingValue);
    }
    afterNumber = false;
    ++i;
  }
  return list;
}

// ---------------------------------------------------------------- choices

void ApplyMissingChoice(const TMissingChoice& choice) {
  TMissingRec m;
  m.Sign1 = std::clamp(choice.Sign1, int(RelNone), int(RelLessEqual));
  m.Sign2 = std::clamp(choice.Sign2, int(RelNone), int(RelLessEqual));
  if (m.Sign1 == RelNone && m.Sign2 == RelNone) {
    MissingRec = m;
    return;
  }
  m.Xstr1 = std::string(Trim(choice.Value1));
  m.Xstr2 = std::string(Trim(choice.Value2));
  if (m.Sign1 != RelNone && !ReadTypedNumber(m.Xstr1, m.X1)) m.Sign1 = RelNone;
  if (m.Sign2 != RelNone && !ReadTypedNumber(m.Xstr2, m.X2)) m.Sign2 = RelNone;
  m.Signtext1 = MissingSigns[m.Sign1];
  m.Signtext2 = MissingSigns[m.Sign2];
  m.Active = true;
  MissingRec = m;
}

void ResetProcessIf() { ProcessIfRec = TProcessIfRec(); }

void ApplyProcessIfChoice(const TProcessIfChoice& choice, const TDataList& list) {
  TProcessIfRec p;
  auto inUse = [&](int col, int sign) {
    return sign > RelAll && sign <= RelNotIn && col >= 1 && col <= list.MaxCol();
  };
  const bool use1 = inUse(choice.Column1, choice.Sign1), use2 = inUse(choice.Column2, choice.Sign2);
  if (!use1 && !use2) {
    ProcessIfRec = p;
    return;
  }
  p.AndOr = choice.AndOr == ProcessIfOr ? ProcessIfOr : ProcessIfAnd;
  auto set = [&](bool use, int col, int sign, const std::string& value, int& pi, int& s,
                 std::string& xstr, std::string& xv, std::string& signText, double& x,
                 std::vector<double>& la, std::vector<std::string>& sla, int& count) {
    if (!use) return;
    pi = col;
    s = sign;
    xstr = list.ColumnName(col);
    signText = ProcessIfSigns[sign];
    std::string_view v = Trim(value);
    if (sign == RelIn || sign == RelNotIn) {
      if (!v.empty() && v.front() == '[') v.remove_prefix(1);
      if (!v.empty() && v.back() == ']') v.remove_suffix(1);
      TNumberList items = ReadNumberList(v);
      count = static_cast<int>(items.Values.size());
      la.assign(1, 0.0);
      sla.assign(1, std::string());
      la.insert(la.end(), items.Values.begin(), items.Values.end());
      sla.insert(sla.end(), items.Texts.begin(), items.Texts.end());
      xv = "[";
      for (int i = 1; i <= count; ++i) xv += (i > 1 ? "," : "") + sla[i];
      xv += "]";
    } else {
      xv = std::string(v);
      if (!ReadTypedNumber(v, x)) x = 0;
    }
  };
  set(use1, choice.Column1, choice.Sign1, choice.Value1, p.PiIndex1, p.Sign1, p.Xstr1, p.XV1,
      p.Signtext1, p.X1, p.LA1, p.SLA1, p.LA1count);
  set(use2, choice.Column2, choice.Sign2, choice.Value2, p.PiIndex2, p.Sign2, p.Xstr2, p.XV2,
      p.Signtext2, p.X2, p.LA2, p.SLA2, p.LA2count);
  p.Active = true;
  ProcessIfRec = std::move(p);
}

// ---------------------------------------------------------------- texts

std::vector<std::string> MissingConditionTexts() {
  std::vector<std::string> texts;
  const TMissingRec& m = MissingRec;
  if (!m.Active) return texts;
  auto text = [](int sign, const std::string& typed, double x) {
    return "X " + std::string(MissingSigns[sign]) + " " +
           (typed.empty() ? FormatGeneral(x) : typed);
  };
  if (m.Sign1 != RelNone) texts.push_back(text(m.Sign1, m.Xstr1, m.X1));
  if (m.Sign2 != RelNone) texts.push_back(text(m.Sign2, m.Xstr2, m.X2));
  return texts;
}

std::vector<std::string> ProcessIfConditionTexts() {
  std::vector<std::string> texts;
  const TProcessIfRec& p = ProcessIfRec;
  if (!p.Active) return texts;
  auto text = [](int col, int sign, const std::string& name, const std::string& xv, double x,
                 const std::vector<double>& la, int count) {
    std::string n = name.empty() ? DataList().ColumnName(col) : name;
    if (n.empty()) n = DefaultColumnName(col);
    std::string v = xv;
    if (v.empty() && (sign == RelIn || sign == RelNotIn)) {
      v = "[";
      for (int i = 1; i <= count && i < static_cast<int>(la.size()); ++i)
        v += (i > 1 ? "," : "") + (la[i] == MissingValue ? std::string() : FormatGeneral(la[i]));
      v += "]";
    } else if (v.empty()) {
      v = FormatGeneral(x);
    }
    return n + " " + ProcessIfSigns[sign] + " " + v;
  };
  if (p.Sign1 > RelAll && p.Sign1 <= RelNotIn)
    texts.push_back(text(p.PiIndex1, p.Sign1, p.Xstr1, p.XV1, p.X1, p.LA1, p.LA1count));
  if (p.Sign2 > RelAll && p.Sign2 <= RelNotIn)
    texts.push_back(text(p.PiIndex2, p.Sign2, p.Xstr2, p.XV2, p.X2, p.LA2, p.LA2count));
  return texts;
}

std::string ProcessIfJoin() { return ProcessIfRec.AndOr == ProcessIfOr ? " or " : " and "; }

std::string MissingStatusText() {
  const auto t = MissingConditionTexts();
  if (t.empty()) return "Missing Off";
  return "Missing: " + t[0] + (t.size() > 1 ? ", or " + t[1] : "");
}

std::string TransformStatusText() {
  return TransformRec.no != TransformNone ? "Transform: " + TransformFormulaText()
                                          : "Transform Off";
}

std::string ProcessIfStatusText() {
  const auto t = ProcessIfConditionTexts();
  if (t.empty()) return "Process If Off";
  return "Process If: " + t[0] + (t.size() > 1 ? ProcessIfJoin() + t[1] : "");
}

int FindColumn(const TDataList& list, std::string_view text) {
  text = Trim(text);
  if (text.empty()) return 0;
  if (std::all_of(text.begin(), text.end(),
                  [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); })) {
    int n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && n >= 1 && n <= list.MaxCol() ? n : 0;
  }
  for (int c = 1; c <= list.MaxCol(); ++c)
    if (list.ColumnName(c) == text) return c;
  const std::string want = Lower(text);
  int found = 0;
  for (int c = 1; c <= list.MaxCol(); ++c)
    if (Lower(list.ColumnName(c)) == want) {
      if (found) return 0;
      found = c;
    }
  return found;
}

// ---------------------------------------------------------------- typed rule texts

namespace {

// Splits at the word `a` or `b` (case ignored) standing between blanks outside brackets.
std::vector<std::pair<std::string, std::string>> SplitJoined(
    std::string_view text, const std::vector<std::string>& words) {
  std::vector<std::pair<std::string, std::string>> parts;  // (joining word, part)
  std::string join;
  std::size_t start = 0;
  int depth = 0;
  const std::string lower = Lower(text);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '[') ++depth;
    if (text[i] == ']') --depth;
    if (depth > 0 || !std::isspace(static_cast<unsigned char>(text[i]))) continue;
    for (const auto& w : words) {
      const std::size_t e = i + 1 + w.size();
      if (lower.compare(i + 1, w.size(), w) == 0 && e < text.size() &&
          std::isspace(static_cast<unsigned char>(text[e]))) {
        parts.emplace_back(join, std::string(Trim(text.substr(start, i - start))));
        join = w;
        start = e;
        i = e - 1;
        break;
      }
    }
  }
  parts.emplace_back(join, std::string(Trim(text.substr(start))));
  return parts;
}

// The relation at the start of t ("<=", "Not in", ...); 0 when none. `len` is its length.
int ReadRelation(std::string_view t, bool processIf, std::size_t& len) {
  struct TSym {
    const char* Text;
    int Sign;
    bool Word;
  };
  static const TSym syms[] = {{">=", RelGreaterEqual, false}, {"<=", RelLessEqual, false},
                              {"<>", RelNotEqual, false},     {"=", RelEqual, false},
                              {">", RelGreater, false},       {"<", RelLess, false},
                              {"not in", RelNotIn, true},     {"in", RelIn, true}};
  const std::string lower = Lower(t.substr(0, 6));
  for (const auto& s : syms) {
    const std::size_t n = std::char_traits<char>::length(s.Text);
    if (lower.compare(0, n, s.Text) != 0) continue;
    if (!processIf && s.Sign > RelLessEqual) return 0;
    if (s.Word && n < t.size() && !std::isspace(static_cast<unsigned char>(t[n])) && t[n] != '[')
      continue;
    len = n;
    return s.Sign;
  }
  return 0;
}

}  // namespace

bool ParseMissingText(std::string_view text, TMissingChoice& choice, std::string& error) {
  TMissingChoice c;
  c.Value1 = c.Value2 = "0";
  const auto parts = SplitJoined(text, {"or"});
  if (Trim(text).empty()) {
    error = "the missing-value rule is empty";
    return false;
  }
  if (parts.size() > 2) {
    error =
        "the missing-value rule has more than two conditions: '" + std::string(Trim(text)) + "'";
    return false;
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    std::string_view t = Trim(parts[k].second);
    const std::string whole(t);
    if (t.empty() || (t[0] != 'X' && t[0] != 'x')) {
      error = "a missing-value condition starts with X: '" + whole + "'";
      return false;
    }
    t = Trim(t.substr(1));
    std::size_t len = 0;
    const int sign = ReadRelation(t, false, len);
    if (sign == 0) {
      error = "no relation (= > >= < <=) in the missing-value condition '" + whole + "'";
      return false;
    }
    std::string value(Trim(t.substr(len)));
    double x = 0;
    if (!ReadTypedNumber(value, x)) {
      error = "not a number in the missing-value condition '" + whole + "'";
      return false;
    }
    (k == 0 ? c.Sign1 : c.Sign2) = sign;
    (k == 0 ? c.Value1 : c.Value2) = value;
  }
  choice = c;
  return true;
}

bool ParseProcessIfText(std::string_view text, const TDataList& list, TProcessIfChoice& choice,
                        std::string& error) {
  TProcessIfChoice c;
  if (Trim(text).empty()) {
    error = "the Process If rule is empty";
    return false;
  }
  const auto parts = SplitJoined(text, {"and", "or"});
  if (parts.size() > 2) {
    error = "Process If has more than two conditions: '" + std::string(Trim(text)) + "'";
    return false;
  }
  if (parts.size() == 2) c.AndOr = parts[1].first == "or" ? ProcessIfOr : ProcessIfAnd;
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::string whole = parts[k].second;
    std::string_view t = whole;
    // The column: everything up to the first blank or relation character.
    std::size_t end = 0;
    while (end < t.size() && !std::isspace(static_cast<unsigned char>(t[end])) && t[end] != '=' &&
           t[end] != '<' && t[end] != '>')
      ++end;
    const std::string name(t.substr(0, end));
    const int col = FindColumn(list, name);
    if (col == 0) {
      error = "no column '" + name + "'";
      return false;
    }
    t = Trim(t.substr(end));
    std::size_t len = 0;
    const int sign = ReadRelation(t, true, len);
    if (sign == 0) {
      error = "no relation (= > >= < <= <> in, Not in) in the Process If condition '" + whole + "'";
      return false;
    }
    std::string_view v = Trim(t.substr(len));
    std::string value;
    if (sign == RelIn || sign == RelNotIn) {
      if (!v.empty() && v.front() == '[') {
        if (v.back() != ']') {
          error = "an unclosed list in the Process If condition '" + whole + "'";
          return false;
        }
        v = v.substr(1, v.size() - 2);
      }
      // Items are numbers or, in a text column, level texts (read as their codes).
      std::size_t start = 0;
      while (start <= v.size()) {
        std::size_t comma = v.find(',', start);
        if (comma == std::string_view::npos) comma = v.size();
        std::string_view item = Trim(v.substr(start, comma - start));
        double x = 0;
        std::string code(item);
        if (!item.empty() && !ReadTypedNumber(item, x)) {
          int level = 0;
          if (list.StringVar[col])
            for (int l = 1; l <= list.LevelCount(col) && !level; ++l)
              if (list.GetLevelName(col, l) == item) level = l;
          if (!level) {
            error = "'" + std::string(item) + "' is not a number" +
                    (list.StringVar[col] ? " or a level of " + list.ColumnName(col) : "") +
                    " in the Process If condition '" + whole + "'";
            return false;
          }
          code = std::to_string(level);
        }
        value += (start > 0 ? "," : "") + code;
        start = comma + 1;
      }
    } else {
      double x = 0;
      value = std::string(v);
      if (!ReadTypedNumber(v, x)) {
        int level = 0;
        if (list.StringVar[col])
          for (int l = 1; l <= list.LevelCount(col) && !level; ++l)
            if (list.GetLevelName(col, l) == v) level = l;
        if (!level) {
          error = "'" + value + "' is not a number" +
                  (list.StringVar[col] ? " or a level of " + list.ColumnName(col) : "") +
                  " in the Process If condition '" + whole + "'";
          return false;
        }
        value = std::to_string(level);
      }
    }
    (k == 0 ? c.Column1 : c.Column2) = col;
    (k == 0 ? c.Sign1 : c.Sign2) = sign;
    (k == 0 ? c.Value1 : c.Value2) = value;
  }
  choice = c;
  return true;
}

// ---------------------------------------------------------------- data commands

namespace {

// The editor's end of every data command: the file modified, the windows told.
void DataCommandDone() {
  DataEditor.FileModified = true;
  DataEditor.PendingDataChange = DataEditor.PendingColumnsChange = true;
}

// ... and every row parsed again.
void DataRewritten(TDataList& list) {
  DataCommandDone();
  list.SetAllRowsModified();
  list.UpdateData();
}

// The new texts of a column, rows 1, 2, ... added in order, laid end to end (a string
// per cell of a million-row column would cost an allocation each).
class TColumnTexts {
 public:
  explicit TColumnTexts(int rows) { end_.reserve(std::size_t(std::max(rows, 0)) + 1); }
  void Add(std::string_view t) {
    text_.append(t);
    end_.push_back(text_.size());
  }
  int Rows() const { return static_cast<int>(end_.size()) - 1; }
  std::size_t Bytes() const { return text_.size(); }
  std::string_view operator[](int r) const {
    return std::string_view(text_).substr(end_[std::size_t(r) - 1],
                                          end_[std::size_t(r)] - end_[std::size_t(r) - 1]);
  }

 private:
  std::string text_;
  std::vector<std::size_t> end_{0};
};

// Writes the texts into column c in one pass over the grid (a cell at a time would give
// every row of a million its own strings).
void WriteColumn(TDataList& list, int c, const TColumnTexts& texts) {
  const int rows = std::min(list.DataGrid.RowCount() - 1, texts.Rows());
  list.DataGrid.EditRows(
      1, rows,
      [&](int r, std::span<std::string_view> cells) {
        if (c < static_cast<int>(cells.size())) cells[c] = texts[r];
      },
      texts.Bytes());
}

// Appends a column `name` holding the texts; returns its number.
int AppendColumn(TDataList& list, const std::string& name, const TColumnTexts& texts) {
  const int c = list.MaxCol() + 1;
  list.InsertColumns(c, 1);
  list.SetCellText(c, 0, name);
  WriteColumn(list, c, texts);
  return c;
}

}  // namespace

TDataCommandResult AddTransformedVariables(TDataList& list, const std::vector<int>& columns,
                                           bool modify, bool turnOff) {
  TDataCommandResult result;
  if (TransformRec.no == TransformNone) return result;
  if (list.DataChanged) list.UpdateData();
  const int added = modify ? 0 : static_cast<int>(columns.size());
  if (list.DataGrid.ColCount() + added > MaxColumns) {
    result.Message = MaxColumnsExceededText;
    return result;
  }
  std::vector<int> written;
  for (int col : columns) {
    if (col < 1 || col > list.MaxCol()) continue;
    const std::string name = list.ColumnName(col);
    TColumnTexts texts(list.Ncount);
    bool failed = false;
    TransformRec.Error = false;
    for (int r = 1; r <= list.Ncount && !failed; ++r) {
      double x = list.Value(col, r);
      if (!list.ProcessOK(r) || !list.DataValid(col, r))
        texts.Add("");
      else if (TransformValue(TransformRec, x))
        texts.Add(FormatGeneral(x));
      else
        failed = true;
    }
    if (failed) {
      result.Failed.push_back(name);
      continue;
    }
    if (modify) {
      WriteColumn(list, col, texts);
      written.push_back(col);
    } else {
      written.push_back(AppendColumn(list, "f(" + name + ")", texts));
    }
    result.Done = true;
  }
  if (turnOff) TransformRec.no = TransformNone;
  DataCommandDone();
  // The written columns' texts are parsed again; the other columns are as they were.
  list.ReparseColumns(written);
  return result;
}

bool GenerateRunNumbers(TDataList& list, const std::vector<int>& columns) {
  list.UpdateData();
  TRunInfo ri;
  std::vector<int> cols;
  for (int c : columns)
    if (c >= 1 && c <= list.MaxCol()) cols.push_back(c);
  std::sort(cols.begin(), cols.end());
  cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
  if (cols.empty() || list.Ncount < 2 || list.MaxCol() >= MaxColumns) return false;
  ri.RefArray[0] = static_cast<int>(cols.size());
  for (std::size_t i = 0; i < cols.size(); ++i) ri.RefArray[i + 1] = cols[i];
  list.SetRunData(ri);
  // Run i is the rank of its code among the codes present (code 0, missing, first).
  std::vector<std::int64_t> codes;
  for (int i = 1; i <= ri.MaxRun && i < static_cast<int>(list.RunTable.size()); ++i)
    codes.push_back(list.RunTable[i].Code);
  TColumnTexts texts(list.Ncount);
  for (int r = 1; r <= list.Ncount; ++r) {
    auto it = std::lower_bound(codes.begin(), codes.end(), list.RowRun[r]);
    texts.Add(it != codes.end() && *it == list.RowRun[r] ? std::to_string(it - codes.begin() + 1)
                                                         : "");
  }
  const int run = AppendColumn(list, "Run", texts);
  DataCommandDone();
  list.ReparseColumns({run});
  return true;
}

TDataCommandResult AutoRecodeVariables(TDataList& list, const std::vector<int>& columns) {
  TDataCommandResult result;
  list.UpdateData();
  std::vector<int> cols;
  for (int c : columns)
    if (c >= 1 && c <= list.MaxCol()) cols.push_back(c);
  std::sort(cols.begin(), cols.end());
  cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
  if (cols.empty()) return result;
  if (list.DataGrid.ColCount() + static_cast<int>(cols.size()) > MaxColumns) {
    result.Message = MaxColumnsExceededText;
    return result;
  }
  // Read every column before adding any: the new ones must not shift what is read.
  std::vector<TColumnTexts> all;
  for (int col : cols) {
    std::vector<double> values;
    for (int r = 1; r <= list.Ncount; ++r)
      if (list.DataValid(col, r)) values.push_back(list.Value(col, r));
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    TColumnTexts texts(list.Ncount);
    for (int r = 1; r <= list.Ncount; ++r) {
      if (!list.DataValid(col, r)) {
        texts.Add("");
        continue;
      }
      auto it = std::lower_bound(values.begin(), values.end(), list.Value(col, r));
      texts.Add(std::to_string(it - values.begin() + 1));
    }
    all.push_back(std::move(texts));
  }
  std::vector<int> added;
  for (std::size_t i = 0; i < cols.size(); ++i)
    added.push_back(AppendColumn(list, list.ColumnName(cols[i]) + "_R", all[i]));
  result.Done = true;
  DataCommandDone();
  list.ReparseColumns(added);
  return result;
}

namespace {
std::int64_t RoundedWeight(const TDataList& list, int weight, int r) {
  if (!list.HasValue(weight, r)) return 1;
  const double w = list.Value(weight, r);
  if (!(w < 9.0e18)) return std::numeric_limits<std::int64_t>::max() / 4;
  const double rounded = std::nearbyint(w);  // halves to even
  return rounded < 1 ? 1 : static_cast<std::int64_t>(rounded);
}
}  // namespace

std::int64_t WeightedCaseCount(TDataList& list, int weight) {
  if (list.DataChanged) list.UpdateData();
  std::int64_t n = 0;
  for (int r = 1; r <= list.Ncount; ++r) {
    n += RoundedWeight(list, weight, r);
    if (n > MaxWeightedCases) return n;
  }
  return n;
}

std::string WeightCasesQuestion(std::int64_t count) {
  return "New Row Count = " + std::to_string(count) + ", Continue?";
}

TDataCommandResult WeightCases(TDataList& list, int weight,
                               const std::function<bool(std::int64_t count)>& confirm) {
  TDataCommandResult result;
  if (weight < 1 || weight > list.MaxCol()) return result;
  const std::int64_t n = WeightedCaseCount(list, weight);
  if (n > MaxWeightedCases) {
    result.Message = "New Row Count = " + std::to_string(n) +
                     " is more than a data set can hold; the cases were not weighted.";
    return result;
  }
  if (confirm && !confirm(n)) return result;
  const int cases = list.Ncount;
  try {
    // Copies of case r for its rounded weight w >= 2: w - 1 of them, below the cases.
    std::vector<std::int32_t> sources;
    sources.reserve(std::size_t(n - cases));
    for (int r = 1; r <= cases; ++r)
      for (std::int64_t k = RoundedWeight(list, weight, r); k > 1; --k) sources.push_back(r);
    list.AppendCaseCopies(sources);
  } catch (const std::bad_alloc&) {
    list.DataGrid.SetRowCount(cases + 1);
    result.Message =
        "Not enough memory for " + std::to_string(n) + " rows; the cases were not weighted.";
    DataRewritten(list);
    return result;
  }
  result.Done = true;
  DataCommandDone();
  return result;
}

void ResetDataRules() {
  MissingRec = TMissingRec();
  ProcessIfRec = TProcessIfRec();
  TransformRec = TTransformRec();
  BlankCommasAnswer = TBlankCommas::Unasked;
  LoadRandomState().reset();
}

}  // namespace sorvel
