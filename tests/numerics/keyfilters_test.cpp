#include "numerics/keyfilters.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace sorvel {
namespace {

using Filter = std::function<TKeyResult(const TKeyEdit&, char)>;

// A single-line edit box driven by a filter the way a window drives it: a refused key
// leaves the box alone (and beeps); otherwise the replacement is set first, then the
// character replaces the selection (backspace deletes the selection or the character
// before the caret; copy, paste and cut leave the text here).
struct Box {
  Filter filter;
  TKeyEdit edit;
  int beeps = 0;

  Box& Type(const std::string& keys) {
    for (char key : keys) Press(key);
    return *this;
  }
  Box& Press(char key) {
    const TKeyResult result = filter(edit, key);
    if (!result.Accepted) {
      ++beeps;
      return *this;
    }
    if (result.Replace) edit = *result.Replace;
    std::string& text = edit.Text;
    if (key == KeyBackspace) {
      if (edit.SelLength > 0) {
        text.erase(edit.SelStart, edit.SelLength);
      } else if (edit.SelStart > 0) {
        text.erase(--edit.SelStart, 1);
      }
    } else if (key == KeyCopy || key == KeyPaste || key == KeyCut) {
      return *this;
    } else {
      text.replace(edit.SelStart, edit.SelLength, 1, key);
      ++edit.SelStart;
    }
    edit.SelLength = 0;
    return *this;
  }
  Box& Caret(int position, int length = 0) {
    edit.SelStart = position;
    edit.SelLength = length;
    return *this;
  }
};

Box Real(const std::string& text = "") { return {RealKeyFilter, {text, int(text.size()), 0}}; }
Box PosReal(const std::string& text = "") {
  return {PosRealKeyFilter, {text, int(text.size()), 0}};
}
Box Probability(const std::string& text = "") {
  return {ProbabilityKeyFilter, {text, int(text.size()), 0}};
}
Box Combo(const std::string& text = "") {
  return {PosRealComboFilter, {text, int(text.size()), 0}};
}

// Keys typed into a box that starts with `start` and the caret at `caret`: the text
// they leave and the number of beeps.
struct TTyping {
  const char* start;
  int caret;
  const char* keys;
  const char* text;
  int beeps;
};

void ExpectTyping(Box (*make)(const std::string&), std::initializer_list<TTyping> cases) {
  for (const auto& c : cases) {
    Box box = make(c.start).Caret(c.caret);
    box.Type(c.keys);
    EXPECT_EQ(box.edit.Text, c.text) << c.start << " @" << c.caret << " + " << c.keys;
    EXPECT_EQ(box.beeps, c.beeps) << c.start << " @" << c.caret << " + " << c.keys;
  }
}

TEST(RealKeyFilter, PointIntoAnEmptyBoxShowsALeadingZero) {
  const TKeyResult result = RealKeyFilter({"", 0, 0}, '.');
  EXPECT_TRUE(result.Accepted);
  ASSERT_TRUE(result.Replace.has_value());
  EXPECT_EQ(result.Replace->Text, "0 ");
  EXPECT_EQ(result.Replace->SelStart, 1);
  EXPECT_EQ(result.Replace->SelLength, 1);

  const TKeyResult minus = RealKeyFilter({"-", 1, 0}, '.');
  EXPECT_TRUE(minus.Accepted);
  ASSERT_TRUE(minus.Replace.has_value());
  EXPECT_EQ(minus.Replace->Text, "-0 ");
  EXPECT_EQ(minus.Replace->SelStart, 2);
  EXPECT_EQ(minus.Replace->SelLength, 1);

  EXPECT_EQ(Real().Type(".5").edit.Text, "0.5");
  EXPECT_EQ(Real().Type("-.25").edit.Text, "-0.25");
  EXPECT_EQ(Real("17").Caret(0, 2).Type(".5").edit.Text, "0.5");  // all selected
  EXPECT_FALSE(RealKeyFilter({"1", 1, 0}, '.').Replace.has_value());
}

TEST(RealKeyFilter, TypingSequences) {
  ExpectTyping(Real, {
                         {"", 0, "-12.5", "-12.5", 0},
                         {"", 0, "1-", "1", 1},      // "-" after a digit
                         {"5", 0, "-", "-5", 0},     // caret at the start
                         {"-5", 0, "-", "-5", 1},    // only one leading "-"
                         {"", 0, "1.5.", "1.5", 1},  // a second point
                         {"", 0, "1,234.5", "1,234.5", 0},
                         {"", 0, "1E-5", "1E-5", 0},  // a negative exponent
                         {"", 0, "2e+3", "2e3", 1},   // "+" is not in the set
                         {"", 0, "1a2", "12", 1},
                         {"", 0, "12\b3", "13", 0},
                         {"12", 2, "\r", "12", 1},  // other control characters are refused
                         {"12", 2, "\x03\x16\x18", "12", 0},
                     });
}

TEST(RealKeyFilter, PointRuleLooksOutsideTheSelection) {
  // the selected point is replaced, so another may be typed
  EXPECT_TRUE(RealKeyFilter({"1.5", 1, 1}, '.').Accepted);
  EXPECT_FALSE(RealKeyFilter({"1.5", 2, 1}, '.').Accepted);
  EXPECT_EQ(Real("1.5").Caret(1, 2).Type(".7").edit.Text, "1.7");
}

TEST(PosRealKeyFilter, NoLeadingMinus) {
  Box box = PosReal();
  box.Type("-.5");
  EXPECT_EQ(box.edit.Text, "0.5");
  EXPECT_EQ(box.beeps, 1);
  EXPECT_EQ(PosReal().Type("2.5e-3").edit.Text, "2.5e-3");
  EXPECT_FALSE(PosRealKeyFilter({"2", 0, 0}, '-').Accepted);
  EXPECT_FALSE(PosRealKeyFilter({"2.5", 3, 0}, '.').Accepted);
  EXPECT_TRUE(PosRealKeyFilter({"2", 1, 0}, ',').Accepted);
}

TEST(ProbabilityKeyFilter, ShapeZeroPointDigits) {
  ExpectTyping(Probability, {
                                {"", 0, "5", "", 1},  // no leading digit other than 0
                                {"", 0, "0.5", "0.5", 0},
                                {"", 0, ".5", "0.5", 0},     // leading 0 supplied
                                {"", 0, "0.05", "0.05", 0},  // 0 after the point
                                {"", 0, "00.5", "0.5", 1},   // a second 0 before the point
                                {"", 0, "0.5.", "0.5", 1},   // a second point
                                {"", 0, "0,5", "0", 2},  // no commas, and no digit before the point
                                {"", 0, "0.e", "0.", 1},
                                {"0.5", 3, "\b", "0.", 0},   // backspace behind the point
                                {"0.5", 2, "\b", "0.5", 1},  // would remove the point
                                {"0", 1, "\b", "0", 1},      // no point yet: backspace refused too
                                {"0.5", 1, "0", "0.5", 1},   // 0 in front of the point
                                {"0.5", 1, "7", "0.5", 1},   // digits before position 2
                                {"0.5", 2, "9", "0.95", 0},
                                {"0.5", 3, "\x03", "0.5", 0},
                            });
}

TEST(ProbabilityKeyFilter, SelectionIsLeftOut) {
  // "0.5" wholly selected: what remains is empty, so only 0 or a point may start again
  EXPECT_FALSE(ProbabilityKeyFilter({"0.5", 0, 3}, '5').Accepted);
  EXPECT_EQ(Probability("0.5").Caret(0, 3).Type(".25").edit.Text, "0.25");
  // the point selected: a new point may replace it
  EXPECT_TRUE(ProbabilityKeyFilter({"0.5", 1, 1}, '.').Accepted);
}

TEST(PosRealComboFilter, DigitsAndOnePoint) {
  Box box = Combo();
  box.Type(".5.-e,1");
  EXPECT_EQ(box.edit.Text, "0.51");
  EXPECT_EQ(box.beeps, 4);
  EXPECT_TRUE(PosRealComboFilter({"12", 2, 0}, KeyBackspace).Accepted);
}

TEST(IntegerKeyFilter, EditAndSpinEdit) {
  const TKeyEdit box{"12", 2, 0};
  for (char key : std::string("0123456789\x03\x16\x18\b")) {
    EXPECT_TRUE(IntegerKeyFilter(box, key).Accepted) << int(key);
    EXPECT_TRUE(IntegerSpinKeyFilter(box, key).Accepted) << int(key);
  }
  EXPECT_TRUE(IntegerKeyFilter(box, ',').Accepted);
  EXPECT_FALSE(IntegerSpinKeyFilter(box, ',').Accepted);
  for (char key : std::string("-.eE a\r")) {
    EXPECT_FALSE(IntegerKeyFilter(box, key).Accepted) << int(key);
    EXPECT_FALSE(IntegerSpinKeyFilter(box, key).Accepted) << int(key);
  }
  Box edit{IntegerKeyFilter, {}};
  edit.Type("1,2a3-");
  EXPECT_EQ(edit.edit.Text, "1,23");
  EXPECT_EQ(edit.beeps, 2);
  Box spin{IntegerSpinKeyFilter, {}};
  spin.Type("1,2a3-");
  EXPECT_EQ(spin.edit.Text, "123");
  EXPECT_EQ(spin.beeps, 3);
}

}  // namespace
}  // namespace sorvel
