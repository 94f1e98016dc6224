#pragma once

#include <string>

namespace sorvel {

struct TGraphicToSave;

// Saves a chart or picture through the Qt painters of ui/, starting an offscreen
// QGuiApplication for the while (the command line shows no window).
bool SavePictureWithQt(const TGraphicToSave& graphic, const std::string& path, std::string& error);

}  // namespace sorvel
