// The explore tests' data sets: file text read as the data editor reads it, made the
// program's data set.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data/data_state.h"
#include "data/io/data_file.h"

namespace sorvel::test {

inline TDataList& LoadText(const std::string& text) {
  ResetDataState();
  auto list = std::make_unique<TDataList>();
  TFileResult r = ReadDataBytes(text, *list);
  EXPECT_TRUE(r.Ok) << r.Error;
  ReplaceDataList(std::move(list));
  return DataList();
}

}  // namespace sorvel::test
