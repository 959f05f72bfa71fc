#include "cli/sprite_sheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <algorithm>

#include "cli/byte_names.h"
#include "model/document.h"

namespace {

constexpr int MillisecondsPerTick = 50;

QJsonObject Rect(int x, int y, int w, int h)
{
  return {{"x", x}, {"y", y}, {"w", w}, {"h", h}};
}

QJsonObject Size(int w, int h)
{
  return {{"w", w}, {"h", h}};
}

} // namespace

std::string FrameFileName(const std::string &stem, int dir, int index)
{
  return stem + "-d" + std::to_string(dir) + "-f" + std::to_string(index) + ".png";
}

bool BuildSpriteSheet(const TExportedAnimation &animation, const std::string &stem, const std::string &imageName,
                      QRgb background, TSpriteSheet &sheet, std::string &error)
{
  const int w = animation.Width, h = animation.Height;
  const size_t perDirection = animation.Frames.size() / DirectionCount;
  if (perDirection == 0 || w <= 0 || h <= 0) {
    error = "no frames";
    return false;
  }
  const size_t columns = std::clamp<size_t>(size_t(MaxSheetSide / w), 1, perDirection);
  const size_t rowsPerDirection = (perDirection + columns - 1) / columns;
  const long long sheetWidth = static_cast<long long>(columns) * w;
  const long long sheetHeight = static_cast<long long>(rowsPerDirection) * DirectionCount * h;
  if (sheetWidth > MaxSheetSide || sheetHeight > MaxSheetSide) {
    error = "the sheet would be larger than " + std::to_string(MaxSheetSide) + " pixels";
    return false;
  }
  const bool transparent = animation.Frames.front().Image.hasAlphaChannel();
  sheet.Image = QImage(int(sheetWidth), int(sheetHeight), transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (sheet.Image.isNull()) {
    error = "out of memory";
    return false;
  }
  sheet.Image.fill(transparent ? QColor(Qt::transparent) : QColor(background));

  QJsonArray frames, tags;
  QPainter painter(&sheet.Image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (size_t i = 0; i < animation.Frames.size(); ++i) {
    const TExportFrame &frame = animation.Frames[i];
    const size_t d = i / perDirection, k = i % perDirection;
    const int x = int(k % columns) * w, y = int(d * rowsPerDirection + k / columns) * h;
    painter.drawImage(x, y, frame.Image);
    frames.append(QJsonObject{{"filename", NameToQt(FrameFileName(stem, frame.Dir, frame.Index))},
                              {"frame", Rect(x, y, w, h)},
                              {"rotated", false},
                              {"trimmed", false},
                              {"spriteSourceSize", Rect(0, 0, w, h)},
                              {"sourceSize", Size(w, h)},
                              {"duration", static_cast<qint64>(frame.Ticks) * MillisecondsPerTick}});
    if (k == perDirection - 1)
      tags.append(QJsonObject{{"name", DirectionNames[size_t(frame.Dir) % DirectionCount]},
                              {"from", qint64(i + 1 - perDirection)},
                              {"to", qint64(i)},
                              {"direction", "forward"}});
  }
  painter.end();
  const QJsonObject meta{{"app", "velk"},
                         {"image", NameToQt(imageName)},
                         {"format", transparent ? "RGBA8888" : "RGB888"},
                         {"size", Size(int(sheetWidth), int(sheetHeight))},
                         {"scale", "1"},
                         {"frameTags", tags}};
  sheet.Json = QJsonDocument(QJsonObject{{"frames", frames}, {"meta", meta}}).toJson(QJsonDocument::Indented);
  return true;
}
