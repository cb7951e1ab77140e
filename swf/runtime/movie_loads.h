#pragma once

// Movies that scripts load into clips and levels (loadMovie, loadMovieNum,
// MovieClipLoader.loadClip) and unload. A request waits until the movie's
// clock next moves on, as text loads do, so a load never completes inside
// the call that started it. The movies read stay as long as the runtime:
// the objects showing them refer into them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/value.h"
#include "swf/parse/movie.h"
#include "swf/runtime/handle.h"

namespace swf {

struct MovieLoadRequest {
  std::string url;       // empty: unload
  ObjectHandle clip;     // the clip whose content is replaced; none for a level
  int32_t level = 0;     // the level, when no clip is given
  avm1::Value loader;    // a MovieClipLoader told of the load; undefined: none
};

// A movie read for a load, and where it came from.
struct LoadedMovie {
  std::unique_ptr<const ParsedMovie> movie;
  std::string url;
};

class MovieLoads final : public avm1::RootSource {
 public:
  // Loads one runtime keeps; those beyond fail as a missing file does.
  static constexpr size_t kMaxLoadedMovies = 256;

  void Add(MovieLoadRequest request) { pending_.push_back(std::move(request)); }
  size_t Count() const { return pending_.size(); }
  // The requests made before now, in the order made.
  std::vector<MovieLoadRequest> TakeDue();

  // Keeps a movie read; null when no more can be kept.
  const ParsedMovie* Keep(LoadedMovie loaded);
  // What was kept of `movie`; null for a movie not loaded this way.
  const LoadedMovie* Find(const ParsedMovie* movie) const;

  // Loaders whose clip's first frame is to run before they hear onLoadInit.
  struct AwaitingInit {
    avm1::Value loader;
    ObjectHandle clip;
  };
  void AwaitInit(AwaitingInit entry) { awaitingInit_.push_back(std::move(entry)); }
  std::vector<AwaitingInit> TakeAwaitingInit();

  void MarkRoots(avm1::Marker& marker) const override;

 private:
  std::vector<MovieLoadRequest> pending_;
  std::vector<AwaitingInit> awaitingInit_;
  std::vector<LoadedMovie> movies_;
};

}  // namespace swf
