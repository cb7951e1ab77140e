#pragma once
// TAboutForm: the About window with the product logo, the version line, the
// rights notice and the legal notice. Each About command makes a fresh one,
// shows it modally over the main window and destroys it when it closes. It
// closes by OK (also Enter) or by its close box; Esc does nothing.

#include <windows.h>

#include "about/graphic_control.h"
#include "about/mxFlatControls.h"
#include "ui/handles.h"
#include "ui/modal_dialog.h"
#include "ui/seams.h"

namespace about {

// The window's stored layout, in client pixels.
namespace layout {
inline constexpr SIZE kClientSize{298, 265};
struct Place {
  int id;
  int left, top, width, height;  // width/height 0: sized to the text
};
inline constexpr Place kMxFlatPanel1{100, 0, 0, 298, 65};  // aligned to the top, full width
inline constexpr POINT kImage1{2, 2};                      // inside the panel's client area
inline constexpr Place kLabel1{101, 8, 80, 0, 0};
inline constexpr Place kLabel3{103, 8, 128, 0, 0};
inline constexpr Place kMemo1{104, 8, 152, 281, 65};
inline constexpr Place kButton1{IDOK, 112, 232, 75, 25};
}  // namespace layout

class TAboutForm final : public ui::ModalDialog {
 public:
  explicit TAboutForm(ui::Seams& seams);

 protected:
  void OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void mxFlatPanel1Click();
  void Image1Click();
  void Button1Click();
  HWND CreateControl(const char* windowClass, const char* text, DWORD style, const layout::Place& place);

  ui::UniqueFont font_;
  Picture Image1;  // before the panel, which paints it for as long as the panel's window lives
  TmxFlatPanel mxFlatPanel1;
};

// Help, About (MAboutClick): creates the About window owned by `owner`, shows
// it modally and destroys it when it has closed.
void ShowAboutWindow(HWND owner, ui::Seams& seams);

}  // namespace about
