#include "swf/parse/assets.h"

namespace swf {
namespace {

// Every entry takes at least three bytes, so the tag bounds the count.
std::vector<AssetName> ReadAssetNames(BitReader& reader) {
  const unsigned count = reader.U16();
  std::vector<AssetName> assets;
  for (unsigned i = 0; i < count; ++i) {
    AssetName asset;
    asset.characterId = reader.U16();
    asset.name = reader.String();
    assets.push_back(std::move(asset));
  }
  return assets;
}

}  // namespace

std::vector<AssetName> ParseExportAssets(BitReader& reader) { return ReadAssetNames(reader); }

ImportedAssets ParseImportAssets(BitReader& reader, int importVersion) {
  ImportedAssets imported;
  imported.version = importVersion;
  imported.url = reader.String();
  if (importVersion >= 2) reader.Skip(2);  // reserved: 1, 0
  imported.assets = ReadAssetNames(reader);
  return imported;
}

}  // namespace swf
