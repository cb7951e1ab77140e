// XML text without the object model: the parser that turns a document into
// a tree with the player's status codes, and the escaping that writes
// text and attribute values back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::avm1::xml {

// parseXML's status: 0 when the whole text was read, else what stopped it.
enum Status : int {
  kOk = 0,
  kCdataNotTerminated = -2,
  kDeclarationNotTerminated = -3,
  kDoctypeNotTerminated = -4,
  kCommentNotTerminated = -5,
  kMalformedElement = -6,
  kAttributeNotTerminated = -8,
  kMissingEndTag = -9,
  kMissingStartTag = -10,
};

inline constexpr int kElementNode = 1;
inline constexpr int kTextNode = 3;

struct ParsedNode {
  int type = kElementNode;
  std::string name;   // elements
  std::string value;  // text
  std::vector<std::pair<std::string, std::string>> attributes;  // in order written
  std::vector<ParsedNode> children;
};

struct ParsedDocument {
  int status = kOk;
  // What was read before an error stops the parse is kept.
  std::vector<ParsedNode> children;
  std::optional<std::string> xmlDecl;
  std::optional<std::string> docTypeDecl;
};

// Text made only of white space is dropped when `ignoreWhite` is set.
ParsedDocument Parse(std::string_view text, bool ignoreWhite);

// The five named entities and character references replaced by what they stand for.
std::string DecodeEntities(std::string_view text);
// & < > " ' as entities, for text and attribute values alike.
std::string Escape(std::string_view text);

}  // namespace swf::avm1::xml
