// Builders of PNG, MNG and GIF bytes for the decoder tests: chunks, filters and LZW by hand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes BigEndian32(uint32_t value);
Bytes Concat(std::initializer_list<Bytes> parts);
Bytes Text(const std::string &s);

// One PNG/MNG chunk: length, type, body, CRC.
Bytes Chunk(const std::string &type, const Bytes &body);
Bytes PngSignature();
Bytes MngSignature();
Bytes Ihdr(uint32_t width, uint32_t height, int depth, int colorType = 3, int interlace = 0);
// Packs rows of palette indices (depth 4 or 8), applies filters[y % size] to row y (the first
// row too) and deflates the scan lines.
Bytes FilteredIdatData(const std::vector<Bytes> &rows, int depth, const std::vector<int> &filters);
// A complete indexed PNG image (IHDR to IEND) without the signature.
Bytes PngImage(const std::vector<Bytes> &rows, int depth, const Bytes &palette, const Bytes &trns = {},
               const std::vector<int> &filters = {0});
Bytes PngFile(const std::vector<Bytes> &rows, int depth, const Bytes &palette, const Bytes &trns = {},
              const std::vector<int> &filters = {0});

// GIF image data (minimum code size, sub-blocks, terminator) that codes every pixel as a literal.
Bytes GifLiteralData(const Bytes &pixels, int minCodeSize);
// GIF data from explicit codes, each written with the given width.
Bytes GifCodes(const std::vector<std::pair<int, int>> &codesAndWidths, int minCodeSize);
Bytes GifHeader(int width, int height, int globalBits, int background = 0, const std::string &version = "89a");
Bytes GifControl(int flags, int delay, int transparent);
Bytes GifLoop(int count);
Bytes GifDescriptor(int left, int top, int width, int height, int flags = 0);
