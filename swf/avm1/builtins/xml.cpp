// XMLNode and XML: a tree of nodes kept in payloads (the script sees it
// through accessor properties on XMLNode.prototype), parsed from text by
// xml_text and written back by toString. An XML object is the document
// node: an element without a name whose children are the top-level nodes.
#include <memory>
#include <string>
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/data_loads.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/builtins/xml_text.h"

namespace swf::avm1 {
namespace {

struct XmlNodePayload : Payload {
  int type = xml::kElementNode;
  Value name = Value::Null();   // elements: the tag, null for a document
  Value value = Value::Null();  // text nodes: the text
  ObjectRef parent;
  std::vector<ObjectRef> children;
  ObjectRef attributes;
  ObjectRef childArray;  // childNodes, one array per node, refreshed when read
  // Documents only.
  ObjectRef idMap;
  bool ignoreWhite = false;
  int status = 0;
  Value loaded;
  Value xmlDecl;
  Value docTypeDecl;

  void Trace(Marker& marker) const override {
    marker.Mark(parent);
    for (const ObjectRef child : children) marker.Mark(child);
    marker.Mark(attributes);
    marker.Mark(childArray);
    marker.Mark(idMap);
  }
};

XmlNodePayload* NodeOf(Vm& vm, const Value& value) {
  if (!value.Is(ValueKind::kObject)) return nullptr;
  Object* object = vm.Get(value.AsObject());
  return object != nullptr ? object->PayloadAs<XmlNodePayload>() : nullptr;
}

XmlNodePayload* Self(NativeCall& call) { return NodeOf(call.vm, call.self); }

ObjectRef NodePrototype(Vm& vm) {
  const Value constructor = vm.GetMember(Value::Object(vm.Classes().global), "XMLNode");
  const Value prototype = vm.GetMember(constructor, "prototype");
  return prototype.Is(ValueKind::kObject) ? prototype.AsObject() : vm.Classes().objectPrototype;
}

// Gives `object` a node's payload of `type` with a fresh attributes object.
XmlNodePayload& MakeNode(Vm& vm, ObjectRef object, int type) {
  auto payload = std::make_unique<XmlNodePayload>();
  payload->type = type;
  payload->attributes = vm.NewObject();
  XmlNodePayload& node = *payload;
  if (Object* target = vm.Get(object)) {
    target->cls = ObjectClass::kOther;
    target->payload = std::move(payload);
  }
  return node;
}

ObjectRef NewNode(Vm& vm, int type, Value text) {
  const ObjectRef object = vm.NewObject(NodePrototype(vm));
  XmlNodePayload& node = MakeNode(vm, object, type);
  (type == xml::kElementNode ? node.name : node.value) = std::move(text);
  return object;
}

Value Nullable(ObjectRef ref) { return ref.id != 0 ? Value::Object(ref) : Value::Null(); }

// Takes `child` from its parent's list.
void Detach(Vm& vm, ObjectRef child) {
  XmlNodePayload* node = NodeOf(vm, Value::Object(child));
  if (node == nullptr || node->parent.id == 0) return;
  if (XmlNodePayload* parent = NodeOf(vm, Value::Object(node->parent))) {
    std::erase_if(parent->children, [&](ObjectRef ref) { return ref.id == child.id; });
  }
  node->parent = {};
}

// Whether `candidate` is `node` or one of its ancestors.
bool IsSelfOrAncestor(Vm& vm, ObjectRef candidate, ObjectRef node) {
  for (ObjectRef at = node; at.id != 0;) {
    if (at.id == candidate.id) return true;
    const XmlNodePayload* payload = NodeOf(vm, Value::Object(at));
    at = payload != nullptr ? payload->parent : ObjectRef{};
  }
  return false;
}

// Puts `child` among the children of `parent` at `index` (moving it from where it was).
void Insert(Vm& vm, ObjectRef parent, ObjectRef child, size_t index) {
  if (NodeOf(vm, Value::Object(child)) == nullptr || IsSelfOrAncestor(vm, child, parent)) return;
  XmlNodePayload* list = NodeOf(vm, Value::Object(parent));
  if (list == nullptr) return;
  // Moving within one parent counts the place without the child.
  for (size_t i = 0; i < list->children.size(); ++i) {
    if (list->children[i].id == child.id && i < index) --index;
  }
  Detach(vm, child);
  index = std::min(index, list->children.size());
  list->children.insert(list->children.begin() + static_cast<std::ptrdiff_t>(index), child);
  NodeOf(vm, Value::Object(child))->parent = parent;
}

ObjectRef Sibling(Vm& vm, const Value& self, int step) {
  XmlNodePayload* node = NodeOf(vm, self);
  if (node == nullptr || node->parent.id == 0) return {};
  const XmlNodePayload* parent = NodeOf(vm, Value::Object(node->parent));
  if (parent == nullptr) return {};
  for (size_t i = 0; i < parent->children.size(); ++i) {
    if (parent->children[i].id != self.AsObject().id) continue;
    const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(i) + step;
    if (at < 0 || at >= static_cast<std::ptrdiff_t>(parent->children.size())) return {};
    return parent->children[static_cast<size_t>(at)];
  }
  return {};
}

// The attributes newest first (as for..in lists them), as text.
std::vector<std::pair<std::string, std::string>> AttributesOf(Vm& vm, ObjectRef attributes) {
  std::vector<std::pair<std::string, std::string>> out;
  Object* object = vm.Get(attributes);
  if (object == nullptr) return out;
  std::vector<std::string> names;
  object->properties.ForEach([&](const std::string& name, Property& property) {
    if (!property.Has(property_flags::kDontEnum)) names.push_back(name);
  });
  for (auto it = names.rbegin(); it != names.rend(); ++it) {
    const std::string& name = *it;
    out.emplace_back(name, vm.ToStringValue(vm.GetMember(Value::Object(attributes), name)));
  }
  return out;
}

void Write(Vm& vm, ObjectRef ref, std::string& out) {
  const XmlNodePayload* node = NodeOf(vm, Value::Object(ref));
  if (node == nullptr) return;
  if (node->type == xml::kTextNode) {
    out += xml::Escape(vm.ToStringValue(node->value));
    return;
  }
  const bool named = !node->name.IsUndefinedOrNull();
  std::string name;
  if (named) {
    name = vm.ToStringValue(node->name);
    out += '<';
    out += name;
    for (const auto& [key, value] : AttributesOf(vm, node->attributes)) {
      out += ' ' + key + "=\"" + xml::Escape(value) + '"';
    }
    if (node->children.empty()) {
      out += " />";
      return;
    }
    out += '>';
  }
  const std::vector<ObjectRef> children = node->children;
  for (const ObjectRef child : children) Write(vm, child, out);
  if (named) out += "</" + name + '>';
}

// The tree of a parse made into nodes under `parent`; elements with an
// `id` attribute go into the document's idMap.
void Build(Vm& vm, ObjectRef parent, const std::vector<xml::ParsedNode>& parsed, ObjectRef idMap) {
  for (const xml::ParsedNode& item : parsed) {
    const ObjectRef child = NewNode(vm, item.type, Value::String(item.type == xml::kElementNode ? item.name : item.value));
    XmlNodePayload* node = NodeOf(vm, Value::Object(child));
    // The player stores parsed attributes last first; written out newest
    // first, a parsed element keeps its order.
    for (auto it = item.attributes.rbegin(); it != item.attributes.rend(); ++it) {
      const auto& [key, value] = *it;
      vm.SetMember(Value::Object(node->attributes), key, Value::String(value));
      if (key == "id" && idMap.id != 0) vm.SetMember(Value::Object(idMap), value, Value::Object(child));
    }
    node->parent = parent;
    NodeOf(vm, Value::Object(parent))->children.push_back(child);
    Build(vm, child, item.children, idMap);
  }
}

ObjectRef IdMapOf(Vm& vm, XmlNodePayload& document) {
  if (document.idMap.id == 0) document.idMap = vm.NewObject();
  return document.idMap;
}

void ParseInto(Vm& vm, ObjectRef document, const std::string& text) {
  XmlNodePayload* node = NodeOf(vm, Value::Object(document));
  if (node == nullptr) return;
  for (const ObjectRef child : std::vector<ObjectRef>(node->children)) Detach(vm, child);
  xml::ParsedDocument parsed = xml::Parse(text, node->ignoreWhite);
  node->status = parsed.status;
  if (parsed.xmlDecl) node->xmlDecl = Value::String(*parsed.xmlDecl);
  if (parsed.docTypeDecl) node->docTypeDecl = Value::String(*parsed.docTypeDecl);
  const ObjectRef idMap = IdMapOf(vm, *node);
  Build(vm, document, parsed.children, idMap);
}

// Splits a qualified name at its colon.
std::pair<std::string, std::string> SplitName(const std::string& name) {
  const size_t colon = name.find(':');
  if (colon == std::string::npos) return {"", name};
  return {name.substr(0, colon), name.substr(colon + 1)};
}

// The URI bound to `prefix` by an xmlns attribute of the node or an
// ancestor, or undefined.
Value NamespaceFor(Vm& vm, ObjectRef ref, const std::string& prefix) {
  const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
  for (ObjectRef at = ref; at.id != 0;) {
    const XmlNodePayload* node = NodeOf(vm, Value::Object(at));
    if (node == nullptr) break;
    for (const auto& [key, value] : AttributesOf(vm, node->attributes)) {
      if (key == attribute) return Value::String(value);
    }
    at = node->parent;
  }
  return {};
}

// --- XMLNode's members ---

Value ConstructNode(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  const int type = DoubleToInt32(call.vm.ToNumber(call.Arg(0)));
  XmlNodePayload& node = MakeNode(call.vm, call.self.AsObject(), type);
  const Value text = call.args.size() > 1 ? Value::String(call.vm.ToStringValue(call.Arg(1))) : Value::Null();
  (type == xml::kElementNode ? node.name : node.value) = text;
  return {};
}

Value AppendChild(NativeCall& call) {
  // A node already among this node's children stays where it is.
  const XmlNodePayload* child = NodeOf(call.vm, call.Arg(0));
  if (Self(call) != nullptr && child != nullptr && child->parent.id != call.self.AsObject().id) {
    Insert(call.vm, call.self.AsObject(), call.Arg(0).AsObject(), Self(call)->children.size());
  }
  return {};
}

Value InsertBefore(NativeCall& call) {
  XmlNodePayload* node = Self(call);
  if (node == nullptr || !call.Arg(0).Is(ValueKind::kObject) || !call.Arg(1).Is(ValueKind::kObject)) return {};
  for (size_t i = 0; i < node->children.size(); ++i) {
    if (node->children[i].id == call.Arg(1).AsObject().id) {
      Insert(call.vm, call.self.AsObject(), call.Arg(0).AsObject(), i);
      break;
    }
  }
  return {};
}

Value RemoveNode(NativeCall& call) {
  if (Self(call) != nullptr) Detach(call.vm, call.self.AsObject());
  return {};
}

ObjectRef Clone(Vm& vm, ObjectRef source, bool deep) {
  const XmlNodePayload* from = NodeOf(vm, Value::Object(source));
  const ObjectRef copy = NewNode(vm, from->type, from->type == xml::kElementNode ? from->name : from->value);
  XmlNodePayload* to = NodeOf(vm, Value::Object(copy));
  const auto attributes = AttributesOf(vm, from->attributes);
  for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
    vm.SetMember(Value::Object(to->attributes), it->first, Value::String(it->second));
  }
  if (deep) {
    for (const ObjectRef child : std::vector<ObjectRef>(NodeOf(vm, Value::Object(source))->children)) {
      const ObjectRef made = Clone(vm, child, true);
      NodeOf(vm, Value::Object(made))->parent = copy;
      NodeOf(vm, Value::Object(copy))->children.push_back(made);
    }
  }
  return copy;
}

Value CloneNode(NativeCall& call) {
  if (Self(call) == nullptr) return {};
  return Value::Object(Clone(call.vm, call.self.AsObject(), call.vm.ToBoolean(call.Arg(0))));
}

Value HasChildNodes(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? Value::Boolean(!node->children.empty()) : Value();
}

Value NodeToString(NativeCall& call) {
  XmlNodePayload* node = Self(call);
  if (node == nullptr) return Value::String("");
  std::string out;
  if (node->name.IsUndefinedOrNull() && node->type == xml::kElementNode) {
    if (node->xmlDecl.Is(ValueKind::kString)) out += node->xmlDecl.AsString();
    if (node->docTypeDecl.Is(ValueKind::kString)) out += node->docTypeDecl.AsString();
  }
  Write(call.vm, call.self.AsObject(), out);
  return Value::String(std::move(out));
}

Value GetNamespaceForPrefix(NativeCall& call) {
  if (Self(call) == nullptr) return {};
  const Value found = NamespaceFor(call.vm, call.self.AsObject(), call.vm.ToStringValue(call.Arg(0)));
  return found.Is(ValueKind::kUndefined) ? Value::Null() : found;
}

Value GetPrefixForNamespace(NativeCall& call) {
  const std::string uri = call.vm.ToStringValue(call.Arg(0));
  for (ObjectRef at = Self(call) != nullptr ? call.self.AsObject() : ObjectRef{}; at.id != 0;) {
    const XmlNodePayload* node = NodeOf(call.vm, Value::Object(at));
    for (const auto& [key, value] : AttributesOf(call.vm, node->attributes)) {
      if (value != uri) continue;
      if (key == "xmlns") return Value::String("");
      if (key.rfind("xmlns:", 0) == 0) return Value::String(key.substr(6));
    }
    at = node->parent;
  }
  return Value::Null();
}

// Accessors.
Value GetNodeType(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? Value::Number(node->type) : Value();
}
Value GetNodeName(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr) return {};
  return node->type == xml::kElementNode ? node->name : Value::Null();
}
Value SetNodeName(NativeCall& call) {
  // Undefined leaves the name as it was.
  if (XmlNodePayload* node = Self(call); node != nullptr && node->type == xml::kElementNode &&
                                         !call.Arg(0).Is(ValueKind::kUndefined)) {
    node->name = call.Arg(0).IsUndefinedOrNull() ? Value::Null() : Value::String(call.vm.ToStringValue(call.Arg(0)));
  }
  return {};
}
Value GetNodeValue(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr) return {};
  return node->type == xml::kElementNode ? Value::Null() : node->value;
}
Value SetNodeValue(NativeCall& call) {
  if (XmlNodePayload* node = Self(call); node != nullptr && node->type != xml::kElementNode) {
    node->value = call.Arg(0).IsUndefinedOrNull() ? Value::Null() : Value::String(call.vm.ToStringValue(call.Arg(0)));
  }
  return {};
}
Value GetPrefix(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr || node->type != xml::kElementNode || node->name.IsUndefinedOrNull()) return Value::Null();
  return Value::String(SplitName(call.vm.ToStringValue(node->name)).first);
}
Value GetLocalName(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr || node->type != xml::kElementNode || node->name.IsUndefinedOrNull()) return Value::Null();
  return Value::String(SplitName(call.vm.ToStringValue(node->name)).second);
}
Value GetNamespaceUri(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr || node->type != xml::kElementNode || node->name.IsUndefinedOrNull()) return Value::Null();
  const Value found =
      NamespaceFor(call.vm, call.self.AsObject(), SplitName(call.vm.ToStringValue(node->name)).first);
  return found.Is(ValueKind::kUndefined) ? Value::String("") : found;
}
Value GetAttributes(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? Value::Object(node->attributes) : Value();
}
Value SetAttributes(NativeCall& call) {
  if (XmlNodePayload* node = Self(call); node != nullptr && call.Arg(0).Is(ValueKind::kObject)) {
    node->attributes = call.Arg(0).AsObject();
  }
  return {};
}
Value GetChildNodes(NativeCall& call) {
  XmlNodePayload* node = Self(call);
  if (node == nullptr) return {};
  std::vector<Value> elements;
  for (const ObjectRef child : node->children) elements.push_back(Value::Object(child));
  if (node->childArray.id == 0) {
    const ObjectRef array = call.vm.NewArray(elements);
    Self(call)->childArray = array;
    return Value::Object(array);
  }
  const Value array = Value::Object(node->childArray);
  call.vm.SetMember(array, "length", Value::Number(0));
  for (size_t i = 0; i < elements.size(); ++i) {
    call.vm.SetMember(array, builtins::IndexName(static_cast<double>(i)), elements[i]);
  }
  return array;
}
Value GetFirstChild(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr) return {};
  return node->children.empty() ? Value::Null() : Value::Object(node->children.front());
}
Value GetLastChild(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  if (node == nullptr) return {};
  return node->children.empty() ? Value::Null() : Value::Object(node->children.back());
}
Value GetParentNode(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? Nullable(node->parent) : Value();
}
Value GetNextSibling(NativeCall& call) {
  if (Self(call) == nullptr) return {};
  return Nullable(Sibling(call.vm, call.self, 1));
}
Value GetPreviousSibling(NativeCall& call) {
  if (Self(call) == nullptr) return {};
  return Nullable(Sibling(call.vm, call.self, -1));
}

