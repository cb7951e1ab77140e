#pragma once

// The text of a field with the format of every character: UTF-16 code
// units (scripts index text that way), paragraphs ended by '\r', and runs
// of complete formats that cover the text end to end. An empty text keeps
// one format for what is typed or set next.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "swf/text/text_format.h"

namespace swf::text {

struct FormatRun {
  size_t end = 0;  // the run covers from the previous run's end up to here
  TextFormat format;
};

class StyledText {
 public:
  explicit StyledText(TextFormat format = DefaultTextFormat());

  const std::u16string& Text() const { return text_; }
  size_t Length() const { return text_.size(); }
  const std::vector<FormatRun>& Runs() const { return runs_; }

  // The format of the character at `index` (the last one's past the end).
  const TextFormat& FormatAt(size_t index) const;
  // Replaces [begin, end) with `text` in `format` (complete); indices are
  // clamped to the text.
  void Replace(size_t begin, size_t end, std::u16string_view text, const TextFormat& format);
  // Appends text in `format`.
  void Append(std::u16string_view text, const TextFormat& format) { Replace(Length(), Length(), text, format); }
  // Sets what `format` sets on [begin, end).
  void ApplyFormat(size_t begin, size_t end, const TextFormat& format);
  // The fields that every character of [begin, end) shares.
  TextFormat CommonFormat(size_t begin, size_t end) const;

  // Where the paragraph holding `index` begins and ends (before its '\r').
  size_t ParagraphStart(size_t index) const;
  size_t ParagraphEnd(size_t index) const;

 private:
  void Merge();

  std::u16string text_;
  std::vector<FormatRun> runs_;
};

}  // namespace swf::text
