#include "ui/menu.h"

#include <stdexcept>

#include "ui/window.h"

namespace ui {

std::string WithAccessKey(const std::string& caption, std::set<unsigned char>& taken) {
  std::string result;
  bool marked = false;
  const char* p = caption.c_str();
  while (*p != '\0') {
    const char* next = ::CharNextA(p);
    if (next == p) break;
    bool singleByte = next == p + 1;
    if (*p == '&') {
      result += "&&";
    } else {
      if (!marked && singleByte && ::IsCharAlphaA(*p)) {
        auto upper = static_cast<unsigned char>(reinterpret_cast<UINT_PTR>(
            ::CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(*p))))));
        if (taken.insert(upper).second) {
          result += '&';
          marked = true;
        }
      }
      result.append(p, next);
    }
    p = next;
  }
  return result;
}

namespace {

void Append(HMENU menu, UINT position, const MENUITEMINFOA& info) {
  if (!::InsertMenuItemA(menu, position, TRUE, &info)) throw std::runtime_error(LastErrorText());
}

}  // namespace

UniqueMenu BuildMenuBar(const std::vector<Popup>& popups, std::vector<HMENU>* popupHandles) {
  UniqueMenu bar(::CreateMenu());
  if (!bar) throw std::runtime_error(LastErrorText());
  std::set<unsigned char> barKeys;
  UINT barPosition = 0;
  for (const Popup& popup : popups) {
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) throw std::runtime_error(LastErrorText());
    std::set<unsigned char> keys;
    UINT position = 0;
    for (const MenuItem& item : popup.items) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof(info);
      std::string text;
      if (item.id == 0) {
        info.fMask = MIIM_FTYPE;
        info.fType = MFT_SEPARATOR;
      } else {
        text = WithAccessKey(item.caption, keys);
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
        info.fType = MFT_STRING;
        info.wID = item.id;
        info.dwTypeData = text.data();
        if (item.ownerDrawnGlyph) {
          info.fMask |= MIIM_BITMAP;
          info.hbmpItem = HBMMENU_CALLBACK;
        }
      }
      Append(menu.Get(), position++, info);
    }
    std::string text = WithAccessKey(popup.caption, barKeys);
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = text.data();
    info.hSubMenu = menu.Get();
    Append(bar.Get(), barPosition++, info);
    if (popupHandles) popupHandles->push_back(menu.Get());
    menu.Release();  // the bar owns it now
  }
  return bar;
}

}  // namespace ui
