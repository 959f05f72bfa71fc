#include "images/gif_animation.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const char *const LoadFailed = "Gif loading failed!";

int ReadU16(const uint8_t *p)
{
  return p[0] | p[1] << 8;
}

// Skips data sub-blocks from pos up to and past their zero-length terminator. False when the
// stream ends first (pos is then the stream's end).
bool SkipSubBlocks(const std::vector<uint8_t> &stream, size_t &pos)
{
  while (pos < stream.size()) {
    const size_t length = stream[pos++];
    if (length == 0)
      return true;
    if (length > stream.size() - pos) {
      pos = stream.size();
      return false;
    }
    pos += length;
  }
  return false;
}

// Moves pos past an image's local colour table, minimum code size and data sub-blocks. False
// when the stream ends first. A frame cut short is kept: it draws what its data holds.
bool SkipImageData(const std::vector<uint8_t> &stream, size_t &pos, int localColorBits)
{
  const size_t localBytes = localColorBits ? (size_t(3) << localColorBits) : 0;
  if (stream.size() - pos < localBytes + 1)
    return false;
  pos += localBytes + 1;
  return SkipSubBlocks(stream, pos);
}

// A graphic control extension's block: the delay, transparency and disposal of the next image.
void ReadGraphicControl(const uint8_t *block, TGifAnimationStep &frame)
{
  frame.TransparentIndex = (block[0] & 1) ? block[3] : -1;
  frame.Disposal = (block[0] >> 2) & 7;
  frame.Delay = ReadU16(block + 1);
}

// An application extension's first block names the application; these two carry a loop count.
bool IsLoopApplication(const uint8_t *block, size_t length)
{
  return length == 11 && (std::memcmp(block, "NETSCAPE2.0", 11) == 0 || std::memcmp(block, "ANIMEXTS1.0", 11) == 0);
}

// The nine bytes after an image separator: the image's rectangle and flags.
void ReadImageDescriptor(const uint8_t *descriptor, TGifAnimationStep &frame)
{
  frame.Left = ReadU16(descriptor);
  frame.Top = ReadU16(descriptor + 2);
  frame.Width = ReadU16(descriptor + 4);
  frame.Height = ReadU16(descriptor + 6);
  const uint8_t flags = descriptor[8];
  frame.LocalColorBits = (flags & 0x80) ? (flags & 7) + 1 : 0;
  frame.Interlaced = (flags & 0x40) != 0;
}

// Rows of a frame in the order its data stores them: straight down, or the four interlace passes.
class TRowOrder
{
public:
  TRowOrder(int height, bool interlaced) : Height(height), Interlaced(interlaced) {}
  int Current() const { return Row; }
  bool Done() const { return Row >= Height; }
  void Advance()
  {
    if (!Interlaced) {
      ++Row;
      return;
    }
    static const int Start[4] = {0, 4, 2, 1};
    static const int Step[4] = {8, 8, 4, 2};
    Row += Step[Pass];
    while (Row >= Height && Pass < 3) {
      ++Pass;
      Row = Start[Pass];
    }
  }

private:
  int Height;
  bool Interlaced;
  int Row = 0;
  int Pass = 0;
};

} // namespace

TGifAnimation::TGifAnimation(const std::string &fileName) : TGifAnimation(FileBytes(fileName, LoadFailed)) {}

TGifAnimation::TGifAnimation(std::vector<uint8_t> stream)
{
  Load(std::move(stream));
}

void TGifAnimation::Load(std::vector<uint8_t> stream)
{
  // Frames are decoded from the file's bytes when they are rendered: Stream stays.
  if (!ParseStream(std::move(stream)) || !CreateBitmap())
    throw TImageLoadError(LoadFailed);
  FrameCount = static_cast<int>(Frames.size());
  CurrentFrame = 0;
  Animated = FrameCount > 0;
  PreviousDisposal = 2;
}

