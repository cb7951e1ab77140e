#include "swf/text/styled_text.h"

#include <algorithm>

namespace swf::text {

StyledText::StyledText(TextFormat format) { runs_.push_back(FormatRun{0, std::move(format)}); }

const TextFormat& StyledText::FormatAt(size_t index) const {
  for (const FormatRun& run : runs_) {
    if (index < run.end) return run.format;
  }
  return runs_.back().format;
}

void StyledText::Replace(size_t begin, size_t end, std::u16string_view text, const TextFormat& format) {
  begin = std::min(begin, text_.size());
  end = std::clamp(end, begin, text_.size());
  const size_t removed = end - begin;
  // Cut the runs at begin and end, drop what lies between, put the new run
  // in, and move the later ends along.
  std::vector<FormatRun> runs;
  size_t start = 0;
  bool inserted = false;
  for (const FormatRun& run : runs_) {
    if (start < begin) runs.push_back(FormatRun{std::min(run.end, begin), run.format});
    if (!inserted && run.end >= begin) {
      if (!text.empty()) runs.push_back(FormatRun{begin + text.size(), format});
      inserted = true;
    }
    if (run.end > end) runs.push_back(FormatRun{run.end - removed + text.size(), run.format});
    start = run.end;
  }
  if (!inserted && !text.empty()) runs.push_back(FormatRun{begin + text.size(), format});
  text_.replace(begin, removed, text);
  if (runs.empty()) runs.push_back(FormatRun{0, format});
  runs_ = std::move(runs);
  Merge();
}

void StyledText::ApplyFormat(size_t begin, size_t end, const TextFormat& format) {
  begin = std::min(begin, text_.size());
  end = std::clamp(end, begin, text_.size());
  if (text_.empty()) {
    runs_.front().format.Apply(format);
    return;
  }
  std::vector<FormatRun> runs;
  size_t start = 0;
  for (const FormatRun& run : runs_) {
    // Up to three pieces: before, inside and after the range.
    if (start < begin) runs.push_back(FormatRun{std::min(run.end, begin), run.format});
    const size_t from = std::max(start, begin);
    const size_t to = std::min(run.end, end);
    if (from < to) {
      TextFormat changed = run.format;
      changed.Apply(format);
      runs.push_back(FormatRun{to, changed});
    }
    if (run.end > end) runs.push_back(FormatRun{run.end, run.format});
    start = run.end;
  }
  runs_ = std::move(runs);
  Merge();
}

TextFormat StyledText::CommonFormat(size_t begin, size_t end) const {
  begin = std::min(begin, text_.size());
  end = std::clamp(end, begin, text_.size());
  if (begin == end) return FormatAt(begin == 0 ? 0 : begin - 1);
  std::optional<TextFormat> common;
  size_t start = 0;
  for (const FormatRun& run : runs_) {
    if (run.end > begin && start < end) {
      if (common) {
        common->KeepCommon(run.format);
      } else {
        common = run.format;
      }
    }
    start = run.end;
  }
  return common ? *common : FormatAt(begin);
}

size_t StyledText::ParagraphStart(size_t index) const {
  index = std::min(index, text_.size());
  while (index > 0 && text_[index - 1] != u'\r') --index;
  return index;
}

size_t StyledText::ParagraphEnd(size_t index) const {
  while (index < text_.size() && text_[index] != u'\r') ++index;
  return index;
}

void StyledText::Merge() {
  std::vector<FormatRun> runs;
  size_t start = 0;
  for (FormatRun& run : runs_) {
    if (run.end <= start && !text_.empty()) continue;  // empty
    if (!runs.empty() && runs.back().format == run.format) {
      runs.back().end = run.end;
    } else {
      runs.push_back(std::move(run));
    }
    start = run.end;
  }
  if (runs.empty()) runs.push_back(runs_.back());
  runs.back().end = text_.size();
  runs_ = std::move(runs);
}

}  // namespace swf::text
