#include "sys/fonts.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace sys {
namespace {

using swf::Point;
using swf::ShapePath;

// Outlines are asked for at this height, so that their units are fine
// enough for any text size.
constexpr int kEmHeight = 2048;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::wstring FaceFor(std::string_view name) {
  const std::string lower = Lower(name);
  if (lower == "_sans") return L"Arial";
  if (lower == "_serif") return L"Times New Roman";
  if (lower == "_typewriter") return L"Courier New";
  return Wide(name);
}

double FromFixed(FIXED value) { return value.value + value.fract / 65536.0; }
Point ToPoint(const POINTFX& p) { return Point{FromFixed(p.x), -FromFixed(p.y)}; }

struct DeviceContext {
  HDC dc = CreateCompatibleDC(nullptr);
  ~DeviceContext() {
    if (dc != nullptr) DeleteDC(dc);
  }
  DeviceContext() = default;
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;
};

struct FontObject {
  HFONT font = nullptr;
  explicit FontObject(HFONT f) : font(f) {}
  ~FontObject() {
    if (font != nullptr) DeleteObject(font);
  }
  FontObject(const FontObject&) = delete;
  FontObject& operator=(const FontObject&) = delete;
};

class GdiFont final : public swf::text::Font {
 public:
  explicit GdiFont(HFONT font) : font_(font) {
    if (context_.dc == nullptr || font_.font == nullptr) return;
    previous_ = SelectObject(context_.dc, font_.font);
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(context_.dc, &metrics)) {
      ascent_ = metrics.tmAscent;
      descent_ = metrics.tmDescent;
    }
  }
  ~GdiFont() override {
    if (previous_ != nullptr) SelectObject(context_.dc, previous_);
  }
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  double UnitsPerEm() const override { return kEmHeight; }
  double Ascent() const override { return ascent_; }
  double Descent() const override { return descent_; }

