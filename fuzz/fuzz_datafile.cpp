// Any bytes as a data file: reading must neither crash nor hang, and what the writer makes
// of the data set must read back as the same cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/io/data_file.h"
#include "data/io/workbook.h"

namespace {

using namespace sorvel;

// The cases always; the names row and the descriptions when `names`.
bool SameCells(const TDataList& a, const TDataList& b, bool names) {
  if (a.DataGrid.ColCount() != b.DataGrid.ColCount() ||
      a.DataGrid.RowCount() != b.DataGrid.RowCount())
    return false;
  for (int r = names ? 0 : 1; r < a.DataGrid.RowCount(); ++r)
    for (int c = 1; c < a.DataGrid.ColCount(); ++c)
      if (a.DataGrid.View(c, r) != b.DataGrid.View(c, r)) return false;
  for (int r = names ? 0 : 1; r < 5; ++r)
    for (int c = 1; c < a.DescGrid.ColCount(); ++c)
      if (a.DescGrid.View(c, r) != b.DescGrid.View(c, r)) return false;
  return true;
}

// Whether the written file's first line carries the data set's column names. Names that
// no names line can carry (numbers such as "2019", number characters only, a single name
// with blanks) are saved as default names: a limit of the file format. The cases come
// back unchanged either way.
bool NamesCarried(const TDataList& list, std::string_view text) {
  if (!list.ModifiedColumnNames()) return true;
  std::string_view first = text.substr(0, text.find("\r\n"));
  if (!HasNonNumericChar(first)) return false;
  bool truncated = false;
  bool tab = first.find('\t') != std::string_view::npos;
  auto fields = SplitHeaderLine(first, tab, true, truncated);
  if (static_cast<int>(fields.size()) != list.MaxCol()) return false;
  for (int c = 1; c <= list.MaxCol(); ++c)
    if (fields[c - 1] != list.ColumnName(c)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  {
    // The same bytes as a workbook: a failure has a message, a success a sound data set.
    TDataList book;
    TFileResult w = ReadWorkbookBytes(bytes, book);
    if (w.Ok ? book.MaxCol() < 1 || book.MaxCol() > MaxColumns || book.Ncount < 0 : w.Error.empty())
      __builtin_trap();
  }
  TDataList list;
  TFileResult r = ReadDataBytes(bytes, list);
  // Text can fail to read (a quote left open, a line past the cap): then with a message.
  if (!r.Ok) {
    if (r.Error.empty()) __builtin_trap();
    return 0;
  }
  if (list.MaxCol() < 1 || list.MaxCol() > MaxColumns || list.Ncount < 1) __builtin_trap();

  // Exercise the loads over the parsed numbers.
  TRunInfo ri;
  ri.ColRefRun = LoadMeasureByLevel;
  ri.measure = 1;
  ri.index = list.MaxCol();
  list.IncludeCol[1] = true;
  if (list.Highlow[ri.index]) {
    ri.Afirst = static_cast<int>(std::clamp(list.ColumnLow[ri.index], -2e9, 2e9));
    ri.Alast = static_cast<int>(std::clamp(list.ColumnHigh[ri.index], -2e9, 2e9));
    list.SetupIndex(ri);
    int sets = 0;
    while (list.GetAR(ri) && sets <= list.Ncount) ++sets;
    if (sets > list.Ncount) __builtin_trap();  // more sets than rows: the iteration ran away
  }

  std::string text = DataFileText(list, TSaveOptions());
  TDataList back;
  if (!ReadDataBytes(text, back).Ok) __builtin_trap();
  if (!SameCells(list, back, NamesCarried(list, text))) __builtin_trap();
  return 0;
}
