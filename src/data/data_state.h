// The shared state of the data set, in one place: the single TDataList, the analysis
// array, the case filters and rules it applies, the editor's file state and the change
// counters. ResetDataState puts all of it back as at start-up (for tests).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/data_list.h"
#include "data/data_rules.h"

namespace sorvel {

// The one data set of the process. Always exists (the empty data set at start-up).
TDataList& DataList();
// Replaces the data set (a new data set, a file that loaded completely) and advances
// NewDataCount. Views over the old grids must re-read the new ones.
void ReplaceDataList(std::unique_ptr<TDataList> list);

// The analysis array: elements 1..A_ArrayCount hold the values of the last load
// (element 0 is not used). Shared by every analysis; each load overwrites it.
extern std::vector<double> A_Array;
extern std::int32_t A_ArrayCount;

// Columns of the incomplete-pairs filter; 0 when it is off.
extern std::int32_t PairCol1, PairCol2;

// The rules a load applies, in this order: Process If, the missing-value rule, the
// transformation (MissingRec, ProcessIfRec, TransformRec: data/data_rules.h).

// Messages the data set shows (the transform error): the GUI shows a box, the command
// line writes stderr, tests record them. Returns the previous handler.
using TDataMessageHandler = std::function<void(const std::string& text)>;
TDataMessageHandler SetDataMessageHandler(TDataMessageHandler handler);
void DataMessage(const std::string& text);

// What the data editor remembers about its file.
struct TDataEditorState {
  std::string DataFilename;  // empty for a new data set
  bool FileModified = false;
  bool WantVarNames = false, WantDescriptions = false;
  // Changes not yet announced through the counters (announced when the editor loses focus).
  bool PendingDataChange = false, PendingColumnsChange = false;
};
extern TDataEditorState DataEditor;

// Change counters read by analysis windows to see whether their lists are out of date.
extern std::int32_t NewDataCount, DataChangeCount, ColumnsChangeCount;

// Starts an empty data set (the editor's New, after its save question): replaces the data
// set, resets Process If to "All" and switches the transformation off (the missing-value
// rule stays), clears the file state.
void NewDataSet();
// The editor lost focus: parses pending changes and advances the change counters.
void DataEditorLostFocus();

// Puts all of the above back as at start-up.
void ResetDataState();

}  // namespace sorvel
