#include <algorithm>
#include <array>

#include "swf/parse/bit_reader.h"
#include "swf/parse/movie.h"
#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"
#include "swf/parse/tag_header.h"

namespace swf {
namespace {

class TagStreamParser {
 public:
  explicit TagStreamParser(ParsedMovie& movie) : movie_(movie) {}

  // Reads tags into `timeline` up to End or the end of the data. Definitions
  // go to the movie's dictionary wherever they appear.
  void Parse(BitReader& reader, TimelineDefinition& timeline, bool insideSprite) {
    Frame pending;
    bool pendingHasContent = false;
    while (!reader.AtEnd()) {
      TagHeader header;
      try {
        header = ReadTagHeader(reader);
      } catch (const ParseError&) {
        Warn("tag header cut off at offset " + std::to_string(reader.AbsoluteOffset()));
        break;
      }
      if (header.length > reader.Remaining()) {
        Warn("tag " + std::to_string(header.code) + " at offset " + std::to_string(header.bodyOffset) +
             " claims " + std::to_string(header.length) + " bytes but only " + std::to_string(reader.Remaining()) +
             " remain; the rest of the data is ignored");
        break;
      }
      BitReader body = reader.Sub(header.length);
      if (header.code == tag::kEnd) break;
      if (tagCount_ == kMaxTags) {
        if (!tagsCutOff_) Warn("the movie has more than " + std::to_string(kMaxTags) + " tags; the rest is ignored");
        tagsCutOff_ = true;
        break;
      }
      ++tagCount_;
      if (header.code == tag::kShowFrame) {
        timeline.frames.push_back(std::move(pending));
        pending = {};
        pendingHasContent = false;
        continue;
      }
      try {
        pendingHasContent |= ParseTag(header, body, timeline, pending, insideSprite);
      } catch (const ParseError& error) {
        Warn("tag " + std::to_string(header.code) + " at offset " + std::to_string(header.bodyOffset) +
             " skipped: " + error.what());
      }
    }
    // Display tags after the last ShowFrame are never shown, except in a
    // timeline without any ShowFrame, which then has this one frame.
    if (timeline.frames.empty() && pendingHasContent) timeline.frames.push_back(std::move(pending));
  }

