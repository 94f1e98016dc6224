// Printing a text grid (row 0 headings, column 0 row labels) as monospaced tables through
// the text printer: every column as wide as its longest text, a grid too wide for the page
// split into blocks of columns and one too long into pages, the row labels and the
// heading row repeated in every block.
#pragma once

#include <string>
#include <vector>

#include "data/text_grid.h"
#include "output/text_printer.h"

namespace sorvel {

// The fonts grid printing uses.
TPrintFont GridPrintFont();    // Courier New 9
TPrintFont GridHeadingFont();  // Arial 9 bold

// Columns Left..Right and rows Top..Bottom of a grid (1-based body cells).
struct TGridRange {
  int Left = 1, Top = 1, Right = 0, Bottom = 0;
  bool operator==(const TGridRange&) const = default;
};

// Columns 1 to last and rows 1 to last.
TGridRange WholeGridBody(const TTextGrid& grid);

// The printed width of every grid column: column 0 and the range's columns get the longest
// of their heading cell and the range's cells, plus `extra`; the others 0. One entry per
// grid column, however many the grid has.
std::vector<int> GridColumnWidths(const TTextGrid& grid, const TGridRange& range, int extra);

// The last column of a block that starts at `first`: columns are added while the running
// width (from widths[0]) is below `capacity`; the last one that kept it at or below the
// capacity ends the block, and `first` is always in it.
int GridBlockEnd(const std::vector<int>& widths, int first, int last, int capacity);

// PrintGrid's pages on a device whose job the caller begins and ends: margins, header
// (title and date) and footer (page number) for the orientation, then the range in blocks,
// each block on a page of its own under the heading.
void PrintGridPages(TMPrinter& mp, TPageDevice& device, const TTextGrid& grid,
                    const TGridRange& range, const std::string& title, const std::string& heading,
                    bool landscape);

// The whole grid's body into a running job, between lines the caller prints itself: the
// heading once, blocks of columns separated by an empty line, a new page first when the
// table would not fit on what is left of this one. Ends on a fresh line. The cells are in
// `font` (a fixed-pitch one: columns are counted in characters).
void PrintGridInJob(TMPrinter& mp, const TTextGrid& grid, const std::string& heading,
                    const TPrintFont& font = GridPrintFont());

// A page device of characters: one pixel per character across and per line down, no
// page breaks that matter (a page as large as asked). What is drawn is kept as lines of
// text, so that a command-line report lays a grid out as it is printed.
class TTextPageDevice : public TPageDevice {
 public:
  explicit TTextPageDevice(int width = 1 << 20, int height = 1 << 28)
      : width_(width), height_(height) {}
  int DpiX() const override { return 1000; }
  int DpiY() const override { return 1000; }
  int OffsetX() const override { return 0; }
  int OffsetY() const override { return 0; }
  int PageWidth() const override { return width_; }
  int PageHeight() const override { return height_; }
  void SetFont(const TPrintFont& font) override { font_ = font; }
  TPrintFont Font() const override { return font_; }
  int TextWidth(const std::string& text) override { return static_cast<int>(text.size()); }
  int CharHeight() override { return 1; }
  int AverageCharWidth() override { return 1; }
  void DrawText(int x, int y, const std::string& text) override;
  void NewPage() override { pageBase_ = static_cast<int>(lines_.size()); }
  std::string DateText() const override { return {}; }

  // The lines drawn, trailing blanks removed; pages follow each other.
  std::vector<std::string> Lines() const;

 private:
  int width_, height_;
  int pageBase_ = 0;
  TPrintFont font_;
  std::vector<std::string> lines_;
};

// The grid as PrintGridInJob lays it out on a page of unlimited width, starting with its
// heading (the empty lines a job puts before it left out).
std::vector<std::string> GridInJobLines(const TTextGrid& grid, const std::string& heading);
// The whole grid as PrintGrid lays it out (widths + 3, " | " after the row labels) on one
// page of unlimited width without header and footer: the heading, an empty line, the table.
std::vector<std::string> GridPageLines(const TTextGrid& grid, const std::string& heading);

}  // namespace sorvel
