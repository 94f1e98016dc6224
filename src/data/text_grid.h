// A grid of cell texts: the data grid and the description grid of the data set.
//
// Row 0 and column 0 are the fixed header row and column (names, case numbers, labels).
// Rows read from a file are stored compactly: their texts sit in one character buffer with a
// 2-byte end offset per cell, so a million-row file costs little more than its own bytes.
// A row whose cells are edited (or that is too long for 2-byte offsets) moves to its own
// list of strings. Columns are addressed through a column map, so inserting or deleting a
// column never rewrites the stored rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorvel {

class TTextGrid {
 public:
  explicit TTextGrid(int cols = 2, int rows = 2);

  int ColCount() const { return static_cast<int>(ColMap_.size()); }
  int RowCount() const { return static_cast<int>(Rows_.size()); }
  void SetColCount(int cols);  // new columns are empty; columns past the end are dropped
  void SetRowCount(int rows);  // new rows are empty; rows past the end are dropped
  void SetSize(int cols, int rows);

  // When set, column 0 of rows 1.. reads as the row number ("1", "2", ...) and is not
  // stored (the data grid's case numbers).
  void SetNumberedRows(bool numbered) { NumberedRows_ = numbered; }
  bool NumberedRows() const { return NumberedRows_; }

  // The text of a cell; "" outside the grid. The view stays valid until the grid changes
  // (for a numbered-row case number: until the next View of column 0).
  std::string_view View(int c, int r) const;
  std::string Cell(int c, int r) const { return std::string(View(c, r)); }
  bool IsEmpty(int c, int r) const { return View(c, r).empty(); }
  // Sets a cell's text; ignored outside the grid.
  void SetCell(int c, int r, std::string_view text);

  // Inserts n empty rows / columns before `at`, or deletes n starting at `at`
  // (clamped to the grid).
  void InsertRows(int at, int n);
  void DeleteRows(int at, int n);
  void InsertCols(int at, int n);
  void DeleteCols(int at, int n);
  // Empties every cell, keeping the size.
  void ClearCells();

  // Bulk loading: appends one row whose cells are `cells` placed from column `firstCol`
  // on (columns before it empty). The grid widens when the row is wider than it.
  void AppendRow(std::span<const std::string_view> cells, int firstCol = 0);
  // Capacity hints for bulk loading (bytes of text, rows, cells); only reserve.
  void Reserve(std::size_t textBytes, std::size_t rows, std::size_t cells);

  // Approximate heap bytes held (for the memory benchmarks).
  std::size_t MemoryBytes() const;

 private:
  struct TRow {
    std::uint64_t TextStart = 0;  // stored row: first byte in Text_
    std::uint32_t CellStart = 0;  // stored row: first end offset in Ends_; edited: index in Edited_
    std::uint16_t CellCount = 0;  // stored row: number of physical cells held
    std::uint16_t IsEdited = 0;
  };
  int Physical(int c) const { return c >= 0 && c < ColCount() ? ColMap_[c] : -1; }
  int NewPhysical();
  std::vector<std::string>& EditRow(int r);

  std::vector<char> Text_;
  std::vector<std::uint16_t> Ends_;  // cell end offsets relative to the row's TextStart
  std::vector<TRow> Rows_;
  std::vector<std::vector<std::string>> Edited_;  // by physical column
  std::vector<int> ColMap_;                       // logical column -> physical column, -1 never written
  int NextPhysical_ = 0;
  bool IdentityMap_ = true;  // ColMap_[c] == c for every c (bulk loading stores rows compactly)
  bool NumberedRows_ = false;
  mutable std::string NumberCache_;
};

}  // namespace sorvel