bool TGifAnimation::Parse()
{
  size_t pos = 0;
  if (!ReadScreen(pos))
    return false;
  const std::vector<uint8_t> &s = Stream;
  while (pos < s.size()) {
    // Reading stops at the trailer or anything else that is not an image, and where the stream
    // ends inside the extensions or an image descriptor; the frames read so far are kept.
    TGifAnimationStep frame;
    if (!ReadExtensions(pos, frame)) {
      Damage = "the file ends inside an extension";
      break;
    }
    if (pos < s.size() && s[pos] == 0x3B)
      return true;
    if (pos >= s.size() || s[pos] != 0x2C || s.size() - pos < 10) {
      Damage = pos >= s.size() ? "the file ends before its trailer"
                               : (s[pos] != 0x2C ? "a block that is neither an image nor the trailer"
                                                 : "the file ends inside an image descriptor");
      break;
    }
    if (Frames.size() >= MaxFrameCount)
      return false;
    ReadImageDescriptor(&s[pos + 1], frame);
    pos += 10;
    frame.DataPosition = pos;
    Frames.push_back(std::make_unique<TGifAnimationStep>(frame));
    if (!SkipImageData(s, pos, frame.LocalColorBits)) {
      Damage = "the file ends inside image " + std::to_string(Frames.size()) + "'s data";
      break;
    }
  }
  if (Damage.empty())
    Damage = "the file ends before its trailer";
  return true;
}

bool TGifAnimation::ReadScreen(size_t &pos)
{
  const std::vector<uint8_t> &s = Stream;
  if (s.size() < 13 || std::memcmp(s.data(), "GIF", 3) != 0)
    return false;
  ScreenWidth = static_cast<uint16_t>(ReadU16(&s[6]));
  ScreenHeight = static_cast<uint16_t>(ReadU16(&s[8]));
  ScreenFlags = s[10];
  BackgroundIndex = s[11];
  AspectRatio = s[12];
  Width = ScreenWidth;
  Height = ScreenHeight;
  if (!(ScreenFlags & 0x80))
    return false;
  GlobalTableSize = 1 << ((ScreenFlags & 7) + 1);
  GlobalColorCount = GlobalTableSize;
  pos = 13;
  const size_t tableBytes = static_cast<size_t>(GlobalTableSize) * 3;
  if (s.size() - pos < tableBytes)
    return false;
  std::memcpy(FilePalette.data(), &s[pos], tableBytes);
  pos += tableBytes;
  return true;
}

bool TGifAnimation::ReadExtensions(size_t &pos, TGifAnimationStep &frame)
{
  const std::vector<uint8_t> &s = Stream;
  while (pos < s.size() && s[pos] == 0x21) {
    if (s.size() - pos < 2)
      return false;
    const uint8_t label = s[pos + 1];
    pos += 2;
    if (!ReadExtension(label, pos, frame))
      return false;
  }
  return true;
}

bool TGifAnimation::ReadExtension(uint8_t label, size_t &pos, TGifAnimationStep &frame)
{
  const std::vector<uint8_t> &s = Stream;
  bool first = true, loopExtension = false;
  while (true) {
    if (pos >= s.size())
      return false;
    const size_t length = s[pos++];
    if (length == 0)
      return true;
    if (length > s.size() - pos)
      return false;
    const uint8_t *block = &s[pos];
    if (label == 0xF9 && first && length >= 4) {
      ReadGraphicControl(block, frame);
    } else if (label == 0xFF && first) {
      loopExtension = IsLoopApplication(block, length);
    } else if (label == 0xFF && loopExtension && length >= 3 && (block[0] & 7) == 1) {
      const int count = ReadU16(block + 1);
      Iterations = count == 0 ? -1 : count;
      LoopsLeft = Iterations;
    }
    first = false;
    pos += length;
  }
}

int TGifAnimation::NextFrame()
{
  if (CurrentFrame >= FrameCount || Stream.empty())
    return 1000;
  if (CurrentFrame == 0 || PreviousDisposal == 2) {
    const int fill = TransparentIndex >= 0 ? TransparentIndex : BackgroundIndex;
    if (Bits)
      std::memset(Bits, fill, static_cast<size_t>(Bitmap.sizeInBytes()));
  }
  const TGifAnimationStep &frame = *Frames[static_cast<size_t>(CurrentFrame)];
  size_t pos = frame.DataPosition;
  if (frame.LocalColorBits) {
    ColorCount = 1 << frame.LocalColorBits;
    // A table cut off by the end of the file keeps black for its missing entries.
    LocalPalette.fill(0);
    const size_t bytes = std::min(static_cast<size_t>(ColorCount) * 3, Stream.size() - std::min(pos, Stream.size()));
    if (bytes)
      std::memcpy(LocalPalette.data(), &Stream[pos], bytes);
    Palette = LocalPalette;
    pos += static_cast<size_t>(ColorCount) * 3;
  } else {
    ColorCount = GlobalColorCount;
    Palette = FilePalette;
  }
  Decode(frame, pos);
  if (++CurrentFrame >= FrameCount) {
    if (LoopsLeft == 0)
      Animated = false;
    else if (LoopsLeft > 0)
      --LoopsLeft;
    CurrentFrame = 0;
  }
  TransparentIndex = frame.TransparentIndex;
  PreviousDisposal = frame.Disposal;
  ApplyPalette();
  if (!Animated) {
    Stream.clear();
    Stream.shrink_to_fit();
    Codes.clear();
    Codes.shrink_to_fit();
    Linear.clear();
    Linear.shrink_to_fit();
  }
  return frame.Delay;
}

