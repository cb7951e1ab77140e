// TextFormat, TextField and Selection as scripts see them, driven through
// the Vm on movies of different versions (how values are stored, which
// members a version has), and editing a focused field as typing does.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "swf/avm1/utf16.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/input_events.h"
#include "swf/runtime/text_editing.h"
#include "swf/text/text_restrict.h"
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

 protected:
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

namespace swf {
namespace {

std::u16string Typed(std::u16string_view restrict, std::u16string_view typed) {
  const text::CharacterRestriction restriction(restrict);
  std::u16string out;
  for (char16_t c : typed) {
    if (const auto admitted = restriction.Admit(c)) out += *admitted;
  }
  return out;
}

TEST(CharacterRestrictionTest, ListsRangesRefusalsAndEscapes) {
  const struct {
    std::u16string_view restrict;
    std::u16string_view expected;
  } cases[] = {
      {u"a-z", u"abcabc"},
      {u"aa", u"aa"},              // a capital goes in as its small letter
      {u"a-bA", u"abAb"},
      {u"a-", u"aa"},              // a "-" at the end is nothing
      {u"-b", u"abCABC012^\\-* &"},  // from the start of the code points
      {u"b-a", u"bb"},             // a backward range holds nothing more
      {u"a-b-A", u"abAb012-* &"},  // a range ends the one before: "-A" starts again from 0
      {u"-----b", u"abCABC012^\\-* &"},
      {u"--", u""},
      {u"^", u"abcABC012^\\-* &\u0105\u03b4"},
      {u"^\\^", u"abcABC012\\-* &\u0105\u03b4"},
      {u"^a\u0105", u"AbcABC012^\\-* &\u03b4"},  // only ASCII letters change case
      {u"a^b^c^A^B", u"aBcaBc"},  // each "^" switches
      {u"\\\\-\\^", u"^\\"},
      {u"a\\", u"aa"},
      {u"\u03b1-\u03c9", u"\u03b4"},
  };
  const std::u16string_view typed = u"abcABC012^\\-* &\u0105\u03b4";
  for (const auto& c : cases) {
    EXPECT_EQ(Typed(c.restrict, typed), c.expected) << avm1::FromUtf16(c.restrict);
  }
}

class EditingScripts : public TextScripts {
 public:
  EditingScripts() : TextScripts(8) {
    field_ = NewField();
    Vm().SetMember(field_, "type", Value::String("input"));
    Call(Global("Selection"), "setFocus", {field_});
  }
  Runtime& GetRuntime() { return runtime_; }
  Value Field() { return field_; }
  std::string Text() { return Read(field_, "text"); }
  void Type(std::u16string_view characters) {
    for (char16_t c : characters) TypeCharacter(runtime_, c);
  }
  double Selection(const char* method) { return Vm().ToNumber(Call(Global("Selection"), method, {})); }

