// The interpreter run on scripts written in the tests, with a display world
// of one root clip: the action families, scopes and closures, prototype
// chains, try/catch, the collector under a script that makes cycles, and
// the limits (recursion, time with an injected clock, stack).
#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "avm1/fake_display.h"
#include "avm1/script_assembler.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/interpreter.h"
#include "swf/parse/action_decoder.h"

namespace avm1test {
namespace {

using namespace swf::action;
using swf::avm1::ScriptLimits;
using Lines = std::vector<std::string>;

// A Vm with its built-ins, one root clip, and an interpreter that runs
// blocks kept alive for the whole test (script functions point into them).
class Movie {
 public:
  explicit Movie(ScriptLimits limits = {}) {
    // Time stands still unless a test moves it: a slow machine must not
    // stop a long script.
    if (!limits.clock) limits.clock = [] { return 0.0; };
    swf::avm1::InstallBuiltins(vm, swf::avm1::BuiltinsHost{});
    display = std::make_unique<FakeDisplay>(vm);
    interpreter = std::make_unique<swf::avm1::Interpreter>(vm, *display, std::move(limits));
  }
  Lines Run(const Script& script, int version = 7) {
    const std::vector<uint8_t>& code = blocks_.emplace_back(script.Bytes());
    swf::ActionBlock block;
    block.code = code;
    display->traces.clear();
    interpreter->RunBlock(block, display->Root(), version);
    return display->traces;
  }

  swf::avm1::Vm vm;
  std::unique_ptr<FakeDisplay> display;
  std::unique_ptr<swf::avm1::Interpreter> interpreter;

