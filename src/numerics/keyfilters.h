// Key filters of numeric edit boxes, as pure functions: the window passes the box's text,
// its selection and the typed character, and gets back whether the character may go in
// (the window beeps when not) and, in one case, a new text and selection to set first.
// All filters share one signature, so a window can hold any of them as a function.
#pragma once

#include <optional>
#include <string>

namespace sorvel {

// Control characters the filters let through.
inline constexpr char KeyCopy = 3;    // Ctrl+C
inline constexpr char KeyPaste = 22;  // Ctrl+V
inline constexpr char KeyCut = 24;    // Ctrl+X
inline constexpr char KeyBackspace = 8;

// An edit box's text and selection; with SelLength 0, SelStart is the caret.
struct TKeyEdit {
  std::string Text;
  int SelStart = 0;
  int SelLength = 0;
};

// Accepted: the character goes in as the box would insert it (replacing the selection).
// Replace: set this text and selection before the character goes in. A "." typed when
// nothing but the selection is in the box gives "0 " with the blank selected, so that
// the point replaces the blank and the box shows "0."; "-0 " likewise after a lone "-".
struct TKeyResult {
  bool Accepted = false;
  std::optional<TKeyEdit> Replace;
};

// Ctrl+C/V/X, backspace, ",", "-", ".", digits, "E", "e". A second "." is refused; "-"
// only at the start (once) or right after "E"/"e" for a negative exponent.
TKeyResult RealKeyFilter(const TKeyEdit& edit, char key);
// As RealKeyFilter without a leading "-".
TKeyResult PosRealKeyFilter(const TKeyEdit& edit, char key);
// Enforces the shape 0, point, digits: Ctrl+C/V/X, backspace, ".", digits.
TKeyResult ProbabilityKeyFilter(const TKeyEdit& edit, char key);
// The editable text of a combo box: Ctrl+C/V/X, backspace, ".", digits; one ".".
TKeyResult PosRealComboFilter(const TKeyEdit& edit, char key);

// Integer edit box: Ctrl+C/V/X, backspace, ",", digits.
TKeyResult IntegerKeyFilter(const TKeyEdit& edit, char key);
// Spin edit: the same without ",".
TKeyResult IntegerSpinKeyFilter(const TKeyEdit& edit, char key);

}  // namespace sorvel