 private:
  Value field_;
};

TEST(TextEditingTest, TypingReplacesTheSelectionWithinWhatTheFieldTakes) {
  EditingScripts scripts;
  scripts.Type(u"ab");
  RunTextCommand(scripts.GetRuntime(), TextCommand::kEnter);  // not multiline
  scripts.Type(u"c");
  EXPECT_EQ(scripts.Text(), "abc");
  scripts.Vm().SetMember(scripts.Field(), "multiline", Value::Boolean(true));
  RunTextCommand(scripts.GetRuntime(), TextCommand::kEnter);
  EXPECT_EQ(scripts.Text(), "abc\r");

  scripts.Vm().SetMember(scripts.Field(), "maxChars", Value::Number(6));
  scripts.Vm().SetMember(scripts.Field(), "restrict", Value::String("a-z"));
  SetClipboard(scripts.GetRuntime(), "X1yzw");
  RunTextCommand(scripts.GetRuntime(), TextCommand::kPaste);
  EXPECT_EQ(scripts.Text(), "abc\rxy") << "restricted, then cut to maxChars";

  RunTextCommand(scripts.GetRuntime(), TextCommand::kMoveLeft);
  RunTextCommand(scripts.GetRuntime(), TextCommand::kBackspace);
  RunTextCommand(scripts.GetRuntime(), TextCommand::kDelete);
  EXPECT_EQ(scripts.Text(), "abc\r");
  EXPECT_EQ(scripts.Selection("getCaretIndex"), 4);
}

TEST(TextEditingTest, PasswordsAreNotCopiedAndAnEmptyClipboardPastesNothing) {
  EditingScripts scripts;
  scripts.Type(u"secret");
  scripts.Vm().SetMember(scripts.Field(), "password", Value::Boolean(true));
  SetClipboard(scripts.GetRuntime(), "");
  RunTextCommand(scripts.GetRuntime(), TextCommand::kSelectAll);
  RunTextCommand(scripts.GetRuntime(), TextCommand::kCut);
  RunTextCommand(scripts.GetRuntime(), TextCommand::kPaste);
  EXPECT_EQ(scripts.Text(), "secret");
  EXPECT_EQ(scripts.GetRuntime().Input().clipboard, "");
}

TEST(TextEditingTest, FocusSelectsAllAndSetSelectionPutsTheCaretAtItsSecondIndex) {
  EditingScripts scripts;
  scripts.Vm().SetMember(scripts.Field(), "text", Value::String("Input text"));
  scripts.Call(scripts.Global("Selection"), "setFocus", {scripts.Field()});
  EXPECT_EQ(scripts.Selection("getBeginIndex"), 0);
  EXPECT_EQ(scripts.Selection("getEndIndex"), 10);
  scripts.Call(scripts.Global("Selection"), "setSelection", {Value::Number(5), Value::Number(2)});
  EXPECT_EQ(scripts.Selection("getBeginIndex"), 2);
  EXPECT_EQ(scripts.Selection("getEndIndex"), 5);
  EXPECT_EQ(scripts.Selection("getCaretIndex"), 2);
  scripts.Call(scripts.Field(), "replaceSel", {Value::String("|")});
  EXPECT_EQ(scripts.Text(), "In| text");
  scripts.Call(scripts.Global("Selection"), "setFocus", {Value::Null()});
  EXPECT_EQ(scripts.Selection("getBeginIndex"), -1);
}

}  // namespace
}  // namespace swf

namespace swf {
namespace {

class TabScripts : public TextScripts {
 public:
  TabScripts() : TextScripts(8) {}
  Value Field(const char* name, int depth, double tabIndex) {
    Call(Root(), "createTextField",
         {Value::String(name), Value::Number(depth), Value::Number(depth * 10), Value::Number(0), Value::Number(5),
          Value::Number(5)});
    const Value field = Vm().GetMember(Root(), name);
    Vm().SetMember(field, "tabIndex", Value::Number(tabIndex));
    return field;
  }
  std::string Tab() {
    MoveFocusByTab(runtime_, false);
    return Vm().ToStringValue(Call(Global("Selection"), "getFocus", {}));
  }
};

TEST(TabOrderTest, TabIndexIsA32BitIntegerAndMinusOneLeavesTheOrder) {
  TabScripts scripts;
  scripts.Field("zero", 1, 0);
  scripts.Field("unset", 2, -1);
  scripts.Field("wrapped", 3, 4294967293.0);  // -3
  scripts.Field("minus2", 4, -2);
  EXPECT_EQ(scripts.Tab(), "_level0.wrapped");
  EXPECT_EQ(scripts.Tab(), "_level0.minus2");
  EXPECT_EQ(scripts.Tab(), "_level0.zero");
  EXPECT_EQ(scripts.Tab(), "_level0.wrapped");

  scripts.Call(scripts.Global("Selection"), "setFocus", {Value::Null()});
  scripts.Vm().SetMember(scripts.Root(), "tabChildren", Value::Boolean(false));
  EXPECT_EQ(scripts.Tab(), "null") << "the root's children are out of the order";
}

}  // namespace
}  // namespace swf
