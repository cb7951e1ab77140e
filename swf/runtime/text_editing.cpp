#include "swf/runtime/text_editing.h"

#include <algorithm>
#include <cmath>

#include "swf/avm1/utf16.h"
#include "swf/runtime/input_events.h"
#include "swf/runtime/runtime.h"
#include "swf/text/text_restrict.h"

namespace swf {
namespace {

using text::TextFieldState;

TextFieldState* FieldOf(Runtime& runtime, ObjectHandle handle) {
  const DisplayObject* object = runtime.Objects().Get(handle);
  return object != nullptr && object->textField ? object->textField.get() : nullptr;
}

size_t SelectionStart(const TextFieldState& field) {
  return std::min({field.selectionBegin, field.selectionEnd, field.content.Length()});
}
size_t SelectionStop(const TextFieldState& field) {
  return std::min(std::max(field.selectionBegin, field.selectionEnd), field.content.Length());
}

void PutCaret(TextFieldState& field, size_t at) { field.selectionBegin = field.selectionEnd = at; }

// After typing or a command changed the text: the lines, the variable and
// the field's onChanged.
void TextChanged(Runtime& runtime, ObjectHandle handle) {
  runtime.TextFieldChanged(handle);
  runtime.StoreTextVariable(handle);
  const avm1::Value self = runtime.Bridge().ValueOf(handle);
  TellObject(runtime, handle, "onChanged", std::span<const avm1::Value>(&self, 1));
}

// What of `units` the field takes in place of its selection: line breaks
// only when it is multiline, what its restrict admits, and no more than
// its maxChars leaves room for.
std::u16string Admitted(const TextFieldState& field, std::u16string_view units) {
  std::optional<text::CharacterRestriction> restriction;
  if (field.restrict && !field.restrict->empty()) restriction.emplace(avm1::ToUtf16(*field.restrict));
  std::u16string out;
  for (size_t i = 0; i < units.size(); ++i) {
    char16_t c = units[i];
    if (c == u'\n' || c == u'\r') {
      if (c == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') ++i;
      if (!field.multiline) continue;
      c = u'\r';
    } else if (restriction) {
      const std::optional<char16_t> admitted = restriction->Admit(c);
      if (!admitted) continue;
      c = *admitted;
    }
    out += c;
  }
  if (field.maxChars > 0) {
    const size_t kept = field.content.Length() - (SelectionStop(field) - SelectionStart(field));
    const size_t room = static_cast<size_t>(field.maxChars) > kept ? static_cast<size_t>(field.maxChars) - kept : 0;
    if (out.size() > room) out.resize(room);
  }
  return out;
}

// The selection becomes `units` (as admitted); false when nothing changed.
bool Insert(Runtime& runtime, ObjectHandle handle, std::u16string_view units) {
  TextFieldState* field = FieldOf(runtime, handle);
  if (field == nullptr || !field->input) return false;
  const std::u16string admitted = Admitted(*field, units);
  if (admitted.empty()) return false;
  const size_t begin = SelectionStart(*field);
  field->content.Replace(begin, SelectionStop(*field), admitted, field->newFormat);
  PutCaret(*field, begin + admitted.size());
  TextChanged(runtime, handle);
  return true;
}

// Removes [begin, end) from an input field.
void Erase(Runtime& runtime, ObjectHandle handle, size_t begin, size_t end) {
  TextFieldState* field = FieldOf(runtime, handle);
  if (field == nullptr || !field->input || begin >= end) return;
  field->content.Replace(begin, end, u"", field->newFormat);
  PutCaret(*field, begin);
  TextChanged(runtime, handle);
}

std::string SelectedText(const TextFieldState& field) {
  const size_t begin = SelectionStart(field);
  return avm1::FromUtf16(std::u16string_view(field.content.Text()).substr(begin, SelectionStop(field) - begin));
}

// The start and end of the line that holds the caret (its break left out).
std::pair<size_t, size_t> CaretLine(const TextFieldState& field) {
  const auto& lines = field.layout.lines;
  if (lines.empty()) return {0, field.content.Length()};
  const text::LayoutLine& line = lines[text::LineOfCharacter(field.layout, field.selectionEnd)];
  size_t end = std::min(line.end, field.content.Length());
  if (end > line.start && field.content.Text()[end - 1] == u'\r') --end;
  return {line.start, end};
}

Matrix WorldMatrix(const Stage& stage, const DisplayObject& object) {
  Matrix world = object.matrix;
  for (const DisplayObject* up = stage.Get(object.parent); up != nullptr; up = stage.Get(up->parent)) {
    world = Matrix::Compose(world, up->matrix);
  }
  return world;
}

}  // namespace

ObjectHandle FocusedTextField(const Runtime& runtime) {
  const ObjectHandle focus = runtime.Input().focus;
  const DisplayObject* object = runtime.Objects().Get(focus);
  return object != nullptr && object->textField ? focus : ObjectHandle{};
}

bool TextFieldTakesTyping(const Runtime& runtime) {
  const DisplayObject* object = runtime.Objects().Get(FocusedTextField(runtime));
  return object != nullptr && object->textField->input;
}

void TypeCharacter(Runtime& runtime, char32_t character) {
  const ObjectHandle field = FocusedTextField(runtime);
  if (field.IsNone()) return;
  std::string utf8;
  avm1::AppendUtf8(utf8, character);
  Insert(runtime, field, avm1::ToUtf16(utf8));
}

void SetClipboard(Runtime& runtime, std::string text) { runtime.Input().clipboard = std::move(text); }

void RunTextCommand(Runtime& runtime, TextCommand command) {
  const ObjectHandle handle = FocusedTextField(runtime);
  TextFieldState* field = FieldOf(runtime, handle);
  if (field == nullptr) return;
  const size_t length = field->content.Length();
  const size_t begin = SelectionStart(*field);
  const size_t end = SelectionStop(*field);
  switch (command) {
    case TextCommand::kSelectAll:
      if (field->selectable || field->input) {
        field->selectionBegin = 0;
        field->selectionEnd = length;
      }
      break;
    case TextCommand::kCopy:
    case TextCommand::kCut:
      // A password never leaves its field.
      if (field->password || begin == end) break;
      SetClipboard(runtime, SelectedText(*field));
      if (command == TextCommand::kCut) Erase(runtime, handle, begin, end);
      break;
    case TextCommand::kPaste:
      Insert(runtime, handle, avm1::ToUtf16(runtime.Input().clipboard));
      break;
    case TextCommand::kEnter:
      Insert(runtime, handle, u"\r");
      break;
    case TextCommand::kBackspace:
      Erase(runtime, handle, begin == end && begin > 0 ? begin - 1 : begin, end);
      break;
    case TextCommand::kDelete:
      Erase(runtime, handle, begin, begin == end ? std::min(end + 1, length) : end);
      break;
    case TextCommand::kMoveLeft:
      PutCaret(*field, begin != end ? begin : (begin > 0 ? begin - 1 : 0));
      break;
    case TextCommand::kMoveRight:
      PutCaret(*field, begin != end ? end : std::min(end + 1, length));
      break;
    case TextCommand::kMoveHome:
      PutCaret(*field, CaretLine(*field).first);
      break;
    case TextCommand::kMoveEnd:
      PutCaret(*field, CaretLine(*field).second);
      break;
    case TextCommand::kMoveUp:
    case TextCommand::kMoveDown:
    case TextCommand::kNone:
      break;
  }
}

size_t CharacterAtPoint(const Runtime& runtime, ObjectHandle handle, Point stageTwips) {
  const Stage& stage = runtime.Objects();
  const DisplayObject* object = stage.Get(handle);
  if (object == nullptr || !object->textField) return 0;
  const TextFieldState& field = *object->textField;
  const std::optional<Matrix> inverse = WorldMatrix(stage, *object).Inverse();
  if (!inverse) return 0;
  const Point local = inverse->Apply(stageTwips);
  const auto& lines = field.layout.lines;
  if (lines.empty()) return 0;
  const size_t first = static_cast<size_t>(std::max(field.scroll, 1) - 1);
  if (first >= lines.size()) return field.content.Length();
  // The line under the point: the last one whose top is above it.
  const double y = local.y - field.bounds.yMin - text::kGutterTwips + lines[first].top;
  size_t row = first;
  while (row + 1 < lines.size() && lines[row + 1].top <= y) ++row;
  const text::LayoutLine& line = lines[row];
  const double x = local.x - field.bounds.xMin - text::kGutterTwips - line.x + field.hscroll * kTwipsPerPixel;
  for (const text::PlacedGlyph& glyph : line.glyphs) {
    if (x < glyph.x + glyph.advance / 2) return glyph.index;
  }
  size_t end = std::min(line.end, field.content.Length());
  if (end > line.start && field.content.Text()[end - 1] == u'\r') --end;
  return end;
}

bool PressOnTextField(Runtime& runtime, ObjectHandle target) {
  InputState& input = runtime.Input();
  const TextFieldState* field = FieldOf(runtime, target);
  if (field == nullptr || !field->selectable) {
    if (!FocusedTextField(runtime).IsNone()) SetFocus(runtime, {});
    return false;
  }
  if (input.focus != target && !SetFocus(runtime, target)) return false;
  TextFieldState* focused = FieldOf(runtime, target);
  if (focused == nullptr) return false;
  PutCaret(*focused, CharacterAtPoint(runtime, target, runtime.MousePosition()));
  input.selecting = target;
  return true;
}

void DragSelection(Runtime& runtime) {
  InputState& input = runtime.Input();
  TextFieldState* field = FieldOf(runtime, input.selecting);
  if (field == nullptr) {
    input.selecting = {};
    return;
  }
  field->selectionEnd = CharacterAtPoint(runtime, input.selecting, runtime.MousePosition());
}

void ReleaseSelection(Runtime& runtime) {
  DragSelection(runtime);
  runtime.Input().selecting = {};
}

}  // namespace swf
