// The Report document: an ordered list of lines, each a list of styled runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorvel {

struct TTextStyle {
  std::string Font = "Courier New";
  int Size = 8;  // points
  bool Bold = false;
  bool Underline = false;
  std::uint32_t Color = 0x000000;  // 0xRRGGBB
  bool operator==(const TTextStyle&) const = default;
};

struct TRun {
  std::string Text;
  TTextStyle Style;
  bool operator==(const TRun&) const = default;
};

inline constexpr const char* PageMarkText = "-Page-";

struct TReportLine {
  std::vector<TRun> Runs;
  std::string Text() const {
    std::string s;
    for (const auto& r : Runs) s += r.Text;
    return s;
  }
  bool IsPageMark() const { return Text() == PageMarkText; }
  bool operator==(const TReportLine&) const = default;
};

struct TReport {
  std::vector<TReportLine> Lines;
  // The last line has had text written without its line break yet (WriteText).
  bool LastLineOpen = false;
  // The control's own font, which SetReport makes the writer's current font.
  TTextStyle BaseFont;
  bool Empty() const { return Lines.empty(); }
};

}  // namespace sorvel
