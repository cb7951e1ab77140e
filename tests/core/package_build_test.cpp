// The one build routine behind the packager and the console tool: its stages,
// its errors by type, and its block against zlib's own one-call compressor.
#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "../sys/temp_folder.h"
#include "core/package_format.h"
#include "core/package_writer.h"
#include "package_test_support.h"
#include "sys/file.h"
#include "sys/file_errors.h"

namespace {

using core::BuildStage;
using testing_support::PseudoRandomBytes;
using testing_support::ReadFileBytes;
using testing_support::TempFolder;

class RecordingObserver final : public core::BuildObserver {
 public:
  void StageReached(BuildStage stage) override { stages.push_back(stage); }
  void MovieLeftOut(const std::string& path) override { leftOut.push_back(path); }

  std::vector<BuildStage> stages;
  std::vector<std::string> leftOut;
};

const std::vector<BuildStage> kAllStages{BuildStage::kWriterReady, BuildStage::kMoviesRead,
                                         BuildStage::kDirectoryAppended,
                                         BuildStage::kCompressedAndStubOpen};

std::vector<BuildStage> FirstStages(std::size_t count) {
  return {kAllStages.begin(), kAllStages.begin() + static_cast<std::ptrdiff_t>(count)};
}

// Bytes like an uncompressed movie's: repetitive words.
std::string TextBytes(std::size_t size) {
  static const char* const kWords[] = {"DefineShape ", "PlaceObject2 ", "ShowFrame ", "stop();\n", "_root."};
  std::string text;
  unsigned state = 1;
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    text += kWords[(state >> 16) % 5];
  }
  text.resize(size);
  return text;
}

class PackageBuildTest : public ::testing::Test {
 protected:
  core::PackageBuild BuildOf(std::vector<std::string> movies) const {
    core::PackageBuild build;
    build.stubPath = stub_;
    build.moviePaths = std::move(movies);
    build.releaseFlag = true;
    build.dateStamp = 36526.0;
    build.targetPath = folder_ / "out.exe";
    return build;
  }

  TempFolder folder_;
  const std::string stubBytes_ = "MZ" + PseudoRandomBytes(5000, 3);
  const std::string stub_ = folder_.Write("player.dat", stubBytes_);
};

TEST_F(PackageBuildTest, StagesComeInOrderAndVanishedMoviesAreReportedAsTheyComeUp) {
  const std::string a = folder_.Write("a.swf", "aaa");
  const std::string b = folder_.Write("b.swf", "bb");
  RecordingObserver observer;
  const std::size_t packed =
      core::BuildPackageFile(BuildOf({folder_ / "gone1.swf", a, folder_ / "gone2.swf", b}), observer);
  EXPECT_EQ(packed, 2u);
  EXPECT_EQ(observer.stages, kAllStages);
  EXPECT_EQ(observer.leftOut, (std::vector<std::string>{folder_ / "gone1.swf", folder_ / "gone2.swf"}));
}

// An observer that stops the build leaves no target behind.
TEST_F(PackageBuildTest, AnObserverThatThrowsAtAStageStopsTheBuildBeforeAnythingIsWritten) {
  class Stopper final : public core::BuildObserver {
   public:
    explicit Stopper(BuildStage at) : at_(at) {}
    void StageReached(BuildStage stage) override {
      if (stage == at_) throw std::runtime_error("stopped");
    }

   private:
    BuildStage at_;
  };
  const std::string target = folder_.Write("out.exe", "old package");
  for (BuildStage stage : kAllStages) {
    Stopper stopper(stage);
    EXPECT_THROW(core::BuildPackageFile(BuildOf({folder_.Write("a.swf", "a")}), stopper), std::runtime_error);
    EXPECT_EQ(ReadFileBytes(target), "old package");
  }
}

// Packages larger than the writer's read slices and output blocks, and the
// same stream that zlib makes in one call over the whole payload.
TEST_F(PackageBuildTest, TheBlockIsZlibsOwnStreamOfThePayloadAcrossSlicesAndBlocks) {
  const std::string packed = PseudoRandomBytes((3 << 20) + 17, 4);
  const std::string text = TextBytes((5 << 20) + 3);
  RecordingObserver observer;
  core::BuildPackageFile(BuildOf({folder_.Write("p.swf", packed), folder_.Write("t.swf", text)}), observer);

  const std::string directory = "p.swf:" + std::to_string(packed.size()) + "\r\nt.swf:" +
                                std::to_string(text.size()) + "\r\n";
  const std::string payload =
      packed + text + directory +
      testing_support::PayloadTrailer(true, 36526.0, static_cast<std::uint32_t>(directory.size()));
  std::string expected(compressBound(static_cast<uLong>(payload.size())), '\0');
  uLongf expectedSize = static_cast<uLongf>(expected.size());
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(expected.data()), &expectedSize,
                      reinterpret_cast<const Bytef*>(payload.data()), static_cast<uLong>(payload.size()), 9),
            Z_OK);
  expected.resize(expectedSize);

  const std::string file = ReadFileBytes(folder_ / "out.exe");
  ASSERT_EQ(file.size(), stubBytes_.size() + expected.size() + 8);
  EXPECT_EQ(file.substr(0, stubBytes_.size()), stubBytes_);
  EXPECT_TRUE(file.compare(stubBytes_.size(), expected.size(), expected) == 0);
  EXPECT_EQ(testing_support::Le32(file, file.size() - 8), payload.size());
  EXPECT_EQ(testing_support::Le32(file, file.size() - 4), expected.size());
}

