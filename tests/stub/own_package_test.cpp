// The first player stub's reading of its own executable, in-process on real
// files, and the built player.dat itself.
#include "stub/own_package.h"

#include <gtest/gtest.h>

#include "core/package_writer.h"
#include "sys/file_system.h"
#include "sys/process.h"
#include "sys/temp_folder.h"

namespace {

using testing_support::TempFolder;

class OwnPackageTest : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string stub = folder.Write("player.dat", "MZ any stub bytes");
};

TEST_F(OwnPackageTest, NamesEveryMovieWithItsSize) {
  const std::string package = folder / "game.exe";
  core::BuildPackageFile(stub,
                         {folder.Write("intro.swf", std::string(1234, 'i')), folder.Write("empty.swf", ""),
                          folder.Write("intro.swf", std::string(1234, 'i'))},
                         false, 0.0, package);
  const stub::OwnPackageReport report = stub::ReadOwnPackage(package);
  EXPECT_TRUE(report.holdsPackage);
  EXPECT_EQ(report.text,
            "This package holds 3 movies:\r\nintro.swf (1234 bytes)\r\nempty.swf (0 bytes)\r\nintro.swf (1234 bytes)");
}

TEST_F(OwnPackageTest, OneMovieAndNoMovieReadNaturally) {
  core::BuildPackageFile(stub, {folder.Write("a.swf", "abc")}, true, 0.0, folder / "one.exe");
  EXPECT_EQ(stub::ReadOwnPackage(folder / "one.exe").text, "This package holds 1 movie:\r\na.swf (3 bytes)");
  core::BuildPackageFile(stub, {}, true, 0.0, folder / "none.exe");
  const stub::OwnPackageReport none = stub::ReadOwnPackage(folder / "none.exe");
  EXPECT_TRUE(none.holdsPackage);
  EXPECT_EQ(none.text, "This package holds 0 movies.");
}

TEST_F(OwnPackageTest, BareStubAndDamagedPackagesSayTheyHoldNone) {
  const stub::OwnPackageReport bare = stub::ReadOwnPackage(stub);
  EXPECT_FALSE(bare.holdsPackage);
  EXPECT_EQ(bare.text.rfind("This program holds no movie package.\r\n", 0), 0u) << bare.text;
  EXPECT_GT(bare.text.size(), std::string("This program holds no movie package.\r\n").size());

  core::BuildPackageFile(stub, {folder.Write("a.swf", std::string(500, 'a'))}, false, 0.0, folder / "cut.exe");
  std::string bytes = sys::ReadWholeFile(folder / "cut.exe", sys::FileAccess::kReadShareReadWrite);
  bytes.erase(bytes.size() / 2, 5);  // five bytes gone from the middle of the stream
  sys::WriteWholeFile(folder / "cut.exe", bytes);
  EXPECT_FALSE(stub::ReadOwnPackage(folder / "cut.exe").holdsPackage);

  EXPECT_FALSE(stub::ReadOwnPackage(folder / "missing.exe").holdsPackage);
}

TEST(BuiltStub, IsAWindowsProgramBesideThePackagerThatHoldsNoPackage) {
  const std::string player = sys::ExecutableFolder() + "player.dat";
  ASSERT_TRUE(sys::FileExists(player)) << player;
  const std::string bytes = sys::ReadWholeFile(player, sys::FileAccess::kReadShareReadWrite);
  ASSERT_GT(bytes.size(), 0x40u);
  EXPECT_EQ(bytes.substr(0, 2), "MZ");
  EXPECT_FALSE(stub::ReadOwnPackage(player).holdsPackage);
}

}  // namespace
