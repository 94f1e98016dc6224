// The recently used data files: nine slots, slot 1 the most recent, kept in the
// settings group "MRU Files" as "File1" .. "File9".
#pragma once

#include <array>
#include <string>

namespace sorvel {

class TMRUFiles {
 public:
  static constexpr int Slots = 9;
  std::string KeyStr = "MRU Files";
  std::array<std::string, Slots> Flist;  // Flist[0] is slot 1

  // Reads the nine values; a missing value is created empty.
  void Read();
  // Moves fileName to slot 1 (see the .cpp) and writes all nine values back.
  void UpdateList(const std::string& fileName);
  // Folder of slot 1, the Open dialog's starting folder ("" when the list is empty).
  std::string LastPath() const;
  // Menu caption of slot i (1-based): "&" + i + two blanks + path.
  std::string Caption(int slot) const;
};

// The one list of the program.
TMRUFiles& MRUFiles();

// A recent-file item's caption -> its path (from the fifth character on).
std::string PathFromMruCaption(const std::string& caption);

}  // namespace sorvel