// What a failed build throws, by type, and how far it got. No case leaves a
// target or a scratch file behind.
enum class Failure { kNone, kTooLarge, kCannotOpen, kCannotRead, kCannotCreate, kOther };

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Failure FailureOf(const std::function<void()>& build) {
  try {
    build();
  } catch (const core::PackageTooLargeError&) {
    return Failure::kTooLarge;
  } catch (const sys::OpenError&) {
    return Failure::kCannotOpen;
  } catch (const sys::ReadError&) {
    return Failure::kCannotRead;
  } catch (const sys::CreateError&) {
    return Failure::kCannotCreate;
  } catch (...) {
    return Failure::kOther;
  }
  return Failure::kNone;
}

// A movie that exists but cannot be opened for reading.
std::string UnopenableMovie([[maybe_unused]] const std::string& existing, std::vector<sys::File>& holders) {
#ifdef _WIN32
  // Held by a handle that shares nothing.
  holders.emplace_back(existing, sys::FileAccess::kCreateExclusive);
  return existing;
#else
  // Share modes do not exist here and the tests may run as root: a device is
  // there but is no file.
  (void)holders;
  return "/dev/null";
#endif
}

TEST_F(PackageBuildTest, EachFailureHasItsTypeAndComesAtItsStage) {
  const std::string movie = folder_.Write("m.swf", std::string(100, 'm'));
  // "m.swf:100" CR LF is 11 bytes and the trailer 14: 125 bytes fit exactly.
  const std::uint64_t payloadOfMovie = 125;
  const std::string random = folder_.Write("r.swf", PseudoRandomBytes(1000, 5));
  const std::uint64_t payloadOfRandom = 1000 + 12 + 14;  // random data grows when compressed
  const std::string held = folder_.Write("held.swf", "movie");
  std::vector<sys::File> holders;
  const std::vector<std::string> namesBefore = FolderNames(folder_.Path());

  struct Case {
    const char* name;
    std::function<void(core::PackageBuild&)> change;
    Failure failure;
    std::size_t stagesReached;
  };
  const std::vector<Case> cases = {
      {"payload one byte beyond the limit", [&](core::PackageBuild& b) { b.sizeLimit = payloadOfMovie - 1; },
       Failure::kTooLarge, 1},
      {"payload exactly at the limit", [&](core::PackageBuild& b) { b.sizeLimit = payloadOfMovie; },
       Failure::kNone, 4},
      {"compressed block beyond the limit",
       [&](core::PackageBuild& b) {
         b.moviePaths = {random};
         b.sizeLimit = payloadOfRandom;
       },
       Failure::kTooLarge, 3},
      {"movie that cannot be opened",
       [&](core::PackageBuild& b) { b.moviePaths = {movie, UnopenableMovie(held, holders)}; },
       Failure::kCannotOpen, 1},
#ifdef __linux__
      // Says it is empty, then has bytes: a movie that changes while read.
      {"movie whose size changes", [&](core::PackageBuild& b) { b.moviePaths = {"/proc/self/status"}; },
       Failure::kCannotRead, 1},
#endif
      {"missing stub", [&](core::PackageBuild& b) { b.stubPath = folder_ / "missing.dat"; },
       Failure::kCannotOpen, 3},
      {"target in a missing folder",
       [&](core::PackageBuild& b) {
         b.targetPath = folder_ / "nowhere" + std::string(1, sys::PathSeparator()) + "out.exe";
       },
       Failure::kCannotCreate, 4},
      {"target that is a folder", [&](core::PackageBuild& b) { b.targetPath = folder_.Path(); },
       Failure::kCannotCreate, 4},
      {"stub as its own target", [&](core::PackageBuild& b) { b.targetPath = stub_; }, Failure::kCannotCreate, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core::PackageBuild build = BuildOf({movie});
    c.change(build);
    RecordingObserver observer;
    EXPECT_EQ(FailureOf([&] { core::BuildPackageFile(build, observer); }), c.failure);
    EXPECT_EQ(observer.stages, FirstStages(c.stagesReached));
    holders.clear();
    if (c.failure == Failure::kNone) {
      EXPECT_TRUE(sys::RemoveFile(folder_ / "out.exe"));
    }
    EXPECT_EQ(FolderNames(folder_.Path()), namesBefore);
    EXPECT_EQ(ReadFileBytes(stub_), stubBytes_);
  }
}

}  // namespace
