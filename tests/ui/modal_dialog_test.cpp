// A modal window driven through the modal seam as a person would: type,
// tick, press.
#include "ui/modal_dialog.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/fake_seams.h"

namespace {

using testing_support::ChildWithText;
using testing_support::Click;
using testing_support::TypeInto;

constexpr int kEditId = 10;
constexpr int kCheckId = 11;
constexpr int kThrowId = 12;

class NameDialog : public ui::ModalDialog {
 public:
  explicit NameDialog(ui::Seams& seams)
      : ui::ModalDialog(seams, "Name", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, SIZE{300, 120}) {}
  std::string name;
  bool ticked = false;

 protected:
  void OnInitDialog() override {
    auto add = [&](const char* cls, const char* text, DWORD style, int id, int x, int y, int w, int h) {
      ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
    };
    add("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, kEditId, 8, 8, 200, 21);
    add("BUTTON", "Keep", WS_TABSTOP | BS_AUTOCHECKBOX, kCheckId, 8, 40, 200, 17);
    add("BUTTON", "Fail", WS_TABSTOP | BS_PUSHBUTTON, kThrowId, 8, 80, 75, 25);
    add("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 216, 80, 75, 25);
  }
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
      char buffer[256] = {};
      ::GetDlgItemTextA(Handle(), kEditId, buffer, sizeof buffer);
      name = buffer;
      ticked = ::IsDlgButtonChecked(Handle(), kCheckId) == BST_CHECKED;
      End(IDOK);
      return true;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == kThrowId) throw std::runtime_error("Refused");
    if (message == WM_CLOSE) {
      End(IDCANCEL);
      return true;
    }
    return false;
  }
};

// A plain owner window for the dialogs.
struct Owner {
  HWND hwnd = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 500, 400, nullptr,
                                nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ~Owner() { ::DestroyWindow(hwnd); }
};

TEST(ModalDialog, DriverTypesTicksAndPresses) {
  testing_support::FakeSeams fakes;
  Owner owner;
  RECT client{};
  RECT dialogRect{};
  bool ownerDisabled = false;
  fakes.modal.drivers.push_back([&](HWND dialog) {
    ::GetClientRect(dialog, &client);
    ::GetWindowRect(dialog, &dialogRect);
    ownerDisabled = !::IsWindowEnabled(owner.hwnd);
    TypeInto(::GetDlgItem(dialog, kEditId), "intro.exe");
    Click(ChildWithText(dialog, "Keep"));
    Click(ChildWithText(dialog, "OK"));
  });
  NameDialog dialog(fakes.seams);

  EXPECT_EQ(dialog.ShowModal(owner.hwnd), IDOK);

  EXPECT_EQ(fakes.modal.shown, 1);
  EXPECT_EQ(dialog.name, "intro.exe");
  EXPECT_TRUE(dialog.ticked);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 120);
  // Centred over the owner (integer halves, as the window manager rounds).
  RECT own{};
  ::GetWindowRect(owner.hwnd, &own);
  int dialogWidth = dialogRect.right - dialogRect.left;
  int dialogHeight = dialogRect.bottom - dialogRect.top;
  EXPECT_EQ(dialogRect.left, own.left + (own.right - own.left - dialogWidth) / 2);
  EXPECT_EQ(dialogRect.top, own.top + (own.bottom - own.top - dialogHeight) / 2);
}

TEST(ModalDialog, ErrorInsideTheDialogIsReportedAndTheDialogGoesOn) {
  testing_support::FakeSeams fakes;
  Owner owner;
  fakes.modal.drivers.push_back([&](HWND dialog) {
    Click(ChildWithText(dialog, "Fail"));
    TypeInto(::GetDlgItem(dialog, kEditId), "after");
    Click(ChildWithText(dialog, "OK"));
  });
  NameDialog dialog(fakes.seams);

  EXPECT_EQ(dialog.ShowModal(owner.hwnd), IDOK);
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Refused.");
  EXPECT_EQ(dialog.name, "after");
}

TEST(ModalDialog, UndrivenDialogIsClosedRatherThanLeftHanging) {
  testing_support::FakeSeams fakes;
  Owner owner;
  NameDialog dialog(fakes.seams);
  EXPECT_EQ(dialog.ShowModal(owner.hwnd), IDCANCEL);
  EXPECT_EQ(fakes.modal.shown, 1);
}

}  // namespace
