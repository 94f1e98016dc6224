// The text grid's storage: rows stored compactly, rows edited one cell at a time, and
// block edits that store the whole grid compactly again.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "data/text_grid.h"

using namespace sorvel;

namespace {

using TCells = std::vector<std::vector<std::string>>;  // [row][col]

// A numbered grid (column 0 = case numbers) holding `rows` rows of `cols` columns, loaded
// the way the file reader loads it; row 0 holds names.
TTextGrid Loaded(int cols, int rows, TCells& model) {
  TTextGrid g(cols + 1, 1);
  g.SetNumberedRows(true);
  model.assign(rows + 1, std::vector<std::string>(cols + 1));
  for (int c = 1; c <= cols; ++c) {
    model[0][c] = "V" + std::to_string(c);
    g.SetCell(c, 0, model[0][c]);
  }
  std::vector<std::string_view> views(cols);
  for (int r = 1; r <= rows; ++r) {
    for (int c = 1; c <= cols; ++c)
      model[r][c] = (r + c) % 7 == 0 ? "" : std::to_string(r * 10 + c);
    for (int c = 1; c <= cols; ++c) views[c - 1] = model[r][c];
    g.AppendRow(views, 1);
  }
  return g;
}

void ExpectCells(const TTextGrid& g, const TCells& model) {
  ASSERT_EQ(g.RowCount(), static_cast<int>(model.size()));
  ASSERT_EQ(g.ColCount(), static_cast<int>(model[0].size()));
  for (int r = 0; r < g.RowCount(); ++r) {
    if (r > 0) {
      EXPECT_EQ(g.View(0, r), std::to_string(r));
    }
    for (int c = 1; c < g.ColCount(); ++c) {
      ASSERT_EQ(g.View(c, r), model[r][c]) << "cell " << c << "," << r;
    }
  }
}

struct TStorageCase {
  const char* Name;
  // Brings the grid (and the model) into some storage state before the block edit.
  std::function<void(TTextGrid&, TCells&)> Before;
};

}  // namespace

TEST(TextGrid, BlockEditsKeepEveryOtherCell) {
  const std::string wide(300, 'w'), huge(70000, 'h');
  const std::vector<TStorageCase> cases = {
      {"rows as loaded", [](TTextGrid&, TCells&) {}},
      {"some rows edited cell by cell",
       [](TTextGrid& g, TCells& m) {
         for (int r : {1, 7, 40}) {
           g.SetCell(2, r, "e" + std::to_string(r));
           m[r][2] = "e" + std::to_string(r);
         }
       }},
      {"a column inserted and one deleted (columns mapped)",
       [](TTextGrid& g, TCells& m) {
         g.InsertCols(2, 1);
         g.DeleteCols(4, 1);
         for (auto& row : m) {
           row.insert(row.begin() + 2, "");
           row.erase(row.begin() + 4);
         }
         g.SetCell(2, 3, "new");
         m[3][2] = "new";
       }},
      {"rows of more than 255 bytes and of more than 65535",
       [&](TTextGrid& g, TCells& m) {
         g.SetCell(1, 5, wide);
         m[5][1] = wide;
         g.SetCell(3, 6, huge);
         m[6][3] = huge;
       }},
      {"rows inserted and deleted",
       [](TTextGrid& g, TCells& m) {
         g.InsertRows(3, 2);
         g.DeleteRows(10, 1);
         m.insert(m.begin() + 3, 2, std::vector<std::string>(m[0].size()));
         m.erase(m.begin() + 10);
       }},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.Name);
    TCells m;
    TTextGrid g = Loaded(4, 60, m);
    tc.Before(g, m);
    ExpectCells(g, m);
    // Clear column 2 of rows 2..50, write column 4 of rows 10..20 and the names row.
    g.EditRows(0, 50, [&](int r, std::span<std::string_view> cells) {
      if (r == 0) cells[1] = "Renamed";
      if (r >= 2) cells[2] = {};
      if (r >= 10 && r <= 20) cells[4] = "p";
    });
    m[0][1] = "Renamed";
    for (int r = 2; r <= 50; ++r) m[r][2].clear();
    for (int r = 10; r <= 20; ++r) m[r][4] = "p";
    ExpectCells(g, m);
    // The grid goes on working as before: single edits, new columns and rows.
    g.SetCell(3, 1, "x");
    m[1][3] = "x";
    g.SetColCount(7);
    g.SetCell(6, 2, "y");
    for (auto& row : m) row.resize(7);
    m[2][6] = "y";
    ExpectCells(g, m);
  }
}

TEST(TextGrid, ClearingAColumnOfManyRowsKeepsTheStorageCompact) {
  TCells m;
  TTextGrid g = Loaded(10, 20000, m);
  const std::size_t loaded = g.MemoryBytes();
  g.EditRows(1, 20000, [](int, std::span<std::string_view> cells) { cells[3] = {}; });
  EXPECT_LE(g.MemoryBytes(), loaded);
  // Cell by cell, each row would hold its own strings: several times the loaded size.
  TTextGrid h = Loaded(10, 20000, m);
  for (int r = 1; r <= 20000; ++r) h.SetCell(3, r, "");
  EXPECT_GT(h.MemoryBytes(), 2 * loaded);
  // A later block edit stores the rows edited one by one compactly again.
  h.EditRows(1, 0, [](int, std::span<std::string_view>) {});
  EXPECT_LE(h.MemoryBytes(), loaded);
  for (int r = 1; r <= 20000; r += 997) EXPECT_EQ(h.View(3, r), "");
  EXPECT_EQ(h.View(4, 20000), m[20000][4]);
}

// Row copies share a stored row's texts; an edit of the copy or of its source must reach
// that row alone, and an edited source gives its copy strings of its own.
TEST(TextGrid, RowCopiesAreIndependentOfTheirSources) {
  TCells model;
  TTextGrid g = Loaded(3, 4, model);
  g.SetCell(2, 3, "edited");  // row 3 held in strings from now on
  model[3][2] = "edited";
  const std::vector<std::int32_t> sources = {1, 1, 3, 4};
  g.AppendRowCopies(sources);
  for (std::int32_t s : sources) model.push_back(model[std::size_t(s)]);
  ExpectCells(g, model);
  // Edits after the copy: each touches its own row.
  g.SetCell(1, 5, "copy");  // a copy of stored row 1
  model[5][1] = "copy";
  g.SetCell(3, 1, "source");  // the source of rows 5 and 6
  model[1][3] = "source";
  g.SetCell(2, 7, "copy of edited");
  model[7][2] = "copy of edited";
  ExpectCells(g, model);
  // A block edit stores every row compactly again, copies included.
  g.EditRows(1, g.RowCount() - 1, [](int, std::span<std::string_view>) {});
  ExpectCells(g, model);
}
