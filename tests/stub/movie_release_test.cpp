// Releasing movies: names from a package are only names, and an existing
// file is written only with the user's yes. Real files in a real folder.
#include "stub/movie_release.h"

#include "core/release_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/package_reader.h"
#include "stub_movies.h"
#include "sys/temp_folder.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempFolder;

core::Package PackageOf(const std::vector<std::pair<std::string, std::string>>& movies) {
  stubtest::CraftedPackage crafted;
  crafted.payload = stubtest::Payload(movies, 1);
  return core::ReadPackage(stubtest::Assemble(crafted));
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReleaseFileNames, HostileNamesStayPlainNamesInsideTheFolder) {
  const core::Package package = PackageOf({{"..\\..\\x.swf", "1"},
                                           {"C:\\x", "2"},
                                           {"CON", "3"},
                                           {"", "4"},
                                           {"nul.swf", "5"},
                                           {"a/b.swf", "6"},
                                           {"..", "7"},
                                           {"ok.swf", "8"}});
  EXPECT_EQ(core::ReleaseFileNames(package.movies),
            (std::vector<std::string>{"_.._x.swf", "C__x", "_CON", "movie4.swf", "_nul.swf", "a_b.swf",
                                      "movie7.swf", "ok.swf"}));
}

TEST(ReleaseFileNames, RepeatedNamesGetTheirOwnFilesWithoutRegardToCase) {
  const core::Package package = PackageOf({{"m.swf", "1"}, {"M.SWF", "2"}, {"m.swf", "3"}, {"noext", "4"},
                                           {"NoExt", "5"}, {"m (2).swf", "6"}});
  EXPECT_EQ(core::ReleaseFileNames(package.movies),
            (std::vector<std::string>{"m.swf", "M (2).SWF", "m (3).swf", "noext", "NoExt (2)", "m (2) (2).swf"}));
}

class ReleaseMoviesTest : public ::testing::Test {
 protected:
  TempFolder work;
  std::string out = [this] {
    std::filesystem::create_directories(work / "out");
    return work / "out";
  }();
  std::vector<std::string> asked;
  bool answer = false;
  std::function<bool(const std::string&)> mayOverwrite = [this](const std::string& path) {
    asked.push_back(path);
    return answer;
  };
};

TEST_F(ReleaseMoviesTest, WritesEveryMovieByteForByteAndNothingOutsideTheFolder) {
  const std::string first = testing_support::PseudoRandomBytes(70000, 1);
  const core::Package package = PackageOf({{"..\\..\\x.swf", first}, {"", ""}, {"C:\\x", "third"}});
  const stub::ReleaseOutcome outcome = stub::ReleaseMovies(package, out, mayOverwrite);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(outcome.written, (std::vector<std::string>{core::JoinFolder(out, "_.._x.swf"),
                                                       core::JoinFolder(out, "movie2.swf"),
                                                       core::JoinFolder(out, "C__x")}));
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"C__x", "_.._x.swf", "movie2.swf"}));
  EXPECT_EQ(ReadFileBytes(outcome.written[0]), first);
  EXPECT_EQ(ReadFileBytes(outcome.written[1]), "");
  EXPECT_EQ(ReadFileBytes(outcome.written[2]), "third");
  EXPECT_EQ(FilesIn(work.Path()), std::vector<std::string>{"out"});
}

TEST_F(ReleaseMoviesTest, AnExistingFileIsKeptUnlessTheUserSaysYes) {
  const core::Package package = PackageOf({{"a.swf", "new a"}, {"b.swf", "new b"}});
  work.Write("out/b.swf", "old b");
  answer = false;
  stub::ReleaseOutcome kept = stub::ReleaseMovies(package, out, mayOverwrite);
  EXPECT_EQ(asked, std::vector<std::string>{core::JoinFolder(out, "b.swf")});
  EXPECT_EQ(kept.kept, std::vector<std::string>{core::JoinFolder(out, "b.swf")});
  EXPECT_EQ(ReadFileBytes(out + "/b.swf"), "old b");
  EXPECT_EQ(ReadFileBytes(out + "/a.swf"), "new a");

  asked.clear();
  answer = true;
  const stub::ReleaseOutcome replaced = stub::ReleaseMovies(package, out, mayOverwrite);
  EXPECT_EQ(asked.size(), 2u);  // both exist now
  EXPECT_EQ(replaced.written.size(), 2u);
  EXPECT_EQ(ReadFileBytes(out + "/b.swf"), "new b");
}

TEST_F(ReleaseMoviesTest, AFolderThatIsNotThereFailsWithTheFileError) {
  const core::Package package = PackageOf({{"a.swf", "a"}});
  EXPECT_THROW(stub::ReleaseMovies(package, work / "missing", mayOverwrite), std::exception);
}

TEST(JoinFolder, AddsOneSeparator) {
  EXPECT_EQ(core::JoinFolder("C:\\out", "a.swf"), std::string("C:\\out") + sys::PathSeparator() + "a.swf");
  EXPECT_EQ(core::JoinFolder("C:\\", "a.swf"), "C:\\a.swf");
  EXPECT_EQ(core::JoinFolder("", "a.swf"), "a.swf");
}

}  // namespace
