#include "game_fixture.h"

#include <QBuffer>

std::string WriteIndexedPng(const TempDir &dir, const std::string &relative, int width, int height,
                            const std::vector<QRgb> &palette, int (*pixel)(int x, int y))
{
  QImage image(width, height, QImage::Format_Indexed8);
  QVector<QRgb> table(palette.begin(), palette.end());
  table[0] = qRgba(0, 0, 0, 0);
  image.setColorTable(table);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.setPixel(x, y, uint(pixel(x, y)));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return dir.Write(relative, png.toStdString());
}

std::string OneFrameAnimation(const std::string &header, const std::string &frameExtra)
{
  return "VELK0001\nSPRITE 0 SPRITES 0 0 24 16 shadow\n" + header + "ANI\n0 0 0\n0 0 0\n0 0 0\n0 0 0\n" + frameExtra +
         "ANIEND\n";
}
