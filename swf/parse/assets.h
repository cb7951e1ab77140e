#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/parse/bit_reader.h"

namespace swf {

// A character and the name a movie shares it under.
struct AssetName {
  uint16_t characterId = 0;
  std::string name;
  bool operator==(const AssetName&) const = default;
};

// ImportAssets (version 1) / ImportAssets2 (2): characters of another movie,
// given ids in this one.
struct ImportedAssets {
  int version = 1;
  std::string url;
  std::vector<AssetName> assets;
};

// ExportAssets.
std::vector<AssetName> ParseExportAssets(BitReader& reader);
ImportedAssets ParseImportAssets(BitReader& reader, int importVersion);

}  // namespace swf