// --- XML's members ---

Value ConstructXml(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  MakeNode(call.vm, call.self.AsObject(), xml::kElementNode);
  if (!call.Arg(0).IsUndefinedOrNull()) ParseInto(call.vm, call.self.AsObject(), call.vm.ToStringValue(call.Arg(0)));
  return {};
}

Value CreateElement(NativeCall& call) {
  return Value::Object(NewNode(call.vm, xml::kElementNode, Value::String(call.vm.ToStringValue(call.Arg(0)))));
}

Value CreateTextNode(NativeCall& call) {
  return Value::Object(NewNode(call.vm, xml::kTextNode, Value::String(call.vm.ToStringValue(call.Arg(0)))));
}

Value ParseXml(NativeCall& call) {
  if (Self(call) != nullptr) ParseInto(call.vm, call.self.AsObject(), call.vm.ToStringValue(call.Arg(0)));
  return {};
}

Value GetIgnoreWhite(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? Value::Boolean(node->ignoreWhite) : Value();
}
Value SetIgnoreWhite(NativeCall& call) {
  if (XmlNodePayload* node = Self(call)) node->ignoreWhite = call.vm.ToBoolean(call.Arg(0));
  return {};
}
Value GetStatus(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? Value::Number(node->status) : Value();
}
Value SetStatus(NativeCall& call) {
  if (XmlNodePayload* node = Self(call)) node->status = DoubleToInt32(call.vm.ToNumber(call.Arg(0)));
  return {};
}
Value GetLoaded(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? node->loaded : Value();
}
Value SetLoaded(NativeCall& call) {
  if (XmlNodePayload* node = Self(call)) node->loaded = Value::Boolean(call.vm.ToBoolean(call.Arg(0)));
  return {};
}
Value GetXmlDecl(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? node->xmlDecl : Value();
}
Value SetXmlDecl(NativeCall& call) {
  if (XmlNodePayload* node = Self(call)) node->xmlDecl = call.Arg(0);
  return {};
}
Value GetDocTypeDecl(NativeCall& call) {
  const XmlNodePayload* node = Self(call);
  return node != nullptr ? node->docTypeDecl : Value();
}
Value SetDocTypeDecl(NativeCall& call) {
  if (XmlNodePayload* node = Self(call)) node->docTypeDecl = call.Arg(0);
  return {};
}
Value GetIdMap(NativeCall& call) {
  XmlNodePayload* node = Self(call);
  return node != nullptr ? Value::Object(IdMapOf(call.vm, *node)) : Value();
}
Value SetIdMap(NativeCall& call) {
  if (XmlNodePayload* node = Self(call); node != nullptr && call.Arg(0).Is(ValueKind::kObject)) {
    node->idMap = call.Arg(0).AsObject();
  }
  return {};
}

