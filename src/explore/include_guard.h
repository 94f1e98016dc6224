// Loads read the columns the data set's IncludeCol flags mark; an analysis that sets them
// for its own loads puts the caller's flags back when it is done.
#pragma once

#include "data/data_list.h"

namespace sorvel {

class TIncludeColumnsGuard {
 public:
  explicit TIncludeColumnsGuard(TDataList& data) : data_(data), saved_(data.IncludeCol) {}
  ~TIncludeColumnsGuard() { data_.IncludeCol = saved_; }
  TIncludeColumnsGuard(const TIncludeColumnsGuard&) = delete;
  TIncludeColumnsGuard& operator=(const TIncludeColumnsGuard&) = delete;

 private:
  TDataList& data_;
  TColArrayOfBoolean saved_;
};

}  // namespace sorvel
