#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../sys/temp_folder.h"
#include "core/package_reader.h"
#include "core/package_writer.h"
#include "run_process.h"
#include "sys/process.h"

namespace {

using testing_support::ProcessResult;
using testing_support::QuorvelPackPath;
using testing_support::PseudoRandomBytes;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class QuorvelPackTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sys::FileExists(QuorvelPackPath())) << QuorvelPackPath(); }

  // Windows text-mode output ends lines with CR LF; compared as plain lines.
  ProcessResult Run(const std::vector<std::string>& arguments) {
    ProcessResult result = testing_support::RunProcess(QuorvelPackPath(), arguments, scratch_.Path());
    std::erase(result.output, '\r');
    std::erase(result.errors, '\r');
    return result;
  }

  // A package written by the library, for the commands that read one.
  std::string PackageFile(const std::string& name,
                          const std::vector<std::pair<std::string, std::string>>& movies,
                          bool release) {
    core::PackageWriter writer;
    for (const auto& [movieName, bytes] : movies) writer.AddMovieBytes(movieName, bytes);
    return work_.Write(name, "STUB" + writer.Finish(release, 36526.0));
  }

  std::string MakeFolder(const std::string& name) {
    const std::string path = work_ / name;
    std::filesystem::create_directory(path);
    return path;
  }

  TempFolder scratch_;
  TempFolder work_;
  const std::string stub_ = work_.Write("player.dat", "MZ stub");
};

TEST_F(QuorvelPackTest, BuildListVerifyAndExtractRoundTrip) {
  const std::string intro = PseudoRandomBytes(1234, 1);
  const std::string game = PseudoRandomBytes(56789, 2);
  const std::string target = work_ / "game.exe";
  ProcessResult build = Run({"build", stub_, target, work_.Write("intro.swf", intro),
                             work_.Write("game.swf", game), "--release", "--date=2000-01-01"});
  ASSERT_EQ(build.exitCode, 0) << build.errors;
  EXPECT_TRUE(Contains(build.output, "2 movies"));

  const std::string file = ReadFileBytes(target);
  EXPECT_EQ(file.substr(0, 7), "MZ stub");
  const core::Package package = core::ReadPackage(file);
  EXPECT_EQ(package.payloadSize, 58069u);
  EXPECT_EQ(package.dateStamp, 36526.0);

  ProcessResult list = Run({"list", target});
  ASSERT_EQ(list.exitCode, 0) << list.errors;
  EXPECT_EQ(list.output,
            "release: allowed\ndate: 2000-01-01\nmovies: 2\n1234\tintro.swf\n56789\tgame.swf\n");

  ProcessResult verify = Run({"verify", target});
  EXPECT_EQ(verify.exitCode, 0) << verify.errors;
  EXPECT_TRUE(Contains(verify.output, "OK (2 movies")) << verify.output;

  const std::string out = MakeFolder("out");
  ProcessResult extract = Run({"extract", target, out});
  ASSERT_EQ(extract.exitCode, 0) << extract.errors;
  EXPECT_EQ(ReadFileBytes(out + sys::PathSeparator() + "intro.swf"), intro);
  EXPECT_EQ(ReadFileBytes(out + sys::PathSeparator() + "game.swf"), game);
}

TEST_F(QuorvelPackTest, BuildLeavesOutVanishedMoviesAndRefusesWhenNoneIsLeft) {
  const std::string target = work_ / "p.exe";
  ProcessResult partly = Run({"build", stub_, target, work_ / "gone.swf", work_.Write("a.swf", "a")});
  EXPECT_EQ(partly.exitCode, 0) << partly.errors;
  EXPECT_TRUE(Contains(partly.errors, "gone.swf does not exist"));
  EXPECT_EQ(core::ReadPackageFile(target).movies.size(), 1u);

  const std::string other = work_ / "q.exe";
  ProcessResult none = Run({"build", stub_, other, work_ / "gone.swf"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_TRUE(Contains(none.errors, "No flash movie"));
  EXPECT_FALSE(sys::FileExists(other));
}

TEST_F(QuorvelPackTest, BuildOverwritesAnExistingTargetOnlyWithForce) {
  const std::string target = work_.Write("old.exe", "old content");
  const std::string movie = work_.Write("a.swf", "a");
  ProcessResult refused = Run({"build", stub_, target, movie});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(Contains(refused.errors, "--force"));
  EXPECT_EQ(ReadFileBytes(target), "old content");

  ProcessResult forced = Run({"build", "--force", stub_, target, movie});
  EXPECT_EQ(forced.exitCode, 0) << forced.errors;
  EXPECT_EQ(core::ReadPackageFile(target).movies.at(0).name, "a.swf");
}

TEST_F(QuorvelPackTest, BuildReportsAMissingStubWithItsPathAndWritesNothing) {
  const std::string missingStub = work_ / "no-player.dat";
  const std::string target = work_ / "p.exe";
  ProcessResult result = Run({"build", missingStub, target, work_.Write("a.swf", "a")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Contains(result.errors, "Cannot open file " + missingStub)) << result.errors;
  EXPECT_FALSE(sys::FileExists(target));
}

TEST_F(QuorvelPackTest, BuildRefusesTheStubAsItsOwnTarget) {
  ProcessResult result = Run({"build", "--force", stub_, stub_, work_.Write("a.swf", "a")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Contains(result.errors, "Cannot create file " + stub_)) << result.errors;
  EXPECT_EQ(ReadFileBytes(stub_), "MZ stub");
}

TEST_F(QuorvelPackTest, ExtractNeedsTheReleaseFlag) {
  const std::string package = PackageFile("locked.exe", {{"a.swf", "aaa"}}, false);
  const std::string out = MakeFolder("out");
  ProcessResult result = Run({"extract", package, out});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Contains(result.errors, "does not allow"));
  EXPECT_TRUE(std::filesystem::is_empty(out));
}

TEST_F(QuorvelPackTest, ExtractKeepsHostileNamesInsideTheFolder) {
  const std::string package = PackageFile(
      "hostile.exe",
      {{"..\\..\\evil.swf", "1"}, {"../up.swf", "2"}, {"C:\\abs.swf", "3"}, {"CON", "4"}, {"..", "5"}},
      true);
  const std::string out = MakeFolder("out");
  ProcessResult result = Run({"extract", package, out});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(out)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"C__abs.swf", "_.._evil.swf", "_CON", "_up.swf", "movie5.swf"}));
  // Nothing landed beside or above the folder.
  EXPECT_FALSE(sys::FileExists(work_ / "evil.swf"));
  EXPECT_FALSE(sys::FileExists(work_ / "up.swf"));
}

