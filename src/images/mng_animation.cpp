#include "images/mng_animation.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const char *const LoadFailed = "MNG loading failed!";

const uint8_t PngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
const uint8_t MngSignature[8] = {0x8A, 0x4D, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t ReadU32(const uint8_t *p)
{
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// A 32-bit field as a signed count; values past the signed range are held at its top.
int ReadCount(const uint8_t *p)
{
  return static_cast<int>(std::min<uint32_t>(ReadU32(p), INT_MAX));
}

int ClampInt(int64_t value)
{
  return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

// A chunk's type in capitals, so that a type is recognised whatever the case of its letters.
std::string ChunkType(const uint8_t *p)
{
  char type[5] = {};
  for (int i = 0; i < 4; ++i)
    type[i] = static_cast<char>(std::toupper(p[i]));
  return type;
}

// Where a framing chunk's change bytes start: after the mode byte and the zero-terminated
// name. The delay-change byte is followed by three more change bytes and then the delay.
size_t FramingChangesOffset(const uint8_t *body, size_t size)
{
  for (size_t i = 1; i < size; ++i)
    if (body[i] == 0)
      return i + 1;
  return 2;
}

// The most bytes that deflate can expand one compressed byte to, with some slack.
constexpr size_t MaxInflateRatio = 1040;

void Unfilter(uint8_t *row, const uint8_t *up, size_t count, uint8_t filter)
{
  switch (filter) {
  case 1:
    for (size_t i = 1; i < count; ++i)
      row[i] = uint8_t(row[i] + row[i - 1]);
    break;
  case 2:
    if (up)
      for (size_t i = 0; i < count; ++i)
        row[i] = uint8_t(row[i] + up[i]);
    break;
  case 3:
    if (up) {
      row[0] = uint8_t(row[0] + (up[0] >> 1));
      for (size_t i = 1; i < count; ++i)
        row[i] = uint8_t(row[i] + ((row[i - 1] + up[i]) >> 1));
    } else {
      for (size_t i = 1; i < count; ++i)
        row[i] = uint8_t(row[i] + (row[i - 1] >> 1));
    }
    break;
  case 4:
    if (up) {
      // Left and upper-left are 0 for the first byte, so the predictor is the byte above.
      row[0] = uint8_t(row[0] + up[0]);
      int left = row[0], upperLeft = up[0];
      for (size_t i = 1; i < count; ++i) {
        const int above = up[i];
        const int pa = std::abs(above - upperLeft);            // distance of p to left
        const int pb = std::abs(left - upperLeft);             // distance of p to up
        const int pc = std::abs(left + above - 2 * upperLeft); // distance of p to upper-left
        const int predictor = (pa <= pb && pa <= pc) ? left : (pb <= pc ? above : upperLeft);
        left = row[i] = uint8_t(row[i] + predictor);
        upperLeft = above;
      }
    } else {
      // With no row above the predictor is always the left byte.
      for (size_t i = 1; i < count; ++i)
        row[i] = uint8_t(row[i] + row[i - 1]);
    }
    break;
  default:
    break; // None, and unknown filter bytes
  }
}

} // namespace

TMNGAnimation::TMNGAnimation(const std::string &fileName) : TMNGAnimation(FileBytes(fileName, LoadFailed)) {}

TMNGAnimation::TMNGAnimation(std::vector<uint8_t> stream)
{
  Load(std::move(stream));
}

void TMNGAnimation::Load(std::vector<uint8_t> stream)
{
  const bool parsed = ParseStream(std::move(stream));
  // Every image's data was inflated while parsing: the file's bytes are no longer needed.
  Stream.clear();
  Stream.shrink_to_fit();
  if (!parsed)
    throw TImageLoadError(LoadFailed);
  if (Width < 1 && Height < 1 && !Frames.empty()) {
    Width = Frames.front()->Width;
    Height = Frames.front()->Height;
  }
  if (!CreateBitmap())
    throw TImageLoadError(LoadFailed);
  FrameCount = static_cast<int>(Frames.size());
  CurrentFrame = 0;
  Animated = FrameCount > 0;
}

// What the chunks read so far leave for those after them: the image being read, its data, and
// the delays that framing chunks gather for the frames to come.
struct TMNGAnimation::TParseState
{
  TMNGAnimationStep *Current = nullptr; // from an image's IHDR to its IEND
  std::vector<uint8_t> Idat;
  int64_t AccumulatedDelay = 0, DefaultDelay = 1, CurrentDelay = 1, LeadDelay = 0;
  int FramingMode = 0;
  bool EarlyFraming = false;
};

bool TMNGAnimation::Parse()
{
  const uint8_t *data = Stream.data();
  const size_t size = Stream.size();
  if (size < 8 || (std::memcmp(data, PngSignature, 8) != 0 && std::memcmp(data, MngSignature, 8) != 0))
    return false;

  TParseState state;
  size_t pos = 8;
  while (size - pos >= 8) {
    const size_t length = ReadU32(data + pos);
    const std::string type = ChunkType(data + pos + 4);
    const size_t start = pos + 8;
    // A chunk whose body and CRC run past the end: the file is truncated, keep what was read.
    if (size - start < 4 || length > size - start - 4) {
      Damage = "the file ends inside a chunk";
      break;
    }
    pos = start + length + 4;
    if (!ReadChunk(state, type, data + start, length))
      return false;
  }
  if (Damage.empty() && state.Current)
    Damage = "the file ends before the image's IEND chunk";
  return true;
}

bool TMNGAnimation::ReadChunk(TParseState &state, const std::string &type, const uint8_t *body, size_t length)
{
  // Only image data is read whole; no other chunk needs more than its first 1024 bytes.
  const size_t bodySize = std::min<size_t>(length, 1024);
  if (type == "MHDR")
    ReadFileHeader(body, bodySize);
  else if (type == "FRAM")
    ReadFraming(state, body, bodySize);
  else if (type == "TERM")
    ReadTermination(body, bodySize);
  else if (type == "IHDR")
    return StartImage(state, body, bodySize);
  else if (type == "PLTE")
    ReadPalette(state.Current, body, bodySize);
  else if (type == "TRNS")
    ReadTransparency(state.Current, body, bodySize);
  else if (type == "IDAT")
    state.Idat.insert(state.Idat.end(), body, body + length);
  else if (type == "IEND")
    EndImage(state);
  else if (type == "MEND")
    EndFile(state);
  return true;
}

void TMNGAnimation::ReadFileHeader(const uint8_t *body, size_t size)
{
  if (size >= 4)
    Width = ReadCount(body);
  if (size >= 8)
    Height = ReadCount(body + 4);
  if (size >= 12)
    TicksPerSecond = ReadCount(body + 8);
}

void TMNGAnimation::ReadFraming(TParseState &state, const uint8_t *body, size_t size)
{
  if (Frames.empty())
    state.EarlyFraming = true;
  if (state.FramingMode == 1)
    state.AccumulatedDelay += state.CurrentDelay;
  state.CurrentDelay = state.DefaultDelay;
  if (size >= 1) {
    if (body[0] == 1 || body[0] == 3)
      state.FramingMode = 0;
    else if (body[0] == 2 || body[0] == 4)
      state.FramingMode = 1;
  }
  const size_t k = FramingChangesOffset(body, size);
  if (size >= k + 8 && body[k] != 0) {
    state.CurrentDelay = ReadCount(body + k + 4);
    if (body[k] == 2)
      state.DefaultDelay = state.CurrentDelay;
  }
}

void TMNGAnimation::ReadTermination(const uint8_t *body, size_t size)
{
  if (size >= 10)
    Iterations = ReadCount(body + 6);
  LoopsLeft = Iterations - 1;
}

bool TMNGAnimation::StartImage(TParseState &state, const uint8_t *body, size_t size)
{
  // The delay gathered since the previous image is that image's; before the first image it leads the file.
  if (state.FramingMode == 0)
    state.AccumulatedDelay += state.CurrentDelay;
  if (!Frames.empty())
    Frames.back()->Delay = ClampInt(state.AccumulatedDelay);
  else
    state.LeadDelay = state.AccumulatedDelay;
  state.AccumulatedDelay = 0;
  if (Frames.size() >= MaxFrameCount)
    return false;
  Frames.push_back(std::make_unique<TMNGAnimationStep>());
  TMNGAnimationStep &current = *Frames.back();
  state.Current = &current;
  if (size >= 4)
    current.Width = ReadCount(body);
  if (size >= 8)
    current.Height = ReadCount(body + 4);
  if (size >= 9)
    current.BitDepth = body[8];
  if (size >= 10)
    current.ColorType = body[9];
  state.Idat.clear();
  if (current.ColorType != 3 || (current.BitDepth != 4 && current.BitDepth != 8))
    return false;
  // Zero sizes are kept (the frame draws nothing); sizes past the limits fail the file.
  return !(current.Width > MaxImageSide || current.Height > MaxImageSide ||
           int64_t(current.Width) * current.Height > MaxImagePixels);
}

void TMNGAnimation::ReadPalette(TMNGAnimationStep *current, const uint8_t *body, size_t size)
{
  std::array<uint8_t, 768> table{};
  const int count = static_cast<int>(std::min<size_t>(size / 3, 256));
  std::memcpy(table.data(), body, static_cast<size_t>(count) * 3);
  if (current) {
    current->Palette = table;
    current->ColorCount = count;
    current->HasPalette = true;
  }
  // A palette outside an image, or an image's palette while the file has none yet, serves images
  // without their own.
  if (!current || GlobalColorCount == 0) {
    GlobalColorCount = count;
    ColorCount = count;
    FilePalette = table;
  }
}

void TMNGAnimation::ReadTransparency(TMNGAnimationStep *current, const uint8_t *body, size_t size)
{
  // Only the 256 palette entries can be transparent; alpha bytes past them are ignored.
  int index = -1;
  for (size_t i = 0; i < std::min<size_t>(size, 256); ++i)
    if (body[i] == 0) {
      index = static_cast<int>(i);
      break;
    }
  if (current) {
    current->TransparentIndex = index;
    current->HasTransparency = true;
  } else {
    GlobalTransparentIndex = index;
    TransparentIndex = index;
  }
}

void TMNGAnimation::EndImage(TParseState &state)
{
  if (state.Current && !state.Idat.empty())
    Inflate(*state.Current, state.Idat);
  if (state.Current && !state.Current->Data && Damage.empty())
    Damage = "image " + std::to_string(Frames.size()) + " has no pixel data that inflates to its size";
  state.Current = nullptr;
  state.Idat.clear();
  state.Idat.shrink_to_fit();
}

void TMNGAnimation::EndFile(TParseState &state)
{
  // The delay before the first image and after the last one is the last frame's, as the
  // animation wraps around from it to the first.
  state.LeadDelay += state.AccumulatedDelay;
  if (state.EarlyFraming && state.FramingMode == 1)
    state.LeadDelay += state.CurrentDelay;
  if (!Frames.empty())
    Frames.back()->Delay = ClampInt(state.LeadDelay);
}

void TMNGAnimation::Inflate(TMNGAnimationStep &frame, const std::vector<uint8_t> &idat)
{
  if (frame.Width < 1 || frame.Height < 1)
    return;
  const size_t rowBytes = (static_cast<size_t>(frame.Width) * frame.BitDepth + 7) / 8;
  const size_t expected = (rowBytes + 1) * static_cast<size_t>(frame.Height);
  // Data that cannot inflate to the expected size is not given a buffer of that size.
  if (expected / MaxInflateRatio > idat.size() || TotalData + expected > MaxTotalData)
    return;
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[expected]);
  if (!out)
    return;
  uLongf outSize = static_cast<uLongf>(expected);
  if (uncompress(out.get(), &outSize, idat.data(), static_cast<uLong>(idat.size())) != Z_OK || outSize != expected)
    return;
  frame.Data = std::move(out);
  frame.DataSize = expected;
  TotalData += expected;
}

int TMNGAnimation::NextFrame()
{
  if (CurrentFrame >= FrameCount)
    return 1000;
  TMNGAnimationStep &frame = *Frames[static_cast<size_t>(CurrentFrame)];
  if (frame.HasPalette) {
    ColorCount = frame.ColorCount;
    Palette = frame.Palette;
  } else {
    ColorCount = GlobalColorCount;
    Palette = FilePalette;
  }
  Render(frame);
  if (++CurrentFrame >= FrameCount) {
    if (LoopsLeft == 0)
      Animated = false;
    else if (LoopsLeft > 0)
      --LoopsLeft;
    CurrentFrame = 0;
  }
  TransparentIndex = frame.HasTransparency ? frame.TransparentIndex : GlobalTransparentIndex;
  ApplyPalette();
  if (!Animated) {
    TotalData -= frame.DataSize;
    frame.Data.reset();
    frame.DataSize = 0;
  }
  // A zero or out-of-range tick rate would divide by zero; the default rate stands in.
  const int64_t ticks = TicksPerSecond > 0 ? TicksPerSecond : 100;
  return ClampInt(int64_t(frame.Delay) * 100 / ticks);
}

void TMNGAnimation::Render(TMNGAnimationStep &frame)
{
  if (!Bits || frame.Width < 1 || frame.Height < 1)
    return;
  const size_t rowBytes = (static_cast<size_t>(frame.Width) * frame.BitDepth + 7) / 8;
  if ((rowBytes + 1) * static_cast<size_t>(frame.Height) > frame.DataSize)
    return;
  // A frame larger than the image is cut at the image's edges.
  const int columns = std::min(frame.Width, Width);
  const int rows = std::min(frame.Height, Height);
  const size_t stride = static_cast<size_t>(Bitmap.bytesPerLine());
  uint8_t *line = frame.Data.get();
  const uint8_t *previous = nullptr;
  for (int y = 0; y < frame.Height; ++y) {
    uint8_t *row = line + 1;
    if (!frame.Unfiltered)
      Unfilter(row, previous, rowBytes, line[0]);
    if (y < rows) {
      uint8_t *target = Bits + static_cast<size_t>(y) * stride;
      if (frame.BitDepth == 8) {
        std::memcpy(target, row, static_cast<size_t>(columns));
      } else {
        for (int x = 0; x + 1 < columns; x += 2) {
          target[x] = row[x >> 1] >> 4;
          target[x + 1] = row[x >> 1] & 0x0F;
        }
        if (columns & 1)
          target[columns - 1] = row[(columns - 1) >> 1] >> 4;
      }
    }
    previous = row;
    line += rowBytes + 1;
  }
  frame.Unfiltered = true;
}
