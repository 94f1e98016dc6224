// The main window's command table: every menu command, its caption, key and the window it opens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvel {

enum class TCommandKind {
  Shell,              // handled by the main window itself
  DataEditorCommand,  // opens or acts through the data editor
  Analysis,           // opens an analysis window; built when registered
  Help,
};

struct TCommandEntry {
  std::string Menu;           // top-level menu caption without "&": File, Tests, ...
  std::string Caption;        // menu item caption with its "&" accelerator
  std::string Key;            // shortcut as Qt writes it ("F3"), empty for none
  std::string FormClass;      // form class name, empty when none
  std::string WindowCaption;  // caption of the window it opens, empty when none
  TCommandKind Kind = TCommandKind::Shell;
  bool SeparatorAfter = false;
  std::string Name;  // command-line name derived from Caption
};

// Main-menu caption -> command name: "&" and apostrophes removed, lower case, every run
// of other non-alphanumeric characters one "-", none at either end.
std::string CommandName(std::string_view caption);

// Menu caption -> text without accelerators ("&&" -> "&").
std::string StripAccelerator(std::string_view caption);

// The main window's menu commands, in menu order.
const std::vector<TCommandEntry>& CommandTable();
// Windows that no menu opens (Menu and Caption empty), named in the same shape.
const std::vector<TCommandEntry>& WindowsWithoutMenu();
// A command of either list.
const TCommandEntry* FindCommand(std::string_view name);

// Top-level menus in menu-bar order, with their captions.
struct TMenuDef {
  std::string Name;
  std::string Caption;
};
const std::vector<TMenuDef>& MainMenus();

}  // namespace sorvel
