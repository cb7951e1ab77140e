#include "script_assembler.h"

#include <cstring>
#include <stdexcept>

namespace avm1test {
namespace {

void U16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Text(std::vector<uint8_t>& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

}  // namespace

void Script::Record(uint8_t code, const std::vector<uint8_t>& payload) {
  bytes_.push_back(code);
  if (code < 0x80) return;
  U16(bytes_, static_cast<uint32_t>(payload.size()));
  bytes_.insert(bytes_.end(), payload.begin(), payload.end());
}

Script& Script::Op(uint8_t code) {
  Record(code, {});
  return *this;
}

Script& Script::Push(std::initializer_list<Pushed> values) {
  std::vector<uint8_t> payload;
  for (const Pushed& value : values) {
    if (const auto* text = std::get_if<std::string>(&value)) {
      payload.push_back(0);
      Text(payload, *text);
    } else if (const auto* literal = std::get_if<const char*>(&value)) {
      payload.push_back(0);
      Text(payload, *literal);
    } else if (const auto* number = std::get_if<double>(&value)) {
      // Doubles are stored high word first.
      uint64_t bits;
      std::memcpy(&bits, number, 8);
      payload.push_back(6);
      for (int shift : {32, 40, 48, 56, 0, 8, 16, 24}) payload.push_back(static_cast<uint8_t>(bits >> shift));
    } else if (const auto* integer = std::get_if<int>(&value)) {
      payload.push_back(7);
      const auto bits = static_cast<uint32_t>(*integer);
      for (int shift : {0, 8, 16, 24}) payload.push_back(static_cast<uint8_t>(bits >> shift));
    } else if (const auto* flag = std::get_if<bool>(&value)) {
      payload.push_back(5);
      payload.push_back(*flag ? 1 : 0);
    } else if (std::holds_alternative<Undefined>(value)) {
      payload.push_back(3);
    } else if (std::holds_alternative<Null>(value)) {
      payload.push_back(2);
    } else {
      payload.push_back(4);
      payload.push_back(std::get<Reg>(value).number);
    }
  }
  Record(0x96, payload);
  return *this;
}

Script& Script::Label(const std::string& name) {
  labels_[name] = bytes_.size();
  return *this;
}

Script& Script::Branch(uint8_t code, const std::string& label) {
  Record(code, {0, 0});
  fixups_.emplace_back(bytes_.size() - 2, label);
  return *this;
}

Script& Script::StoreRegister(uint8_t number) {
  Record(0x87, {number});
  return *this;
}

Script& Script::ConstantPool(const std::vector<std::string>& strings) {
  std::vector<uint8_t> payload;
  U16(payload, static_cast<uint32_t>(strings.size()));
  for (const std::string& text : strings) Text(payload, text);
  Record(0x88, payload);
  return *this;
}

Script& Script::PushConstant(uint16_t index) {
  std::vector<uint8_t> payload{9};
  U16(payload, index);
  Record(0x96, payload);
  return *this;
}

Script& Script::SetTarget(const std::string& path) {
  std::vector<uint8_t> payload;
  Text(payload, path);
  Record(0x8B, payload);
  return *this;
}

Script& Script::Function(const std::string& name, const std::vector<std::string>& params, const Script& body) {
  const std::vector<uint8_t> code = body.Bytes(false);
  std::vector<uint8_t> payload;
  Text(payload, name);
  U16(payload, static_cast<uint32_t>(params.size()));
  for (const std::string& param : params) Text(payload, param);
  U16(payload, static_cast<uint32_t>(code.size()));
  Record(0x9B, payload);
  bytes_.insert(bytes_.end(), code.begin(), code.end());
  return *this;
}

Script& Script::Function2(const std::string& name, const std::vector<Param>& params, uint8_t registerCount,
                          uint16_t flags, const Script& body) {
  const std::vector<uint8_t> code = body.Bytes(false);
  std::vector<uint8_t> payload;
  Text(payload, name);
  U16(payload, static_cast<uint32_t>(params.size()));
  payload.push_back(registerCount);
  U16(payload, flags);
  for (const Param& param : params) {
    payload.push_back(param.registerNumber);
    Text(payload, param.name);
  }
  U16(payload, static_cast<uint32_t>(code.size()));
  Record(0x8E, payload);
  bytes_.insert(bytes_.end(), code.begin(), code.end());
  return *this;
}

Script& Script::With(const Script& body) {
  const std::vector<uint8_t> code = body.Bytes(false);
  std::vector<uint8_t> payload;
  U16(payload, static_cast<uint32_t>(code.size()));
  Record(0x94, payload);
  bytes_.insert(bytes_.end(), code.begin(), code.end());
  return *this;
}

Script& Script::Try(const Script& body, const std::string& catchName, const Script* catchBody,
                    const Script* finallyBody, int catchRegister) {
  const std::vector<uint8_t> tryCode = body.Bytes(false);
  const std::vector<uint8_t> catchCode = catchBody != nullptr ? catchBody->Bytes(false) : std::vector<uint8_t>{};
  const std::vector<uint8_t> finallyCode =
      finallyBody != nullptr ? finallyBody->Bytes(false) : std::vector<uint8_t>{};
  std::vector<uint8_t> payload;
  uint8_t flags = 0;
  if (catchBody != nullptr) flags |= 1;
  if (finallyBody != nullptr) flags |= 2;
  if (catchRegister >= 0) flags |= 4;
  payload.push_back(flags);
  U16(payload, static_cast<uint32_t>(tryCode.size()));
  U16(payload, static_cast<uint32_t>(catchCode.size()));
  U16(payload, static_cast<uint32_t>(finallyCode.size()));
  if (catchRegister >= 0) {
    payload.push_back(static_cast<uint8_t>(catchRegister));
  } else {
    Text(payload, catchName);
  }
  Record(0x8F, payload);
  for (const auto* part : {&tryCode, &catchCode, &finallyCode}) bytes_.insert(bytes_.end(), part->begin(), part->end());
  return *this;
}

std::vector<uint8_t> Script::Bytes(bool end) const {
  std::vector<uint8_t> out = bytes_;
  for (const auto& [at, label] : fixups_) {
    const auto found = labels_.find(label);
    if (found == labels_.end()) throw std::logic_error("no label " + label);
    const auto offset = static_cast<int32_t>(found->second) - static_cast<int32_t>(at + 2);
    out[at] = static_cast<uint8_t>(offset & 0xFF);
    out[at + 1] = static_cast<uint8_t>((offset >> 8) & 0xFF);
  }
  if (end) out.push_back(0);
  return out;
}

}  // namespace avm1test
