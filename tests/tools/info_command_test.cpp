// "quorvel-pack info" run as a real process on movies written in code.
#include <gtest/gtest.h>

#include <algorithm>

#include "../sys/temp_folder.h"
#include "run_process.h"
#include "swf/parse/tag_header.h"
#include "swf/swf_builder.h"
#include "sys/process.h"

namespace {

using testing_support::ProcessResult;
using testing_support::QuorvelPackPath;
using testing_support::TempFolder;
using swftest::Bytes;

std::string MovieText(std::vector<Bytes> tags, swftest::Signature signature) {
  swftest::Place place;
  place.characterId = 1;
  tags.insert(tags.begin(), swftest::SquareShapeTag(1, 400, swf::Rgba{0, 0, 200, 255}));
  tags.push_back(swftest::PlaceObject2(place));
  tags.push_back(swftest::ShowFrame());
  tags.push_back(swftest::ShowFrame());
  // 320 x 240.5 pixels at 12.5 frames a second; the header claims 1 frame.
  const Bytes bytes = swftest::Movie(tags, signature, 9, swf::Rect{0, 6400, 0, 4810}, 12 << 8 | 128, 1);
  return std::string(bytes.begin(), bytes.end());
}

// ActionScript 3 code and an event sound.
std::string As3Movie() {
  return MovieText({swftest::Tag(swf::tag::kFileAttributes, {0x08, 0, 0, 0}), swftest::Tag(swf::tag::kDoAbc, {1, 2}),
                    swftest::Tag(60, {1, 0, 1, 0, 16, 0, 16, 0, 0, 2})},  // a video stream
                   swftest::Signature::kCws);
}

// JSON text of a path whose only special characters are the separators.
std::string JsonPathText(const std::string& path) {
  std::string text;
  for (char c : path) {
    EXPECT_NE(c, '"');
    if (c == '\\') text += '\\';
    text += c;
  }
  return text;
}

class InfoCommandTest : public ::testing::Test {
 protected:
  ProcessResult Run(const std::vector<std::string>& arguments) {
    ProcessResult result = testing_support::RunProcess(QuorvelPackPath(), arguments, scratch_.Path());
    std::erase(result.output, '\r');
    std::erase(result.errors, '\r');
    return result;
  }

  TempFolder scratch_;
  TempFolder work_;
};

TEST_F(InfoCommandTest, DescribesTheMovieAndNamesWhatIsNotRun) {
  const std::string movie = work_.Write("game.swf", As3Movie());
  const ProcessResult result = Run({"info", movie});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  EXPECT_EQ(result.output, "movie:        " + movie +
                               "\n"
                               "version:      9\n"
                               "compression:  zlib\n"
                               "stage:        320 x 240.5 pixels\n"
                               "frame rate:   12.5 per second\n"
                               "frames:       2 (the header says 1)\n"
                               "AS3 flag:     yes\n"
                               "unsupported:\n"
                               "  as3: ActionScript 3 is not run\n"
                               "  video: Video is not played\n");
  EXPECT_EQ(result.errors, "");
}

TEST_F(InfoCommandTest, JsonCarriesTheSameFiguresWithEscapedStrings) {
#ifdef _WIN32
  const std::string name = "game.swf";
  const std::string nameJson = name;
#else
  const std::string name = "odd \"name\" \\ \xC3\xA9\x01.swf";
  const std::string nameJson = "odd \\\"name\\\" \\\\ \xC3\xA9\\u0001.swf";
#endif
  const std::string movie = work_.Write(name, As3Movie());
  const ProcessResult result = Run({"info", movie, "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.errors;
  const std::string folderJson = JsonPathText(work_.Path() + sys::PathSeparator());
  EXPECT_EQ(result.output, "{\"movie\":\"" + folderJson + nameJson +
                               "\",\"version\":9,\"compression\":\"zlib\","
                               "\"stage\":{\"width\":320,\"height\":240.5},\"frameRate\":12.5,\"frameCount\":2,"
                               "\"declaredFrameCount\":1,\"as3Flag\":true,\"unsupported\":["
                               "{\"name\":\"as3\",\"phrase\":\"ActionScript 3 is not run\"},"
                               "{\"name\":\"video\",\"phrase\":\"Video is not played\"}],"
                               "\"notice\":\"ActionScript 3 is not run: this movie may not work in a package\","
                               "\"warnings\":[]}\n");
}

TEST_F(InfoCommandTest, APlainMovieHasNothingUnsupportedAndBrokenTagsAreListed) {
  // A PlaceObject2 cut short is skipped with a warning.
  const std::string movie =
      work_.Write("plain.swf", MovieText({swftest::Tag(swf::tag::kPlaceObject2, {0x02})}, swftest::Signature::kFws));
  const ProcessResult text = Run({"info", movie});
  ASSERT_EQ(text.exitCode, 0) << text.errors;
  EXPECT_NE(text.output.find("compression:  none\nstage:        320 x 240.5 pixels\n"), std::string::npos);
  EXPECT_NE(text.output.find("AS3 flag:     no\n"
                             "unsupported:  nothing; the engine plays all of it\n"
                             "warning:      tag 26"),
            std::string::npos)
      << text.output;

  const ProcessResult json = Run({"info", "--json", movie});
  ASSERT_EQ(json.exitCode, 0) << json.errors;
  EXPECT_NE(json.output.find("\"as3Flag\":false,\"unsupported\":[],\"notice\":\"\",\"warnings\":[\"tag 26"),
            std::string::npos)
      << json.output;
}

TEST_F(InfoCommandTest, RefusesWhatIsNotAMovie) {
  const std::string notMovie = work_.Write("notes.txt", "these are no movie bytes");
  const ProcessResult result = Run({"info", notMovie});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.output, "");
  EXPECT_NE(result.errors.find("quorvel-pack: " + notMovie + ": "), std::string::npos) << result.errors;

  const ProcessResult extra = Run({"info", notMovie, "another"});
  EXPECT_EQ(extra.exitCode, 2);
  EXPECT_NE(extra.errors.find("usage: quorvel-pack info <movie.swf> [--json]"), std::string::npos) << extra.errors;
}

}  // namespace
