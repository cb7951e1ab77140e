// Text fields on the stage: made from DefineEditText or by createTextField,
// laid out again when they change, and bound to their variables.
#include <algorithm>

#include "swf/runtime/depths.h"
#include "swf/runtime/runtime.h"

namespace swf {
namespace {

// "a.b.c", "/a/b:c" or "a:c": the clip path and the variable's name.
std::pair<std::string, std::string> SplitVariable(std::string_view path) {
  const size_t colon = path.rfind(':');
  if (colon != std::string_view::npos) return {std::string(path.substr(0, colon)), std::string(path.substr(colon + 1))};
  const size_t dot = path.rfind('.');
  if (dot != std::string_view::npos) return {std::string(path.substr(0, dot)), std::string(path.substr(dot + 1))};
  return {"", std::string(path)};
}

}  // namespace

void Runtime::MakeTextField(ObjectHandle handle, const EditTextDefinition& definition) {
  DisplayObject& object = *stage_.Get(handle);
  const int version = VersionOf(&object);
  auto field = std::make_shared<text::TextFieldState>(text::FieldFromDefinition(definition, *fonts_, version));
  if (definition.initialText) {
    field->initialText = *definition.initialText;
    if (field->html) {
      text::SetHtmlText(*field, *definition.initialText);
    } else {
      text::SetPlainText(*field, *definition.initialText);
    }
  }
  object.textField = std::move(field);
  SyncTextVariable(handle, true);
  TextFieldChanged(handle);
}

ObjectHandle Runtime::PlaceTextField(ObjectHandle parent, int32_t scriptDepth, std::string name, double x, double y,
                                     double width, double height) {
  const DisplayObject* parentObject = stage_.Get(parent);
  if (parentObject == nullptr || !ValidScriptDepth(scriptDepth)) return {};
  if (!RoomForObject()) return {};
  DisplayObject object;
  object.kind = ObjectKind::kTextField;
  object.name = std::move(name);
  object.madeByScript = true;
  const ObjectHandle handle = stage_.Insert(parent, DepthFromScriptDepth(scriptDepth), std::move(object));
  if (handle.IsNone()) return handle;
  ++context_.objects.madeInStep;
  DisplayObject& made = *stage_.Get(handle);
  // The box starts at the field's origin, which is placed at (x, y).
  made.matrix.tx = x;
  made.matrix.ty = y;
  made.textField = std::make_shared<text::TextFieldState>(text::NewField(0, 0, width, height, VersionOf(&made)));
  TextFieldChanged(handle);
  return handle;
}

void Runtime::TextFieldChanged(ObjectHandle handle) {
  DisplayObject* object = stage_.Get(handle);
  if (object == nullptr || !object->textField) return;
  text::Update(*object->textField, *fonts_);
}

void Runtime::SyncTextVariables() {
  std::vector<ObjectHandle> fields;
  std::vector<ObjectHandle> pending;
  for (const auto& [level, root] : stage_.Levels()) pending.push_back(root);
  while (!pending.empty()) {
    const DisplayObject* object = stage_.Get(pending.back());
    pending.pop_back();
    if (object == nullptr) continue;
    if (object->textField && !object->textField->variable.empty()) fields.push_back(object->self);
    for (const auto& [depth, child] : object->children) pending.push_back(child);
  }
  for (const ObjectHandle field : fields) SyncTextVariable(field, false);
}

// The object that holds a field's variable and the variable's name: a
// path of members ("a.b.name") from the field's parent, or a target path
// ("/a/b:name").
std::pair<avm1::ObjectRef, std::string> Runtime::TextVariableOwner(ObjectHandle handle) {
  const DisplayObject* object = stage_.Get(handle);
  if (object == nullptr || !object->textField || object->textField->variable.empty()) return {};
  const auto [path, name] = SplitVariable(object->textField->variable);
  const avm1::ObjectRef parent = bridge_.ScriptObject(object->parent);
  if (parent.id == 0 || name.empty()) return {};
  if (path.empty()) return {parent, name};
  if (path.find('/') != std::string::npos) return {bridge_.FindTarget(parent, path), name};
  avm1::Value owner = avm1::Value::Object(parent);
  for (size_t start = 0; start <= path.size();) {
    const size_t end = std::min(path.find('.', start), path.size());
    owner = vm_.GetMember(owner, path.substr(start, end - start));
    if (!owner.Is(avm1::ValueKind::kObject) && !owner.Is(avm1::ValueKind::kClip)) return {};
    start = end + 1;
  }
  return {vm_.ObjectFor(owner), name};
}

void Runtime::SyncTextVariable(ObjectHandle handle, bool binding) {
  const auto [owner, name] = TextVariableOwner(handle);
  if (owner.id == 0) return;
  // Later changes show only for variables of clips, which tell their fields.
  if (!binding && bridge_.HandleOf(owner).IsNone()) return;
  DisplayObject* object = stage_.Get(handle);
  const int savedVersion = vm_.SwfVersion();
  vm_.SetSwfVersion(VersionOf(object));
  const avm1::Value value = vm_.GetMember(avm1::Value::Object(owner), name);
  object = stage_.Get(handle);  // a getter may have changed the stage
  if (object != nullptr && object->textField) {
    text::TextFieldState& field = *object->textField;
    if (value.Is(avm1::ValueKind::kUndefined)) {
      // A new binding gives a missing variable the field's text, if any.
      const std::string current = text::PlainText(field);
      if (binding && !current.empty()) vm_.SetMember(avm1::Value::Object(owner), name, avm1::Value::String(current));
    } else {
      const std::string shown = vm_.ToStringValue(value);
      const std::string current = field.html ? text::HtmlText(field) : text::PlainText(field);
      if (shown != current) {
        if (field.html) {
          text::SetHtmlText(field, shown);
        } else {
          text::SetPlainText(field, shown);
        }
        TextFieldChanged(handle);
      }
    }
  }
  vm_.SetSwfVersion(savedVersion);
}

void Runtime::StoreTextVariable(ObjectHandle handle) {
  const auto [owner, name] = TextVariableOwner(handle);
  const DisplayObject* object = stage_.Get(handle);
  if (owner.id == 0 || object == nullptr || !object->textField) return;
  const text::TextFieldState& field = *object->textField;
  vm_.SetMember(avm1::Value::Object(owner), name,
                avm1::Value::String(field.html ? text::HtmlText(field) : text::PlainText(field)));
}

}  // namespace swf
