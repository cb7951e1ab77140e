#pragma once
// TCompileForm ("Properties"): the modal window shown before a build. It lists
// the movies that go into the package, asks for the target file name and the
// release option, and confirms overwriting an existing file. It builds
// nothing: the caller reads the choices back from its properties.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/file_dialog.h"
#include "ui/handles.h"
#include "ui/modal_dialog.h"

namespace packaging {

// The window's stored layout, in client pixels.
namespace compile_layout {
inline constexpr SIZE kClientSize{383, 201};
struct Place {
  int id;
  int left, top, width, height;
};
// In tab order; Label1 takes no focus.
inline constexpr Place kFileMemo{101, 8, 8, 369, 105};
inline constexpr Place kLabel1{102, 8, 120, 43, 13};
inline constexpr Place kEXEEdit{103, 56, 120, 257, 21};
inline constexpr Place kSaveBtn{104, 320, 120, 59, 25};
inline constexpr Place kReleaseCheck{105, 8, 144, 305, 17};
inline constexpr Place kBuildBtn{IDOK, 216, 168, 75, 25};
// Not IDCANCEL: Esc must not cancel.
inline constexpr Place kCancelBtn{1002, 304, 168, 75, 25};
}  // namespace compile_layout

class TCompileForm final : public ui::ModalDialog {
 public:
  explicit TCompileForm(ui::Seams& seams);

  // The target name exactly as it stood in the edit box when Build was pressed.
  const std::string& FileName() const { return fileName_; }
  bool ReleaseFlag() const { return releaseFlag_; }
  // True only when the user confirmed the build.
  bool BuildFlag() const { return buildFlag_; }
  // The movies to list, set before showing. The list stays the caller's and
  // must outlive the dialog; until it is set, the dialog's own empty list is
  // shown.
  void SetFileList(const std::vector<std::string>& fileList) { fileList_ = &fileList; }
  void SetFileList(const std::vector<std::string>&&) = delete;

  ui::FileDialog& SaveDlg() { return saveDlg_; }

 protected:
  void OnInitDialog() override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void FormCreate();
  void FormShow();
  void SaveBtnClick();
  void BuildBtnClick();
  void CancelBtnClick();
  HWND CreateControl(const char* windowClass, const char* text, DWORD style, DWORD exStyle,
                     const compile_layout::Place& place);

  std::string fileName_;
  bool releaseFlag_ = false;
  bool buildFlag_ = false;
  std::vector<std::string> ownFileList_;
  const std::vector<std::string>* fileList_ = &ownFileList_;

  ui::FileDialog saveDlg_;
  ui::UniqueFont font_;
  HWND FileMemo = nullptr;
  HWND Label1 = nullptr;
  HWND EXEEdit = nullptr;
  HWND SaveBtn = nullptr;
  HWND ReleaseCheck = nullptr;
  HWND BuildBtn = nullptr;
  HWND CancelBtn = nullptr;
};

}  // namespace packaging
