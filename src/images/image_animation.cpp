#include "images/image_animation.h"

#include <QFile>
#include <QVector>
#include <algorithm>
#include <cstring>

#include "core/qt_text.h"

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
  std::vector<uint8_t> bytes;
  QFile file(PathToQt(fileName));
  if (fileName.empty() || !file.open(QIODevice::ReadOnly))
    throw TImageLoadError(failure);
  const qint64 size = file.size();
  // Image files are far below this; anything larger is not read into memory.
  if (size <= 0 || size > (int64_t(1) << 30))
    throw TImageLoadError(failure);
  bytes.resize(static_cast<size_t>(size));
  if (file.read(reinterpret_cast<char *>(bytes.data()), size) != size)
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