// onData's default: the text parsed, `loaded` set, and onLoad told whether it came.
Value DefaultOnData(NativeCall& call) {
  Vm& vm = call.vm;
  if (call.Arg(0).Is(ValueKind::kUndefined)) {
    vm.SetMember(call.self, "loaded", Value::Boolean(false));
    const Value args[] = {Value::Boolean(false)};
    vm.CallMethod(call.self, "onLoad", args);
    return {};
  }
  const Value text[] = {call.Arg(0)};
  vm.CallMethod(call.self, "parseXML", text);
  vm.SetMember(call.self, "loaded", Value::Boolean(true));
  const Value args[] = {Value::Boolean(true)};
  vm.CallMethod(call.self, "onLoad", args);
  return {};
}

Value Nothing(NativeCall&) { return {}; }

Value GetBytesLoaded(NativeCall& call) { return call.vm.GetMember(call.self, "_bytesLoaded"); }
Value GetBytesTotal(NativeCall& call) { return call.vm.GetMember(call.self, "_bytesTotal"); }

Value AddRequestHeader(NativeCall& call) {
  Vm& vm = call.vm;
  Value headers = vm.GetMember(call.self, "_customHeaders");
  if (!headers.Is(ValueKind::kObject)) {
    headers = Value::Object(vm.NewArray({}));
    vm.SetMember(call.self, "_customHeaders", headers);
  }
  for (const Value& value : call.args) vm.CallMethod(headers, "push", std::span<const Value>(&value, 1));
  return {};
}

