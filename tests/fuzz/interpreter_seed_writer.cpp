// Writes the interpreter fuzzer's seeds: every action block of the root
// timelines of the movies in a folder of test folders (the script corpus),
// each as the fuzzer reads it (a version byte, then the records).
//
// interpreter_seed_writer OUT_FOLDER CORPUS_FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "swf/parse/movie.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: interpreter_seed_writer OUT_FOLDER CORPUS_FOLDER\n";
    return 2;
  }
  const std::filesystem::path out = argv[1];
  int written = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[2])) {
    std::ifstream in(entry.path() / "test.swf", std::ios::binary);
    if (!in) continue;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    try {
      const swf::ParsedMovie movie = swf::ParseMovie(bytes);
      int index = 0;
      for (const swf::Frame& frame : movie.root.frames) {
        for (const swf::ActionBlock& block : frame.actions) {
          if (block.code.size() > 4096) continue;
          std::ofstream seed(out / (entry.path().filename().string() + "-" + std::to_string(index++)), std::ios::binary);
          seed.put(static_cast<char>(movie.header.version >= 4 ? (movie.header.version - 4) % 5 : 0));
          seed.write(reinterpret_cast<const char*>(block.code.data()), static_cast<std::streamsize>(block.code.size()));
          ++written;
        }
      }
    } catch (const std::exception&) {
      // Movies that do not parse give no seeds.
    }
  }
  std::cout << written << " seeds\n";
  return 0;
}
