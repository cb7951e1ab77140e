// Writes the fuzzer's built-in seed movies into a folder:
//   fuzz_seed_writer <folder>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "seed_movies.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seed_writer <folder>\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  for (const auto& [name, bytes] : fuzz::SeedMovies()) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::cerr << "fuzz_seed_writer: cannot write " << (folder / name).string() << "\n";
      return 1;
    }
  }
  return 0;
}