std::span<const NativeMember> NodeMethods() {
  static constexpr NativeMember kMembers[] = {
      {"appendChild", AppendChild},
      {"insertBefore", InsertBefore},
      {"removeNode", RemoveNode},
      {"cloneNode", CloneNode},
      {"hasChildNodes", HasChildNodes},
      {"toString", NodeToString},
      {"getNamespaceForPrefix", GetNamespaceForPrefix},
      {"getPrefixForNamespace", GetPrefixForNamespace},
  };
  return kMembers;
}

struct AccessorRow {
  const char* name;
  NativeFunction getter;
  NativeFunction setter;
};

constexpr AccessorRow kNodeAccessors[] = {
    {"nodeType", GetNodeType, nullptr},
    {"nodeName", GetNodeName, SetNodeName},
    {"nodeValue", GetNodeValue, SetNodeValue},
    {"prefix", GetPrefix, nullptr},
    {"localName", GetLocalName, nullptr},
    {"namespaceURI", GetNamespaceUri, nullptr},
    {"attributes", GetAttributes, SetAttributes},
    {"childNodes", GetChildNodes, nullptr},
    {"firstChild", GetFirstChild, nullptr},
    {"lastChild", GetLastChild, nullptr},
    {"parentNode", GetParentNode, nullptr},
    {"nextSibling", GetNextSibling, nullptr},
    {"previousSibling", GetPreviousSibling, nullptr},
};

