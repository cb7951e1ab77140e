#include "fill_builder.h"

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace swftest {

Bytes SolidFillStyle(swf::Rgba color) {
  BitWriter w;
  w.U8(0x00);
  w.Rgba(color);
  return w.Take();
}

Bytes GradientFillStyle(uint8_t type, const swf::Matrix& matrix, const std::vector<Stop>& stops, uint8_t spread,
                        uint8_t interpolation, double focal) {
  BitWriter w;
  w.U8(type);
  w.Matrix(matrix);
  w.U8(static_cast<uint8_t>((spread << 6) | (interpolation << 4) | stops.size()));
  for (const Stop& stop : stops) {
    w.U8(stop.ratio);
    w.Rgba(stop.color);
  }
  if (type == 0x13) w.U16(static_cast<uint16_t>(static_cast<int16_t>(focal * 256)));
  return w.Take();
}

Bytes BitmapFillStyle(uint8_t type, uint16_t bitmapId, const swf::Matrix& matrix) {
  BitWriter w;
  w.U8(type);
  w.U16(bitmapId);
  w.Matrix(matrix);
  return w.Take();
}

namespace {

void StraightEdge(BitWriter& w, int32_t dx, int32_t dy) {
  const unsigned bits = std::max({SignedBits(dx), SignedBits(dy), 2u});
  w.UB(1, 1);  // edge
  w.UB(1, 1);  // straight
  w.UB(bits - 2, 4);
  if (dx != 0 && dy != 0) {
    w.UB(1, 1);
    w.SB(dx, bits);
    w.SB(dy, bits);
  } else {
    w.UB(0, 1);
    w.UB(dx == 0 ? 1 : 0, 1);  // vertical?
    w.SB(dx == 0 ? dy : dx, bits);
  }
}

}  // namespace

Bytes RectangleShapeTag(uint16_t id, swf::Rect rect, const Bytes& fillStyle) {
  BitWriter w;
  w.U8(1);  // one fill style
  w.Append(fillStyle);
  w.U8(0);  // no line styles
  w.UB(1, 4);  // fill bits
  w.UB(0, 4);  // line bits
  const unsigned moveBits = std::max(SignedBits(rect.xMin), SignedBits(rect.yMin));
  w.UB(0, 1);
  w.UB(0b00011, 5);  // fill0 and move
  w.UB(moveBits, 5);
  w.SB(rect.xMin, moveBits);
  w.SB(rect.yMin, moveBits);
  w.UB(1, 1);  // fill0 = 1
  StraightEdge(w, rect.Width(), 0);
  StraightEdge(w, 0, rect.Height());
  StraightEdge(w, -rect.Width(), 0);
  StraightEdge(w, 0, -rect.Height());
  w.UB(0, 6);  // end of shape
  return DefineShape(4, id, rect, w.Take());
}

Bytes PlaceTag(uint16_t depth, uint16_t characterId, const swf::Matrix* matrix, uint16_t clipDepth,
               const swf::ColorTransform* colorTransform) {
  BitWriter w;
  w.U8(static_cast<uint8_t>((clipDepth ? 0x40 : 0) | (colorTransform ? 0x08 : 0) | (matrix ? 0x04 : 0) | 0x02));
  w.U16(depth);
  w.U16(characterId);
  if (matrix) w.Matrix(*matrix);
  if (colorTransform) w.ColorTransform(*colorTransform, true);
  if (clipDepth) w.U16(clipDepth);
  return Tag(26, w.Take());
}

Bytes LosslessTag(int version, uint16_t id, uint8_t format, uint16_t width, uint16_t height, const Bytes& data,
                  int colorCount) {
  BitWriter w;
  w.U16(id);
  w.U8(format);
  w.U16(width);
  w.U16(height);
  if (format == 3) w.U8(static_cast<uint8_t>(colorCount - 1));
  w.Append(Deflate(data));
  return Tag(version == 2 ? 36 : 20, w.Take(), true);
}

Bytes EncodeJpeg(int width, int height, const Bytes& rgb, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  // No chroma subsampling, so that small solid blocks keep their colours.
  for (int i = 0; i < info.num_components; ++i) info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + static_cast<size_t>(info.next_scanline) * width * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

Bytes EncodePng(int width, int height, const Bytes& rgba) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) {
    throw std::runtime_error("PNG size");
  }
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) {
    throw std::runtime_error("PNG write");
  }
  out.resize(size);
  return out;
}

namespace {

extern "C" int WriteGifBytes(GifFileType* gif, const GifByteType* data, int count) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + count);
  return count;
}

}  // namespace

Bytes EncodeGif(int width, int height, const std::vector<swf::Rgba>& palette, const Bytes& indices,
                int transparentIndex) {
  Bytes out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteGifBytes, &error);
  if (gif == nullptr) throw std::runtime_error("EGifOpen");
  EGifSetGifVersion(gif, true);
  int mapSize = 2;
  while (mapSize < static_cast<int>(palette.size())) mapSize *= 2;
  ColorMapObject* map = GifMakeMapObject(mapSize, nullptr);
  for (size_t i = 0; i < palette.size(); ++i) {
    map->Colors[i] = {palette[i].r, palette[i].g, palette[i].b};
  }
  EGifPutScreenDesc(gif, width, height, 8, 0, map);
  if (transparentIndex >= 0) {
    GraphicsControlBlock control{};
    control.TransparentColor = transparentIndex;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension);
  }
  EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr);
  for (int y = 0; y < height; ++y) {
    EGifPutLine(gif, const_cast<GifPixelType*>(indices.data() + static_cast<size_t>(y) * width), width);
  }
  GifFreeMapObject(map);
  EGifCloseFile(gif, &error);
  return out;
}

swf::Rgba Picture::At(int x, int y) const {
  const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

Picture RenderTags(const std::vector<Bytes>& tags, swf::Quality quality, int width, int height, swf::Rect stage) {
  std::vector<Bytes> all = {Tag(9, {255, 255, 255})};
  all.insert(all.end(), tags.begin(), tags.end());
  all.push_back(ShowFrame());
  const Bytes file = Movie(all, Signature::kFws, 10, stage);
  swf::Player player(file);
  Picture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
  player.Render({picture.rgba.data(), width, height, width * 4, swf::PixelFormat::kRgba32}, quality);
  return picture;
}

}  // namespace swftest