namespace {

// Reads LZW codes least-significant bit first from a frame's joined data sub-blocks.
class TCodeReader
{
public:
  TCodeReader(const uint8_t *input, size_t size) : Input(input), Size(size) {}

  // False when the data ends before a whole code.
  bool Read(int width, int &code)
  {
    if (Count < width) {
      while (Count <= 56 && Pos < Size) {
        Buffer |= uint64_t(Input[Pos++]) << Count;
        Count += 8;
      }
      if (Count < width)
        return false;
    }
    code = static_cast<int>(Buffer & ((1u << width) - 1));
    Buffer >>= width;
    Count -= width;
    return true;
  }

private:
  const uint8_t *Input;
  size_t Size;
  size_t Pos = 0;
  uint64_t Buffer = 0;
  int Count = 0;
};

constexpr int CodeTableSize = 4096;

} // namespace

size_t TGifAnimation::LinearDecodeLimit = size_t(64) << 20;

void TGifAnimation::Decode(const TGifAnimationStep &frame, size_t pos)
{
  if (!Bits || frame.Width < 1 || frame.Height < 1 || pos >= Stream.size())
    return;
  const int minCodeSize = Stream[pos++];
  if (minCodeSize < 2 || minCodeSize > 8)
    return;

  // Join the data sub-blocks so that codes can be read without watching block edges.
  Codes.clear();
  while (pos < Stream.size()) {
    const size_t length = Stream[pos++];
    if (length == 0)
      break;
    const size_t available = std::min(length, Stream.size() - pos);
    Codes.insert(Codes.end(), &Stream[pos], &Stream[pos] + available);
    pos += available;
  }

  const size_t area = static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height);
  if (area <= LinearDecodeLimit)
    DecodeWhole(frame, minCodeSize, area);
  else
    DecodeByRows(frame, minCodeSize);
}

void TGifAnimation::WriteFrameRow(const TGifAnimationStep &frame, int frameRow, const uint8_t *pixels, int count)
{
  // Pixels outside the screen are decoded but not written.
  const int visibleColumns = std::max(0, std::min(frame.Width, Width - frame.Left));
  const int y = frame.Top + frameRow;
  count = std::min(count, visibleColumns);
  if (y >= Height || count <= 0)
    return;
  uint8_t *target = Bits + static_cast<size_t>(y) * static_cast<size_t>(Bitmap.bytesPerLine()) + frame.Left;
  const int skipIndex = (FrameCount > 1 && TransparentIndex >= 0) ? TransparentIndex : -1;
  if (skipIndex < 0) {
    std::memcpy(target, pixels, static_cast<size_t>(count));
  } else {
    for (int x = 0; x < count; ++x)
      if (pixels[x] != skipIndex)
        target[x] = pixels[x];
  }
}

void TGifAnimation::DecodeWhole(const TGifAnimationStep &frame, int minCodeSize, size_t area)
{
  // The frame's pixels in data order. Every string of the table is a run of this buffer that
  // was written before: an entry is the previous code's string plus the first byte of the one
  // after it, which is exactly where that string stands, so strings are copied, not chased.
  Linear.resize(area);
  uint8_t *out = Linear.data();
  size_t written = 0;
  uint32_t position[CodeTableSize];
  uint16_t length[CodeTableSize];
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  int codeWidth = minCodeSize + 1;
  int nextCode = clearCode + 2;
  bool havePrevious = false;
  uint32_t previousPosition = 0;
  uint32_t previousLength = 0;
  TCodeReader reader(Codes.data(), Codes.size());
  auto addEntry = [&]() {
    position[nextCode] = previousPosition;
    length[nextCode] = static_cast<uint16_t>(previousLength + 1);
    ++nextCode;
    if (nextCode == (1 << codeWidth) && codeWidth < 12)
      ++codeWidth;
  };

  int code;
  while (written < area && reader.Read(codeWidth, code)) {
    if (code == clearCode) {
      codeWidth = minCodeSize + 1;
      nextCode = clearCode + 2;
      havePrevious = false;
      continue;
    }
    if (code == endCode)
      break;
    const size_t start = written;
    const size_t room = area - written;
    if (!havePrevious) {
      out[written++] = static_cast<uint8_t>(code >= clearCode ? 0 : code);
    } else if (code < nextCode) {
      if (code < clearCode) {
        out[written++] = static_cast<uint8_t>(code);
      } else {
        const size_t count = std::min<size_t>(length[code], room);
        const uint8_t *from = out + position[code];
        for (size_t i = 0; i < count; ++i)
          out[written + i] = from[i];
        written += count;
      }
      if (nextCode < CodeTableSize)
        addEntry();
    } else if (code == nextCode && nextCode < CodeTableSize) {
      // The previous string followed by its own first byte.
      const size_t count = std::min<size_t>(previousLength + 1, room);
      const uint8_t *from = out + previousPosition;
      for (size_t i = 0; i < count; ++i)
        out[written + i] = from[i];
      written += count;
      addEntry();
    } else {
      break; // a code past the table: the data is corrupt
    }
    previousPosition = static_cast<uint32_t>(start);
    previousLength = static_cast<uint32_t>(written - start);
    havePrevious = true;
  }

  // Rows in data order; a frame whose data ends early keeps its last, partly decoded row.
  TRowOrder rows(frame.Height, frame.Interlaced);
  const size_t rowWidth = static_cast<size_t>(frame.Width);
  for (size_t offset = 0; offset < written && !rows.Done(); offset += rowWidth) {
    WriteFrameRow(frame, rows.Current(), out + offset, static_cast<int>(std::min(rowWidth, written - offset)));
    rows.Advance();
  }
}

