#pragma once

// Editing the text field that has the keyboard focus, as the host's text
// events ask: characters typed, editing commands, the clipboard, and the
// mouse placing the caret or dragging out a selection. A change tells the
// field's onChanged and its variable; what a field refuses (a read-only
// field, characters outside its `restrict`, past its `maxChars`) changes
// nothing.

#include <string>

#include "swf/input_event.h"
#include "swf/parse/types.h"
#include "swf/runtime/handle.h"

namespace swf {

class Runtime;

// The field with the focus, when a text field has it; none otherwise.
ObjectHandle FocusedTextField(const Runtime& runtime);

// Whether `character` typed now goes into the focused field (an input
// field): a button's keyPress for that key does not then take it.
bool TextFieldTakesTyping(const Runtime& runtime);

void TypeCharacter(Runtime& runtime, char32_t character);
void RunTextCommand(Runtime& runtime, TextCommand command);
void SetClipboard(Runtime& runtime, std::string text);

// The left button went down at the mouse's position: a selectable field
// there (input or not) takes the focus with the caret under the mouse (true), and
// moving the mouse with the button held selects from there. Otherwise the
// focus leaves a text field that had it.
bool PressOnTextField(Runtime& runtime, ObjectHandle target);
void DragSelection(Runtime& runtime);
void ReleaseSelection(Runtime& runtime);

// The character of the focused-or-not field nearest to a point in stage
// twips (UTF-16 units from the start), for placing the caret.
size_t CharacterAtPoint(const Runtime& runtime, ObjectHandle field, Point stageTwips);

}  // namespace swf
