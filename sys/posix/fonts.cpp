#include "sys/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace sys {
namespace {

using swf::Point;
using swf::ShapePath;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Faces the movies name that the free families stand in for.
std::string Substitute(const std::string& name) {
  static const std::map<std::string, std::string> kNames = {
      {"_sans", "liberation sans"},        {"_serif", "liberation serif"},
      {"_typewriter", "liberation mono"},  {"arial", "liberation sans"},
      {"helvetica", "liberation sans"},    {"times new roman", "liberation serif"},
      {"times", "liberation serif"},       {"courier new", "liberation mono"},
      {"courier", "liberation mono"},      {"verdana", "dejavu sans"},
      {"tahoma", "dejavu sans"},
  };
  const auto found = kNames.find(name);
  return found != kNames.end() ? found->second : name;
}

struct Library {
  FT_Library handle = nullptr;
  Library() {
    if (FT_Init_FreeType(&handle) != 0) handle = nullptr;
  }
  ~Library() {
    if (handle != nullptr) FT_Done_FreeType(handle);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
};

struct FaceHandle {
  FT_Face face = nullptr;
  ~FaceHandle() {
    if (face != nullptr) FT_Done_Face(face);
  }
};

// Collects a glyph's outline as paths in font units, y down.
struct OutlineSink {
  std::vector<ShapePath> paths;
  Point pen;

  static Point ToPoint(const FT_Vector* v) { return Point{static_cast<double>(v->x), -static_cast<double>(v->y)}; }
  static int Move(const FT_Vector* to, void* user) {
    auto& sink = *static_cast<OutlineSink*>(user);
    ShapePath path;
    path.fill0 = 1;
    path.start = ToPoint(to);
    sink.paths.push_back(std::move(path));
    sink.pen = ToPoint(to);
    return 0;
  }
  static int Line(const FT_Vector* to, void* user) {
    auto& sink = *static_cast<OutlineSink*>(user);
    if (sink.paths.empty()) return 1;
    sink.paths.back().segments.push_back({false, {}, ToPoint(to)});
    sink.pen = ToPoint(to);
    return 0;
  }
  static int Conic(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto& sink = *static_cast<OutlineSink*>(user);
    if (sink.paths.empty()) return 1;
    sink.paths.back().segments.push_back({true, ToPoint(control), ToPoint(to)});
    sink.pen = ToPoint(to);
    return 0;
  }
  // A cubic as two quadratics, close enough at text sizes.
  static int Cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto& sink = *static_cast<OutlineSink*>(user);
    if (sink.paths.empty()) return 1;
    const Point p0 = sink.pen;
    const Point p1 = ToPoint(c1);
    const Point p2 = ToPoint(c2);
    const Point p3 = ToPoint(to);
    const Point mid{(p0.x + 3 * p1.x + 3 * p2.x + p3.x) / 8, (p0.y + 3 * p1.y + 3 * p2.y + p3.y) / 8};
    const Point q1{(p0.x + 3 * p1.x) / 4, (p0.y + 3 * p1.y) / 4};
    const Point q2{(3 * p2.x + p3.x) / 4, (3 * p2.y + p3.y) / 4};
    sink.paths.back().segments.push_back({true, q1, mid});
    sink.paths.back().segments.push_back({true, q2, p3});
    sink.pen = p3;
    return 0;
  }
};

class FreeTypeFont final : public swf::text::Font {
 public:
  FreeTypeFont(std::shared_ptr<Library> library, FT_Face face) : library_(std::move(library)) {
    face_.face = face;
    unitsPerEm_ = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    // The Windows metrics, as the system's text measures lines by them.
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent_ = os2->usWinAscent;
      descent_ = os2->usWinDescent;
    } else {
      ascent_ = face->ascender;
      descent_ = -face->descender;
    }
  }

  double UnitsPerEm() const override { return unitsPerEm_; }
  double Ascent() const override { return ascent_; }
  double Descent() const override { return descent_; }

