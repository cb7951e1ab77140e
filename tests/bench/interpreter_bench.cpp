// Interpretation speed: simple actions per second in tight loops written
// the way the compilers write them (DefineFunction2 with registers) over
// locals, members, calls and string building. Each loop's records per
// iteration are counted from its script below; the counter is actions per
// second. Goal: at least 20 million on one core.
#include <benchmark/benchmark.h>

#include <memory>

#include "avm1/fake_display.h"
#include "avm1/script_assembler.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/interpreter.h"
#include "swf/parse/action_decoder.h"

namespace {

using namespace swf::action;
using avm1test::Reg;
using avm1test::Script;

constexpr int kIterations = 100000;
// The loop's own records: the test (Push, Less2, Not, If), the step (Push,
// Increment, StoreRegister, Pop) and the Jump back.
constexpr int kLoopRecords = 9;

struct Bench {
  swf::avm1::Vm vm;
  std::unique_ptr<avm1test::FakeDisplay> display;
  std::unique_ptr<swf::avm1::Interpreter> interpreter;
  std::vector<uint8_t> code;
  swf::ActionBlock block;

  explicit Bench(const Script& script) {
    swf::avm1::InstallBuiltins(vm, swf::avm1::BuiltinsHost{});
    display = std::make_unique<avm1test::FakeDisplay>(vm);
    interpreter = std::make_unique<swf::avm1::Interpreter>(vm, *display, swf::avm1::ScriptLimits{});
    code = script.Bytes();
    block.code = code;
  }
  void Run() { interpreter->RunBlock(block, display->Root(), 8); }
};

// The whole block: function f(a) { return a + 1 } and function run() with
// the loop around `body`, then run().
Script Program(void (*body)(Script&)) {
  Script loop;
  loop.Push({0})
      .StoreRegister(1)
      .Op(kPop)
      .Push({0, "Object"})
      .Op(kNewObject)
      .StoreRegister(3)
      .Push({"x", 0})
      .Op(kSetMember)
      .Label("top")
      .Push({Reg{1}, kIterations})
      .Op(kLess2)
      .Op(kNot)
      .If("done");
  body(loop);
  loop.Push({Reg{1}}).Op(kIncrement).StoreRegister(1).Op(kPop).Jump("top").Label("done");
  Script program;
  program.Function2("f", {{1, "a"}}, 2, swf::function_flag::kSuppressThis | swf::function_flag::kSuppressArguments |
                                             swf::function_flag::kSuppressSuper,
                    Script().Push({Reg{1}, 1}).Op(kAdd2).Op(kReturn))
      .Function2("run", {}, 4,
                 swf::function_flag::kSuppressThis | swf::function_flag::kSuppressArguments |
                     swf::function_flag::kSuppressSuper,
                 loop)
      .Push({0, "run"})
      .Op(kCallFunction)
      .Op(kPop);
  return program;
}

void RunLoop(benchmark::State& state, void (*body)(Script&), int bodyRecords) {
  Bench bench(Program(body));
  for (auto _ : state) bench.Run();
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kIterations) * (kLoopRecords + bodyRecords));
  state.counters["actions_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kIterations * (kLoopRecords + bodyRecords), benchmark::Counter::kIsRate);
}

// r2 = r2 + r1: Push, Add2, StoreRegister, Pop.
void Locals(benchmark::State& state) {
  RunLoop(state, [](Script& s) { s.Push({Reg{2}, Reg{1}}).Op(kAdd2).StoreRegister(2).Op(kPop); }, 4);
}
// o.x = o.x + 1: Push, GetMember, Push, Add2, SetMember.
void Members(benchmark::State& state) {
  RunLoop(state,
          [](Script& s) { s.Push({Reg{3}, "x", Reg{3}, "x"}).Op(kGetMember).Push({1}).Op(kAdd2).Op(kSetMember); }, 5);
}
// f(r1): Push, CallFunction, Pop, and f's Push, Add2, Return.
void Calls(benchmark::State& state) {
  RunLoop(state, [](Script& s) { s.Push({Reg{1}, 1, "f"}).Op(kCallFunction).Op(kPop); }, 6);
}
// r2 = "item " + r1: Push, Add2, StoreRegister, Pop.
void Strings(benchmark::State& state) {
  RunLoop(state, [](Script& s) { s.Push({"item ", Reg{1}}).Op(kAdd2).StoreRegister(2).Op(kPop); }, 4);
}

BENCHMARK(Locals)->Unit(benchmark::kMillisecond);
BENCHMARK(Members)->Unit(benchmark::kMillisecond);
BENCHMARK(Calls)->Unit(benchmark::kMillisecond);
BENCHMARK(Strings)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
