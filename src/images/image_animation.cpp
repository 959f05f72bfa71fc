#include "images/image_animation.h"

#include <QVector>
#include <algorithm>
#include <cstring>

#include "core/file_io.h"

bool TImageAnimation::IsTransparentPixel(int x, int y) const
{
  if (!Bits || x < 0 || y < 0 || x >= Width || y >= Height)
    return true;
  return Bits[static_cast<size_t>(y) * Bitmap.bytesPerLine() + x] == TransparentIndex;
}

void TImageAnimation::ApplyPalette()
{
  if (Bitmap.isNull())
    return;
  const int count = std::min(std::max(ColorCount, 0), 256);
  QVector<QRgb> table(count);
  for (int i = 0; i < count; ++i)
    table[i] = qRgb(Palette[i * 3], Palette[i * 3 + 1], Palette[i * 3 + 2]);
  Bitmap.setColorTable(table);
  Bits = Bitmap.bits();
}

bool TImageAnimation::CreateBitmap()
{
  Bitmap = QImage();
  Bits = nullptr;
  if (!SizeAllowed(Width, Height))
    return false;
  Bitmap = QImage(Width, Height, QImage::Format_Indexed8);
  if (Bitmap.isNull())
    return false;
  Bits = Bitmap.bits();
  std::memset(Bits, 0, static_cast<size_t>(Bitmap.sizeInBytes()));
  return true;
}

std::vector<uint8_t> TImageAnimation::FileBytes(const std::string &fileName, const char *failure)
{
  // Image files are far below this; anything larger is not read into memory.
  constexpr size_t MaxFileSize = size_t(1) << 30;
  std::vector<uint8_t> bytes;
  std::string error;
  if (fileName.empty())
    throw TImageLoadError("cannot read the image: no file name");
  if (!ReadWholeFile(fileName, MaxFileSize, bytes, &error))
    throw TImageLoadError("cannot read " + fileName + ": " + error);
  if (bytes.empty())
    throw TImageLoadError(failure);
  return bytes;
}

bool TImageAnimation::ParseStream(std::vector<uint8_t> stream)
{
  Stream = std::move(stream);
  try {
    return Parse();
  } catch (const std::bad_alloc &) {
    return false;
  }
}
