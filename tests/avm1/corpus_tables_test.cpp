// The comparison tests of the script corpus compare every pair of a list of
// values both ways and print the results: "// A op B:" then A op B, then
// B op A (one line when A and B are the same). Each pair is computed here
// with the operator the movie's compiler used and compared with those lines.
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "swf/avm1/conversions.h"
#include "swf/avm1/number_text.h"
#include "swf/avm1/operators.h"

namespace swf::avm1 {
namespace {

// The one object of the tables is _global, which has no prototype: without
// valueOf its primitive is undefined (so _global == undefined, while
// _global === undefined is not).
class GlobalObjectHost : public ObjectHost {
 public:
  Value ToPrimitive(ObjectRef, PrimitiveHint) override { return Value::Undefined(); }
  std::string ToString(ObjectRef) override { return ""; }
  bool IsFunction(ObjectRef) const override { return false; }
};

using Operator = Value (*)(const Value&, const Value&, const Context&);

// The values as the test scripts write them. Before SWF 5 the names NaN and
// Infinity are undefined variables (the movies compute -Infinity as
// 0 - Infinity); before SWF 6 _global is too.
std::optional<Value> ParseOperand(const std::string& token, int swf_version) {
  if (token == "true" || token == "false") return Value::Boolean(token == "true");
  if (token == "undefined") return Value::Undefined();
  if (token == "null") return Value::Null();
  if (token == "this") return Value::Clip({"_level0"});
  if (token == "_global") return swf_version < 6 ? Value::Undefined() : Value::Object(ObjectRef{1});
  if (token.size() >= 2 && token.front() == '"' && token.back() == '"') {
    return Value::String(token.substr(1, token.size() - 2));
  }
  if (token == "NaN" || token == "Infinity" || token == "-Infinity") {
    if (swf_version < 5) return Value::Number(0);
    const double infinity = std::numeric_limits<double>::infinity();
    if (token == "NaN") return Value::Number(std::numeric_limits<double>::quiet_NaN());
    return Value::Number(token == "Infinity" ? infinity : -infinity);
  }
  try {
    std::size_t used = 0;
    const double number = std::stod(token, &used);
    if (used == token.size()) return Value::Number(number);
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

std::string Shown(const Value& value, const Context& context) {
  if (value.Is(ValueKind::kUndefined)) return "undefined";
  return ToString(value, context);
}

struct Table {
  const char* folder;
  int swf_version;
  const char* symbol;
  Operator op;
};

TEST(CorpusTables, EveryPairAsThePlayerPrintedIt) {
  const Table tables[] = {
      {"avm1-equals_swf4", 4, "==", Equals},
      {"avm1-lessthan_swf4", 4, "<", Less},
      {"avm1-equals2_swf5", 5, "==", Equals2},
      {"avm1-equals2_swf6", 6, "==", Equals2},
      {"avm1-lessthan2_swf5", 5, "<", Less2},
      {"avm1-lessthan2_swf6", 6, "<", Less2},
      {"avm1-lessthan2_swf7", 7, "<", Less2},
      {"avm1-greater_swf7", 7, ">", Greater},
      {"avm1-strictequals_swf6", 6, "===", StrictEquals},
  };
  for (const Table& table : tables) {
    std::ifstream file(std::string(QUORVEL_TRACE_CORPUS) + "/" + table.folder + "/output.txt");
    ASSERT_TRUE(file) << table.folder;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);

    GlobalObjectHost host;
    const Context context{table.swf_version, host};
    const std::string separator = std::string(" ") + table.symbol + " ";
    int pairs = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (line.rfind("// ", 0) != 0 || line.back() != ':') continue;
      const std::string expression = line.substr(3, line.size() - 4);
      const std::size_t at = expression.find(separator);
      if (at == std::string::npos) continue;
      const std::string left_token = expression.substr(0, at);
      const std::string right_token = expression.substr(at + separator.size());
      const auto left = ParseOperand(left_token, table.swf_version);
      const auto right = ParseOperand(right_token, table.swf_version);
      if (!left || !right) continue;  // the tables' extra lines: boxed values, objects
      const std::string where = std::string(table.folder) + ": " + expression;
      ASSERT_LT(i + 1, lines.size()) << where;
      EXPECT_EQ(Shown(table.op(*left, *right, context), context), lines[i + 1]) << where;
      // A few extra lines print one way only.
      if (left_token != right_token && i + 2 < lines.size() && !lines[i + 2].empty()) {
        EXPECT_EQ(Shown(table.op(*right, *left, context), context), lines[i + 2]) << where << " (swapped)";
      }
      ++pairs;
    }
    EXPECT_GT(pairs, 150) << table.folder << ": the table was not read";
  }
}

}  // namespace
}  // namespace swf::avm1
