#pragma once
// Every text the packaging windows show, verbatim, in one place.

namespace packaging::texts {

// The progress window.
inline constexpr const char* kProgressCaption = "Progress";
inline constexpr const char* kProgressLabel = "Building EXE package file...";

// The build options dialog.
inline constexpr const char* kPropertiesCaption = "Properties";
inline constexpr const char* kMemoIntroduction =
    "You are going to compile the following flash movies as an executable file";
inline constexpr const char* kExeFileLabel = "EXE File:";
inline constexpr const char* kBrowse = "Browse...";
inline constexpr const char* kReleaseCheck = "This executable file is allowed to release the flash movies";
inline constexpr const char* kBuild = "Build";
inline constexpr const char* kCancel = "Cancel";
inline constexpr const char* kSaveFilter = "Executable Files (*.exe)|*.exe";
inline constexpr const char* kSaveExtension = "exe";
inline constexpr const char* kInputFileName = "Please input the file name";
inline constexpr const char* kFileExists = "File exists. Do you want to overwrite it?";

// The build command and the writer's result.
inline constexpr const char* kNoFlashMovie = "No flash movie";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kMessageCaption = "Message";
inline constexpr const char* kMissionAccomplished = "Mission Accomplished";
inline constexpr const char* kErrorPrefix = "Error: ";
inline constexpr const char* kPackageTooLarge = "Package would exceed 2 GB";

// The player stub beside the packager's executable.
inline constexpr const char* kStubName = "player.dat";

}  // namespace packaging::texts
