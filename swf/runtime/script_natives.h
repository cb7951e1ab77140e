#pragma once

// The built-ins that belong to the display world rather than to the
// language: MovieClip, Button and TextField with their prototypes, the
// timers. Installed on a Vm whose display host is
// a ScriptBridge, after the language's own built-ins.

#include "swf/avm1/vm.h"

namespace swf {

class Runtime;
class ScriptBridge;

void InstallScriptNatives(avm1::Vm& vm);

// The bridge behind a native call; null when the Vm has none.
ScriptBridge* BridgeOf(avm1::Vm& vm);

namespace natives {
void InstallMovieClip(avm1::Vm& vm);
void InstallTimers(avm1::Vm& vm);
void InstallInput(avm1::Vm& vm);
void InstallTextField(avm1::Vm& vm);   // text_field_natives.cpp
void InstallTextFormat(avm1::Vm& vm);  // text_format_natives.cpp
void InstallSound(avm1::Vm& vm);
void InstallColor(avm1::Vm& vm);
void InstallTransform(avm1::Vm& vm);  // after MovieClip
void InstallHitTest(avm1::Vm& vm);    // after MovieClip
void InstallMovieLoading(avm1::Vm& vm);  // after MovieClip
void InstallNetConnection(avm1::Vm& vm);
// onSoundComplete and onLoad of the Sound objects whose time has come.
void RunDueSoundEvents(Runtime& runtime);
}  // namespace natives

}  // namespace swf
