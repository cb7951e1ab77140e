// TextFormat and TextField as scripts see them, driven through the Vm on
// movies of different versions: how values are stored and which members
// a version has.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "swf/runtime/runtime.h"
#include "swf_builder.h"

namespace swf {
namespace {

using avm1::Value;

ParsedMovie EmptyMovie(int version) {
  return ParseMovie(swftest::Movie({swftest::ShowFrame()}, swftest::Signature::kFws, static_cast<uint8_t>(version)));
}

class TextScripts {
 public:
  explicit TextScripts(int version) : movie_(EmptyMovie(version)), runtime_(movie_), vm_(runtime_.Scripts()) {
    vm_.SetSwfVersion(version);
  }

  Value Global(const char* name) { return vm_.GetMember(Value::Object(vm_.Classes().global), name); }
  Value Root() { return runtime_.Bridge().ValueOf(runtime_.Root()); }
  Value Call(const Value& self, const char* method, std::initializer_list<Value> args) {
    return vm_.CallMethod(self, method, std::span<const Value>(args.begin(), args.size()));
  }
  Value NewFormat() { return vm_.Construct(Global("TextFormat"), {}); }
  Value NewField() {
    Call(Root(), "createTextField",
         {Value::String("t"), Value::Number(1), Value::Number(0), Value::Number(0), Value::Number(100),
          Value::Number(20)});
    return vm_.GetMember(Root(), "t");
  }
  std::string Read(const Value& object, const char* name) { return vm_.ToStringValue(vm_.GetMember(object, name)); }

  avm1::Vm& Vm() { return vm_; }

 private:
  ParsedMovie movie_;
  Runtime runtime_;
  avm1::Vm& vm_;
};

struct CoercionCase {
  int version;
  const char* field;
  double value;
  const char* constructed;  // given to the constructor in its place
  const char* set;          // given to the setter
};

TEST(TextFormatScript, WholeNumbersAreCutOrRoundedAndMarginsKeptByTheSetters) {
  const CoercionCase cases[] = {
      // The constructor cuts toward zero and keeps what is below 0.
      {7, "size", -10.9, "-10", "-10"},
      {8, "size", -10.9, "-10", "-11"},
      {8, "size", 2.5, "2", "2"},
      {8, "size", 3.5, "3", "4"},
      {7, "leftMargin", -11, "-11", "0"},
      {8, "rightMargin", -3.5, "-3", "0"},
      // Indent and leading go below 0 through a setter from version 8 on.
      {7, "indent", -11, "-11", "0"},
      {8, "indent", -3.5, "-3", "-4"},
      {7, "leading", 19.9, "19", "19"},
      {8, "leading", -2.5, "-2", "-2"},
      {8, "size", 4294967295.0, "-2147483648", "-2147483648"},
  };
  const char* const order[] = {"font", "size", "color", "bold", "italic", "underline", "url", "target", "align",
                               "leftMargin", "rightMargin", "indent", "leading"};
  for (const CoercionCase& c : cases) {
    TextScripts scripts(c.version);
    std::vector<Value> args;
    for (const char* name : order) {
      args.push_back(std::string(name) == c.field ? Value::Number(c.value) : Value::Undefined());
      if (std::string(name) == c.field) break;
    }
    const Value constructed =
        scripts.Vm().Construct(scripts.Global("TextFormat"), std::span<const Value>(args.data(), args.size()));
    EXPECT_EQ(scripts.Read(constructed, c.field), c.constructed) << c.field << " " << c.value << " v" << c.version;
    const Value set = scripts.NewFormat();
    scripts.Vm().SetMember(set, c.field, Value::Number(c.value));
    EXPECT_EQ(scripts.Read(set, c.field), c.set) << c.field << " " << c.value << " v" << c.version << " (setter)";
  }
}

TEST(TextFormatScript, SetterKeepsAlignmentWhenGivenNothingAndFontNamesAreShortened) {
  TextScripts scripts(8);
  const Value format = scripts.NewFormat();
  scripts.Vm().SetMember(format, "align", Value::String("RIGHT"));
  scripts.Vm().SetMember(format, "align", Value::Null());
  EXPECT_EQ(scripts.Read(format, "align"), "right");
  scripts.Vm().SetMember(format, "align", Value::String("sideways"));
  EXPECT_EQ(scripts.Read(format, "align"), "right");

  scripts.Vm().SetMember(format, "font", Value::String(std::string(70, 'f') + "tail"));
  EXPECT_EQ(scripts.Read(format, "font"), std::string(64, 'f'));
}

TEST(TextFormatScript, TabStopsReadAnyObjectAsAList) {
  TextScripts scripts(8);
  const Value list = Value::Object(scripts.Vm().NewObject());
  scripts.Vm().SetMember(list, "length", Value::Number(2));
  scripts.Vm().SetMember(list, "0", Value::Number(3));
  scripts.Vm().SetMember(list, "1", Value::Number(40.5));
  const Value format = scripts.NewFormat();
  scripts.Vm().SetMember(format, "tabStops", list);
  EXPECT_EQ(scripts.Read(format, "tabStops"), "3,40");
}

TEST(TextFieldScript, TextColorIsTheNewTextFormatsColour) {
  TextScripts scripts(8);
  const Value field = scripts.NewField();
  scripts.Vm().SetMember(field, "textColor", Value::Number(0x404040));
  const Value grey = scripts.NewFormat();
  scripts.Vm().SetMember(grey, "color", Value::Number(0x808080));
  scripts.Vm().SetMember(field, "text", Value::String("abc"));
  scripts.Call(field, "setTextFormat", {grey});
  EXPECT_EQ(scripts.Read(field, "textColor"), std::to_string(0x404040)) << "the characters' colour is not the field's";
  EXPECT_EQ(scripts.Read(scripts.Call(field, "getTextFormat", {Value::Number(0)}), "color"),
            std::to_string(0x808080));
  scripts.Call(field, "setNewTextFormat", {grey});
  EXPECT_EQ(scripts.Read(field, "textColor"), std::to_string(0x808080));
}

TEST(TextFieldScript, ReplaceTextArrivesWithVersion7) {
  for (const int version : {6, 7}) {
    TextScripts scripts(version);
    const Value prototype = scripts.Vm().GetMember(scripts.Global("TextField"), "prototype");
    EXPECT_EQ(scripts.Vm().GetMember(prototype, "replaceText").Is(avm1::ValueKind::kUndefined), version < 7) << version;
    EXPECT_FALSE(scripts.Vm().GetMember(prototype, "replaceSel").Is(avm1::ValueKind::kUndefined)) << version;
  }
}

TEST(TextFieldScript, LaterPropertiesAreStoredOnObjectsThatAreNotFields) {
  TextScripts scripts(8);
  const Value prototype = scripts.Vm().GetMember(scripts.Global("TextField"), "prototype");
  const Value plain = Value::Object(scripts.Vm().NewObject(prototype.AsObject()));
  scripts.Vm().SetMember(plain, "sharpness", Value::String("test"));
  scripts.Vm().SetMember(plain, "text", Value::String("test"));
  EXPECT_EQ(scripts.Read(plain, "sharpness"), "test");
  EXPECT_TRUE(scripts.Vm().GetMember(plain, "text").Is(avm1::ValueKind::kUndefined));
}

}  // namespace
}  // namespace swf
