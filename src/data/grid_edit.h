// The data editor's block operations on the data set's grids: copy, clear, paste with
// shape matching, find and replace, transpose, case numbers, spreadsheet-style jumps, and
// the status texts of the active rules. Kept here, free of any window, so that they can be
// tested and reused by the command line.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_list.h"

namespace sorvel {

// A block of grid cells, inclusive. Column 0 / row 0 are the fixed column and row.
struct TGridRect {
  int Left = 1, Top = 1, Right = 1, Bottom = 1;
  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
  bool IsCell() const { return Left == Right && Top == Bottom; }
  bool operator==(const TGridRect&) const = default;
};

inline constexpr const char* NoClipboardTextText = "There is no text on the Clipboard";
inline constexpr const char* MaxColumnsExceededText = "Maximum Number of Columns Exceeded.";
inline constexpr const char* UseFirstRowAsNamesText =
    "Want to use text from first row as Variable Names?";

// The cells of `rect`: one line per row, cells joined by tabs, lines joined by CR LF.
std::string GridBlockText(const TTextGrid& grid, const TGridRect& rect);
// The grid's cells as tab-separated text: the selection when it spans more than one cell,
// otherwise every cell including the fixed ones.
std::string GridSaveText(const TTextGrid& grid, const TGridRect& selection);

// The rows a clear or paste wrote (the changed-rows range); First > Last when none.
struct TChangedRows {
  int First = 1, Last = 0;
  bool NamesSet = false;
};

// Empties the cells of `rect` on the data page (data rows flagged modified) or on the
// description page (rows 1..4). Cells already empty are left alone.
TChangedRows ClearDataBlock(TDataList& list, const TGridRect& rect);
void ClearDescBlock(TDataList& list, const TGridRect& rect);

struct TPasteResult {
  enum TStatus { Ok, NoText, TooManyColumns } Status = Ok;
  TChangedRows Rows;
  bool ColumnsChanged = false;  // columns added or names pasted
  TGridRect Written;            // the cells written (the editor selects them)
};

// Paste into the data grid with `selection` as the target (its top-left is the current
// cell). `askNames` is asked "Want to use text from first row as Variable Names?" when the
// first line looks like names. Shapes: when the clipboard block and the selection have
// the same shape (cell, row, column, block), or the selection is one cell, or the
// clipboard holds a block, the block is written at the selection's top-left; otherwise a
// single value fills every selected cell, one row is written into every selected row and
// one column down every selected column. Nothing is written when the block would pass
// column 512.
TPasteResult PasteIntoData(TDataList& list, std::string_view text, const TGridRect& selection,
                           const std::function<bool()>& askNames);
// Paste into the description grid (rows 1..4): every line split at tabs, the same shape
// rules, the grid keeps its five rows.
TPasteResult PasteIntoDesc(TDataList& list, std::string_view text, const TGridRect& selection);

// Find and replace. Relations: RelNone or RelEqual .. RelLessEqual.
struct TFindSpec {
  int Relation1 = RelEqual, Relation2 = RelNone;
  std::string Value1, Value2;
  // Text comparison when either value holds a character outside the numeric set.
  bool TextMode() const;
  bool CanFind() const { return Relation1 != RelNone || Relation2 != RelNone; }
  bool Matches(std::string_view cell) const;
};

// The first matching data cell after (c, r) — or at it when `inclusive` — searching down
// each column, then the next column, inside `bounds` (the data area or a selection), without
// wrapping. False when there is none.
bool FindCell(const TDataList& list, const TFindSpec& spec, const TGridRect& bounds, int& c, int& r,
              bool inclusive);
// Writes `replacement` into every match from (c, r) on inside `bounds`; the last replaced
// cell is left in (c, r). Returns the number of cells replaced; replaced rows are flagged.
int ReplaceAll(TDataList& list, const TFindSpec& spec, const TGridRect& bounds, int& c, int& r,
               std::string_view replacement);

// Swaps rows and columns of the data: variables become cases. Names and descriptions
// become the defaults. False (nothing changed) when the data has more than 512 cases.
bool TransposeData(TDataList& list);

// Inserts a column "Case" before column 1 holding 1, 2, ... for every row. False when the
// data set already has 512 columns.
bool InsertCaseNumbers(TDataList& list);

// Ctrl+arrow: from (c, r) one step (dc, dr) at a time. When the cell and its neighbour are
// non-empty, the last non-empty cell of that run; otherwise the next non-empty cell, or the
// grid's edge. Columns and rows below `minC` / `minR` are not entered.
void GridJump(const TTextGrid& grid, int& c, int& r, int dc, int dr, int minC = 1, int minR = 1);

// The data-modification summary printed under report headings. Items joined with "\r",
// "\r\t" and two blanks; false (all empty) when no rule is active.
struct TFileModStrings {
  std::string Text, Tab, Line;  // FileModString, FileModStringTab, FileModStringLine
};
bool BuildFileModString(TFileModStrings& out);

}  // namespace sorvel
