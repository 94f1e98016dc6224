#include "shell/startup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "shell/mru.h"

namespace sorvel {

std::string CommandLineArgument(const std::vector<std::string>& args) {
  std::string joined;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) joined += ' ';
    joined += args[i];
  }
  joined.erase(std::remove(joined.begin(), joined.end(), '"'), joined.end());
  size_t b = joined.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  size_t e = joined.find_last_not_of(' ');
  return joined.substr(b, e - b + 1);
}

std::string StartFile(const std::string& argument, const TMRUFiles& mru) {
  std::string upper = argument;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  std::string file = upper == "@LAST" ? mru.Flist[0] : argument;
  if (file.empty()) return {};
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec) ? file : std::string();
}

std::string ChooseMainCaption(const std::function<bool(const std::string&)>& captionTaken) {
  const std::string base = "Sorvelstats";
  if (!captionTaken(base)) return base;
  for (int n = 2;; ++n) {
    std::string caption = base + " (" + std::to_string(n) + ")";
    if (!captionTaken(caption)) return caption;
  }
}

}  // namespace sorvel
