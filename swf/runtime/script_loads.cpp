// The runtime's side of loading: where loadVariables puts what it reads,
// movies loaded into clips and levels, and the moment loads complete (when
// the movie's clock moves on).
#include <cctype>
#include <string>
#include <vector>

#include "swf/avm1/builtins/install.h"
#include "swf/parse/parse_error.h"
#include "swf/runtime/loaded_image.h"

#include "swf/runtime/runtime.h"

namespace swf {
namespace {

constexpr std::string_view kLevel = "_level";

bool StartsWithLevel(std::string_view target) {
  if (target.size() < kLevel.size()) return false;
  for (size_t i = 0; i < kLevel.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(target[i])) != kLevel[i]) return false;
  }
  return true;
}

// A loader's listeners hear `event` with `args`.
void Broadcast(avm1::Vm& vm, const avm1::Value& loader, std::string_view event, std::vector<avm1::Value> args) {
  if (!loader.Is(avm1::ValueKind::kObject)) return;
  args.insert(args.begin(), avm1::Value::String(std::string(event)));
  vm.CallMethod(loader, "broadcastMessage", args);
}

std::unique_ptr<const ParsedMovie> ParseLoaded(const std::vector<uint8_t>& bytes) {
  try {
    return std::make_unique<const ParsedMovie>(ParseMovie(bytes));
  } catch (const ParseError&) {
    return nullptr;
  }
}

// `relative` seen from the folder of `base` ("file:///a/test.swf").
std::string UrlBeside(const std::string& base, const std::string& relative) {
  if (!avm1::IsRelativeUrl(relative)) return relative;
  const size_t slash = base.rfind('/');
  return slash == std::string::npos ? relative : base.substr(0, slash + 1) + relative;
}

}  // namespace

void Runtime::LoadVariables(std::string_view url, std::string_view target) {
  avm1::ObjectRef clip;
  const avm1::ObjectRef root = bridge_.ScriptObject(Root());
  if (StartsWithLevel(target) && target.find_first_of("./") == std::string_view::npos) {
    // Only the movie's own level exists.
    if (target.substr(kLevel.size()) == "0") clip = root;
  } else {
    // A clip given as itself arrives as its dot path.
    clip = bridge_.Resolve(avm1::ClipReference{std::string(target)});
    if (clip.id == 0) clip = bridge_.FindTarget(root, target);
  }
  if (clip.id == 0) return;
  dataLoads_.Add({avm1::Value::Object(clip), std::string(url), true});
}

void Runtime::DeliverLoads() {
  dataLoads_.RunDue(
      vm_,
      [this](std::string_view url) -> std::optional<std::vector<uint8_t>> {
        if (context_.Host() == nullptr) return std::nullopt;
        return context_.Host()->LoadFile(url);
      },
      [this](const avm1::Value& target) {
        const ObjectHandle handle = bridge_.HandleOf(target.AsObject());
        const DisplayObject* object = stage_.Get(handle);
        if (object == nullptr) return;
        context_.Enqueue(
            QueuedActions{handle, nullptr, QueuedKind::kClipEvent, clip_event::kData, object->clipActions});
      });
}

// Served in the order asked. Each load's events and the first frame of the
// movie it shows run now; the loaders hear onLoadInit once those frames' actions
// have run.
void Runtime::DeliverMovieLoads() {
  BeginStep();
  {
    const RunningScope running(context_);
    for (const MovieLoadRequest& request : movieLoads_.TakeDue()) ServeMovieLoad(request);
  }
  RunFrameActions();
  const std::vector<MovieLoads::AwaitingInit> loaded = movieLoads_.TakeAwaitingInit();
  if (loaded.empty()) return;
  {
    const RunningScope running(context_);
    vm_.SetSwfVersion(movie_.header.version);
    for (const MovieLoads::AwaitingInit& entry : loaded) {
      if (stage_.Get(entry.clip) == nullptr) continue;
      Broadcast(vm_, entry.loader, "onLoadInit", {bridge_.ValueOf(entry.clip)});
    }
  }
  RunFrameActions();
}

