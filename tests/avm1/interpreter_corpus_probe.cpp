// Runs the script corpus through the interpreter alone: each movie's root
// timeline with a display world of one clip (fake_display.h), its frames'
// init actions and actions in order, gotos on the root followed; sprites
// and events are not run. Prints each test that passes and the count, so
// that the interpreter can be measured before the runtime drives it.
//
// interpreter_corpus_probe CORPUS_FOLDER [NAME...]
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "avm1/fake_display.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/interpreter.h"
#include "swf/parse/movie.h"
#include "trace_corpus/trace_case.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::string RunMovie(const std::filesystem::path& file, long long frames) {
  const std::string bytes = ReadFile(file);
  const swf::ParsedMovie movie =
      swf::ParseMovie(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  swf::avm1::Vm vm;
  swf::avm1::BuiltinsHost facts;
  facts.nowMs = [] { return 981152406000.0; };
  facts.localOffsetMs = [](double) { return 345 * 60000.0; };
  swf::avm1::InstallBuiltins(vm, facts);
  avm1test::FakeDisplay display(vm);
  display.frameCount = static_cast<int>(std::max<size_t>(movie.root.frames.size(), 1));
  for (const auto& [label, frame] : movie.root.labels) display.labels[label] = static_cast<int>(frame);
  swf::avm1::ScriptLimits limits;
  limits.timeoutSeconds = 2;
  for (const swf::RawTag& tag : movie.unknownTags) {
    if (tag.code == 65 && tag.body.size() >= 4) limits.maxRecursion = tag.body[0] | (tag.body[1] << 8);
  }
  swf::avm1::Interpreter interpreter(vm, display, limits);
  const int version = movie.header.version;
  int shown = -1;
  for (long long n = 0; n < frames; ++n) {
    display.timer = n * 1000.0 / (movie.header.frameRate > 0 ? movie.header.frameRate : 12);
    if (display.currentFrame != shown && display.currentFrame < static_cast<int>(movie.root.frames.size())) {
      shown = display.currentFrame;
      const swf::Frame& frame = movie.root.frames[static_cast<size_t>(shown)];
      for (const swf::InitActionBlock& init : frame.initActions) interpreter.RunBlock(init.block, display.Root(), version);
      for (const swf::ActionBlock& block : frame.actions) interpreter.RunBlock(block, display.Root(), version);
    }
    if (display.requestedFrame) {
      display.currentFrame = *display.requestedFrame;
      display.requestedFrame.reset();
      shown = -1;
    } else if (display.playing && display.frameCount > 1) {
      display.currentFrame = (display.currentFrame + 1) % display.frameCount;
    }
  }
  std::string out;
  for (const std::string& line : display.traces) out += line + "\n";
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: interpreter_corpus_probe CORPUS_FOLDER [NAME...]\n";
    return 2;
  }
  const std::filesystem::path corpus = argv[1];
  std::vector<std::filesystem::path> folders;
  if (argc > 2) {
    for (int i = 2; i < argc; ++i) folders.push_back(corpus / argv[i]);
  } else {
    folders = trace_corpus::ListTraceCases(corpus);
  }
  int passed = 0;
  for (const std::filesystem::path& folder : folders) {
    try {
      const trace_corpus::TraceCase c = trace_corpus::LoadTraceCase(folder);
      const std::string actual = RunMovie(folder / "test.swf", c.frames);
      const trace_corpus::Comparison result =
          trace_corpus::CompareTrace(ReadFile(folder / "output.txt"), actual, c.approximations);
      if (result.match) {
        ++passed;
        std::cout << "PASS " << c.name << "\n";
      } else if (argc > 2) {
        std::cout << "FAIL " << c.name << ": " << result.difference << "\n--- actual:\n" << actual;
      }
    } catch (const std::exception& error) {
      std::cout << "ERROR " << folder.filename().string() << ": " << error.what() << "\n";
    }
  }
  std::cout << passed << " of " << folders.size() << " pass\n";
  return 0;
}
