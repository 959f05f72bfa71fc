// A decoded image: an 8-bit indexed raster with its palette and transparent index. The PNG/MNG
// and GIF decoders derive from it; the image cache turns its raster into a drawing surface.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Raised by the decoders with their one message ("MNG loading failed!", "Gif loading failed!").
class TImageLoadError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

class TImageAnimation
{
public:
  virtual ~TImageAnimation() = default;
  TImageAnimation(const TImageAnimation &) = delete;
  TImageAnimation &operator=(const TImageAnimation &) = delete;

  // Renders the next frame into Bitmap; returns its delay in hundredths of a second.
  virtual int NextFrame() = 0;

  // True without pixels, outside the image, or where the pixel is the transparent index.
  bool IsTransparentPixel(int x, int y) const;
  // Loads the first ColorCount entries of Palette into Bitmap's colour table.
  void ApplyPalette();

  // Format_Indexed8, Width x Height, row 0 is the top row; null when there are no pixels.
  QImage Bitmap;
  uint8_t *Bits = nullptr; // Bitmap's pixel bytes, or none
  int Width = 0;
  int Height = 0;
  int FrameCount = 0;
  int Iterations = 0;
  int TransparentIndex = -1;
  bool Animated = false;
  std::array<uint8_t, 768> FilePalette{}; // as read from the file, red first
  std::array<uint8_t, 768> Palette{};     // in effect for the frame in Bitmap
  int ColorCount = 0;
  // Empty when the file was whole; else what the decoder found missing or broken ("the file ends
  // inside a chunk"). The decoder still shows what it read, as it always has: this only tells.
  std::string Damage;
  // The file's bytes while frames may still be read from them; emptied when no longer needed.
  std::vector<uint8_t> Stream;

  // Largest image the decoders accept: a side of 16384 pixels and 256 MiB of pixels.
  static constexpr int MaxImageSide = 16384;
  static constexpr int64_t MaxImagePixels = int64_t(256) << 20;
  // More frames than this in one file make it fail to load.
  static constexpr size_t MaxFrameCount = 65536;

  static bool SizeAllowed(int64_t width, int64_t height)
  {
    return width >= 1 && height >= 1 && width <= MaxImageSide && height <= MaxImageSide &&
           width * height <= MaxImagePixels;
  }

protected:
  TImageAnimation() = default;
  // Makes Bitmap a Width x Height raster of index 0; false when the size is out of bounds or
  // the memory cannot be had.
  bool CreateBitmap();
  // The whole file. Throws TImageLoadError: "cannot read FILE: reason" when it cannot be read (it
  // is missing, unreadable or not a regular file), failure when it is empty.
  static std::vector<uint8_t> FileBytes(const std::string &fileName, const char *failure);
  // Keeps stream as Stream and runs Parse over it; running out of memory counts as a failure.
  bool ParseStream(std::vector<uint8_t> stream);
  // Reads the file's structure from Stream; false when it is not a valid file.
  virtual bool Parse() = 0;
};