  // Glyphs are named by their characters.
  std::optional<uint32_t> GlyphOf(char32_t character) override {
    if (character > 0xffff) return std::nullopt;
    const wchar_t unit = static_cast<wchar_t>(character);
    WORD index = 0xffff;
    if (GetGlyphIndicesW(context_.dc, &unit, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR ||
        index == 0xffff) {
      return std::nullopt;
    }
    return static_cast<uint32_t>(character);
  }

  double Advance(uint32_t glyph) override { return Load(glyph).advance; }
  const std::vector<ShapePath>* Outline(uint32_t glyph) override { return &Load(glyph).outline; }

 private:
  struct Glyph {
    double advance = 0;
    std::vector<ShapePath> outline;
  };

  const Glyph& Load(uint32_t character) {
    if (const auto found = glyphs_.find(character); found != glyphs_.end()) return found->second;
    Glyph glyph;
    GLYPHMETRICS metrics{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const UINT format = GGO_NATIVE | GGO_UNHINTED;
    const DWORD size = GetGlyphOutlineW(context_.dc, character, format, &metrics, 0, nullptr, &identity);
    if (size != GDI_ERROR) {
      glyph.advance = metrics.gmCellIncX;
      if (size > 0) {
        std::vector<BYTE> buffer(size);
        if (GetGlyphOutlineW(context_.dc, character, format, &metrics, size, buffer.data(), &identity) != GDI_ERROR) {
          glyph.outline = Decode(buffer);
        }
      }
    }
    return glyphs_.emplace(character, std::move(glyph)).first->second;
  }

  // TTPOLYGONHEADER records, each followed by its TTPOLYCURVE records.
  static std::vector<ShapePath> Decode(const std::vector<BYTE>& buffer) {
    std::vector<ShapePath> paths;
    size_t offset = 0;
    while (offset + sizeof(TTPOLYGONHEADER) <= buffer.size()) {
      const auto* header = reinterpret_cast<const TTPOLYGONHEADER*>(buffer.data() + offset);
      const size_t end = std::min<size_t>(offset + header->cb, buffer.size());
      if (header->cb < sizeof(TTPOLYGONHEADER)) break;
      ShapePath path;
      path.fill0 = 1;
      path.start = ToPoint(header->pfxStart);
      Point pen = path.start;
      size_t at = offset + sizeof(TTPOLYGONHEADER);
      while (at + sizeof(TTPOLYCURVE) <= end) {
        const auto* curve = reinterpret_cast<const TTPOLYCURVE*>(buffer.data() + at);
        const size_t count = curve->cpfx;
        if (at + sizeof(TTPOLYCURVE) + (count > 0 ? count - 1 : 0) * sizeof(POINTFX) > end) break;
        const POINTFX* points = curve->apfx;
        if (curve->wType == TT_PRIM_LINE) {
          for (size_t i = 0; i < count; ++i) path.segments.push_back({false, {}, pen = ToPoint(points[i])});
        } else if (curve->wType == TT_PRIM_QSPLINE) {
          for (size_t i = 0; i + 1 < count; ++i) {
            const Point control = ToPoint(points[i]);
            Point to = ToPoint(points[i + 1]);
            if (i + 2 < count) to = Point{(control.x + to.x) / 2, (control.y + to.y) / 2};
            path.segments.push_back({true, control, to});
            pen = to;
          }
        } else if (curve->wType == TT_PRIM_CSPLINE) {
          for (size_t i = 0; i + 2 < count; i += 3) {
            const Point p1 = ToPoint(points[i]);
            const Point p2 = ToPoint(points[i + 1]);
            const Point p3 = ToPoint(points[i + 2]);
            const Point mid{(pen.x + 3 * p1.x + 3 * p2.x + p3.x) / 8, (pen.y + 3 * p1.y + 3 * p2.y + p3.y) / 8};
            path.segments.push_back({true, Point{(pen.x + 3 * p1.x) / 4, (pen.y + 3 * p1.y) / 4}, mid});
            path.segments.push_back({true, Point{(3 * p2.x + p3.x) / 4, (3 * p2.y + p3.y) / 4}, p3});
            pen = p3;
          }
        }
        at += sizeof(TTPOLYCURVE) + (count > 0 ? count - 1 : 0) * sizeof(POINTFX);
      }
      if (!(pen == path.start)) path.segments.push_back({false, {}, path.start});
      paths.push_back(std::move(path));
      offset = end;
    }
    return paths;
  }

  DeviceContext context_;
  FontObject font_;
  HGDIOBJ previous_ = nullptr;
  double ascent_ = 0;
  double descent_ = 0;
  std::unordered_map<uint32_t, Glyph> glyphs_;
};

HFONT MakeFont(const std::wstring& face, bool bold, bool italic) {
  LOGFONTW description{};
  description.lfHeight = -kEmHeight;
  description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = italic ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  description.lfQuality = ANTIALIASED_QUALITY;
  const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::copy_n(face.begin(), length, description.lfFaceName);
  return CreateFontIndirectW(&description);
}

int CALLBACK MarkFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) {
  *reinterpret_cast<bool*>(data) = true;
  return 0;
}

// Whether the system has a face of that name (GDI makes a font of some
// other face for any name).
bool FaceInstalled(const std::wstring& face) {
  DeviceContext context;
  if (context.dc == nullptr) return false;
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  const size_t length = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::copy_n(face.begin(), length, wanted.lfFaceName);
  bool found = false;
  EnumFontFamiliesExW(context.dc, &wanted, &MarkFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

class GdiSource final : public swf::text::FontSource {
 public:
  std::shared_ptr<swf::text::Font> Open(std::string_view name, bool bold, bool italic) override {
    std::wstring face = FaceFor(name);
    if (face.empty() || !FaceInstalled(face)) face = L"Times New Roman";
    HFONT font = MakeFont(face, bold, italic);
    if (font == nullptr) return nullptr;
    return std::make_shared<GdiFont>(font);
  }
};

}  // namespace

std::unique_ptr<swf::text::FontSource> CreateFontSource() { return std::make_unique<GdiSource>(); }

}  // namespace sys
