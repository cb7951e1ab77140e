// Puts the built-in classes and global functions on a fresh Vm: every
// family's installer in the order their prototypes depend on each other.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "swf/avm1/builtins_host.h"
#include "swf/avm1/vm.h"

namespace swf::avm1 {

// The host facts are copied into the Vm (see Vm::Host).
void InstallBuiltins(Vm& vm, const BuiltinsHost& host);

// One installer per family (swf/avm1/builtins/<family>.cpp). Object and
// Function come first: every other constructor is a Function whose
// prototype is an Object.
void InstallObject(Vm& vm);
void InstallFunction(Vm& vm);
void InstallArray(Vm& vm);
void InstallString(Vm& vm);
void InstallNumber(Vm& vm);
void InstallBoolean(Vm& vm);
void InstallGlobalFunctions(Vm& vm);

// The text functions behind parseInt, parseFloat, escape and unescape.
double ParseIntText(std::string_view text, std::optional<int> radix);
double ParseFloatText(std::string_view text);
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

// Math, Date, Error, AsBroadcaster, System and the objects with listener
// lists. AsBroadcaster comes before the objects it initializes.
void InstallMath(Vm& vm);
void InstallDate(Vm& vm);
void InstallError(Vm& vm);
void InstallAsBroadcaster(Vm& vm);
void InstallSystem(Vm& vm);
void InstallKey(Vm& vm);
void InstallListenerObjects(Vm& vm);
// The flash.geom classes that need no display: Point, ColorTransform, Matrix.
void InstallGeomPoint(Vm& vm);
void InstallGeomColorTransform(Vm& vm);
void InstallGeomMatrix(Vm& vm);
// _global.flash.geom, made on first use.
ObjectRef GeomPackage(Vm& vm);

// ASnative(200, index): the Math function of that number; one that reads
// its arguments and gives NaN for a number the family does not have.
NativeFunction MathNative(int index);
// ASnative(103, index): Date's methods by the player's numbers (null: none).
NativeFunction DateNative(int index);
// ASnative(101, index): Object's methods by the player's numbers (null: none).
NativeFunction ObjectNative(int index);

// ASnative, ASSetNative and ASSetNativeAccessor on _global: the natives of
// the families above by number (native_table.cpp).
void InstallNativeTable(Vm& vm);

// AsBroadcaster.initialize(target): the three methods of _global's
// AsBroadcaster and a new empty `_listeners`, none of them enumerable.
void InitializeBroadcaster(Vm& vm, const Value& target);

// XML/XMLNode and LoadVars (xml.cpp, load_vars.cpp). load and sendAndLoad
// of both queue through BuiltinsHost::queueLoad.
void InstallXml(Vm& vm);
void InstallLoadVars(Vm& vm);
// flash.external.ExternalInterface, as a player without a container has it.
// PrintJob without a printer (print_job.cpp).
void InstallPrintJob(Vm& vm);
void InstallExternalInterface(Vm& vm);
// SharedObject, through BuiltinsHost::sharedObjects.
void InstallSharedObject(Vm& vm);
Value LoadText(NativeCall& call);
Value SendAndLoadText(NativeCall& call);
// URL-encoded variables: read into `target`, or written from `source`'s
// enumerable members (functions left out).
void DecodeVariables(Vm& vm, const Value& target, std::string_view text);
std::string EncodeVariables(Vm& vm, const Value& source);

}  // namespace swf::avm1
