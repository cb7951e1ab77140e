// Imported assets: the characters a movie imports from a movie beside it
// are loaded through the host and placed as the other movie defines them,
// with that movie's own characters and bitmaps inside them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fill_builder.h"
#include "swf/host_services.h"
#include "swf/player.h"
#include "swf/snapshot.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kGreen{0, 255, 0, 255};

// Gives the files it holds and notes every path it is asked for.
class FileHost : public HostServices {
 public:
  std::optional<std::vector<uint8_t>> LoadFile(std::string_view relativePath) override {
    requests.emplace_back(relativePath);
    const auto found = files.find(std::string(relativePath));
    if (found == files.end()) return std::nullopt;
    return found->second;
  }
  std::map<std::string, Bytes> files;
  std::vector<std::string> requests;
};

Bytes AssetList(const std::vector<std::pair<uint16_t, std::string>>& assets) {
  swftest::BitWriter w;
  w.U16(static_cast<uint16_t>(assets.size()));
  for (const auto& [id, name] : assets) {
    w.U16(id);
    w.String(name);
  }
  return w.Take();
}

Bytes ExportAssets(const std::vector<std::pair<uint16_t, std::string>>& assets) {
  return swftest::Tag(56, AssetList(assets));
}

// ImportAssets (version 1) or ImportAssets2 (2).
Bytes ImportAssets(int version, const std::string& url, const std::vector<std::pair<uint16_t, std::string>>& assets) {
  swftest::BitWriter w;
  w.String(url);
  if (version == 2) {
    w.U8(1);
    w.U8(0);
  }
  w.Append(AssetList(assets));
  return swftest::Tag(version == 2 ? 71 : 57, w.Take());
}

// The library: its own shape 1 (red) inside sprite 3, a blue shape 2, and
// shape 4 filled with its bitmap 9 (green). Its ids overlap the importing
// movie's on purpose.
Bytes Library() {
  const Matrix pixelScale = Matrix::Scale(20, 20);
  return swftest::Movie({swftest::SquareShapeTag(1, 200, kRed), swftest::SquareShapeTag(2, 200, kBlue),
                         swftest::DefineSprite(3, 1, {swftest::PlaceObject2({.depth = 1, .characterId = 1}),
                                                      swftest::ShowFrame()}),
                         swftest::LosslessTag(2, 9, 5, 1, 1, {255, 0, 255, 0}),
                         swftest::RectangleShapeTag(4, {0, 200, 0, 200}, swftest::BitmapFillStyle(0x40, 9, pixelScale)),
                         ExportAssets({{3, "clip"}, {2, "square"}, {4, "picture"}}), swftest::ShowFrame()});
}

Rgba At(const Snapshot& s, int x, int y) {
  const uint8_t* p = &s.rgba[(static_cast<size_t>(y) * s.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// The importing movie has a shape 1 of its own (white on white: never seen
// unless the sprite's child were looked up here). Imported ids 10 to 14 are
// placed in the four quarters of the stage and in its middle.
Snapshot RenderImporting(int importVersion, FileHost* host) {
  const Matrix topRight = Matrix::Translate(600, 0);
  const Matrix bottomLeft = Matrix::Translate(0, 400);
  const Matrix bottomRight = Matrix::Translate(600, 400);
  const Matrix middle = Matrix::Translate(300, 200);
  const Bytes movie = swftest::Movie(
      {swftest::Tag(9, {255, 255, 255}), swftest::SquareShapeTag(1, 200, kWhite),
       ImportAssets(importVersion, "lib.swf", {{10, "clip"}, {11, "square"}, {12, "not exported"}, {13, "picture"}}),
       ImportAssets(importVersion, "absent.swf", {{14, "clip"}}),
       swftest::PlaceObject2({.depth = 1, .characterId = 10}),
       swftest::PlaceObject2({.depth = 2, .characterId = 11, .matrix = &topRight}),
       swftest::PlaceObject2({.depth = 3, .characterId = 12, .matrix = &bottomLeft}),
       swftest::PlaceObject2({.depth = 4, .characterId = 13, .matrix = &bottomRight}),
       swftest::PlaceObject2({.depth = 5, .characterId = 14, .matrix = &middle}), swftest::ShowFrame()},
      swftest::Signature::kFws, 8, {0, 800, 0, 600});
  Player player(movie, host);
  return TakeSnapshot(player, {.frames = 1, .width = 40, .height = 30, .quality = Quality::kLow});
}

TEST(ImportTest, ImportedCharactersArePlacedFromTheOtherMovie) {
  for (const int version : {1, 2}) {
    FileHost host;
    host.files["lib.swf"] = Library();
    const Snapshot s = RenderImporting(version, &host);
    EXPECT_EQ(At(s, 5, 5), kRed) << "a sprite whose child is the library's shape 1, version " << version;
    EXPECT_EQ(At(s, 35, 5), kBlue) << "a shape";
    EXPECT_EQ(At(s, 35, 25), kGreen) << "a shape filled with the library's bitmap";
    EXPECT_EQ(At(s, 5, 25), kWhite) << "a name the library does not export";
    EXPECT_EQ(At(s, 20, 15), kWhite) << "a file that is not there";
    EXPECT_EQ(host.requests, (std::vector<std::string>{"lib.swf", "absent.swf"}));
  }
}

TEST(ImportTest, NothingIsPlacedWithoutTheFilesOrAHost) {
  FileHost notAMovie;
  notAMovie.files["lib.swf"] = {'F', 'W', 'S', 8, 1, 2, 3};
  for (FileHost* host : {static_cast<FileHost*>(nullptr), &notAMovie}) {
    const Snapshot s = RenderImporting(1, host);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{5, 5}, {35, 5}, {35, 25}, {5, 25}, {20, 15}}) {
      EXPECT_EQ(At(s, x, y), kWhite) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace swf