 private:
  // Returns true when the tag added something to the pending frame.
  bool ParseTag(const TagHeader& header, BitReader& body, TimelineDefinition& timeline, Frame& pending,
                bool insideSprite) {
    switch (header.code) {
      case tag::kPlaceObject:
        pending.tags.emplace_back(ParsePlaceObject1(body));
        return true;
      case tag::kPlaceObject2:
        AddPlacement(ParsePlaceObject2(body, movie_.header.version), header, pending);
        return true;
      case tag::kPlaceObject3:
        AddPlacement(ParsePlaceObject3(body, movie_.header.version), header, pending);
        return true;
      case tag::kRemoveObject:
        pending.tags.emplace_back(ParseRemoveObject1(body));
        return true;
      case tag::kRemoveObject2:
        pending.tags.emplace_back(ParseRemoveObject2(body));
        return true;
      case tag::kFrameLabel:
        timeline.labels.emplace(body.String(), static_cast<uint32_t>(timeline.frames.size()));
        return false;
      case tag::kSetBackgroundColor:
        if (!movie_.backgroundColor) movie_.backgroundColor = ReadRgb(body);
        return false;
      case tag::kDefineShape:
        AddShape(ParseDefineShape(body, 1));
        return false;
      case tag::kDefineShape2:
        AddShape(ParseDefineShape(body, 2));
        return false;
      case tag::kDefineShape3:
        AddShape(ParseDefineShape(body, 3));
        return false;
      case tag::kDefineShape4:
        AddShape(ParseDefineShape(body, 4));
        return false;
      case tag::kJpegTables:
        if (movie_.jpegTables.empty()) {
          const auto tables = body.Rest();
          movie_.jpegTables.assign(tables.begin(), tables.end());
        }
        return false;
      case tag::kDefineBits:
        AddBitmap(ParseDefineBits(body, movie_.jpegTables, bitmapPixelBudget_));
        return false;
      case tag::kDefineBitsJpeg2:
        AddBitmap(ParseDefineBitsJpeg(body, 2, bitmapPixelBudget_));
        return false;
      case tag::kDefineBitsJpeg3:
        AddBitmap(ParseDefineBitsJpeg(body, 3, bitmapPixelBudget_));
        return false;
      case tag::kDefineBitsJpeg4:
        AddBitmap(ParseDefineBitsJpeg(body, 4, bitmapPixelBudget_));
        return false;
      case tag::kDefineBitsLossless:
        AddBitmap(ParseDefineBitsLossless(body, 1, bitmapPixelBudget_));
        return false;
      case tag::kDefineBitsLossless2:
        AddBitmap(ParseDefineBitsLossless(body, 2, bitmapPixelBudget_));
        return false;
      case tag::kDoAction:
        if (!movie_.actionScript3Flag) pending.actions.push_back(ParseDoAction(body));
        return true;
      case tag::kDoInitAction:
        if (!movie_.actionScript3Flag) pending.initActions.push_back(ParseDoInitAction(body));
        return true;
      case tag::kDefineFont:
      case tag::kDefineFont2:
      case tag::kDefineFont3: {
        const int version = header.code == tag::kDefineFont ? 1 : header.code == tag::kDefineFont2 ? 2 : 3;
        FontDefinition font = ParseDefineFont(body, version, RecordBudget());
        if (!font.tablesError.empty()) WarnPart(header, "font tables", font.tablesError);
        const size_t records = CountFontRecords(font);
        AddCharacter(font.id, std::move(font), records);
        return false;
      }
      case tag::kDefineText:
      case tag::kDefineText2: {
        TextDefinition text = ParseDefineText(body, header.code == tag::kDefineText ? 1 : 2, fonts_, RecordBudget());
        const size_t records = CountTextRecords(text);
        AddCharacter(text.id, std::move(text), records);
        return false;
      }
      case tag::kDefineMorphShape:
      case tag::kDefineMorphShape2: {
        MorphShapeDefinition morph =
            ParseDefineMorphShape(body, header.code == tag::kDefineMorphShape ? 1 : 2, RecordBudget());
        const size_t records = CountMorphRecords(morph);
        AddCharacter(morph.id, std::move(morph), records);
        return false;
      }
      case tag::kDefineButton:
      case tag::kDefineButton2: {
        ButtonDefinition button = ParseDefineButton(body, header.code == tag::kDefineButton ? 1 : 2, RecordBudget());
        if (!button.actionsError.empty()) WarnPart(header, "button actions", button.actionsError);
        const size_t records = CountButtonRecords(button);
        AddCharacter(button.id, std::move(button), records);
        return false;
      }
      case tag::kDefineButtonSound: {
        const uint16_t id = body.U16();
        std::array<ButtonSound, 4> sounds = ReadButtonSounds(body);
        if (auto* button = FindCharacterOf<ButtonDefinition>(id)) button->sounds = std::move(sounds);
        return false;
      }
      case tag::kDefineEditText: {
        EditTextDefinition text = ParseDefineEditText(body);
        const uint16_t id = text.id;
        AddCharacter(id, std::move(text), 1);
        return false;
      }
      case tag::kDefineSound: {
        SoundDefinition sound = ParseDefineSound(body);
        const uint16_t id = sound.id;
        movie_.sounds.try_emplace(id, sound);
        return false;
      }
      case tag::kStartSound:
        pending.sounds.push_back(ParseStartSound(body));
        return true;
      case tag::kStartSound2:
        pending.sounds.push_back(ParseStartSound2(body));
        return true;
      case tag::kSoundStreamHead:
      case tag::kSoundStreamHead2: {
        SoundStreamHead head = ParseSoundStreamHead(body, header.code == tag::kSoundStreamHead ? 1 : 2);
        if (!timeline.streamHead) timeline.streamHead = head;
        return false;
      }
      case tag::kSoundStreamBlock:
        pending.streamBlocks.push_back(body.Rest());
        return true;
      case tag::kExportAssets: {
        std::vector<AssetName> exports = ParseExportAssets(body);
        Charge(exports.size());
        for (AssetName& asset : exports) movie_.exports.push_back(std::move(asset));
        return false;
      }
      case tag::kImportAssets:
      case tag::kImportAssets2: {
        ImportedAssets imported = ParseImportAssets(body, header.code == tag::kImportAssets ? 1 : 2);
        Charge(1 + imported.assets.size());
        movie_.imports.push_back(std::move(imported));
        return false;
      }
      case tag::kDefineFontInfo:
      case tag::kDefineFontInfo2: {
        FontInfo info = ParseDefineFontInfo(body, header.code == tag::kDefineFontInfo ? 1 : 2);
        auto* font = FindCharacterOf<FontDefinition>(info.fontId);
        if (font == nullptr) throw ParseError("font " + std::to_string(info.fontId) + " is not defined");
        ApplyFontInfo(*font, std::move(info));
        return false;
      }
      case tag::kDefineFontName: {
        FontName name = ParseDefineFontName(body);
        if (auto* font = FindCharacterOf<FontDefinition>(name.fontId)) {
          font->displayName = std::move(name.name);
          font->copyright = std::move(name.copyright);
        }
        return false;
      }
      case tag::kCsmTextSettings: {
        const TextRenderSettings settings = ParseCsmTextSettings(body);
        movie_.textSettings.insert_or_assign(settings.textId, settings);
        return false;
      }
      case tag::kDefineButtonCxform: {
        const uint16_t id = body.U16();
        const ColorTransform colorTransform = ReadColorTransform(body, false);
        if (auto* button = FindCharacterOf<ButtonDefinition>(id)) ApplyButtonColorTransform(*button, colorTransform);
        return false;
      }
      case tag::kDefineSprite:
        if (insideSprite) throw ParseError("a sprite cannot be defined inside another sprite");
        ParseSprite(body);
        return false;
      case tag::kFileAttributes:
        movie_.actionScript3Flag = (body.U8() & 0x08) != 0;
        return false;
      case tag::kDoAbcEarly:
      case tag::kDoAbc:
        movie_.hasAs3Code = true;
        KeepRaw(header, body);
        return false;
      default:
        KeepRaw(header, body);
        return false;
    }
  }

