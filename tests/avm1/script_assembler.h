// Action records written from the tests, with labels for branches and
// bodies for functions, with and try, so that a test reads as the script
// it runs.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace avm1test {

struct Undefined {};
struct Null {};
struct Reg {
  uint8_t number;
};
using Pushed = std::variant<std::string, const char*, double, int, bool, Undefined, Null, Reg>;

struct Param {
  uint8_t registerNumber;
  std::string name;
};

class Script {
 public:
  Script& Op(uint8_t code);
  Script& Push(std::initializer_list<Pushed> values);
  Script& Label(const std::string& name);
  Script& Jump(const std::string& label) { return Branch(0x99, label); }
  Script& If(const std::string& label) { return Branch(0x9D, label); }
  Script& StoreRegister(uint8_t number);
  Script& ConstantPool(const std::vector<std::string>& strings);
  Script& PushConstant(uint16_t index);
  Script& SetTarget(const std::string& path);
  // DefineFunction (registerCount 0 and no flags) or DefineFunction2.
  Script& Function(const std::string& name, const std::vector<std::string>& params, const Script& body);
  Script& Function2(const std::string& name, const std::vector<Param>& params, uint8_t registerCount,
                    uint16_t flags, const Script& body);
  Script& With(const Script& body);
  // An empty catch name with catchRegister set catches into the register.
  Script& Try(const Script& body, const std::string& catchName, const Script* catchBody, const Script* finallyBody,
              int catchRegister = -1);

  // The records, labels resolved; `end` appends the End record.
  std::vector<uint8_t> Bytes(bool end = true) const;

 private:
  Script& Branch(uint8_t code, const std::string& label);
  void Record(uint8_t code, const std::vector<uint8_t>& payload);

  std::vector<uint8_t> bytes_;
  std::map<std::string, size_t> labels_;
  std::vector<std::pair<size_t, std::string>> fixups_;  // offset of a branch's operand, label
};

}  // namespace avm1test
