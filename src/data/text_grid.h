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
#include <functional>
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
  // (for a numbered-row case number: until the next View of column 0, so only column 0
  // views are not safe to take from several threads at once).
  std::string_view View(int c, int r) const;
  std::string Cell(int c, int r) const { return std::string(View(c, r)); }
  // Views of cells first..last (1 <= first) of row r into out[0..last-first]; the fast way
  // through a whole row.
  void RowViews(int r, int first, int last, std::string_view* out) const;
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
  // The same from the cells' texts laid end to end in `text`, with the end offset of each
  // cell in `ends` (the file reader's fast way).
  void AppendRowRaw(std::string_view text, std::span<const std::uint32_t> ends, int firstCol = 0);
  // Appends a copy of row sources[k] (as the rows are now) for every k. A stored row's
  // copy shares its texts: stored texts never change in place (an edit moves the row to
  // its own strings), so a million copies cost a row record each.
  void AppendRowCopies(std::span<const std::int32_t> sources);
  // Block edits (clearing or pasting many rows): calls edit(r, cells) for every row r from
  // first to last with cells[c] = the text of column c (c = 0..ColCount-1); the callback
  // may point entries at other texts, which need to live only until its next call. The
  // whole grid is then stored compactly again in one pass, so a block of a million rows
  // costs no string per cell. Column 0 of numbered rows is not stored.
  void EditRows(int first, int last,
                const std::function<void(int r, std::span<std::string_view> cells)>& edit,
                std::size_t extraTextBytes = 0);
  // Capacity hints for bulk loading; only reserve. ReserveRows expects `rows` more rows
  // like the ones held so far.
  void ReserveText(std::size_t textBytes);
  void ReserveRows(std::size_t rows);

  // Approximate heap bytes held (for the memory benchmarks).
  std::size_t MemoryBytes() const;

 private:
  // 12 bytes per row. A stored row holds the cells of physical columns First..First+count-1
  // (First is 1 when column 0 was not stored); their end offsets relative to the row's
  // first text byte take 1 byte each when the row's text is under 256 bytes, else 2.
  struct TRow {
    std::uint32_t TextLo = 0;
    std::uint16_t TextHi = 0;
    std::uint16_t CountFlags = 0;
    std::uint32_t CellStart =
        0;  // stored: first byte of its ends in Ends_; edited: index in Edited_
  };
  static constexpr std::uint16_t CountMask = 0x0FFF, EditedFlag = 0x1000, WideFlag = 0x2000,
                                 SkipFirstFlag = 0x4000;
  static std::uint64_t TextStart(const TRow& r) {
    return r.TextLo | (std::uint64_t(r.TextHi) << 32);
  }
  std::uint32_t CellEnd(const TRow& r, int i) const;
  static std::uint32_t CellEnd(const std::vector<std::uint8_t>& ends, const TRow& r, int i);
  // A stored row of `count` cells (physical columns skipFirst.. on) whose texts start at
  // `textStart` and whose end offsets start at `cellStart`.
  static TRow StoredRow(std::uint64_t textStart, int count, bool wide, bool skipFirst,
                        std::uint32_t cellStart);
  // Whether a row of `count` cells and `textBytes` bytes fits the stored form, with
  // `endsHeld` offset bytes and `textHeld` text bytes already in the buffers.
  static bool FitsStored(int count, std::size_t textBytes, std::size_t endsHeld,
                         std::size_t textHeld);
  // Appends cells' end offsets to `ends` (2 bytes each when wide).
  static void PutEnds(std::vector<std::uint8_t>& ends, std::span<const std::string_view> cells,
                      bool wide);
  // Text bytes held by live cells (not counting texts of rows edited since).
  std::size_t LiveTextBytes() const;
  int Physical(int c) const { return c >= 0 && c < ColCount() ? ColMap_[c] : -1; }
  int NewPhysical();
  std::vector<std::string>& EditRow(int r);

  std::vector<char> Text_;
  std::vector<std::uint8_t> Ends_;
  std::vector<TRow> Rows_;
  std::vector<std::vector<std::string>> Edited_;  // by physical column
  std::vector<int> ColMap_;  // logical column -> physical column, -1 never written
  int NextPhysical_ = 0;
  bool IdentityMap_ = true;  // ColMap_[c] == c for every c (bulk loading stores rows compactly)
  bool NumberedRows_ = false;
  mutable std::string NumberCache_;
};

}  // namespace sorvel
