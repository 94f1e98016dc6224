#pragma once

#include <string>

namespace sorvel {

struct TPicture;

// Saves a picture through the Qt painter of ui/, starting an offscreen QGuiApplication
// on first use (the command line shows no window).
bool SavePictureWithQt(const TPicture& picture, const std::string& path, std::string& error);

}  // namespace sorvel
