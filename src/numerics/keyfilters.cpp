#include "numerics/keyfilters.h"

#include <algorithm>

namespace sorvel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsControlKey(char c) {
  return c == KeyCopy || c == KeyPaste || c == KeyCut || c == KeyBackspace;
}

int Caret(const TKeyEdit& edit) {
  return std::clamp(edit.SelStart, 0, static_cast<int>(edit.Text.size()));
}

// The text that stays when the typed character replaces the selection.
std::string Outside(const TKeyEdit& edit) {
  const int start = Caret(edit);
  const int length = std::clamp(edit.SelLength, 0, static_cast<int>(edit.Text.size()) - start);
  return edit.Text.substr(0, start) + edit.Text.substr(start + length);
}

bool HasPoint(const std::string& text) { return text.find('.') != std::string::npos; }

TKeyResult Reject() { return {}; }

// Accepts key; a "." into an empty box (or after a lone "-" when allowMinus) first makes
// the text "0 " / "-0 " with the blank selected.
TKeyResult AcceptWithPointRule(const TKeyEdit& edit, char key, bool allowMinus) {
  TKeyResult result{true, std::nullopt};
  if (key != '.') return result;
  const std::string rest = Outside(edit);
  if (rest.empty()) {
    result.Replace = TKeyEdit{"0 ", 1, 1};
  } else if (allowMinus && rest == "-" && Caret(edit) >= 1) {
    result.Replace = TKeyEdit{"-0 ", 2, 1};
  }
  return result;
}

TKeyResult RealFilter(const TKeyEdit& edit, char key, bool allowMinus) {
  const std::string rest = Outside(edit);
  const int caret = Caret(edit);
  if (key == '-') {
    const bool leading = allowMinus && caret == 0 && (rest.empty() || rest[0] != '-');
    // typing a negative exponent ("1E-5") needs a "-" right after the E
    const bool exponent = caret > 0 && (edit.Text[caret - 1] == 'E' || edit.Text[caret - 1] == 'e');
    return (leading || exponent) ? TKeyResult{true, std::nullopt} : Reject();
  }
  if (key == '.') return HasPoint(rest) ? Reject() : AcceptWithPointRule(edit, key, allowMinus);
  if (IsControlKey(key) || IsDigit(key) || key == ',' || key == 'E' || key == 'e') {
    return {true, std::nullopt};
  }
  return Reject();
}

}  // namespace

TKeyResult RealKeyFilter(const TKeyEdit& edit, char key) { return RealFilter(edit, key, true); }

TKeyResult PosRealKeyFilter(const TKeyEdit& edit, char key) { return RealFilter(edit, key, false); }

TKeyResult ProbabilityKeyFilter(const TKeyEdit& edit, char key) {
  const std::string rest = Outside(edit);
  const int caret = Caret(edit);
  const std::size_t point = rest.find('.');
  const bool hasPoint = point != std::string::npos;
  const bool inSet = IsControlKey(key) || key == '.' || IsDigit(key);
  const bool reject =
      !inSet || (key == '.' && hasPoint) || (key >= '1' && key <= '9' && caret < 2) ||
      (!hasPoint && key != '.' && key != '0') ||  // also refuses backspace before the point exists
      (key == '0' && hasPoint && caret <= static_cast<int>(point)) ||
      (key == '0' && !hasPoint && caret > 0) || (key == KeyBackspace && caret < 3);
  return reject ? Reject() : AcceptWithPointRule(edit, key, false);
}

TKeyResult PosRealComboFilter(const TKeyEdit& edit, char key) {
  if (key == '.') return HasPoint(Outside(edit)) ? Reject() : AcceptWithPointRule(edit, key, false);
  if (IsControlKey(key) || IsDigit(key)) return {true, std::nullopt};
  return Reject();
}

TKeyResult IntegerKeyFilter(const TKeyEdit& /*edit*/, char key) {
  return {IsControlKey(key) || IsDigit(key) || key == ',', std::nullopt};
}

TKeyResult IntegerSpinKeyFilter(const TKeyEdit& /*edit*/, char key) {
  return {IsControlKey(key) || IsDigit(key), std::nullopt};
}

}  // namespace sorvel
