#include "images/image_fixtures.h"

#include <zlib.h>

#include <cstdlib>

Bytes BigEndian32(uint32_t value)
{
  return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
  Bytes out;
  for (const Bytes &part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes Text(const std::string &s)
{
  return Bytes(s.begin(), s.end());
}

Bytes Chunk(const std::string &type, const Bytes &body)
{
  Bytes typed = Concat({Text(type), body});
  const uint32_t crc = static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size())));
  return Concat({BigEndian32(static_cast<uint32_t>(body.size())), typed, BigEndian32(crc)});
}

Bytes PngSignature()
{
  return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
}

Bytes MngSignature()
{
  return {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
}

Bytes Ihdr(uint32_t width, uint32_t height, int depth, int colorType, int interlace)
{
  return Chunk("IHDR", Concat({BigEndian32(width),
                               BigEndian32(height),
                               {uint8_t(depth), uint8_t(colorType), 0, 0, uint8_t(interlace)}}));
}

static int Paeth(int a, int b, int c)
{
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

Bytes FilteredIdatData(const std::vector<Bytes> &rows, int depth, const std::vector<int> &filters)
{
  Bytes scanLines, previous;
  for (size_t y = 0; y < rows.size(); ++y) {
    Bytes packed;
    if (depth == 8) {
      packed = rows[y];
    } else {
      for (size_t x = 0; x < rows[y].size(); x += 2)
        packed.push_back(uint8_t(rows[y][x] << 4 | (x + 1 < rows[y].size() ? rows[y][x + 1] : 0)));
    }
    if (previous.empty())
      previous.assign(packed.size(), 0);
    const int filter = filters[y % filters.size()];
    scanLines.push_back(uint8_t(filter));
    for (size_t i = 0; i < packed.size(); ++i) {
      const int left = i ? packed[i - 1] : 0, up = previous[i], upperLeft = i ? previous[i - 1] : 0;
      const int predictor = filter == 1   ? left
                            : filter == 2 ? up
                            : filter == 3 ? (left + up) / 2
                            : filter == 4 ? Paeth(left, up, upperLeft)
                                          : 0;
      scanLines.push_back(uint8_t(packed[i] - predictor));
    }
    previous = packed;
  }
  uLongf size = compressBound(static_cast<uLong>(scanLines.size()));
  Bytes out(size);
  compress(out.data(), &size, scanLines.data(), static_cast<uLong>(scanLines.size()));
  out.resize(size);
  return out;
}

Bytes PngImage(const std::vector<Bytes> &rows, int depth, const Bytes &palette, const Bytes &trns,
               const std::vector<int> &filters)
{
  const uint32_t width = rows.empty() ? 0 : static_cast<uint32_t>(rows[0].size());
  Bytes out = Concat({Ihdr(width, static_cast<uint32_t>(rows.size()), depth), Chunk("PLTE", palette)});
  if (!trns.empty())
    out = Concat({out, Chunk("tRNS", trns)});
  return Concat({out, Chunk("IDAT", FilteredIdatData(rows, depth, filters)), Chunk("IEND", {})});
}

Bytes PngFile(const std::vector<Bytes> &rows, int depth, const Bytes &palette, const Bytes &trns,
              const std::vector<int> &filters)
{
  return Concat({PngSignature(), PngImage(rows, depth, palette, trns, filters)});
}

Bytes GifCodes(const std::vector<std::pair<int, int>> &codesAndWidths, int minCodeSize)
{
  Bytes packed;
  uint32_t bits = 0;
  int count = 0;
  for (auto [code, width] : codesAndWidths) {
    bits |= uint32_t(code) << count;
    count += width;
    while (count >= 8) {
      packed.push_back(uint8_t(bits));
      bits >>= 8;
      count -= 8;
    }
  }
  if (count)
    packed.push_back(uint8_t(bits));
  Bytes out{uint8_t(minCodeSize)};
  for (size_t i = 0; i < packed.size(); i += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - i);
    out.push_back(uint8_t(n));
    out.insert(out.end(), packed.begin() + long(i), packed.begin() + long(i + n));
  }
  out.push_back(0);
  return out;
}

Bytes GifLiteralData(const Bytes &pixels, int minCodeSize)
{
  // A clear code before the table would make the code width grow keeps every code literal.
  const int clear = 1 << minCodeSize, width = minCodeSize + 1, room = (1 << width) - (clear + 2);
  std::vector<std::pair<int, int>> codes{{clear, width}};
  for (size_t i = 0; i < pixels.size(); ++i) {
    if (i && i % size_t(room) == 0)
      codes.push_back({clear, width});
    codes.push_back({pixels[i], width});
  }
  codes.push_back({clear + 1, width});
  return GifCodes(codes, minCodeSize);
}

Bytes GifHeader(int width, int height, int globalBits, int background, const std::string &version)
{
  Bytes out =
      Concat({Text("GIF" + version), {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)}});
  out.push_back(globalBits ? uint8_t(0x80 | (globalBits - 1)) : 0);
  out.push_back(uint8_t(background));
  out.push_back(0);
  for (int i = 0; globalBits && i < (3 << globalBits); ++i)
    out.push_back(uint8_t(i * 7));
  return out;
}

Bytes GifControl(int flags, int delay, int transparent)
{
  return {0x21, 0xF9, 4, uint8_t(flags), uint8_t(delay), uint8_t(delay >> 8), uint8_t(transparent), 0};
}

Bytes GifLoop(int count)
{
  return Concat({{0x21, 0xFF, 11}, Text("NETSCAPE2.0"), {3, 1, uint8_t(count), uint8_t(count >> 8), 0}});
}

Bytes GifDescriptor(int left, int top, int width, int height, int flags)
{
  return {0x2C,           uint8_t(left),       uint8_t(left >> 8), uint8_t(top),         uint8_t(top >> 8),
          uint8_t(width), uint8_t(width >> 8), uint8_t(height),    uint8_t(height >> 8), uint8_t(flags)};
}