 private:
  std::deque<std::vector<uint8_t>> blocks_;
};

Script Trace(Script script) { return script.Op(kTrace); }

// The enumeration loop a compiler writes: names until undefined.
Script& TraceEnumerated(Script& s) {
  return s.Label("next")
      .StoreRegister(0)
      .Push({Null{}})
      .Op(kEquals2)
      .If("end")
      .Push({Reg{0}})
      .Op(kTrace)
      .Jump("next")
      .Label("end");
}

struct Case {
  const char* name;
  int version;
  Script script;
  Lines expected;
};

std::vector<Case> ActionCases() {
  std::vector<Case> cases;
  // The SWF 4 stack machine.
  cases.push_back({"Add2Concatenates", 7, Trace(Script().Push({"a", 1}).Op(kAdd2)), {"a1"}});
  cases.push_back({"Swf4AddReadsNumbers", 4, Trace(Script().Push({"2", "3"}).Op(kAdd)), {"5"}});
  cases.push_back({"Swf4EqualsGivesOne", 4, Trace(Script().Push({1, 1}).Op(kEquals)), {"1"}});
  cases.push_back({"ModuloAndSubtract", 7,
                   Trace(Trace(Script().Push({7, 3}).Op(kModulo)).Push({2, 5}).Op(kSubtract)),
                   {"1", "-3"}});
  cases.push_back({"SwapAndDuplicate", 7,
                   Trace(Trace(Trace(Trace(Script().Push({"a", "b"}).Op(kStackSwap))).Push({"x"}).Op(kPushDuplicate))),
                   {"a", "b", "x", "x"}});
  cases.push_back({"StringExtractByBytes", 5, Trace(Script().Push({"hello", 2, 3}).Op(kStringExtract)), {"ell"}});
  cases.push_back({"MultibyteExtractByCharacters", 6,
                   Trace(Script().Push({"h\xC3\xA9llo", 2, 2}).Op(kMBStringExtract)),
                   {"\xC3\xA9l"}});
  cases.push_back({"LengthByVersion", 5,
                   Trace(Trace(Script().Push({"\xC3\xA9"}).Op(kStringLength)).Push({"\xC3\xA9"}).Op(kMBStringLength)),
                   {"2", "1"}});
  cases.push_back({"CharacterCodes", 6,
                   Trace(Trace(Script().Push({65}).Op(kAsciiToChar)).Push({"\xC3\xA9"}).Op(kMBCharToAscii)),
                   {"A", "233"}});
  cases.push_back({"ToIntegerTruncates", 7, Trace(Script().Push({-2.7}).Op(kToInteger)), {"-2"}});
  cases.push_back({"RegisterKeepsTop", 7, Trace(Script().Push({5}).StoreRegister(2).Op(kPop).Push({Reg{2}})), {"5"}});
  cases.push_back({"ConstantPool", 7, Trace(Script().ConstantPool({"hi", "there"}).PushConstant(1)), {"there"}});
  cases.push_back({"TypeOf", 7,
                   Trace(Trace(Script().Push({Undefined{}}).Op(kTypeOf)).Push({"this"}).Op(kGetVariable).Op(kTypeOf)),
                   {"undefined", "movieclip"}});
  cases.push_back({"LoopSumsOneToTen", 7,
                   Trace(Script()
                             .Push({"s", 0})
                             .Op(kSetVariable)
                             .Push({"i", 1})
                             .Op(kSetVariable)
                             .Label("top")
                             .Push({"i"})
                             .Op(kGetVariable)
                             .Push({10})
                             .Op(kGreater)
                             .If("done")
                             .Push({"s", "s"})
                             .Op(kGetVariable)
                             .Push({"i"})
                             .Op(kGetVariable)
                             .Op(kAdd2)
                             .Op(kSetVariable)
                             .Push({"i", "i"})
                             .Op(kGetVariable)
                             .Op(kIncrement)
                             .Op(kSetVariable)
                             .Jump("top")
                             .Label("done")
                             .Push({"s"})
                             .Op(kGetVariable)),
                   {"55"}});
  // Variables by name and by path.
  cases.push_back({"SlashAndDotPaths", 7,
                   Trace(Trace(Script().Push({"/:v", "slash"}).Op(kSetVariable).Push({"_root.v"}).Op(kGetVariable))
                             .Push({"_level0:v"})
                             .Op(kGetVariable)),
                   {"slash", "slash"}});
  cases.push_back({"VarWithPath", 6,
                   Trace(Script().Push({"/:w", "W"}).Op(kDefineLocal).Push({"_root.w"}).Op(kGetVariable)),
                   {"W"}});
  cases.push_back({"ThisIsTheClip", 7, Trace(Script().Push({"this"}).Op(kGetVariable)), {"_level0"}});
  cases.push_back({"NamesIgnoreCaseBeforeSeven", 6,
                   Trace(Script().Push({"Score", 3}).Op(kSetVariable).Push({"sCORE"}).Op(kGetVariable)),
                   {"3"}});
  cases.push_back({"NamesKeepCaseFromSeven", 7,
                   Trace(Script().Push({"Score", 3}).Op(kSetVariable).Push({"sCORE"}).Op(kGetVariable)),
                   {"undefined"}});
  cases.push_back({"Delete2", 7,
                   Trace(Trace(Script().Push({"x", 1}).Op(kSetVariable).Push({"x"}).Op(kDelete2)).Push({"x"}).Op(kGetVariable)),
                   {"true", "undefined"}});
  // Objects.
  {
    Script s;
    s.Push({"a", 1, "b", 2, 2}).Op(kInitObject).Op(kEnumerate2);
    cases.push_back({"ObjectLiteralEnumeratesNewestFirst", 7, TraceEnumerated(s), {"a", "b"}});
  }
  {
    // The prototype's names first, then the object's own; a shadowed name
    // once, where it is nearest (corpus: assetnativeaccessor).
    Script s;
    s.Push({"p", "a", 1, "b", 2, 2})
        .Op(kInitObject)
        .Op(kSetVariable)
        .Push({"o", "b", 3, "c", 4, 2})
        .Op(kInitObject)
        .Op(kSetVariable)
        .Push({"o"})
        .Op(kGetVariable)
        .Push({"__proto__", "p"})
        .Op(kGetVariable)
        .Op(kSetMember)
        .Push({"o"})
        .Op(kGetVariable)
        .Op(kEnumerate2);
    cases.push_back({"EnumerationWalksPrototypes", 7, TraceEnumerated(s), {"a", "b", "c"}});
  }
  cases.push_back({"ArrayLiteral", 7,
                   Trace(Trace(Script().Push({3, 2, 1, 3}).Op(kInitArray).StoreRegister(1).Push({1}).Op(kGetMember))
                             .Push({Reg{1}, "length"})
                             .Op(kGetMember)),
                   {"2", "3"}});
  {
    // function Point(x) { this.x = x; } Point.prototype.twice = function () { return this.x * 2; }
    Script s;
    s.Function("Point", {"x"}, Script().Push({"this"}).Op(kGetVariable).Push({"x", "x"}).Op(kGetVariable).Op(kSetMember))
        .Push({"Point"})
        .Op(kGetVariable)
        .Push({"prototype"})
        .Op(kGetMember)
        .Push({"twice"})
        .Function("", {}, Script().Push({"this"}).Op(kGetVariable).Push({"x"}).Op(kGetMember).Push({2}).Op(kMultiply).Op(kReturn))
        .Op(kSetMember)
        .Push({21, 1, "Point"})
        .Op(kNewObject)
        .StoreRegister(1)
        .Op(kPop)
        .Push({0, Reg{1}, "twice"})
        .Op(kCallMethod)
        .Op(kTrace)
        .Push({Reg{1}, "Point"})
        .Op(kGetVariable)
        .Op(kInstanceOf)
        .Op(kTrace)
        .Push({Reg{1}, "Object"})
        .Op(kGetVariable)
        .Op(kInstanceOf)
        .Op(kTrace);
    cases.push_back({"ConstructorAndPrototypeMethod", 7, s, {"42", "true", "true"}});
  }
  {
    // class A { function A() { trace("A made") } function hello() { return "A.hello" } }
    // class B extends A { function B() { super() } function hello() { return "B>" + super.hello() } }
    Script s;
    s.Function("A", {}, Script().Push({"A made"}).Op(kTrace))
        .Push({"A"})
        .Op(kGetVariable)
        .Push({"prototype"})
        .Op(kGetMember)
        .Push({"hello"})
        .Function("", {}, Script().Push({"A.hello"}).Op(kReturn))
        .Op(kSetMember)
        .Function("B", {}, Script().Push({0, "super"}).Op(kGetVariable).Push({Undefined{}}).Op(kCallMethod).Op(kPop))
        .Push({"B"})
        .Op(kGetVariable)
        .Push({"A"})
        .Op(kGetVariable)
        .Op(kExtends)
        .Push({"B"})
        .Op(kGetVariable)
        .Push({"prototype"})
        .Op(kGetMember)
        .Push({"hello"})
        .Function("", {},
                  Script().Push({"B>", 0, "super"}).Op(kGetVariable).Push({"hello"}).Op(kCallMethod).Op(kAdd2).Op(kReturn))
        .Op(kSetMember)
        .Push({0, "B"})
        .Op(kNewObject)
        .StoreRegister(1)
        .Push({"hello"})
        .Op(kCallMethod)
        .Op(kTrace)
        .Push({Reg{1}, "A"})
        .Op(kGetVariable)
        .Op(kInstanceOf)
        .Op(kTrace);
    // Extends' prototype calls A's constructor only through super().
    cases.push_back({"ExtendsAndSuper", 7, s, {"A made", "B>A.hello", "true"}});
  }
  {
    // A prototype chain set by __proto__, and __resolve for what is missing.
    Script s;
    s.Push({"base", "v", "inherited", 1})
        .Op(kInitObject)
        .Op(kSetVariable)
        .Push({"o", 0})
        .Op(kInitObject)
        .Op(kSetVariable)
        .Push({"o"})
        .Op(kGetVariable)
        .Push({"__proto__", "base"})
        .Op(kGetVariable)
        .Op(kSetMember)
        .Push({"o.v"})
        .Op(kGetVariable)
        .Op(kTrace)
        .Push({"base"})
        .Op(kGetVariable)
        .Push({"__resolve"})
        .Function("", {"name"}, Script().Push({"resolved "}).Push({"name"}).Op(kGetVariable).Op(kAdd2).Op(kReturn))
        .Op(kSetMember)
        .Push({"o"})
        .Op(kGetVariable)
        .Push({"missing"})
        .Op(kGetMember)
        .Op(kTrace);
    cases.push_back({"PrototypeChainAndResolve", 7, s, {"inherited", "resolved missing"}});
  }
  // Scopes and closures.
  {
    // function makeCounter() { var n = 0; return function () { n = n + 1; return n; }; }
    const Script counter = Script().Push({"n", 0}).Op(kDefineLocal).Function(
        "", {}, Script().Push({"n", "n"}).Op(kGetVariable).Op(kIncrement).Op(kSetVariable).Push({"n"}).Op(kGetVariable).Op(kReturn))
        .Op(kReturn);
    Script s;
    s.Function("makeCounter", {}, counter)
        .Push({"c", 0, "makeCounter"})
        .Op(kCallFunction)
        .Op(kSetVariable)
        .Push({0, "c"})
        .Op(kCallFunction)
        .Op(kPop)
        .Push({0, "c"})
        .Op(kCallFunction)
        .Op(kTrace)
        .Push({"n"})
        .Op(kGetVariable)
        .Op(kTrace);
    cases.push_back({"ClosureKeepsItsScope", 7, s, {"2", "undefined"}});
    // Before SWF 6 the inner function sees the clip, not the call it was made in.
    cases.push_back({"Swf5HasNoClosures", 5, s, {"2", "2"}});
  }
  {
    // o = {p: 1}; with (o) { trace(p); p = 5; q = 7 } trace(o.p); trace(q)
    Script s;
    s.Push({"o", "p", 1, 1})
        .Op(kInitObject)
        .Op(kSetVariable)
        .Push({"o"})
        .Op(kGetVariable)
        .With(Script().Push({"p"}).Op(kGetVariable).Op(kTrace).Push({"p", 5}).Op(kSetVariable).Push({"q", 7}).Op(kSetVariable))
        .Push({"o.p"})
        .Op(kGetVariable)
        .Op(kTrace)
        .Push({"q"})
        .Op(kGetVariable)
        .Op(kTrace);
    cases.push_back({"WithReadsAndWritesMembers", 7, s, {"1", "5", "7"}});
  }
  {
    // DefineFunction2: this in r1, arguments in r2, the parameter in r3.
    Script s;
    s.Function2("f", {{3, "a"}, {0, "b"}}, 4,
                swf::function_flag::kPreloadThis | swf::function_flag::kPreloadArguments |
                    swf::function_flag::kSuppressSuper,
                Script()
                    .Push({Reg{1}})
                    .Op(kTrace)
                    .Push({Reg{2}, "length"})
                    .Op(kGetMember)
                    .Op(kTrace)
                    .Push({Reg{3}})
                    .Op(kTrace)
                    .Push({"b"})
                    .Op(kGetVariable)
                    .Op(kTrace))
        .Push({"y", "x", 2, "f"})
        .Op(kCallFunction)
        .Op(kPop);
    cases.push_back({"DefineFunction2RegistersAndPreloads", 7, s, {"_level0", "2", "x", "y"}});
  }
  {
    // Suppressing this or super wins over preloading it; a preloaded or
    // suppressed super is not found by name (corpus: trace-as2-super).
    using namespace swf::function_flag;
    const auto typeOf = [](Pushed what, bool variable) {
      Script body;
      body.Push({what});
      if (variable) body.Op(kGetVariable);
      return body.Op(kTypeOf).Op(kTrace);
    };
    Script s;
    s.Push({"o", 0}).Op(kInitObject).Op(kSetVariable);
    const std::pair<uint16_t, Script> functions[] = {
        {kPreloadThis | kSuppressThis, typeOf(Reg{1}, false)},
        {kPreloadSuper | kSuppressSuper, typeOf(Reg{1}, false)},
        {kPreloadSuper, typeOf(Reg{1}, false)},
        {kPreloadSuper, typeOf("super", true)},
        {kSuppressSuper, typeOf("super", true)},
        {0, typeOf("super", true)},
    };
    for (const auto& [flags, body] : functions) {
      s.Push({"o"}).Op(kGetVariable).Push({"m"}).Function2("", {}, 2, flags, body).Op(kSetMember);
      s.Push({0, "o"}).Op(kGetVariable).Push({"m"}).Op(kCallMethod).Op(kPop);
    }
    cases.push_back({"SuppressedThisAndSuper", 7, s,
                     {"undefined", "undefined", "object", "undefined", "undefined", "object"}});
  }
  {
    // An interface implementing another one makes its implementers
    // instances of both (corpus: extends_chain).
    Script s;
    s.Function("Red", {}, Script()).Function("Pink", {}, Script()).Function("C", {}, Script());
    s.Push({"Red"}).Op(kGetVariable).Push({1, "Pink"}).Op(kGetVariable).Op(kImplementsOp);
    s.Push({"Pink"}).Op(kGetVariable).Push({1, "C"}).Op(kGetVariable).Op(kImplementsOp);
    s.Push({"o", 0, "C"}).Op(kNewObject).Op(kSetVariable);
    for (const char* type : {"Red", "Pink", "C"}) {
      s.Push({"o"}).Op(kGetVariable).Push({type}).Op(kGetVariable).Op(kInstanceOf).Op(kTrace);
    }
    cases.push_back({"InterfacesOfInterfaces", 7, s, {"true", "true", "true"}});
  }
  cases.push_back({"ArgumentsCallee", 7,
                   Script()
                       .Function("f", {},
                                 Script().Push({"arguments"}).Op(kGetVariable).Push({"callee"}).Op(kGetMember).Push({"f"}).Op(kGetVariable).Op(kStrictEquals).Op(kReturn))
                       .Push({0, "f"})
                       .Op(kCallFunction)
                       .Op(kTrace),
                   {"true"}});
  // try, catch, finally and throw.
  {
    const Script catcher = Script().Push({"e"}).Op(kGetVariable).Op(kTrace);
    const Script finally = Script().Push({"finally"}).Op(kTrace);
    Script s;
    s.Function("f", {}, Script().Push({"boom"}).Op(kThrow))
        .Try(Script().Push({0, "f"}).Op(kCallFunction).Op(kPop).Push({"not here"}).Op(kTrace), "e", &catcher, &finally)
        .Push({"after"})
        .Op(kTrace);
    cases.push_back({"CatchAThrowFromACall", 7, s, {"boom", "finally", "after"}});
  }
  {
    // A comparator that throws, through Array.sort (a native frame).
    const Script catcher = Script().Push({Reg{2}}).Op(kTrace);
    Script s;
    s.Push({2, 1, 2})
        .Op(kInitArray)
        .StoreRegister(1)
        .Op(kPop)
        .Try(Script().Function("", {}, Script().Push({"from comparator"}).Op(kThrow)).Push({1, Reg{1}, "sort"}).Op(kCallMethod).Op(kPop),
             "", &catcher, nullptr, 2);
    cases.push_back({"ThrowThroughNativeFrame", 7, s, {"from comparator"}});
  }
  {
    const Script finally = Script().Push({"fin"}).Op(kTrace);
    Script s;
    s.Function("f", {}, Script().Try(Script().Push({"r"}).Op(kReturn), "", nullptr, &finally))
        .Push({0, "f"})
        .Op(kCallFunction)
        .Op(kTrace);
    cases.push_back({"FinallyRunsOnReturn", 7, s, {"fin", "r"}});
  }
  // Call names its frame as GotoFrame2 does: 1-based numbers that wrap at
  // 32 bits, numeric text, labels, and nothing for NaN or a missing clip.
  cases.push_back({"CallNamesFramesByNumberTextAndLabel", 7,
                   Script()
                       .Push({3}).Op(kCall)
                       .Push({"3"}).Op(kCall)
                       .Push({4294967299.0}).Op(kCall)
                       .Push({"Intro"}).Op(kCall)
                       .Push({2.5}).Op(kCall)
                       .Push({"/nowhere:2"}).Op(kCall)
                       .Push({Undefined{}}).Op(kToNumber).Op(kCall)
                       .Push({"_root:4"}).Op(kCall),
                   {"call 2", "call 2", "call 2", "call label Intro", "call label 2.5", "call 3"}});
  cases.push_back({"UncaughtThrowEndsTheBlock", 7,
                   Script().Push({"a"}).Op(kTrace).Push({"x"}).Op(kThrow).Push({"b"}).Op(kTrace),
                   {"a"}});
  return cases;
}

class ActionTest : public ::testing::TestWithParam<Case> {};

TEST_P(ActionTest, TracesWhatThePlayerTraces) {
  Movie movie;
  EXPECT_EQ(movie.Run(GetParam().script, GetParam().version), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Families, ActionTest, ::testing::ValuesIn(ActionCases()),
                         [](const ::testing::TestParamInfo<Case>& tested) { return std::string(tested.param.name); });

TEST(InterpreterLimits, RecursionStopsTheScriptAt256Levels) {
  int told = 0;
  ScriptLimits limits;
  limits.onRecursionLimit = [&] { ++told; };
  Movie movie(limits);
  Script s;
  s.Function("r", {}, Script().Push({"depth", "depth"}).Op(kGetVariable).Op(kIncrement).Op(kSetVariable).Push({0, "r"}).Op(kCallFunction).Op(kPop))
      .Push({"depth", 0})
      .Op(kSetVariable)
      .Try(Script().Push({0, "r"}).Op(kCallFunction).Op(kPop), "e", nullptr, nullptr)
      .Push({"after"})
      .Op(kTrace);
  EXPECT_EQ(movie.Run(s), Lines{});
  EXPECT_EQ(told, 1);
  // The block counts as the first level.
  EXPECT_EQ(movie.Run(Trace(Script().Push({"depth"}).Op(kGetVariable))), Lines{"255"});
}

TEST(InterpreterLimits, TimeLimitStopsALoopByTheInjectedClock) {
  double now = 0;
  int told = 0;
  ScriptLimits limits;
  limits.timeoutSeconds = 15;
  limits.clock = [&] { return now += 1000; };  // a second passes at each look
  limits.onTimeout = [&] { ++told; };
  Movie movie(limits);
  EXPECT_EQ(movie.Run(Script().Push({"before"}).Op(kTrace).Label("top").Jump("top").Push({"after"}).Op(kTrace)),
            Lines{"before"});
  EXPECT_EQ(told, 1);
  // The next block has its own time.
  EXPECT_EQ(movie.Run(Trace(Script().Push({"next"}))), Lines{"next"});
  EXPECT_EQ(told, 1);
}

TEST(InterpreterLimits, StackCeilingStopsTheScript) {
  Movie movie;
  EXPECT_EQ(movie.Run(Script().Label("top").Push({1}).Jump("top")), Lines{});
  EXPECT_EQ(movie.Run(Trace(Script().Push({"ok"}))), Lines{"ok"});
}

TEST(InterpreterLimits, StringCeilingStopsADoublingLoop) {
  Movie movie;
  // s = "ab"; while (true) s = s + s;
  EXPECT_EQ(movie.Run(Script()
                          .Push({"s", "ab"})
                          .Op(kSetVariable)
                          .Label("top")
                          .Push({"s", "s"})
                          .Op(kGetVariable)
                          .Push({"s"})
                          .Op(kGetVariable)
                          .Op(kAdd2)
                          .Op(kSetVariable)
                          .Jump("top")),
            Lines{});
  EXPECT_EQ(movie.Run(Trace(Script().Push({"s"}).Op(kGetVariable).Push({"length"}).Op(kGetMember))),
            Lines{std::to_string(1 << 24)});
}

// A built-in looping over a length a script set (2^31 - 1) ends with the
// script: by the time limit, or at once where it would hold more elements
// or text than any script may.
TEST(InterpreterLimits, BuiltInsOverHugeLengthsStopWithTheScript) {
  struct Case {
    const char* method;
    Pushed argument;
  };
  const Case cases[] = {{"join", ""}, {"join", ","}, {"toString", Undefined{}}, {"reverse", Undefined{}},
                        {"shift", Undefined{}}, {"unshift", 1}, {"slice", 0}, {"splice", 0},
                        {"sort", Undefined{}}, {"concat", 1}};
  for (const Case& c : cases) {
    double now = 0;
    int told = 0;
    ScriptLimits limits;
    limits.clock = [&] { return now += 1000; };
    limits.onTimeout = [&] { ++told; };
    Movie movie(limits);
    // a = []; a.length = 2147483647; trace("before"); a.<method>(arg); trace("after")
    Script s;
    s.Push({"a", 0}).Op(kInitArray).Op(kSetVariable);
    s.Push({"a"}).Op(kGetVariable).Push({"length", 2147483647}).Op(kSetMember);
    s.Push({"before"}).Op(kTrace);
    s.Push({c.argument, 1, "a"}).Op(kGetVariable).Push({c.method}).Op(kCallMethod).Op(kPop);
    s.Push({"after"}).Op(kTrace);
    EXPECT_EQ(movie.Run(s), Lines{"before"}) << c.method;
    // The next script runs as usual.
    EXPECT_EQ(movie.Run(Trace(Script().Push({"next"}))), Lines{"next"}) << c.method;
  }
}

TEST(InterpreterCollector, AMillionCyclesAreReclaimedWhileTheScriptRuns) {
  Movie movie;
  movie.vm.Collect();
  const size_t before = movie.vm.GetHeap().LiveCount();
  // for (i = 0; i < 1000000; i++) { o = {}; o.self = o; }
  Script s;
  s.Push({0})
      .StoreRegister(1)
      .Op(kPop)
      .Label("top")
      .Push({Reg{1}, 1000000})
      .Op(kLess2)
      .Op(kNot)
      .If("done")
      .Push({0})
      .Op(kInitObject)
      .StoreRegister(2)
      .Push({"self", Reg{2}})
      .Op(kSetMember)
      .Push({"o", Reg{2}})
      .Op(kSetVariable)
      .Push({Reg{1}})
      .Op(kIncrement)
      .StoreRegister(1)
      .Op(kPop)
      .Jump("top")
      .Label("done");
  movie.Run(s);
  // Collections ran at the safe points of the loop.
  EXPECT_LT(movie.vm.GetHeap().LiveCount(), before + 20000);
  movie.vm.Collect();
  EXPECT_EQ(movie.vm.GetHeap().LiveCount(), before + 1);  // the last `o`
}

TEST(InterpreterCollector, OperandsOfACallSurviveCollectionsInTheCallee) {
  Movie movie;
  // function link(a, b) { a.next = b; b.next = a; return a; }
  // for (i = 0; i < 5000; i++) o = link({}, {}); trace(o.next.next === o)
  Script s;
  s.Function("link", {"a", "b"},
             Script()
                 .Push({"a"})
                 .Op(kGetVariable)
                 .Push({"next", "b"})
                 .Op(kGetVariable)
                 .Op(kSetMember)
                 .Push({"b"})
                 .Op(kGetVariable)
                 .Push({"next", "a"})
                 .Op(kGetVariable)
                 .Op(kSetMember)
                 .Push({"a"})
                 .Op(kGetVariable)
                 .Op(kReturn))
      .Push({0})
      .StoreRegister(1)
      .Op(kPop)
      .Label("top")
      .Push({Reg{1}, 5000})
      .Op(kLess2)
      .Op(kNot)
      .If("done")
      .Push({"o", 0})
      .Op(kInitObject)
      .Push({0})
      .Op(kInitObject)
      .Push({2, "link"})
      .Op(kCallFunction)
      .Op(kSetVariable)
      .Push({Reg{1}})
      .Op(kIncrement)
      .StoreRegister(1)
      .Op(kPop)
      .Jump("top")
      .Label("done")
      .Push({"o.next.next", "o"})
      .Op(kGetVariable)
      .StoreRegister(3)
      .Op(kPop)
      .Op(kGetVariable)
      .Push({Reg{3}})
      .Op(kStrictEquals)
      .Op(kTrace);
  EXPECT_EQ(movie.Run(s), Lines{"true"});
}

}  // namespace
}  // namespace avm1test
