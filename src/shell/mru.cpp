#include "shell/mru.h"

#include <algorithm>
#include <cctype>

#include "numerics/settings_store.h"

namespace sorvel {

namespace {
bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}
std::string SlotKey(int i) { return "File" + std::to_string(i); }
}  // namespace

void TMRUFiles::Read() {
  SettingsStore& s = Settings();
  for (int i = 1; i <= Slots; ++i) {
    auto v = s.Read(KeyStr, SlotKey(i));
    if (!v) s.Write(KeyStr, SlotKey(i), "");
    Flist[i - 1] = v.value_or("");
  }
}

void TMRUFiles::UpdateList(const std::string& fileName) {
  Read();
  if (SameName(fileName, Flist[0])) return;
  // The last slot holding the name; slots before it move down one. A name not in the
  // list pushes everything down and drops slot 9.
  int k = Slots;
  for (int i = Slots; i >= 1; --i)
    if (SameName(Flist[i - 1], fileName)) {
      k = i;
      break;
    }
  for (int i = k; i >= 2; --i) Flist[i - 1] = Flist[i - 2];
  Flist[0] = fileName;
  SettingsStore& s = Settings();
  for (int i = 1; i <= Slots; ++i) s.Write(KeyStr, SlotKey(i), Flist[i - 1]);
}

std::string TMRUFiles::LastPath() const {
  const std::string& f = Flist[0];
  auto slash = f.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : f.substr(0, slash);
}

std::string TMRUFiles::Caption(int slot) const {
  return "&" + std::to_string(slot) + "  " + Flist[slot - 1];
}

TMRUFiles& MRUFiles() {
  static TMRUFiles list;
  return list;
}

std::string PathFromMruCaption(const std::string& caption) {
  return caption.size() > 4 ? caption.substr(4) : std::string();
}

}  // namespace sorvel
