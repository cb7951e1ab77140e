// libFuzzer target for the interpreter: the input is a SWF version byte and
// an action block, run as the frame script of a movie of one root clip
// (tests/avm1/fake_display.h) with the built-ins installed, twice (the
// second run meets what the first left behind: functions, prototypes,
// half-finished objects). Never a crash, a hang or an unbounded allocation:
// time is counted by an injected clock that advances with every look, so a
// loop ends after a bounded number of records.
#include <cstddef>
#include <cstdint>
#include <span>

#include "avm1/fake_display.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/interpreter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int version = 4 + data[0] % 5;  // 4 to 8
  swf::avm1::Vm vm;
  swf::avm1::InstallBuiltins(vm, swf::avm1::BuiltinsHost{});
  avm1test::FakeDisplay display(vm);
  double now = 0;
  swf::avm1::ScriptLimits limits;
  limits.timeoutSeconds = 1;
  limits.clock = [&now] { return now += 10; };  // about 100 looks, 1024 records apart
  swf::avm1::Interpreter interpreter(vm, display, limits);
  swf::ActionBlock block;
  block.code = std::span<const std::uint8_t>(data + 1, size - 1);
  interpreter.RunBlock(block, display.Root(), version);
  interpreter.RunBlock(block, display.Root(), version);
  vm.Collect();
  return 0;
}
