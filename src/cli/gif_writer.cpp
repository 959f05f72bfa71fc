#include "cli/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <unordered_map>

namespace {

constexpr int MaxDelay = 65535; // hundredths of a second, the field's largest value

// Only images with an alpha channel have transparent pixels.
bool IsTransparent(const TGifFrame &frame, QRgb pixel)
{
  return qAlpha(pixel) == 0 && frame.Image->hasAlphaChannel();
}

// The frames' pixels as palette indices, with their palette.
struct TIndexedFrames
{
  std::vector<GifColorType> Palette;
  std::vector<GifByteType> Indices; // frame after frame, row after row
  int TransparentIndex = -1;
};

const QRgb *Row(const TGifFrame &frame, int y)
{
  return reinterpret_cast<const QRgb *>(frame.Image->constScanLine(y));
}

// Exact palette: every colour used gets its own entry, in the order first met. False when more
// colours are used than fit.
bool ExactPalette(const std::vector<TGifFrame> &frames, size_t limit, TIndexedFrames &out)
{
  std::unordered_map<QRgb, GifByteType> index;
  for (const TGifFrame &frame : frames)
    for (int y = 0; y < frame.Image->height(); ++y) {
      const QRgb *row = Row(frame, y);
      for (int x = 0; x < frame.Image->width(); ++x) {
        if (IsTransparent(frame, row[x])) {
          out.Indices.push_back(0); // set once the transparent index is known
          continue;
        }
        const QRgb rgb = row[x] & 0xFFFFFF;
        auto found = index.find(rgb);
        if (found == index.end()) {
          if (index.size() == limit)
            return false;
          found = index.emplace(rgb, GifByteType(index.size())).first;
          out.Palette.push_back({GifByteType(qRed(rgb)), GifByteType(qGreen(rgb)), GifByteType(qBlue(rgb))});
        }
        out.Indices.push_back(found->second);
      }
    }
  return true;
}

// Median-cut palette of limit entries at most over all frames taken as one tall image. Transparent
// pixels take the first opaque colour there, so that they do not claim entries of their own.
bool QuantisedPalette(const std::vector<TGifFrame> &frames, int limit, TIndexedFrames &out, std::string &error)
{
  const int width = frames.front().Image->width();
  const size_t pixels = size_t(width) * size_t(frames.front().Image->height()) * frames.size();
  std::vector<GifByteType> red, green, blue;
  red.reserve(pixels);
  green.reserve(pixels);
  blue.reserve(pixels);
  QRgb filler = 0;
  bool fillerFound = false;
  for (const TGifFrame &frame : frames)
    for (int y = 0; y < frame.Image->height() && !fillerFound; ++y)
      for (int x = 0; x < width && !fillerFound; ++x)
        if (!IsTransparent(frame, Row(frame, y)[x])) {
          filler = Row(frame, y)[x];
          fillerFound = true;
        }
  for (const TGifFrame &frame : frames)
    for (int y = 0; y < frame.Image->height(); ++y)
      for (int x = 0; x < width; ++x) {
        const QRgb pixel = IsTransparent(frame, Row(frame, y)[x]) ? filler : Row(frame, y)[x];
        red.push_back(GifByteType(qRed(pixel)));
        green.push_back(GifByteType(qGreen(pixel)));
        blue.push_back(GifByteType(qBlue(pixel)));
      }
  int size = limit;
  std::vector<GifColorType> map(256);
  out.Indices.assign(pixels, 0);
  if (GifQuantizeBuffer(unsigned(width), unsigned(pixels / size_t(width)), &size, red.data(), green.data(), blue.data(),
                        out.Indices.data(), map.data()) == GIF_ERROR) {
    error = "cannot reduce the colours";
    return false;
  }
  out.Palette.assign(map.begin(), map.begin() + std::clamp(size, 1, limit));
  return true;
}

int WriteToBytes(GifFileType *gif, const GifByteType *data, int length)
{
  static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
  return length;
}

// The smallest power of two that holds count entries, at least 2 (a GIF colour table's sizes).
int TableSize(size_t count)
{
  int size = 2;
  while (size_t(size) < count)
    size *= 2;
  return size;
}

// Writes the indexed frames; the giflib error text on failure.
bool WriteGif(const std::vector<TGifFrame> &frames, bool loop, const TIndexedFrames &indexed, QByteArray &bytes,
              std::string &error)
{
  int code = 0;
  GifFileType *gif = EGifOpen(&bytes, WriteToBytes, &code);
  if (!gif) {
    error = GifErrorString(code);
    return false;
  }
  // Delays, transparency and the loop extension are GIF89a's; giflib would write GIF87a.
  EGifSetGifVersion(gif, true);
  std::vector<GifColorType> table = indexed.Palette;
  table.resize(size_t(TableSize(table.size() + (indexed.TransparentIndex >= 0 ? 1 : 0))), GifColorType{0, 0, 0});
  ColorMapObject *map = GifMakeMapObject(int(table.size()), table.data());
  const int width = frames.front().Image->width(), height = frames.front().Image->height();
  // The background a viewer clears to is the transparent entry when there is one.
  const int background = std::max(indexed.TransparentIndex, 0);
  bool ok = map && EGifPutScreenDesc(gif, width, height, 8, background, map) == GIF_OK;
  GifFreeMapObject(map);
  if (ok && loop) {
    static const GifByteType loopForever[3] = {1, 0, 0};
    ok = EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, loopForever) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
  }
  const GifByteType *pixels = indexed.Indices.data();
  for (const TGifFrame &frame : frames) {
    if (!ok)
      break;
    GraphicsControlBlock control{};
    // Frames are whole pictures: with transparency each is cleared away before the next.
    control.DisposalMode = indexed.TransparentIndex >= 0 ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
    control.DelayTime = int(std::min<long long>(5ll * frame.Ticks, MaxDelay));
    control.TransparentColor = indexed.TransparentIndex >= 0 ? indexed.TransparentIndex : NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < height; ++y, pixels += width)
      ok = EGifPutLine(gif, const_cast<GifByteType *>(pixels), width) == GIF_OK;
  }
  if (!ok)
    error = GifErrorString(gif->Error);
  if (EGifCloseFile(gif, &code) != GIF_OK && ok) {
    error = GifErrorString(code);
    ok = false;
  }
  return ok;
}

} // namespace

bool EncodeGif(const std::vector<TGifFrame> &frames, bool loop, QByteArray &gif, std::string &error)
{
  if (frames.empty()) {
    error = "no frames";
    return false;
  }
  bool anyTransparent = false;
  for (const TGifFrame &frame : frames)
    for (int y = 0; y < frame.Image->height() && !anyTransparent; ++y)
      anyTransparent = std::any_of(Row(frame, y), Row(frame, y) + frame.Image->width(),
                                   [&](QRgb pixel) { return IsTransparent(frame, pixel); });
  const int limit = anyTransparent ? 255 : 256;
  TIndexedFrames indexed;
  if (!ExactPalette(frames, size_t(limit), indexed)) {
    indexed = TIndexedFrames();
    if (!QuantisedPalette(frames, limit, indexed, error))
      return false;
  }
  if (anyTransparent) {
    indexed.TransparentIndex = int(indexed.Palette.size());
    size_t i = 0;
    for (const TGifFrame &frame : frames)
      for (int y = 0; y < frame.Image->height(); ++y)
        for (int x = 0; x < frame.Image->width(); ++x, ++i)
          if (IsTransparent(frame, Row(frame, y)[x]))
            indexed.Indices[i] = GifByteType(indexed.TransparentIndex);
  }
  gif.clear();
  return WriteGif(frames, loop, indexed, gif, error);
}
