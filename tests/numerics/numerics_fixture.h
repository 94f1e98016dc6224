// A test fixture that starts from the library's start-up state and records what the
// library would show in its warning box instead of writing it to stderr.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numerics/common.h"

namespace sorvel {

class TNumericsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetNumericsState();
    previous_ = SetWarningHandler([this](const std::string& text) { Warnings.push_back(text); });
  }
  void TearDown() override {
    SetWarningHandler(previous_);
    ResetNumericsState();
  }
  std::vector<std::string> Warnings;

 private:
  WarningHandler previous_;
};

}  // namespace sorvel
