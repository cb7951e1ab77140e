#pragma once
// TProgressForm: the small window that shows how far a build has got. It has
// no behaviour of its own: the package writer creates it, moves its bar and
// destroys it. It cannot be closed by the user, and each new bar position is
// drawn at once, because the writer does not run the message loop meanwhile.

#include <windows.h>

#include "ui/handles.h"
#include "ui/window.h"

namespace packaging {

namespace progress_layout {
inline constexpr SIZE kClientSize{313, 59};
inline constexpr RECT kProgressLabel{8, 8, 297, 13};  // left, top, width, height
inline constexpr RECT kProgressBar{8, 32, 297, 17};
inline constexpr int kBarMaximum = 100;
}  // namespace progress_layout

class TProgressForm final : public ui::Window {
 public:
  static constexpr const char* kClassName = "TProgressForm";

  // Creates the window owned by `owner`, centred over it, not yet shown.
  TProgressForm(ui::Seams& seams, HWND owner);

  // Shows the window without making it modal.
  void Show();

  // Moves the bar and draws it at once.
  void SetProgress(int position);

  HWND ProgressLabel() const { return progressLabel_; }
  HWND ProgressBar() const { return progressBar_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();

  ui::UniqueFont font_;
  HWND progressLabel_ = nullptr;
  HWND progressBar_ = nullptr;
};

}  // namespace packaging
