#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace core {

// The package stores its numbers little-endian whatever the host is.
void AppendUint32(std::string& to, std::uint32_t value);
void AppendDouble(std::string& to, double value);

// Read at an offset that the caller has checked to be in range.
std::uint32_t ReadUint32(std::string_view from, std::size_t offset);
double ReadDouble(std::string_view from, std::size_t offset);

}  // namespace core
