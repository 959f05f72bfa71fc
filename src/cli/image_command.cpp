// velk image FILE: decodes an image as the image cache does and prints its first frame as JSON.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <unistd.h>

#include "cli/animation_check.h"
#include "cli/command.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "images/image_cache.h"

namespace {

QString Hex(const uint8_t *bytes, int count)
{
  return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(bytes), count).toHex().toUpper());
}

QJsonObject ImageJson(TImageAnimation &image, int delay)
{
  QJsonArray palette, pixels;
  for (int i = 0; i < image.ColorCount; ++i)
    palette.append(Hex(&image.Palette[static_cast<size_t>(i) * 3], 3));
  for (int y = 0; y < image.Height && image.Bits; ++y)
    pixels.append(Hex(image.Bitmap.constScanLine(y), image.Width));
  return {{"Width", image.Width},
          {"Height", image.Height},
          {"FrameCount", image.FrameCount},
          {"Iterations", image.Iterations},
          {"TransparentIndex", image.TransparentIndex},
          {"ColorCount", image.ColorCount},
          {"Animated", image.Animated},
          {"Delay", delay},
          {"Palette", palette},
          {"Pixels", pixels}};
}

} // namespace

int RunImage(const QStringList &args)
{
  QCommandLineParser parser;
  parser.setApplicationDescription("Decodes FILE as the image cache does and prints its first frame as JSON.");
  parser.addPositionalArgument("FILE", "a PNG, MNG or GIF image (a bare name is resolved in the game folder)");
  if (!ParseSubcommand(parser, args, 1))
    return ExitUsageError;
  SetUpGameFolder(parser);
  // A path, or a name that exists here, is decoded as given, so that the decoder says why it
  // cannot be read; any other bare name is resolved as the image cache resolves it.
  const std::string file = NameFromQt(parser.positionalArguments().first());
  std::string path = file;
  if (file.find('/') == std::string::npos && ::access(file.c_str(), F_OK) != 0) {
    path = ResolveFile(path);
    if (path.empty())
      return Fail("cannot read " + file + ": not found in the game folder");
  }
  QByteArray json;
  try {
    std::unique_ptr<TImageAnimation> image = DecodeImageFile(path);
    const int delay = image->NextFrame();
    // The editor draws what a damaged file holds; a pipeline is told it is damaged.
    if (const std::string defect = ImageDefect(*image); !defect.empty())
      return Fail(file + " is damaged: " + defect);
    json = QJsonDocument(ImageJson(*image, delay)).toJson(QJsonDocument::Indented);
  } catch (const std::exception &error) {
    return Fail(error.what());
  }
  return Print(json);
}
