#include "swf/runtime/movie_loads.h"

#include <utility>

namespace swf {

std::vector<MovieLoadRequest> MovieLoads::TakeDue() { return std::exchange(pending_, {}); }

std::vector<MovieLoads::AwaitingInit> MovieLoads::TakeAwaitingInit() { return std::exchange(awaitingInit_, {}); }

const ParsedMovie* MovieLoads::Keep(LoadedMovie loaded) {
  if (movies_.size() >= kMaxLoadedMovies || loaded.movie == nullptr) return nullptr;
  movies_.push_back(std::move(loaded));
  return movies_.back().movie.get();
}

const LoadedMovie* MovieLoads::Find(const ParsedMovie* movie) const {
  for (const LoadedMovie& loaded : movies_) {
    if (loaded.movie.get() == movie) return &loaded;
  }
  return nullptr;
}

void MovieLoads::MarkRoots(avm1::Marker& marker) const {
  for (const MovieLoadRequest& request : pending_) marker.Mark(request.loader);
  for (const AwaitingInit& entry : awaitingInit_) marker.Mark(entry.loader);
}

}  // namespace swf