  std::optional<uint32_t> GlyphOf(char32_t character) override {
    const FT_UInt index = FT_Get_Char_Index(face_.face, character);
    if (index == 0) return std::nullopt;
    return index;
  }

  double Advance(uint32_t glyph) override { return Load(glyph).advance; }

  const std::vector<ShapePath>* Outline(uint32_t glyph) override { return &Load(glyph).outline; }

 private:
  struct Glyph {
    double advance = 0;
    std::vector<ShapePath> outline;
  };

  const Glyph& Load(uint32_t index) {
    if (const auto found = glyphs_.find(index); found != glyphs_.end()) return found->second;
    Glyph glyph;
    if (FT_Load_Glyph(face_.face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
      glyph.advance = static_cast<double>(face_.face->glyph->advance.x);
      if (face_.face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline_Funcs funcs{};
        funcs.move_to = &OutlineSink::Move;
        funcs.line_to = &OutlineSink::Line;
        funcs.conic_to = &OutlineSink::Conic;
        funcs.cubic_to = &OutlineSink::Cubic;
        OutlineSink sink;
        if (FT_Outline_Decompose(&face_.face->glyph->outline, &funcs, &sink) == 0) glyph.outline = std::move(sink.paths);
      }
    }
    return glyphs_.emplace(index, std::move(glyph)).first->second;
  }

  std::shared_ptr<Library> library_;  // outlives the face
  FaceHandle face_;
  double unitsPerEm_ = 2048;
  double ascent_ = 0;
  double descent_ = 0;
  std::unordered_map<uint32_t, Glyph> glyphs_;
};

class FreeTypeSource final : public swf::text::FontSource {
 public:
  FreeTypeSource() : library_(std::make_shared<Library>()) {}

  std::shared_ptr<swf::text::Font> Open(std::string_view name, bool bold, bool italic) override {
    if (library_->handle == nullptr) return nullptr;
    if (!indexed_) IndexInstalledFonts();
    std::string family = Substitute(Lower(name));
    if (files_.find(family) == files_.end()) family = Substitute("_serif");
    if (files_.find(family) == files_.end()) {
      if (files_.empty()) return nullptr;
      family = files_.begin()->first;
    }
    const auto& styles = files_[family];
    // The style asked for, else the nearest: same weight, then regular.
    const int wanted = (bold ? 1 : 0) | (italic ? 2 : 0);
    const std::string* path = nullptr;
    for (int style : {wanted, wanted & 1, wanted & 2, 0}) {
      if (const auto found = styles.find(style); found != styles.end()) {
        path = &found->second;
        break;
      }
    }
    if (path == nullptr) path = &styles.begin()->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library_->handle, path->c_str(), 0, &face) != 0) return nullptr;
    return std::make_shared<FreeTypeFont>(library_, face);
  }

 private:
  // Font files are opened once, when the first device font is asked for.
  void IndexInstalledFonts() {
    indexed_ = true;
    for (const char* root : {"/usr/share/fonts", "/usr/local/share/fonts"}) {
      std::error_code error;
      for (auto it = std::filesystem::recursive_directory_iterator(root, error);
           !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const std::string extension = Lower(it->path().extension().string());
        if (extension == ".ttf" || extension == ".otf") Index(it->path().string());
      }
    }
  }

  void Index(const std::string& path) {
    FT_Face face = nullptr;
    if (FT_New_Face(library_->handle, path.c_str(), 0, &face) != 0) return;
    FaceHandle owner{face};
    if (face->family_name == nullptr || !FT_IS_SCALABLE(face)) return;
    const int style = ((face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ? 1 : 0) |
                      ((face->style_flags & FT_STYLE_FLAG_ITALIC) != 0 ? 2 : 0);
    files_[Lower(face->family_name)].emplace(style, path);
  }

  std::shared_ptr<Library> library_;
  bool indexed_ = false;
  std::map<std::string, std::map<int, std::string>> files_;  // family -> style bits -> file
};

}  // namespace

std::unique_ptr<swf::text::FontSource> CreateFontSource() { return std::make_unique<FreeTypeSource>(); }

}  // namespace sys
