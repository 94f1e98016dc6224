#include "numerics/common.h"

#include "numerics/distributions.h"
#include "numerics/format.h"
#include "numerics/intervals.h"

#include <iostream>
#include <utility>

namespace sorvel {

int StatError = 0;

namespace {
void DefaultWarning(const std::string& text) { std::cerr << text << '\n'; }
WarningHandler& CurrentHandler() {
  static WarningHandler handler = DefaultWarning;
  return handler;
}
}  // namespace

WarningHandler SetWarningHandler(WarningHandler handler) {
  if (!handler) handler = DefaultWarning;
  return std::exchange(CurrentHandler(), std::move(handler));
}

void StatWarning(const std::string& tag) {
  StatError = 10;
  CurrentHandler()("Error in Statistical Routine " + tag);
}

void ResetNumericsState() {
  StatError = 0;
  ResetDistributionsState();
  ResetFormatState();
  ResetIntervalsState();
}

}  // namespace sorvel
