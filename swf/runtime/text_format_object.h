#pragma once

// TextFormat objects: a script object whose payload is a text::TextFormat,
// read and written through accessors on TextFormat.prototype.

#include "swf/avm1/vm.h"
#include "swf/text/text_format.h"

namespace swf {

struct TextFormatPayload : avm1::Payload {
  text::TextFormat format;
};

// The format a TextFormat object holds; null for any other value.
const text::TextFormat* TextFormatOf(avm1::Vm& vm, const avm1::Value& value);
// A new TextFormat object holding `format`.
avm1::Value NewTextFormatObject(avm1::Vm& vm, const text::TextFormat& format);

namespace natives {
void InstallTextFormat(avm1::Vm& vm);
}  // namespace natives

}  // namespace swf
