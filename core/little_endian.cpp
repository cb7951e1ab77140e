#include "core/little_endian.h"

#include <bit>

namespace core {
namespace {

void AppendBytes(std::string& to, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) to.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t ReadBytes(std::string_view from, std::size_t offset, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) {
    value |= static_cast<std::uint64_t>(static_cast<unsigned char>(from[offset + i])) << (8 * i);
  }
  return value;
}

}  // namespace

void AppendUint32(std::string& to, std::uint32_t value) { AppendBytes(to, value, 4); }

void AppendDouble(std::string& to, double value) {
  AppendBytes(to, std::bit_cast<std::uint64_t>(value), 8);
}

std::uint32_t ReadUint32(std::string_view from, std::size_t offset) {
  return static_cast<std::uint32_t>(ReadBytes(from, offset, 4));
}

double ReadDouble(std::string_view from, std::size_t offset) {
  return std::bit_cast<double>(ReadBytes(from, offset, 8));
}

}  // namespace core