TEST_F(QuorvelPackTest, ExtractGivesDuplicateNamesTheirOwnFiles) {
  const std::string package =
      PackageFile("dup.exe", {{"m.swf", "first"}, {"M.swf", "second"}, {"m.swf", "third"}}, true);
  const std::string out = MakeFolder("out");
  ProcessResult result = Run({"extract", package, out});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  const std::string sep(1, sys::PathSeparator());
  EXPECT_EQ(ReadFileBytes(out + sep + "m.swf"), "first");
  EXPECT_EQ(ReadFileBytes(out + sep + "M (2).swf"), "second");
  EXPECT_EQ(ReadFileBytes(out + sep + "m (3).swf"), "third");
}

TEST_F(QuorvelPackTest, ExtractNeverOverwritesWithoutForceAndWritesNothingThen) {
  const std::string package = PackageFile("p.exe", {{"a.swf", "new a"}, {"b.swf", "new b"}}, true);
  const std::string out = MakeFolder("out");
  const std::string sep(1, sys::PathSeparator());
  sys::WriteWholeFile(out + sep + "b.swf", "old b");
  ProcessResult refused = Run({"extract", package, out});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_FALSE(sys::FileExists(out + sep + "a.swf"));
  EXPECT_EQ(ReadFileBytes(out + sep + "b.swf"), "old b");

  ProcessResult forced = Run({"extract", package, out, "--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.errors;
  EXPECT_EQ(ReadFileBytes(out + sep + "b.swf"), "new b");
}

TEST_F(QuorvelPackTest, ReadingCommandsReportBrokenAndMissingPackages) {
  const std::string broken = work_.Write("broken.exe", "MZ this is no package at all");
  for (const std::string command : {"list", "verify"}) {
    ProcessResult result = Run({command, broken});
    EXPECT_EQ(result.exitCode, 1) << command;
    EXPECT_TRUE(Contains(result.errors, broken + ": ")) << result.errors;
    EXPECT_TRUE(result.output.empty()) << result.output;
  }
  const std::string missing = work_ / "missing.exe";
  ProcessResult result = Run({"verify", missing});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Contains(result.errors, "Cannot open file " + missing));
}

TEST_F(QuorvelPackTest, CommandLineMistakesAreUsageErrors) {
  EXPECT_EQ(Run({}).exitCode, 2);
  EXPECT_EQ(Run({"frobnicate"}).exitCode, 2);
  EXPECT_EQ(Run({"list"}).exitCode, 2);
  EXPECT_EQ(Run({"list", "a", "b"}).exitCode, 2);
  EXPECT_EQ(Run({"build", stub_, "t.exe"}).exitCode, 2);
  ProcessResult unknownOption = Run({"verify", "--fast", "p.exe"});
  EXPECT_EQ(unknownOption.exitCode, 2);
  EXPECT_TRUE(Contains(unknownOption.errors, "unknown option --fast"));
  ProcessResult badDate = Run({"build", stub_, work_ / "t.exe", stub_, "--date=2023-02-29"});
  EXPECT_EQ(badDate.exitCode, 2);
  EXPECT_FALSE(sys::FileExists(work_ / "t.exe"));
  ProcessResult help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(Contains(help.output, "extract <package> <folder>"));
}

TEST_F(QuorvelPackTest, DoubleDashLetsAMovieNameStartWithDashes) {
  const std::string movie = work_.Write("--odd.swf", "odd");
  const std::string target = work_ / "p.exe";
  // Run from anywhere: the movie is given by its full path after "--".
  ProcessResult result = Run({"build", stub_, target, "--", movie});
  EXPECT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(core::ReadPackageFile(target).movies.at(0).name, "--odd.swf");
}

}  // namespace
