// Spreadsheet workbooks (.xlsx and .ods) read into a data set, read-only.
//
// One sheet becomes the data grid: numbers as numbers (shortest text that gives the same
// double), text as text, booleans as 1/0, empty and error cells as missing, formulas by
// their cached value, dates as yyyymmdd numbers, times and date-times as text. Empty rows
// are skipped as empty lines of a text file are; the first row that holds something is the
// names line when no cell of it is a number (the text files' rule). Columns past 512 are
// dropped with the columns-truncated warning.
//
// Hostile archives fail with "Error Reading File" and a reason: not a zip archive,
// encrypted, damaged (CRC, truncated), malformed XML, or an entry that inflates beyond
// MaxInflationRatio times the archive's size or beyond MaxEntryBytes (a zip bomb).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/io/data_file.h"

namespace sorvel {

inline constexpr std::uint64_t MaxEntryBytes = std::uint64_t(2) << 30;
inline constexpr std::uint64_t MaxInflationRatio = 100;

// ".xlsx", ".xlsm" or ".ods", without regard to case.
bool IsWorkbookPath(std::string_view path);

// The name the Save dialog proposes for a data set read from a workbook: the same name
// with the extension ".sorvel" (workbooks are never written).
std::string WorkbookSaveName(std::string_view path);

// The workbook's sheet names in order. On failure Ok is false, Error and Detail say why.
TFileResult WorkbookSheets(const std::string& path, std::vector<std::string>& names);
TFileResult WorkbookSheetsFromBytes(std::string_view bytes, std::vector<std::string>& names);

// Reads one sheet into `list` (a fresh data set) and parses it. `sheet` is a sheet's name,
// or its number from 1 when no sheet has that name; empty means the first sheet.
TFileResult ReadWorkbookFile(const std::string& path, TDataList& list, std::string_view sheet = {},
                             const TProgress& progress = {});
TFileResult ReadWorkbookBytes(std::string_view bytes, TDataList& list, std::string_view sheet = {},
                              const TProgress& progress = {});

}  // namespace sorvel
