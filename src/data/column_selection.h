// The "Variable Selection" choice of the one- and two-sample tests: one or two columns
// ("Define Columns"), or one data column split by one or two levels of a reference column
// ("Define Reference"). The dialog (TColSel_Form) and the command line fill the same
// record, and the analysis loads its groups through it. Qt-free.
//
// Command line: analyses that declare TAnalysis::ColumnSelectionTest get the options
// --group1/--group2/--exclude-incomplete-pairs and --reference/--data/--level1/--level2,
// resolved by ColumnSelectionFromTexts (through ValidateOptions) into this record, which
// Run reads with TOptionValues::ColumnSelection() and loads with SelectedGroupValues.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "data/data_list.h"

namespace sorvel {

// Test kinds (CStest): which groups the dialog asks for.
enum : int {
  ColSelOneMean = 1,
  ColSelOneVariance = 2,
  ColSelTwoIndependent = 3,
  ColSelTwoDependent = 4,  // "Define Columns" only
};

// The caller's load mode after OK: the choice's columns, or levels of the reference column.
enum : std::uint8_t { ColSelByColumns = LoadColumn, ColSelByReference = LoadMeasureByLevel };

struct TColumnSelection {
  std::int16_t SelectedCol1 = 1, SelectedCol2 = 1;  // "Group 1:", "Group 2:" (1-based)
  std::uint16_t ReferenceCol = 1;                   // "Reference:"
  std::uint16_t DataCol = 1;                        // "Data:"
  std::uint16_t CStest = 0;                         // kept for the window
  std::int32_t Reference1 = 1, Reference2 = 1;      // the two levels
  bool TwoSample = false;
  bool OKClose = false;
  std::uint8_t LoadMode = ColSelByColumns;
  bool ExcludeIncompletePairs = false;  // "&Exclude Incomplete Pairs" (Define Columns)
  // ColumnsChangeCount at the last activation.
  std::int32_t SeenColumnsChange = std::numeric_limits<std::int32_t>::min();

  // GetColumns(csTest), before the dialog shows: TwoSample for kinds 3 and 4.
  void Start(int csTest);
  // "Define Reference" is offered for every kind but two dependent samples.
  bool ReferencePageOffered() const { return CStest != ColSelTwoDependent; }
  // On every activation: when the columns changed since the last one, all six choices go
  // back to column 1 / level 1 and true is returned (the window shows "Define Columns").
  bool Activate(std::int32_t columnsChangeCount);
  // OK on "Define Columns" / "Define Reference": the boxes' choice is taken, the caller's
  // run info set up for it, OKClose set.
  void AcceptColumns(int col1, int col2, bool excludeIncompletePairs, TRunInfo& ri);
  void AcceptReference(int referenceCol, int dataCol, std::int32_t level1, std::int32_t level2,
                       TRunInfo& ri);
  void Cancel() { OKClose = false; }
};

// The caller's run info for an accepted choice: load mode 1 (column) or 2 (levels of
// ReferenceCol, measure DataCol).
void ApplyColumnSelection(const TColumnSelection& sel, TRunInfo& ri);

// What choosing a reference column puts into the two level boxes.
struct TLevelRange {
  bool Known = false;  // the data set has data and the column values; else boxes unchanged
  std::int32_t Low = 0, High = 0;  // ColumnLow / ColumnHigh rounded (halves to even)
  // Characters the level boxes accept: the digits of the high end (100 when it is not
  // positive), and never fewer than the low end's text needs (a "-3" must fit).
  int MaxLength = 100;
};
TLevelRange ReferenceLevelRange(TDataList& list, int column);
// Choosing "Reference:": sets ReferenceCol and, when the range is known, Reference1 and
// Reference2 to its low and high ends.
TLevelRange ChooseReferenceColumn(TColumnSelection& sel, TDataList& list, int column);
// The label beside a level box: the level's text in a text column, else empty.
std::string ReferenceLevelLabel(const TDataList& list, int column, std::int32_t level);

// Group 1 or 2 of an accepted choice, loaded through DataToA_Array (Process If, the
// missing-value rule and the transformation apply) and copied out of A_Array. With
// ExcludeIncompletePairs (two columns) only rows holding both values are loaded; the pairs
// filter is off again afterwards. Sets ri as ApplyColumnSelection does and IncludeCol of
// the selected columns.
std::vector<double> SelectedGroupValues(TDataList& list, const TColumnSelection& sel, TRunInfo& ri,
                                        int group);
// The two columns of a "Define Columns" choice, rows holding both (pairs for r12).
struct TSelectedPairs {
  std::vector<double> X, Y;
};
TSelectedPairs SelectedPairValues(TDataList& list, const TColumnSelection& sel, TRunInfo& ri);
// A group's label: the column's title (or name), or the level's name ("Low", "2").
std::string SelectedGroupName(const TDataList& list, const TColumnSelection& sel, int group);

// The command line's texts of a choice, as typed (empty: not given).
struct TColumnSelectionTexts {
  std::string Group1, Group2, Reference, Data, Level1, Level2;
  bool ExcludeIncompletePairs = false;
  bool Any() const {
    return !Group1.empty() || !Group2.empty() || !Reference.empty() || !Data.empty() ||
           !Level1.empty() || !Level2.empty() || ExcludeIncompletePairs;
  }
};
// Resolves the texts for test kind csTest into `sel` (accepted, OKClose set) and `ri`.
// Columns by number, exact name, or name regardless of case when only one matches; a level
// by its number or, in a text column, its text. False with `error` naming the option and
// the bad column or level ("--group2: no column 'Wieght'"). Reads the parsed numbers as
// they are (a loaded file is parsed; the editor parses when it loses focus).
bool ColumnSelectionFromTexts(const TDataList& list, const TColumnSelectionTexts& texts, int csTest,
                              TColumnSelection& sel, TRunInfo& ri, std::string& error);
// The texts that give `sel` back (columns and levels by number), for the window.
TColumnSelectionTexts ColumnSelectionToTexts(const TColumnSelection& sel);

}  // namespace sorvel