  void KeepRaw(const TagHeader& header, BitReader& body) {
    movie_.unknownTags.push_back({header.code, header.bodyOffset, body.Rest()});
  }

  void AddShape(ShapeDefinition shape) {
    const size_t records = CountShapeRecords(shape);
    if (records > kMaxMovieShapeRecords - shapeRecords_) {
      throw ParseError("the movie's shapes hold more than " + std::to_string(kMaxMovieShapeRecords) + " records");
    }
    shapeRecords_ += records;
    const uint16_t id = shape.id;
    // The first definition of an id wins; a later duplicate cannot change
    // what earlier frames already show.
    movie_.characters.try_emplace(id, std::move(shape));
  }

  void AddBitmap(Bitmap bitmap) {
    const uint16_t id = bitmap.id;
    movie_.bitmaps.try_emplace(id, std::move(bitmap));
  }

  // What the next character's shape records may take of both ceilings.
  size_t RecordBudget() const { return std::min(kMaxShapeRecords, kMaxMovieShapeRecords - shapeRecords_); }

  void AddCharacter(uint16_t id, Character character, size_t records) {
    Charge(records);
    movie_.characters.try_emplace(id, std::move(character));
  }

  // Counts parsed records (shape records, and the button records, clip
  // actions, filters and names kept as data) against the movie's ceiling.
  void Charge(size_t records) {
    if (records > kMaxMovieShapeRecords - shapeRecords_) {
      throw ParseError("the movie's shapes hold more than " + std::to_string(kMaxMovieShapeRecords) + " records");
    }
    shapeRecords_ += records;
  }

  void AddPlacement(PlaceObject place, const TagHeader& header, Frame& pending) {
    if (!place.clipActionsError.empty()) WarnPart(header, "clip actions", place.clipActionsError);
    Charge(place.clipActions.records.size() + place.filters.size());
    pending.tags.emplace_back(std::move(place));
  }

  template <typename T>
  T* FindCharacterOf(uint16_t id) {
    auto found = movie_.characters.find(id);
    return found == movie_.characters.end() ? nullptr : std::get_if<T>(&found->second);
  }

  // A part of a tag that was broken while the rest of it was kept.
  void WarnPart(const TagHeader& header, const std::string& part, const std::string& error) {
    Warn("tag " + std::to_string(header.code) + " at offset " + std::to_string(header.bodyOffset) + ": " + part +
         " skipped: " + error);
  }

  const FontDefinition* FindFont(uint16_t id) const {
    const Character* character = movie_.FindCharacter(id);
    return character != nullptr ? std::get_if<FontDefinition>(character) : nullptr;
  }

  void ParseSprite(BitReader& body) {
    SpriteDefinition sprite;
    sprite.id = body.U16();
    sprite.timeline.declaredFrameCount = body.U16();
    Parse(body, sprite.timeline, true);
    const uint16_t id = sprite.id;
    movie_.characters.try_emplace(id, std::move(sprite));
  }

  void Warn(std::string message) {
    if (movie_.warnings.size() < kMaxWarnings) {
      movie_.warnings.push_back(std::move(message));
    } else if (movie_.warnings.size() == kMaxWarnings) {
      movie_.warnings.push_back("further warnings left out");
    }
  }

  ParsedMovie& movie_;
  size_t tagCount_ = 0;  // of all timelines, against kMaxTags
  bool tagsCutOff_ = false;
  FontLookup fonts_ = [this](uint16_t id) { return FindFont(id); };
  size_t bitmapPixelBudget_ = kMaxMovieBitmapPixels;  // what the movie's bitmaps may still decode
  size_t shapeRecords_ = 0;  // of the shapes kept so far, against kMaxMovieShapeRecords
};

}  // namespace

ParsedMovie ParseMovie(std::span<const uint8_t> file, size_t maxSize) {
  DecodedMovie decoded = DecodeMovie(file, maxSize);
  ParsedMovie movie;
  movie.header = decoded.header;
  movie.fileSize = file.size();
  movie.body = std::move(decoded.body);
  movie.root.declaredFrameCount = movie.header.frameCount;
  constexpr size_t kSignatureSize = 8;
  BitReader reader(std::span<const uint8_t>(movie.body).subspan(decoded.tagsOffset),
                   kSignatureSize + decoded.tagsOffset);
  TagStreamParser(movie).Parse(reader, movie.root, false);
  return movie;
}

}  // namespace swf
