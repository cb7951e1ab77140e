// The About window as a person meets it: its layout, the logo strip with its
// frame and hand cursor, the clicks that open the web site, how it closes,
// and a fresh, centred window each time.
#include "about/AboutUnit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "about/about_logo.h"
#include "about/about_texts.h"
#include "about/help_links.h"
#include "pixels.h"
#include "support/fake_seams.h"

namespace {

using about_test::PaintNow;
using about_test::WindowPixel;
using testing_support::Click;
using testing_support::TextOf;

namespace layout = about::layout;

// A stand-in for the main window, at the main window's place and size.
struct Owner {
  HWND hwnd = ::CreateWindowExA(0, "STATIC", "Quorvel EXE Packager", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 223, 157, 574,
                                395, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ~Owner() { ::DestroyWindow(hwnd); }
};

RECT ChildRect(HWND dialog, int id) {
  HWND child = ::GetDlgItem(dialog, id);
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectRect(const RECT& r, int left, int top, int width, int height, const char* what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right - r.left, width) << what;
  EXPECT_EQ(r.bottom - r.top, height) << what;
}

SIZE TextExtent(HWND control, const std::string& text) {
  HDC dc = ::GetDC(control);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return size;
}

void ExpectCentredOver(const RECT& mine, const RECT& own) {
  int width = mine.right - mine.left;
  int height = mine.bottom - mine.top;
  EXPECT_EQ(mine.left, own.left + (own.right - own.left - width) / 2);
  EXPECT_EQ(mine.top, own.top + (own.bottom - own.top - height) / 2);
}

// Presses and releases the left button at a point of the panel's client area.
void ClickPanelAt(HWND panel, int x, int y) {
  ::SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST(AboutWindow, IsLaidOutAsStoredWithAFixedBorderAndOnlyACloseBox) {
  testing_support::FakeSeams fakes;
  Owner owner;
  bool driven = false;
  fakes.modal.drivers.push_back([&](HWND dialog) {
    driven = true;
    EXPECT_EQ(TextOf(dialog), "About");
    EXPECT_FALSE(::IsWindowEnabled(owner.hwnd));
    RECT client{};
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 298);
    EXPECT_EQ(client.bottom, 265);
    LONG style = ::GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
    // The bottom-right corner of the frame offers no sizing.
    RECT window{};
    ::GetWindowRect(dialog, &window);
    LRESULT hit = ::SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(window.right - 1, window.bottom - 1));
    EXPECT_NE(hit, HTBOTTOMRIGHT);
    EXPECT_NE(hit, HTBOTTOM);

    ExpectRect(ChildRect(dialog, layout::kMxFlatPanel1.id), 0, 0, 298, 65, "mxFlatPanel1");
    RECT stripClient{};
    ::GetClientRect(::GetDlgItem(dialog, layout::kMxFlatPanel1.id), &stripClient);
    EXPECT_EQ(stripClient.right, 294);
    EXPECT_EQ(stripClient.bottom, 61);

    HWND label1 = ::GetDlgItem(dialog, layout::kLabel1.id);
    HWND label3 = ::GetDlgItem(dialog, layout::kLabel3.id);
    EXPECT_EQ(TextOf(label1), "Quorvel EXE Packager version 1.0.0");
    EXPECT_EQ(TextOf(label3), about::texts::kRightsNotice);
    SIZE versionSize = TextExtent(label1, TextOf(label1));
    SIZE rightsSize = TextExtent(label3, TextOf(label3));
    ExpectRect(ChildRect(dialog, layout::kLabel1.id), 8, 80, versionSize.cx, versionSize.cy, "Label1");
    ExpectRect(ChildRect(dialog, layout::kLabel3.id), 8, 128, rightsSize.cx, rightsSize.cy, "Label3");
    EXPECT_LE(8 + rightsSize.cx, 298);  // the notice fits the window

    HWND memo = ::GetDlgItem(dialog, layout::kMemo1.id);
    ExpectRect(ChildRect(dialog, layout::kMemo1.id), 8, 152, 281, 65, "Memo1");
    LONG memoStyle = ::GetWindowLongA(memo, GWL_STYLE);
    EXPECT_TRUE(memoStyle & ES_READONLY);
    EXPECT_TRUE(memoStyle & ES_MULTILINE);
    EXPECT_FALSE(memoStyle & WS_BORDER);
    EXPECT_FALSE(::GetWindowLongA(memo, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // Five lines, none of them wrapped.
    EXPECT_EQ(::SendMessageA(memo, EM_GETLINECOUNT, 0, 0), 5);

    HWND ok = ::GetDlgItem(dialog, IDOK);
    ExpectRect(ChildRect(dialog, IDOK), 112, 232, 75, 25, "Button1");
    EXPECT_EQ(TextOf(ok), "OK");
    EXPECT_EQ(LOWORD(::SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_EQ(::GetWindowLongA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

    // Tab order: strip, notice, OK.
    EXPECT_EQ(::GetWindow(dialog, GW_CHILD), ::GetDlgItem(dialog, layout::kMxFlatPanel1.id));
    EXPECT_EQ(::GetNextDlgTabItem(dialog, memo, FALSE), ok);
    EXPECT_EQ(::GetNextDlgTabItem(dialog, ok, FALSE), memo);
    Click(ok);
  });
  about::ShowAboutWindow(owner.hwnd, fakes.seams);
  EXPECT_TRUE(driven);
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd));
}

TEST(AboutWindow, LogoStripShowsThePictureInsideItsRestingFrame) {
  testing_support::FakeSeams fakes;
  Owner owner;
  about::DecodedImage logo = about::DecodeLogo();
  fakes.modal.drivers.push_back([&](HWND dialog) {
    ::SetCursorPos(1, 1);
    // The dialog manager shows the window once its queue is empty; do it now.
    ::ShowWindow(dialog, SW_SHOWNORMAL);
    PaintNow(dialog);
    HWND strip = ::GetDlgItem(dialog, layout::kMxFlatPanel1.id);
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_EQ(WindowPixel(strip, 0, 0), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(strip, 297, 64), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(strip, 1, 1), white);
    EXPECT_EQ(WindowPixel(strip, 290, 30), white);  // the strip right of the picture
    // The picture's (x, y) sits at window (4 + x, 4 + y): frame 2, then (2, 2).
    for (POINT p : {POINT{0, 0}, POINT{10, 10}, POINT{47, 46}, POINT{120, 22}, POINT{199, 50}}) {
      EXPECT_EQ(WindowPixel(strip, 4 + p.x, 4 + p.y), logo.PixelAt(p.x, p.y)) << p.x << "," << p.y;
    }
    // The dialog around it is the button face.
    EXPECT_EQ(WindowPixel(dialog, ::GetSystemMetrics(SM_CXFIXEDFRAME) + 4,
                          ::GetSystemMetrics(SM_CYFIXEDFRAME) + ::GetSystemMetrics(SM_CYCAPTION) + 70),
              ::GetSysColor(COLOR_BTNFACE));
    Click(::GetDlgItem(dialog, IDOK));
  });
  about::ShowAboutWindow(owner.hwnd, fakes.seams);
  EXPECT_EQ(fakes.modal.shown, 1);
}

TEST(AboutWindow, HandCursorShowsOverTheWholeStripFrameIncluded) {
  testing_support::FakeSeams fakes;
  Owner owner;
  fakes.modal.drivers.push_back([&](HWND dialog) {
    HWND strip = ::GetDlgItem(dialog, layout::kMxFlatPanel1.id);
    RECT r{};
    ::GetWindowRect(strip, &r);
    const HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    for (POINT p : {POINT{r.left, r.top}, POINT{r.left + 1, r.bottom - 1}, POINT{r.left + 50, r.top + 30},
                    POINT{r.right - 10, r.top + 30}}) {
      LRESULT hit = ::SendMessageA(strip, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
      EXPECT_EQ(hit, HTCLIENT) << p.x << "," << p.y;
      ::SetCursor(nullptr);
      EXPECT_TRUE(::SendMessageA(strip, WM_SETCURSOR, reinterpret_cast<WPARAM>(strip), MAKELPARAM(hit, WM_MOUSEMOVE)));
      EXPECT_EQ(::GetCursor(), hand);
    }
    // Not over the rest of the window.
    ::SetCursor(nullptr);
    ::SendMessageA(::GetDlgItem(dialog, IDOK), WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), hand);
    Click(::GetDlgItem(dialog, IDOK));
  });
  about::ShowAboutWindow(owner.hwnd, fakes.seams);
}

TEST(AboutWindow, ClicksOnThePictureTheStripAndItsFrameOpenTheWebSiteOwnedByTheAboutWindow) {
  testing_support::FakeSeams fakes;
  Owner owner;
  HWND about = nullptr;
  fakes.modal.drivers.push_back([&](HWND dialog) {
    about = dialog;
    HWND strip = ::GetDlgItem(dialog, layout::kMxFlatPanel1.id);
    ClickPanelAt(strip, 60, 30);   // on the picture
    ClickPanelAt(strip, 260, 30);  // on the white strip beside it
    ClickPanelAt(strip, -2, -2);   // on the frame's outer ring
    EXPECT_EQ(fakes.dialogs.shellRequests.size(), 3u);
    Click(::GetDlgItem(dialog, IDOK));
  });
  about::ShowAboutWindow(owner.hwnd, fakes.seams);
  ASSERT_EQ(fakes.dialogs.shellRequests.size(), 3u);
  for (const ui::ShellRequest& request : fakes.dialogs.shellRequests) {
    EXPECT_EQ(request.owner, about);
    EXPECT_EQ(request.verb, "");
    EXPECT_EQ(request.file, "https://www.quorvel.example/");
    EXPECT_EQ(request.parameters, "");
    EXPECT_EQ(request.directory, "");
    EXPECT_EQ(request.showCommand, SW_SHOWNORMAL);
  }
}

TEST(AboutWindow, EscDoesNotCloseItButOkAndTheCloseBoxDo) {
  testing_support::FakeSeams fakes;
  Owner owner;
  bool visibleAfterEsc = false;
  fakes.modal.drivers.push_back([&](HWND dialog) {
    ::ShowWindow(dialog, SW_SHOWNORMAL);
    ASSERT_EQ(::GetFocus(), ::GetDlgItem(dialog, layout::kMemo1.id));
    // Esc through the dialog manager, as the modal loop passes it on.
    MSG esc{::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
    ::IsDialogMessageA(dialog, &esc);
    // And with the focus on OK.
    HWND ok = ::GetDlgItem(dialog, IDOK);
    ::SetFocus(ok);
    MSG escOnOk{ok, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {}};
    ::IsDialogMessageA(dialog, &escOnOk);
    visibleAfterEsc = ::IsWindowVisible(dialog);
    // Had Esc ended the dialog, the loop would stop before this arrives.
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  fakes.modal.drivers.push_back([&](HWND dialog) { ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
  fakes.modal.drivers.push_back([&](HWND dialog) {
    // Enter presses the default button.
    MSG enter{::GetFocus(), WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {}};
    ::IsDialogMessageA(dialog, &enter);
  });

  about::TAboutForm first(fakes.seams);
  EXPECT_EQ(first.ShowModal(owner.hwnd), IDOK);
  EXPECT_TRUE(visibleAfterEsc);
  about::TAboutForm second(fakes.seams);
  EXPECT_EQ(second.ShowModal(owner.hwnd), IDCANCEL);
  about::TAboutForm third(fakes.seams);
  EXPECT_EQ(third.ShowModal(owner.hwnd), IDOK);
  EXPECT_EQ(fakes.modal.shown, 3);
  EXPECT_TRUE(fakes.dialogs.shellRequests.empty());
}

TEST(AboutWindow, TwiceInARowGivesTwoFreshWindowsEachCentredOverTheMainWindow) {
  testing_support::FakeSeams fakes;
  Owner owner;
  std::vector<HWND> windows;
  std::vector<RECT> places;
  std::vector<RECT> ownerPlaces;
  auto record = [&](HWND dialog) {
    windows.push_back(dialog);
    RECT mine{};
    RECT own{};
    ::GetWindowRect(dialog, &mine);
    ::GetWindowRect(owner.hwnd, &own);
    places.push_back(mine);
    ownerPlaces.push_back(own);
    Click(::GetDlgItem(dialog, IDOK));
  };
  fakes.modal.drivers.push_back(record);
  fakes.modal.drivers.push_back(record);

  about::ShowAboutWindow(owner.hwnd, fakes.seams);
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_FALSE(::IsWindow(windows[0]));  // destroyed when it closed
  // The main window moves between the two: the second follows it.
  ::SetWindowPos(owner.hwnd, nullptr, 40, 30, 700, 500, SWP_NOZORDER);
  about::ShowAboutWindow(owner.hwnd, fakes.seams);
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_FALSE(::IsWindow(windows[1]));
  EXPECT_NE(windows[0], windows[1]);

  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(places[i].right - places[i].left, places[0].right - places[0].left);
    ExpectCentredOver(places[i], ownerPlaces[i]);
  }
  EXPECT_NE(places[0].left, places[1].left);
}

}  // namespace
