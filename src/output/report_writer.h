// The report writer: appends styled lines to the current report. Forms make their
// report current (SetReport) when activated and before each computation.
#pragma once

#include <cstdint>
#include <string>

#include "output/report.h"

namespace sorvel {

inline constexpr std::uint32_t RedColor = 0xFF0000;

// The writer's shared state: the current report and the current font, which is
// applied to each piece of text as it is appended.
struct TReportWriterState {
  TReport* Report = nullptr;
  TTextStyle Font;
};
TReportWriterState& ReportWriter();
// Back to no current report and the default font (for tests).
void ResetReportWriter();

void SetReport(TReport& report);  // current report; its base font becomes the current font

// Makes `report` current for the scope's life and then puts the writer back as it was,
// so that an analysis writing its report leaves no current report pointing into it.
class TReportScope {
 public:
  explicit TReportScope(TReport& report) : saved_(ReportWriter()) { SetReport(report); }
  ~TReportScope() { ReportWriter() = saved_; }
  TReportScope(const TReportScope&) = delete;
  TReportScope& operator=(const TReportScope&) = delete;

 private:
  TReportWriterState saved_;
};
TReport* CurrentReport();  // nullptr before the first SetReport
void ClearReport();
void WriteLine(const std::string& text);
void WriteText(const std::string& text);
void WriteBlankLine();
void TitleStyle(int size);    // Arial, bold, underlined
void HeadingStyle(int size);  // Arial, bold
void BodyStyle(int size);     // Courier New, regular
void UnderlineStyle();
void RegularStyle();
void FontSize(int size);
void WritePageMark();  // "-Page-" in Arial, red, regular, 8 points
void WriteRedLine(const std::string& text);
// Every font size n of the current report becomes round(factor * n) + delta points
// (at least 1): forms call it with (new zoom / old zoom, 0) and with (1, +1) or (1, -1).
void ScaleReportFonts(double factor, int delta);

}  // namespace sorvel
