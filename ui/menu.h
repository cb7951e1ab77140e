#pragma once
// Menus built in code. Captions carry no access-key mark of their own: each
// item gets the first letter of its caption that no earlier item of the same
// menu has taken.

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "ui/handles.h"

namespace ui {

struct MenuItem {
  UINT id = 0;             // 0 for a separator
  std::string caption;     // empty for a separator
  bool ownerDrawnGlyph = false;  // the glyph is drawn through WM_MEASUREITEM / WM_DRAWITEM
  static MenuItem Separator() { return MenuItem{}; }
};

struct Popup {
  std::string caption;
  std::vector<MenuItem> items;
};

// Inserts "&" before the first alphabetic character whose upper-case form is
// not in `taken`, and adds it there; literal "&"s are doubled.
std::string WithAccessKey(const std::string& caption, std::set<unsigned char>& taken);

// Builds a menu bar with one popup per entry. The returned bar owns its popups.
UniqueMenu BuildMenuBar(const std::vector<Popup>& popups, std::vector<HMENU>* popupHandles = nullptr);

}  // namespace ui
