// The object model under the interpreter: member lookup through prototypes
// and accessors, names by version, arrays' length, and the collector.
#include <gtest/gtest.h>

#include "swf/avm1/vm.h"

namespace swf::avm1 {
namespace {

Value Num(double n) { return Value::Number(n); }

TEST(ObjectModel, NamesIgnoreCaseOnlyBeforeVersion7) {
  struct Case {
    int version;
    bool sameProperty;
  };
  for (const Case& c : {Case{6, true}, Case{7, false}}) {
    Vm vm;
    vm.SetSwfVersion(c.version);
    const Value object = Value::Object(vm.NewObject());
    vm.SetMember(object, "Score", Num(1));
    vm.SetMember(object, "score", Num(2));
    EXPECT_EQ(vm.ToNumber(vm.GetMember(object, "Score")), c.sameProperty ? 2 : 1) << c.version;
    EXPECT_EQ(vm.Get(object.AsObject())->properties.Size(), c.sameProperty ? 1u : 2u);
  }
}

// Beyond ASCII, names meet by the player's own case table
// (avm1-swf6_case_insensitive); characters it does not map stay apart.
TEST(ObjectModel, NamesFoldBeyondAsciiByThePlayersTable) {
  struct Case {
    const char* set;
    const char* read;
    bool same;
  };
  const Case cases[] = {
      {"\u00C4", "\u00E4", true},                          // A with diaeresis
      {"\u04E4", "\u04E5", true},                          // Cyrillic I with diaeresis
      {"\u01F3\u01F2\u01F1", "\u01F3\u01F3\u01F3", true},  // the three forms of dz
      {"\u023A", "\u2C65", false},                         // not in the table
      {"clip\u00C4", "CLIP\u00E4", true},
  };
  for (const Case& c : cases) {
    Vm vm;
    vm.SetSwfVersion(6);
    const Value object = Value::Object(vm.NewObject());
    vm.SetMember(object, c.set, Num(1));
    EXPECT_EQ(vm.GetMember(object, c.read).Is(ValueKind::kNumber), c.same) << c.set;
    for (int i = 0; i < 40; ++i) vm.SetMember(object, "filler" + std::to_string(i), Num(i));  // indexed maps too
    EXPECT_EQ(vm.GetMember(object, c.read).Is(ValueKind::kNumber), c.same) << c.set << " indexed";
  }
}

Value Getter(NativeCall& call) { return Value::Number(call.vm.ToNumber(call.vm.GetMember(call.self, "base")) * 10); }
Value Setter(NativeCall& call) {
  call.vm.SetMember(call.self, "base", call.Arg(0));
  return {};
}
Value Resolve(NativeCall& call) { return Value::String("resolved " + call.vm.ToStringValue(call.Arg(0))); }
Value Watcher(NativeCall& call) { return Value::Number(call.vm.ToNumber(call.Arg(2)) + 100); }

TEST(ObjectModel, MembersGoThroughPrototypesAccessorsWatchesAndResolve) {
  Vm vm;
  const ObjectRef proto = vm.NewObject();
  Property& accessor = vm.Get(proto)->properties.Set("big", false);
  accessor.getter = vm.NewFunction(Getter);
  accessor.setter = vm.NewFunction(Setter);
  vm.DefineValue(proto, "fixed", Num(7), property_flags::kReadOnly);
  const Value object = Value::Object(vm.NewObject(proto));

  vm.SetMember(object, "base", Num(3));
  EXPECT_EQ(vm.ToNumber(vm.GetMember(object, "big")), 30);  // getter sees the instance
  vm.SetMember(object, "big", Num(5));                        // setter, not a new own property
  EXPECT_EQ(vm.ToNumber(vm.GetMember(object, "base")), 5);
  EXPECT_EQ(vm.Get(object.AsObject())->properties.Find("big", false), nullptr);
  vm.SetMember(object, "fixed", Num(8));
  EXPECT_EQ(vm.ToNumber(vm.GetMember(object, "fixed")), 7);

  EXPECT_TRUE(vm.GetMember(object, "missing").Is(ValueKind::kUndefined));
  vm.DefineValue(proto, "__resolve", Value::Object(vm.NewFunction(Resolve)));
  EXPECT_EQ(vm.ToStringValue(vm.GetMember(object, "missing")), "resolved missing");

  vm.Get(object.AsObject())->watches.push_back({"w", Value::Object(vm.NewFunction(Watcher)), {}});
  vm.SetMember(object, "w", Num(1));
  EXPECT_EQ(vm.ToNumber(vm.GetMember(object, "w")), 101);

  vm.SetMember(object, "__proto__", Value::Null());
  EXPECT_TRUE(vm.GetMember(object, "fixed").Is(ValueKind::kUndefined));
}

TEST(ObjectModel, ArrayLengthFollowsIndicesAndCutsThem) {
  Vm vm;
  const Value elements[] = {Num(1), Num(2), Num(3)};
  const Value array = Value::Object(vm.NewArray(elements));
  vm.SetMember(array, "9", Num(10));
  EXPECT_EQ(vm.ToNumber(vm.GetMember(array, "length")), 10);
  vm.SetMember(array, "09", Num(0));  // not an index
  EXPECT_EQ(vm.ToNumber(vm.GetMember(array, "length")), 10);
  vm.SetMember(array, "length", Num(2));
  EXPECT_TRUE(vm.GetMember(array, "2").Is(ValueKind::kUndefined));
  EXPECT_TRUE(vm.GetMember(array, "9").Is(ValueKind::kUndefined));
  EXPECT_EQ(vm.ToNumber(vm.GetMember(array, "1")), 2);
}

class HeldObjects final : public RootSource {
 public:
  void MarkRoots(Marker& marker) const override {
    for (const ObjectRef ref : held) marker.Mark(ref);
  }
  std::vector<ObjectRef> held;
};

TEST(ObjectModel, CollectorFreesCyclesAndKeepsWhatRootsReach) {
  Vm vm;
  HeldObjects roots;
  vm.AddRoots(&roots);
  const size_t builtins = vm.GetHeap().LiveCount();
  // Objects in pairs that point at each other, enough for many collections
  // to run inside the loop; one pair is kept.
  for (int i = 0; i < 100'000; ++i) {
    const ObjectRef a = vm.NewObject();
    const ObjectRef b = vm.NewObject();
    vm.SetMember(Value::Object(a), "other", Value::Object(b));
    vm.SetMember(Value::Object(b), "other", Value::Object(a));
    if (i == 1234) roots.held.push_back(a);
    vm.CollectIfWanted();
  }
  vm.Collect();
  EXPECT_EQ(vm.GetHeap().LiveCount(), builtins + 2);
  const Value kept = vm.GetMember(vm.GetMember(Value::Object(roots.held[0]), "other"), "other");
  EXPECT_EQ(kept.AsObject(), roots.held[0]);
  vm.RemoveRoots(&roots);
  vm.Collect();
  EXPECT_EQ(vm.GetHeap().LiveCount(), builtins);
}

}  // namespace
}  // namespace swf::avm1
