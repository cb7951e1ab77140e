#pragma once
// Every text that player.dat shows, in one place.

namespace stub::texts {

// Caption of the player's message boxes.
inline constexpr const char* kPlayerTitle = "Quorvel Player";

inline constexpr const char* kNoPackage = "This program holds no movie package that can be played.";
inline constexpr const char* kBareStub =
    "player.dat is the player that Quorvel EXE Packager puts at the front of every package; "
    "on its own it has nothing to play. Build a package with the packager and run that.";
inline constexpr const char* kNoMovies = "The movie package of this program holds no movies.";
inline constexpr const char* kOwnPathUnknown = "This program cannot find its own file.";
inline constexpr const char* kMovieCannotPlay = "This movie cannot be played.";

inline constexpr const char* kChooseFolder = "Choose the folder to save the movies in";
inline constexpr const char* kFileExists = " exists. Do you want to overwrite it?";
inline constexpr const char* kSaveFailed = "The movies could not all be saved.";

}  // namespace stub::texts
