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

TGifAnimation::TGifAnimation(const std::string &fileName)
{
  std::vector<uint8_t> bytes = LoadFileBytes(fileName);
  if (bytes.empty())
    throw TImageLoadError(LoadFailed);
  Load(std::move(bytes));
}

TGifAnimation::TGifAnimation(std::vector<uint8_t> stream)
{
  Load(std::move(stream));
}

void TGifAnimation::Load(std::vector<uint8_t> stream)
{
  Stream = std::move(stream);
  bool parsed = false;
  try {
    parsed = Parse();
  } catch (const std::bad_alloc &) {
    parsed = false;
  }
  if (!parsed || !CreateBitmap())
    throw TImageLoadError(LoadFailed);
  FrameCount = static_cast<int>(Frames.size());
  CurrentFrame = 0;
  Animated = FrameCount > 0;
  PreviousDisposal = 2;
}

bool TGifAnimation::Parse()
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
  size_t pos = 13;
  const size_t tableBytes = static_cast<size_t>(GlobalTableSize) * 3;
  if (s.size() - pos < tableBytes)
    return false;
  std::memcpy(FilePalette.data(), &s[pos], tableBytes);
  pos += tableBytes;

  while (pos < s.size()) {
    int delay = 0, transparent = -1, disposal = 0;
    bool truncated = false;
    while (pos < s.size() && s[pos] == 0x21) {
      if (s.size() - pos < 2) {
        truncated = true;
        break;
      }
      const uint8_t label = s[pos + 1];
      pos += 2;
      bool first = true, loopExtension = false;
      while (true) {
        if (pos >= s.size()) {
          truncated = true;
          break;
        }
        const size_t length = s[pos++];
        if (length == 0)
          break;
        if (length > s.size() - pos) {
          truncated = true;
          break;
        }
        const uint8_t *block = &s[pos];
        if (label == 0xF9 && first && length >= 4) {
          transparent = (block[0] & 1) ? block[3] : -1;
          disposal = (block[0] >> 2) & 7;
          delay = ReadU16(block + 1);
        } else if (label == 0xFF && first) {
          loopExtension = length == 11 &&
                          (std::memcmp(block, "NETSCAPE2.0", 11) == 0 || std::memcmp(block, "ANIMEXTS1.0", 11) == 0);
        } else if (label == 0xFF && loopExtension && length >= 3 && (block[0] & 7) == 1) {
          const int count = ReadU16(block + 1);
          Iterations = count == 0 ? -1 : count;
          LoopsLeft = Iterations;
        }
        first = false;
        pos += length;
      }
      if (truncated)
        break;
    }
    if (truncated || pos >= s.size() || s[pos] != 0x2C || s.size() - pos < 10)
      break;
    const uint8_t *descriptor = &s[pos + 1];
    if (Frames.size() >= MaxFrameCount)
      return false;
    auto frame = std::make_unique<TGifAnimationStep>();
    frame->Left = ReadU16(descriptor);
    frame->Top = ReadU16(descriptor + 2);
    frame->Width = ReadU16(descriptor + 4);
    frame->Height = ReadU16(descriptor + 6);
    const uint8_t flags = descriptor[8];
    frame->LocalColorBits = (flags & 0x80) ? (flags & 7) + 1 : 0;
    frame->Interlaced = (flags & 0x40) != 0;
    frame->Delay = delay;
    frame->TransparentIndex = transparent;
    frame->Disposal = disposal;
    pos += 10;
    frame->DataPosition = pos;
    Frames.push_back(std::move(frame));
    // Local colour table, minimum code size, data sub-blocks. A frame cut short is kept: it
    // draws what its data holds.
    const size_t localBytes = Frames.back()->LocalColorBits ? (size_t(3) << Frames.back()->LocalColorBits) : 0;
    if (s.size() - pos < localBytes + 1)
      break;
    pos += localBytes + 1;
    if (!SkipSubBlocks(s, pos))
      break;
  }
  return true;
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
  }
  return frame.Delay;
}

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
  const uint8_t *input = Codes.data();
  const size_t inputSize = Codes.size();
  size_t inputPos = 0;
  uint64_t bitBuffer = 0;
  int bitCount = 0;

  // Pixels outside the screen are decoded but not written.
  const int visibleColumns = std::max(0, std::min(frame.Width, Width - frame.Left));
  const size_t stride = static_cast<size_t>(Bitmap.bytesPerLine());
  const int skipIndex = (FrameCount > 1 && TransparentIndex >= 0) ? TransparentIndex : -1;
  Row.assign(static_cast<size_t>(frame.Width), 0);
  uint8_t *row = Row.data();
  const int rowWidth = frame.Width;
  int column = 0;
  TRowOrder rows(frame.Height, frame.Interlaced);

  // Writes the first count pixels of the row buffer to the current row of the frame.
  auto writeRow = [&](int count) {
    const int y = frame.Top + rows.Current();
    count = std::min(count, visibleColumns);
    if (y >= Height || count <= 0)
      return;
    uint8_t *target = Bits + static_cast<size_t>(y) * stride + frame.Left;
    if (skipIndex < 0) {
      std::memcpy(target, row, static_cast<size_t>(count));
    } else {
      for (int x = 0; x < count; ++x)
        if (row[x] != skipIndex)
          target[x] = row[x];
    }
  };
  auto flushRow = [&]() {
    writeRow(rowWidth);
    column = 0;
    rows.Advance();
  };

  // The string table: each entry is a shorter entry (its prefix) plus one byte.
  constexpr int TableSize = 4096;
  uint16_t prefix[TableSize];
  uint8_t suffix[TableSize];
  uint8_t firstByte[TableSize];
  uint16_t length[TableSize];
  uint8_t scratch[TableSize];
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
    if (count <= rowWidth - column) {
      uint8_t *out = row + column + count;
      for (int c = code; out != row + column; c = prefix[c])
        *--out = suffix[c];
      column += count;
      if (column == rowWidth)
        flushRow();
      return !rows.Done();
    }
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

  while (!rows.Done()) {
    if (bitCount < codeWidth) {
      while (bitCount <= 56 && inputPos < inputSize) {
        bitBuffer |= uint64_t(input[inputPos++]) << bitCount;
        bitCount += 8;
      }
      if (bitCount < codeWidth)
        break; // data ends before the end code: keep what was drawn
    }
    int code = static_cast<int>(bitBuffer & ((1u << codeWidth) - 1));
    bitBuffer >>= codeWidth;
    bitCount -= codeWidth;

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
    int added = -1;
    if (code < nextCode) {
      if (nextCode < TableSize)
        added = nextCode;
      if (added >= 0) {
        prefix[added] = static_cast<uint16_t>(previous);
        suffix[added] = firstByte[code];
        firstByte[added] = firstByte[previous];
        length[added] = static_cast<uint16_t>(length[previous] + 1);
      }
    } else if (code == nextCode && nextCode < TableSize) {
      added = nextCode;
      prefix[added] = static_cast<uint16_t>(previous);
      suffix[added] = firstByte[previous];
      firstByte[added] = firstByte[previous];
      length[added] = static_cast<uint16_t>(length[previous] + 1);
    } else {
      break; // a code past the table: the data is corrupt
    }
    if (added >= 0) {
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
    writeRow(column);
}