constexpr AccessorRow kXmlAccessors[] = {
    {"ignoreWhite", GetIgnoreWhite, SetIgnoreWhite},
    {"status", GetStatus, SetStatus},
    {"loaded", GetLoaded, SetLoaded},
    {"xmlDecl", GetXmlDecl, SetXmlDecl},
    {"docTypeDecl", GetDocTypeDecl, SetDocTypeDecl},
    {"idMap", GetIdMap, SetIdMap},
};

void DefineAccessors(Vm& vm, ObjectRef target, std::span<const AccessorRow> rows) {
  for (const AccessorRow& row : rows) {
    const ObjectRef getter = vm.NewFunction(row.getter);
    const ObjectRef setter = row.setter != nullptr ? vm.NewFunction(row.setter) : ObjectRef{};
    if (Object* object = vm.Get(target)) {
      Property& property = object->properties.Set(row.name, false);
      property.getter = getter;
      property.setter = setter;
      property.flags = property_flags::kDontEnum;
    }
  }
}

}  // namespace

void InstallXml(Vm& vm) {
  const ObjectRef global = vm.Classes().global;
  const ObjectRef nodePrototype = vm.NewObject();
  vm.DefineMembers(nodePrototype, NodeMethods());
  DefineAccessors(vm, nodePrototype, kNodeAccessors);
  const ObjectRef nodeClass = vm.NewClass(ConstructNode, ConstructNode, nodePrototype);
  vm.DefineValue(global, "XMLNode", Value::Object(nodeClass));

  const ObjectRef xmlPrototype = vm.NewObject(nodePrototype);
  static constexpr NativeMember kXmlMembers[] = {
      {"createElement", CreateElement},
      {"createTextNode", CreateTextNode},
      {"parseXML", ParseXml},
      {"load", LoadText},
      {"sendAndLoad", SendAndLoadText},
      {"getBytesLoaded", GetBytesLoaded},
      {"getBytesTotal", GetBytesTotal},
      {"addRequestHeader", AddRequestHeader},
      {"onData", DefaultOnData},
      {"onLoad", Nothing},
  };
  vm.DefineMembers(xmlPrototype, kXmlMembers);
  DefineAccessors(vm, xmlPrototype, kXmlAccessors);
  vm.DefineValue(xmlPrototype, "contentType", Value::String("application/x-www-form-urlencoded"));
  const ObjectRef xmlClass = vm.NewClass(ConstructXml, ConstructXml, xmlPrototype);
  vm.DefineValue(global, "XML", Value::Object(xmlClass));
}

}  // namespace swf::avm1
