// SharedObject through the Vm: what one run keeps the next run reads back
// (every kind of value, shared and cyclic objects included), names refused
// as the player refuses them, the size ceiling, clear(), and damaged files
// that set nothing.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/avm1/builtins/install.h"
#include "swf/avm1/builtins/shared_objects.h"
#include "swf/avm1/shared_object_file.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {
namespace {

using Files = std::map<std::string, std::vector<std::uint8_t>>;

// One run of a movie: a Vm whose shared objects live in `files`.
class MovieRun {
 public:
  explicit MovieRun(Files& files)
      : store_(
            [&files](std::string_view store) -> std::optional<std::vector<std::uint8_t>> {
              const auto found = files.find(std::string(store));
              if (found == files.end()) return std::nullopt;
              return found->second;
            },
            [&files](std::string_view store, std::span<const std::uint8_t> bytes) {
              if (bytes.empty()) {
                files.erase(std::string(store));
              } else {
                files[std::string(store)].assign(bytes.begin(), bytes.end());
              }
              return true;
            }) {
    BuiltinsHost host;
    host.sharedObjects = &store_;
    InstallBuiltins(vm, host);
    vm.AddRoots(&store_);
  }
  ~MovieRun() {
    store_.FlushAll(vm);
    vm.RemoveRoots(&store_);
  }

  Value Global(const char* name) { return vm.GetMember(Value::Object(vm.Classes().global), name); }
  Value GetLocal(std::vector<Value> args) { return vm.CallMethod(Global("SharedObject"), "getLocal", args); }
  Value Data(const Value& shared) { return vm.GetMember(shared, "data"); }
  std::string Text(const Value& value) { return vm.ToStringValue(value); }
  Value New(const char* className, std::vector<Value> args = {}) { return vm.Construct(Global(className), args); }

  Vm vm;

