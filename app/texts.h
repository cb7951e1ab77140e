#pragma once
// The main window's own texts, used verbatim.

namespace app::texts {

inline constexpr const char* kMessageCaption = "Message";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kApplicationErrorCaption = "Application Error";

inline constexpr const char* kAddFlashFilter = "Shockwave Flash Movies (*.swf)|*.swf|All Files (*.*)|*.*";
inline constexpr const char* kClearQuestion = "Do you want to remove all flash movies?";
inline constexpr const char* kNoFlashMovie = "No flash movie";

// Toolbar hints, left to right ("File" with a capital F on the build button).
inline constexpr const char* kHintOpenProject = "Open Project";
inline constexpr const char* kHintSaveProject = "Save Project";
inline constexpr const char* kHintAddFlash = "Add Flash";
inline constexpr const char* kHintRemove = "Remove";
inline constexpr const char* kHintClear = "Clear";
inline constexpr const char* kHintBuild = "Build EXE File";

}  // namespace app::texts
