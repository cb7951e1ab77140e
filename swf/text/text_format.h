#pragma once

// The character and paragraph formats of text in a field, as scripts see
// them through TextFormat: every field may be unset (a format asked of a
// range where characters differ leaves that field unset; a format given to
// a range changes only what it sets).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swf::text {

enum class Align : uint8_t { kLeft, kRight, kCenter, kJustify };

struct TextFormat {
  // Characters.
  std::optional<std::string> font;
  std::optional<double> size;      // pixels
  std::optional<uint32_t> color;   // 0xRRGGBB
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<bool> underline;
  std::optional<std::string> url;
  std::optional<std::string> target;
  std::optional<double> letterSpacing;  // pixels
  std::optional<bool> kerning;
  // Paragraphs.
  std::optional<Align> align;
  std::optional<double> leftMargin;  // pixels
  std::optional<double> rightMargin;
  std::optional<double> indent;
  std::optional<double> blockIndent;
  std::optional<double> leading;
  std::optional<bool> bullet;
  std::optional<std::vector<double>> tabStops;

  bool operator==(const TextFormat&) const = default;

  // Fields `other` sets replace these.
  void Apply(const TextFormat& other);
  // Fields that differ from `other` become unset.
  void KeepCommon(const TextFormat& other);
  // Every field set: the format of a field's characters always is.
  bool Complete() const;
};

// What a new field's text starts with: Times New Roman 12 black, left, no
// margins.
TextFormat DefaultTextFormat();

}  // namespace swf::text