 private:
  SharedObjects store_;
};

TEST(SharedObjectTest, WhatOneRunKeepsTheNextRunReads) {
  Files files;
  {
    MovieRun run(files);
    const Value shared = run.GetLocal({Value::String("game/scores")});
    ASSERT_TRUE(shared.Is(ValueKind::kObject));
    // The same name is the same object for the whole run.
    EXPECT_EQ(run.GetLocal({Value::String("game/scores")}).AsObject().id, shared.AsObject().id);
    const Value data = run.Data(shared);
    run.vm.SetMember(data, "best", Value::Number(1250.5));
    run.vm.SetMember(data, "name", Value::String(std::string(70000, 'x')));  // a long string
    run.vm.SetMember(data, "sound", Value::Boolean(false));
    run.vm.SetMember(data, "none", Value::Null());
    run.vm.SetMember(data, "gone", Value());
    const Value args[] = {Value::Number(3), Value::String("two")};
    const Value list = Value::Object(run.vm.NewArray(args));
    run.vm.SetMember(list, "label", Value::String("extra"));
    run.vm.SetMember(data, "list", list);
    const Value level = run.New("Object");
    run.vm.SetMember(level, "self", level);  // a cycle
    run.vm.SetMember(level, "list", list);   // met again
    run.vm.SetMember(data, "level", level);
    run.vm.SetMember(data, "when", run.New("Date", {Value::Number(1.5e12)}));
    run.vm.SetMember(data, "skipped", run.Global("trace"));  // functions are not kept
    EXPECT_TRUE(run.vm.ToBoolean(run.vm.CallMethod(shared, "flush", {})));
  }
  ASSERT_EQ(files.count("game/scores"), 1u);
  MovieRun next(files);
  const Value data = next.Data(next.GetLocal({Value::String("game/scores")}));
  EXPECT_EQ(next.Text(next.vm.GetMember(data, "best")), "1250.5");
  EXPECT_EQ(next.Text(next.vm.GetMember(data, "name")).size(), 70000u);
  EXPECT_EQ(next.Text(next.vm.GetMember(data, "sound")), "false");
  EXPECT_TRUE(next.vm.GetMember(data, "none").Is(ValueKind::kNull));
  const Value list = next.vm.GetMember(data, "list");
  EXPECT_EQ(next.Text(list), "3,two");
  EXPECT_EQ(next.Text(next.vm.GetMember(list, "label")), "extra");
  const Value level = next.vm.GetMember(data, "level");
  ASSERT_TRUE(level.Is(ValueKind::kObject));
  EXPECT_EQ(next.vm.GetMember(level, "self").AsObject().id, level.AsObject().id);
  EXPECT_EQ(next.vm.GetMember(level, "list").AsObject().id, list.AsObject().id);
  EXPECT_EQ(next.Text(next.vm.CallMethod(next.vm.GetMember(data, "when"), "getTime", {})), "1500000000000");
  EXPECT_TRUE(next.vm.GetMember(data, "skipped").Is(ValueKind::kUndefined));
}

TEST(SharedObjectTest, DataIsKeptWhenTheMovieEndsWithoutFlush) {
  Files files;
  {
    MovieRun run(files);
    run.vm.SetMember(run.Data(run.GetLocal({Value::String("progress")})), "level", Value::Number(4));
  }
  MovieRun next(files);
  EXPECT_EQ(next.Text(next.vm.GetMember(next.Data(next.GetLocal({Value::String("progress")})), "level")), "4");
}

TEST(SharedObjectTest, NamesThePlayerRefusesGiveNull) {
  Files files;
  MovieRun run(files);
  struct Case {
    const char* name;
    const char* localPath;  // nullptr: none given
    const char* store;      // nullptr: refused
  };
  const Case cases[] = {
      {"scores", nullptr, "scores"},
      {"a/b", nullptr, "a/b"},
      {"high", "/games/run", "games/run/high"},
      {"", nullptr, nullptr},
      {"two words", nullptr, nullptr},
      {"..", nullptr, nullptr},
      {"../../escape", nullptr, nullptr},
      {"a\\b", nullptr, nullptr},
      {"c:x", nullptr, nullptr},
      {"x", "/../up", nullptr},
      {"what?", nullptr, nullptr},
      {"100%", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    std::vector<Value> args = {Value::String(c.name)};
    if (c.localPath != nullptr) args.push_back(Value::String(c.localPath));
    const Value shared = run.GetLocal(args);
    EXPECT_EQ(shared.Is(ValueKind::kObject), c.store != nullptr) << c.name;
    const auto store = SharedObjects::StoreName(c.name, c.localPath != nullptr ? c.localPath : "");
    EXPECT_EQ(store.value_or("(refused)"), c.store != nullptr ? c.store : "(refused)") << c.name;
  }
}

TEST(SharedObjectTest, TooMuchDataIsNotWrittenAndClearRemovesTheStore) {
  Files files;
  MovieRun run(files);
  const Value shared = run.GetLocal({Value::String("big")});
  const Value data = run.Data(shared);
  run.vm.SetMember(data, "small", Value::Number(1));
  EXPECT_TRUE(run.vm.ToBoolean(run.vm.CallMethod(shared, "flush", {})));
  const double smallSize = run.vm.ToNumber(run.vm.CallMethod(shared, "getSize", {}));
  EXPECT_GT(smallSize, 0);
  run.vm.SetMember(data, "huge", Value::String(std::string(SharedObjects::kMaxBytes, 'y')));
  EXPECT_GT(run.vm.ToNumber(run.vm.CallMethod(shared, "getSize", {})), SharedObjects::kMaxBytes);
  EXPECT_FALSE(run.vm.ToBoolean(run.vm.CallMethod(shared, "flush", {})));
  EXPECT_EQ(files["big"].size(), static_cast<size_t>(smallSize));  // the last good write stays
  run.vm.CallMethod(shared, "clear", {});
  EXPECT_EQ(files.count("big"), 0u);
  EXPECT_TRUE(run.vm.GetMember(data, "small").Is(ValueKind::kUndefined));
}

TEST(SharedObjectTest, DamagedFilesSetNothing) {
  Files files;
  std::vector<std::uint8_t> good;
  {
    MovieRun run(files);
    const Value data = run.Data(run.GetLocal({Value::String("kept")}));
    run.vm.SetMember(data, "a", Value::String("text"));
    const Value inner = run.New("Object");
    run.vm.SetMember(inner, "b", Value::Number(2));
    run.vm.SetMember(data, "inner", inner);
  }
  good = files["kept"];
  ASSERT_GT(good.size(), 20u);
  // Every shortened file, and one with a reference to nothing, is refused
  // as a whole.
  for (size_t size = 0; size < good.size(); ++size) {
    MovieRun run(files);
    const ObjectRef data = run.vm.NewObject();
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_FALSE(DecodeSharedObjectFile(run.vm, cut, data)) << size;
    EXPECT_EQ(run.vm.Get(data)->properties.Size(), 0u) << size;
  }
  MovieRun run(files);
  const ObjectRef data = run.vm.NewObject();
  EXPECT_TRUE(DecodeSharedObjectFile(run.vm, good, data));
  EXPECT_EQ(run.Text(run.vm.GetMember(Value::Object(data), "a")), "text");
}

}  // namespace
}  // namespace swf::avm1