void TGifAnimation::DecodeByRows(const TGifAnimationStep &frame, int minCodeSize)
{
  // For frames too large to hold whole: each string is rebuilt from its chain of prefixes.
  TCodeReader reader(Codes.data(), Codes.size());
  Row.assign(static_cast<size_t>(frame.Width), 0);
  uint8_t *row = Row.data();
  const int rowWidth = frame.Width;
  int column = 0;
  TRowOrder rows(frame.Height, frame.Interlaced);
  auto flushRow = [&]() {
    WriteFrameRow(frame, rows.Current(), row, rowWidth);
    column = 0;
    rows.Advance();
  };

  // The string table: each entry is a shorter entry (its prefix) plus one byte.
  uint16_t prefix[CodeTableSize];
  uint8_t suffix[CodeTableSize];
  uint8_t firstByte[CodeTableSize];
  uint16_t length[CodeTableSize];
  uint8_t scratch[CodeTableSize];
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  for (int i = 0; i < clearCode; ++i) {
    prefix[i] = 0;
    suffix[i] = firstByte[i] = static_cast<uint8_t>(i);
    length[i] = 1;
  }
  int codeWidth = minCodeSize + 1;
  int nextCode = clearCode + 2;
  int previous = -1;

  // Writes the string of code into the frame, row after row; false once the frame is full.
  auto put = [&](int code) {
    int count = length[code];
    uint8_t *out = scratch + count;
    for (int c = code; out != scratch; c = prefix[c])
      *--out = suffix[c];
    const uint8_t *in = scratch;
    while (count > 0) {
      const int part = std::min(count, rowWidth - column);
      std::memcpy(row + column, in, static_cast<size_t>(part));
      column += part;
      in += part;
      count -= part;
      if (column == rowWidth) {
        flushRow();
        if (rows.Done())
          return false;
      }
    }
    return true;
  };

  int code;
  while (!rows.Done() && reader.Read(codeWidth, code)) {
    if (code == clearCode) {
      codeWidth = minCodeSize + 1;
      nextCode = clearCode + 2;
      previous = -1;
      continue;
    }
    if (code == endCode)
      break;
    if (previous < 0) {
      if (code >= clearCode)
        code = 0;
      if (!put(code))
        break;
      previous = code;
      continue;
    }
    const int source = code < nextCode ? code : previous;
    if (code > nextCode || (code == nextCode && nextCode >= CodeTableSize))
      break; // a code past the table: the data is corrupt
    if (nextCode < CodeTableSize) {
      prefix[nextCode] = static_cast<uint16_t>(previous);
      suffix[nextCode] = firstByte[source];
      firstByte[nextCode] = firstByte[previous];
      length[nextCode] = static_cast<uint16_t>(length[previous] + 1);
      ++nextCode;
      if (nextCode == (1 << codeWidth) && codeWidth < 12)
        ++codeWidth;
    }
    if (!put(code))
      break;
    previous = code;
  }
  // A frame whose data ends early keeps the pixels of its last, partly decoded row.
  if (column > 0 && !rows.Done())
    WriteFrameRow(frame, rows.Current(), row, column);
}
