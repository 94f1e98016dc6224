// What every analysis window tells about itself: the command it runs and its controls as
// that command's options, so that the command line (and "Copy Command Line") can run the
// same analysis and give the same report.
#pragma once

#include <string>

#include "analysis/analysis.h"

namespace sorvel {

class TAnalysisWindow {
 public:
  virtual ~TAnalysisWindow() = default;
  // The registry name of the analysis the window runs; empty for a window that runs none.
  virtual std::string CommandName() const { return {}; }
  // The window's controls as option texts of that command, as its Action would pass them
  // (the data file and the data set's rules are not among them).
  virtual TOptions CurrentOptions() const { return {}; }
};

}  // namespace sorvel
