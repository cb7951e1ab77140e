#pragma once
// A shown main window with scripted seams and a folder of real movie files.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "support/fake_seams.h"

namespace apptest {

// A scratch folder that is removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return path_; }
  // Writes a file and returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// A movie of one solid colour filling its 200 × 150 stage; `leadingTags` go
// before its shape (file attributes, code).
std::string SolidMovie(unsigned char r, unsigned char g, unsigned char b,
                       const std::vector<std::vector<uint8_t>>& leadingTags = {});

// Picture `index` of a 130 × 130 image list drawn over `background`
// (0x00RRGGBB): rows top to bottom, 0x00RRGGBB each.
std::vector<uint32_t> DrawListPicture(HIMAGELIST list, int index, UINT style, uint32_t background);

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::vector<std::string> Captions() const;
  int ItemCount() const;
  int ImageOf(int item) const;
  void Select(int item);
  void Deselect(int item);
  // Handles every waiting message (held-back commands, repaints).
  static void Pump();

  testing_support::FakeSeams fakes;
  TempFolder folder;
  std::unique_ptr<app::TMainForm> form;
};

}  // namespace apptest
