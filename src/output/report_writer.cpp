#include "output/report_writer.h"

#include <cmath>

namespace sorvel {

namespace {

TReportWriterState writerState;

// Writing with no current report is a programming error in a form; it is ignored
// rather than crashing the program.
TReport* Target() { return writerState.Report; }

void Append(TReport& report, const std::string& text, bool endLine) {
  if (!report.LastLineOpen) report.Lines.emplace_back();
  report.Lines.back().Runs.push_back({text, writerState.Font});
  report.LastLineOpen = !endLine;
}

}  // namespace

TReportWriterState& ReportWriter() { return writerState; }

void ResetReportWriter() { writerState = TReportWriterState{}; }

void SetReport(TReport& report) {
  writerState.Report = &report;
  writerState.Font = report.BaseFont;
}

TReport* CurrentReport() { return writerState.Report; }

void ClearReport() {
  if (TReport* r = Target()) {
    r->Lines.clear();
    r->LastLineOpen = false;
  }
}

void WriteLine(const std::string& text) {
  if (TReport* r = Target()) Append(*r, text, true);
}

void WriteText(const std::string& text) {
  if (TReport* r = Target()) Append(*r, text, false);
}

void WriteBlankLine() { WriteLine(""); }

void TitleStyle(int size) {
  writerState.Font.Font = "Arial";
  writerState.Font.Bold = true;
  writerState.Font.Underline = true;
  writerState.Font.Size = size;
}

void HeadingStyle(int size) {
  writerState.Font.Font = "Arial";
  writerState.Font.Bold = true;
  writerState.Font.Underline = false;
  writerState.Font.Size = size;
}

void BodyStyle(int size) {
  writerState.Font.Font = "Courier New";
  writerState.Font.Bold = false;
  writerState.Font.Underline = false;
  writerState.Font.Size = size;
}

void UnderlineStyle() { writerState.Font.Underline = true; }

void RegularStyle() {
  writerState.Font.Bold = false;
  writerState.Font.Underline = false;
}

void FontSize(int size) { writerState.Font.Size = size; }

void WritePageMark() {
  TReport* r = Target();
  if (!r) return;
  // A page mark is a line of its own, even after an unfinished WriteText.
  r->LastLineOpen = false;
  TTextStyle mark;
  mark.Font = "Arial";
  mark.Size = 8;
  mark.Color = RedColor;
  r->Lines.emplace_back();
  r->Lines.back().Runs.push_back({PageMarkText, mark});
}

void WriteRedLine(const std::string& text) {
  TReport* r = Target();
  if (!r) return;
  WriteLine(text);
  for (auto& run : r->Lines.back().Runs) {
    run.Style.Color = RedColor;
    run.Style.Bold = false;
    run.Style.Underline = false;
  }
}

void ScaleReportFonts(double factor, int delta) {
  TReport* r = Target();
  if (!r) return;
  for (auto& line : r->Lines)
    for (auto& run : line.Runs) {
      long size = std::lround(factor * run.Style.Size) + delta;
      run.Style.Size = size < 1 ? 1 : static_cast<int>(size);
    }
}

}  // namespace sorvel
