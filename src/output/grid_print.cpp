#include "output/grid_print.h"

#include <algorithm>

#include "numerics/format.h"

namespace sorvel {

namespace {

int Len(const TTextGrid& grid, int c, int r) { return static_cast<int>(grid.View(c, r).size()); }

// How a block's lines look: PrintGrid separates the row labels with " | ", a job with " |".
struct TGridStyle {
  int Extra = 3;
  std::string Separator = " | ";
};

std::string LabelPart(const TTextGrid& grid, int r, const std::vector<int>& widths,
                      const TGridStyle& style) {
  return PadLeft(grid.Cell(0, r), widths[0] - style.Extra) + style.Separator;
}

std::string RowText(const TTextGrid& grid, int r, int firstCol, int lastCol,
                    const std::vector<int>& widths, const TGridStyle& style) {
  std::string line = LabelPart(grid, r, widths, style);
  for (int c = firstCol; c <= lastCol; ++c) line += PadLeft(grid.Cell(c, r), widths[c]);
  return line;
}

struct TBlock {
  int FirstRow, LastRow, FirstCol, LastCol;
};

// The blocks in printing order: across the columns for a page of rows, then the next rows.
std::vector<TBlock> Blocks(const std::vector<int>& widths, const TGridRange& range,
                           int linesPerBlock, int capacity) {
  std::vector<TBlock> blocks;
  if (range.Right < range.Left || range.Bottom < range.Top) return blocks;
  const int rows = std::max(1, linesPerBlock);
  for (int r = range.Top; r <= range.Bottom; r += rows) {
    const int lastRow = std::min(range.Bottom, r + rows - 1);
    for (int c = range.Left; c <= range.Right;) {
      const int end = GridBlockEnd(widths, c, range.Right, capacity);
      blocks.push_back({r, lastRow, c, end});
      c = end + 1;
    }
  }
  return blocks;
}

void PrintBlockTable(TMPrinter& mp, const TTextGrid& grid, const TBlock& b,
                     const std::vector<int>& widths, const TGridStyle& style,
                     const TPrintFont& font = GridPrintFont()) {
  TPrintFont underlined = font;
  underlined.Underline = true;
  mp.SetFont(underlined);
  mp.PrintLine(RowText(grid, 0, b.FirstCol, b.LastCol, widths, style));
  mp.SetFont(font);
  for (int r = b.FirstRow; r <= b.LastRow; ++r) {
    mp.PrintString(RowText(grid, r, b.FirstCol, b.LastCol, widths, style));
    if (r < b.LastRow) mp.PrintString("\r");
  }
}

void PrintHeading(TMPrinter& mp, const std::string& heading) {
  mp.SetFont(GridHeadingFont());
  mp.PrintLine(heading);
  mp.PrintLine("");
}

}  // namespace

TPrintFont GridPrintFont() { return TPrintFont{"Courier New", 9, false, false, 0x000000}; }
TPrintFont GridHeadingFont() { return TPrintFont{"Arial", 9, true, false, 0x000000}; }

TGridRange WholeGridBody(const TTextGrid& grid) {
  return {1, 1, grid.ColCount() - 1, grid.RowCount() - 1};
}

std::vector<int> GridColumnWidths(const TTextGrid& grid, const TGridRange& range, int extra) {
  std::vector<int> widths(std::max(1, grid.ColCount()), 0);
  const int left = std::max(1, range.Left), right = std::min(grid.ColCount() - 1, range.Right);
  const int top = std::max(1, range.Top), bottom = std::min(grid.RowCount() - 1, range.Bottom);
  auto raise = [&](int c, int r) { widths[c] = std::max(widths[c], Len(grid, c, r) + extra); };
  raise(0, 0);
  for (int c = left; c <= right; ++c) raise(c, 0);
  for (int r = top; r <= bottom; ++r) {
    raise(0, r);
    for (int c = left; c <= right; ++c) raise(c, r);
  }
  return widths;
}

int GridBlockEnd(const std::vector<int>& widths, int first, int last, int capacity) {
  long long running = widths.empty() ? 0 : widths[0];
  int end = first;
  for (int c = first; c <= last && running < capacity; ++c) {
    running += widths[c];
    if (running <= capacity) end = c;
  }
  return end;
}

void PrintGridPages(TMPrinter& mp, TPageDevice& device, const TTextGrid& grid,
                    const TGridRange& range, const std::string& title, const std::string& heading,
                    bool landscape) {
  mp.InitMPrinter(device);
  const std::vector<int> widths = GridColumnWidths(grid, range, 3);
  mp.SetFont(GridPrintFont());
  if (landscape)
    mp.SetMargins(750, 750, 1000, 500);
  else
    mp.SetMargins(750, 500, 600, 500);
  mp.SetHeaderFooter(title, "", "&D", landscape ? 650 : 250, true, 1, GridPrintFont());
  mp.SetHeaderFooter("", "", "Page (&P)", 250, false, 2, GridPrintFont());
  const int lines = mp.LinesPerPage() - 3;
  const int capacity = mp.CharactersPerLine() - 1;
  const TGridStyle style;
  bool first = true;
  for (const TBlock& b : Blocks(widths, range, lines, capacity)) {
    if (!first) mp.PrintString("\f");
    first = false;
    PrintHeading(mp, heading);
    PrintBlockTable(mp, grid, b, widths, style);
  }
}

void PrintGridInJob(TMPrinter& mp, const TTextGrid& grid, const std::string& heading,
                    const TPrintFont& font) {
  const TGridRange range = WholeGridBody(grid);
  const std::vector<int> widths = GridColumnWidths(grid, range, 2);
  mp.SetFont(font);
  const int lines = mp.LinesPerPage() - 3;
  const int capacity = mp.CharactersPerLine() - 1;
  const TGridStyle style{2, " |"};
  bool first = true;
  for (const TBlock& b : Blocks(widths, range, lines, capacity)) {
    mp.SetFont(font);
    if (mp.LinesLeftOnPage() < grid.RowCount() + 5)
      mp.PrintString("\f\r");
    else if (first)
      mp.PrintString("\r\r\r");
    else
      mp.PrintString("\r\r");
    if (first) PrintHeading(mp, heading);
    first = false;
    PrintBlockTable(mp, grid, b, widths, style, font);
  }
  // The caller's next line must not run on after the last row.
  if (!first) mp.PrintString("\r");
}

void TTextPageDevice::DrawText(int x, int y, const std::string& text) {
  const std::size_t line = static_cast<std::size_t>(pageBase_ + y);
  if (lines_.size() <= line) lines_.resize(line + 1);
  std::string& s = lines_[line];
  const std::size_t at = static_cast<std::size_t>(std::max(0, x));
  if (s.size() < at + text.size()) s.resize(at + text.size(), ' ');
  s.replace(at, text.size(), text);
}

std::vector<std::string> TTextPageDevice::Lines() const {
  std::vector<std::string> out = lines_;
  for (std::string& s : out) s.erase(s.find_last_not_of(' ') + 1);
  return out;
}

std::vector<std::string> GridInJobLines(const TTextGrid& grid, const std::string& heading) {
  TTextPageDevice device;
  TMPrinter mp;
  mp.InitMPrinter(device);
  PrintGridInJob(mp, grid, heading);
  std::vector<std::string> lines = device.Lines();
  const auto start =
      std::find_if(lines.begin(), lines.end(), [](const std::string& s) { return !s.empty(); });
  lines.erase(lines.begin(), start);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> GridPageLines(const TTextGrid& grid, const std::string& heading) {
  TTextPageDevice device;
  TMPrinter mp;
  mp.InitMPrinter(device);
  const TGridRange range = WholeGridBody(grid);
  const std::vector<int> widths = GridColumnWidths(grid, range, 3);
  constexpr int Unlimited = 1 << 30;
  for (const TBlock& b : Blocks(widths, range, Unlimited, Unlimited)) {
    PrintHeading(mp, heading);
    PrintBlockTable(mp, grid, b, widths, TGridStyle());
  }
  std::vector<std::string> lines = device.Lines();
  const auto start =
      std::find_if(lines.begin(), lines.end(), [](const std::string& s) { return !s.empty(); });
  lines.erase(lines.begin(), start);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace sorvel
