#include "data/data_state.h"

#include <iostream>
#include <utility>

namespace sorvel {

std::vector<double> A_Array;
std::int32_t A_ArrayCount = 0;
std::int32_t PairCol1 = 0, PairCol2 = 0;
TDataEditorState DataEditor;
std::int32_t NewDataCount = 0, DataChangeCount = 0, ColumnsChangeCount = 0;

namespace {

std::unique_ptr<TDataList>& TheList() {
  static std::unique_ptr<TDataList> list;
  return list;
}

void DefaultMessage(const std::string& text) { std::cerr << text << '\n'; }

TDataMessageHandler& MessageHandler() {
  static TDataMessageHandler handler = DefaultMessage;
  return handler;
}

}  // namespace

TDataList& DataList() {
  auto& list = TheList();
  if (!list) list = std::make_unique<TDataList>();
  return *list;
}

void ReplaceDataList(std::unique_ptr<TDataList> list) {
  if (!list) list = std::make_unique<TDataList>();
  // The analysis array outlives data sets; the new one starts with its capacity.
  list->Acount = static_cast<std::int32_t>(A_Array.empty() ? 0 : A_Array.size() - 1);
  TheList() = std::move(list);
  A_ArrayCount = 0;
  ++NewDataCount;
}

TDataMessageHandler SetDataMessageHandler(TDataMessageHandler handler) {
  if (!handler) handler = DefaultMessage;
  return std::exchange(MessageHandler(), std::move(handler));
}

void DataMessage(const std::string& text) { MessageHandler()(text); }

void NewDataSet() {
  ReplaceDataList(std::make_unique<TDataList>());
  ResetProcessIf();
  TransformRec.no = TransformNone;
  DataEditor.DataFilename.clear();
  DataEditor.WantVarNames = DataEditor.WantDescriptions = false;
  DataEditor.FileModified = false;
  DataEditor.PendingDataChange = DataEditor.PendingColumnsChange = true;
}

void DataEditorLostFocus() {
  TDataList& list = DataList();
  if (list.DataChanged) {
    list.UpdateData();
    DataEditor.PendingDataChange = true;
  }
  if (DataEditor.PendingDataChange) ++DataChangeCount;
  if (DataEditor.PendingColumnsChange) ++ColumnsChangeCount;
  DataEditor.PendingDataChange = DataEditor.PendingColumnsChange = false;
}

void ResetDataState() {
  TheList() = std::make_unique<TDataList>();
  std::vector<double>().swap(A_Array);
  A_ArrayCount = 0;
  PairCol1 = PairCol2 = 0;
  ResetDataRules();
  DataEditor = TDataEditorState();
  NewDataCount = DataChangeCount = ColumnsChangeCount = 0;
  SetDataMessageHandler(nullptr);
}

}  // namespace sorvel
