#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace sorvel {

// Exit status: 0 report written; 1 the analysis refused its input; 2 usage error;
// 3 a file could not be read or written.
enum TCliStatus { CliOk = 0, CliRefused = 1, CliUsage = 2, CliFileError = 3 };

struct TPicture;
struct TChart;

// What --chart writes: the analysis's chart, else its picture, at the pixel size of
// --chart-size (0 x 0: the graphic's own size).
struct TGraphicToSave {
  const TPicture* Picture = nullptr;
  const TChart* Chart = nullptr;
  int Width = 0, Height = 0;
};

// Writes a picture or chart to a .png, .svg or .pdf file; false with a reason when it
// cannot. Only a build with Qt installs one (main.cpp); without it --chart is refused.
using TPictureSaver =
    std::function<bool(const TGraphicToSave& graphic, const std::string& path, std::string& error)>;
void SetPictureSaver(TPictureSaver saver);

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sorvel