void Runtime::ServeMovieLoad(const MovieLoadRequest& request) {
  const bool toLevel = request.clip.IsNone();
  ObjectHandle target = toLevel ? stage_.Level(request.level) : request.clip;
  if (!toLevel && stage_.Get(target) == nullptr) return;  // the clip went meanwhile
  vm_.SetSwfVersion(movie_.header.version);
  if (request.url.empty()) {
    if (target.IsNone()) return;
    if (target != Root() && toLevel) {
      stage_.Remove(target);
      return;
    }
    // A clip (or level 0) stays, empty; its handlers hear that it unloads.
    RunClipEvent(target, stage_.Get(target)->clipActions, clip_event::kUnload);
    if (stage_.Get(target) != nullptr) ShowMovie(target, nullptr);
    return;
  }
  std::optional<std::vector<uint8_t>> bytes;
  const std::string path = request.url.substr(0, request.url.find('?'));
  if (context_.Host() != nullptr && avm1::IsRelativeUrl(request.url) && !path.empty()) {
    bytes = context_.Host()->LoadFile(path);
  }
  std::unique_ptr<const ParsedMovie> parsed;
  if (bytes) parsed = MovieOfImage(*bytes, movie_.header.version);
  if (bytes && !parsed) parsed = ParseLoaded(*bytes);
  const ParsedMovie* movie = parsed ? movieLoads_.Keep(LoadedMovie{std::move(parsed), request.url}) : nullptr;
  if (movie == nullptr) {
    const avm1::Value failed = target.IsNone() ? avm1::Value() : bridge_.ValueOf(target);
    Broadcast(vm_, request.loader, "onLoadError", {failed, avm1::Value::String("URLNotFound"), avm1::Value::Number(0)});
    return;
  }
  if (toLevel) target = stage_.MakeLevel(request.level);
  ShowMovie(target, movie);
  // The query's variables are the new root's before its first frame runs.
  if (const size_t query = request.url.find('?'); query != std::string::npos) {
    avm1::DecodeVariables(vm_, avm1::Value::Object(bridge_.ScriptObject(target)), request.url.substr(query + 1));
  }
  const avm1::Value clip = bridge_.ValueOf(target);
  const avm1::Value total = avm1::Value::Number(static_cast<double>(movie->fileSize));
  Broadcast(vm_, request.loader, "onLoadStart", {clip});
  Broadcast(vm_, request.loader, "onLoadProgress", {clip, total, total});
  Broadcast(vm_, request.loader, "onLoadComplete", {clip, avm1::Value::Number(0)});
  if (request.loader.Is(avm1::ValueKind::kObject)) movieLoads_.AwaitInit({request.loader, target});
}

void Runtime::ShowMovie(ObjectHandle clip, const ParsedMovie* movie) {
  DisplayObject* object = stage_.Get(clip);
  const std::map<int32_t, ObjectHandle> previous = std::move(object->children);
  object->children.clear();
  for (const auto& [depth, child] : previous) stage_.Remove(child);
  bridge_.DropScriptObject(clip);
  object = stage_.Get(clip);
  object->movie = movie;
  object->character = nullptr;
  object->characterId = 0;
  object->kind = ObjectKind::kMovieClip;
  object->textField.reset();
  object->timeline = ClipTimeline{movie != nullptr ? &movie->root : &EmptyTimeline()};
  if (movie == nullptr) return;
  ClipMade(clip);
  if (!movie->root.frames.empty()) EnterFrame(clip, 0, true);
}

const ParsedMovie& Runtime::MovieOf(const DisplayObject* object) const {
  return object != nullptr && object->movie != nullptr ? *object->movie : movie_;
}

std::string Runtime::UrlOf(const DisplayObject* object) const {
  const LoadedMovie* loaded = movieLoads_.Find(object != nullptr ? object->movie : nullptr);
  return loaded != nullptr ? UrlBeside(movieUrl_, loaded->url) : movieUrl_;
}

size_t Runtime::BytesOf(const DisplayObject* object) const { return MovieOf(object).fileSize; }

void Runtime::SetLockRoot(ObjectHandle clip, bool locked) {
  if (DisplayObject* object = stage_.Get(clip)) object->lockRoot = locked;
}

}  // namespace swf
