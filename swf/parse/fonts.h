#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "swf/parse/bit_reader.h"
#include "swf/parse/shape.h"
#include "swf/parse/types.h"

namespace swf {

struct FontFlags {
  bool bold = false;
  bool italic = false;
  bool smallText = false;
  bool shiftJis = false;
  bool ansi = false;
  bool wideCodes = false;    // character codes are UI16
  bool wideOffsets = false;  // DefineFont2/3: glyph offsets are UI32
  bool operator==(const FontFlags&) const = default;
};

struct KerningPair {
  uint16_t left = 0;  // character codes
  uint16_t right = 0;
  int16_t adjustment = 0;
  bool operator==(const KerningPair&) const = default;
};

// DefineFont2/3 layout tables, in the font's EM units (DefineFont3's twenty
// times as fine), one advance and bounds per glyph.
struct FontLayout {
  uint16_t ascent = 0;
  uint16_t descent = 0;
  int16_t leading = 0;
  std::vector<int16_t> advances;
  std::vector<Rect> bounds;
  std::vector<KerningPair> kerning;
};

// The glyph outlines of DefineFont, DefineFont2 or DefineFont3. Every glyph
// is filled with its one style (number 1), which stands for the colour of
// the text that uses it.
struct FontDefinition {
  uint16_t id = 0;
  // Glyph units per twip of text height: DefineFont and DefineFont2 draw on
  // a 1024-unit EM square, DefineFont3 on one twenty times as fine.
  double emScale = 1.0 / 1024;
  std::vector<std::vector<ShapePath>> glyphs;

  // What text fields need besides outlines. DefineFont2/3 carry it;
  // DefineFontInfo/2 and DefineFontName add it to a font of any version.
  int version = 1;
  std::string name;  // as stored (code page or UTF-8), trailing 0 removed
  FontFlags flags;
  uint8_t languageCode = 0;
  std::vector<uint16_t> codes;  // the character of each glyph; empty when not given
  std::optional<FontLayout> layout;
  std::string displayName;  // DefineFontName
  std::string copyright;    // DefineFontName
  // A broken code table or layout does not cost the outlines: they stay
  // empty and this says what was wrong.
  std::string tablesError;
};

// Body of DefineFont (version 1), DefineFont2 (2) or DefineFont3 (3). The
// glyphs together may hold at most `maxRecords` shape records.
FontDefinition ParseDefineFont(BitReader& reader, int fontVersion, size_t maxRecords);

// Shape records of all of a font's glyphs, and its layout's bounds and
// kerning pairs.
size_t CountFontRecords(const FontDefinition& font);

// DefineFontInfo (version 1) / DefineFontInfo2 (2): the name, style and
// character codes of a font defined before.
struct FontInfo {
  uint16_t fontId = 0;
  std::string name;
  FontFlags flags;  // wideOffsets unused
  uint8_t languageCode = 0;  // DefineFontInfo2
  std::vector<uint16_t> codes;  // the rest of the tag
};
FontInfo ParseDefineFontInfo(BitReader& reader, int infoVersion);
void ApplyFontInfo(FontDefinition& font, FontInfo info);

// DefineFontName.
struct FontName {
  uint16_t fontId = 0;
  std::string name;
  std::string copyright;
};
FontName ParseDefineFontName(BitReader& reader);

// CSMTextSettings: how a DefineText or DefineEditText is anti-aliased.
struct TextRenderSettings {
  uint16_t textId = 0;
  uint8_t renderer = 0;  // 0 normal, 1 advanced anti-aliasing
  uint8_t gridFit = 0;   // 0 none, 1 pixel, 2 sub-pixel
  float thickness = 0;
  float sharpness = 0;
};
TextRenderSettings ParseCsmTextSettings(BitReader& reader);

}  // namespace swf
