// velk render FILE -o OUT.png: what the editor's canvas shows for an animation at a time, drawn
// by the editor's scene renderer on a canvas laid out as the window lays out a visible canvas.
#include <QBuffer>
#include <QRegularExpression>

#include "cli/animation_folder.h"
#include "cli/command.h"
#include "cli/open_animation.h"
#include "cli/output_set.h"
#include "model/actor_attributes.h"
#include "scene/scene_setup.h"

namespace {

// The width of the window's sprite-list scroll bar: the strip starts right of it.
constexpr int ScrollBarWidth = 17;

struct TRenderOptions
{
  QString Output;
  int Time = 0;
  int Dir = 2;
  int Width = 640, Height = 480;
  double Zoom = 1.0;
};

bool ParseCanvas(const QString &text, int *width, int *height)
{
  const QRegularExpressionMatch match = QRegularExpression("^(\\d{1,4})x(\\d{1,4})$").match(text);
  if (!match.hasMatch())
    return false;
  *width = match.captured(1).toInt();
  *height = match.captured(2).toInt();
  return *width >= 1 && *height >= 1 && *width <= TDisplay::BufferSize && *height <= TDisplay::BufferSize;
}

// Parses and checks the options; false after a usage error was printed.
bool ParseRenderOptions(const QStringList &args, QCommandLineParser &parser, TRenderOptions &options)
{
  QCommandLineOption outOption({"o", "output"}, "The PNG file to write.", "OUT.png");
  QCommandLineOption timeOption("time", "The time in ticks (20 per second), default 0.", "T", "0");
  QCommandLineOption dirOption("dir", "The direction: 0 up, 1 left, 2 down (default), 3 right.", "D", "2");
  QCommandLineOption canvasOption("canvas", "The visible canvas, timeline band included (default 640x480).", "WxH",
                                  "640x480");
  QCommandLineOption zoomOption("zoom", "The view zoom, 1.0 to 16.0 (default 1.0).", "Z", "1.0");
  parser.addOptions({outOption, timeOption, dirOption, canvasOption, zoomOption});
  if (!ParseFileCommand(parser, args, "Draws the editor's canvas for FILE at a time and writes it as a PNG image."))
    return false;
  bool dirOk = false, zoomOk = false;
  options.Dir = parser.value(dirOption).toInt(&dirOk);
  options.Zoom = parser.value(zoomOption).toDouble(&zoomOk);
  options.Output = parser.value(outOption);
  auto usage = [](const char *message) {
    Fail(message, ExitUsageError);
    return false;
  };
  if (!parser.isSet(outOption) || options.Output.isEmpty())
    return usage("-o OUT.png is required");
  if (!ParseTicks(parser.value(timeOption), &options.Time))
    return false;
  if (!dirOk || options.Dir < 0 || options.Dir > 3)
    return usage("--dir must be 0, 1, 2 or 3");
  if (!ParseCanvas(parser.value(canvasOption), &options.Width, &options.Height))
    return usage("--canvas must be WxH with sides from 1 to 1024");
  if (!zoomOk || !(options.Zoom >= 1.0 && options.Zoom <= 16.0))
    return usage("--zoom must lie between 1.0 and 16.0");
  return true;
}

} // namespace

int RunRender(const QStringList &args)
{
  QCommandLineParser parser;
  TRenderOptions options;
  if (!ParseRenderOptions(args, parser, options))
    return ExitUsageError;

  SetUpGameFolder(parser);
  const std::string output = NameFromQt(options.Output);
  if (const std::string input =
          TInputFiles({AnimationFile(NameFromQt(parser.positionalArguments().first()))}).Find(output);
      !input.empty())
    return Fail(output + " would overwrite the input " + input, ExitUsageError);

  // The canvas as the window sets it up: display first, so surfaces are made as images load.
  TSceneSetup setup;
  setup.InitializeDisplay();
  if (!setup.Display.CanDraw())
    return Fail("cannot create the drawing surface");
  TImageCacheLink link(setup);
  LoadedAnimation loaded;
  if (!OpenFileArgument(parser, loaded))
    return ExitInputError;
  // In the animation's folder, as the editor started with it loads them.
  setup.LoadFixedImages();
  RegisterSpriteImages(*loaded.Ani);

  TZeltoActor &player = *loaded.Owner;
  player.Ani = loaded.Ani.get();
  player.Dir = options.Dir;
  // The main actor wears the document's default head and body, as when the editor opens it.
  player.HeadImage->Load(loaded.Ani->DefaultHead);
  SetBody(&player, loaded.Ani->DefaultBody);
  ApplyDefaultSlots(&player, *loaded.Ani);
  ShowTime(&player, options.Time);

  // The window's layout once shown: the strip right of the scroll bar, the origin centred in the
  // visible scene area.
  setup.Scene.SpriteListLeft = ScrollBarWidth;
  setup.LayOut(options.Width, options.Height, ScrollBarWidth);
  setup.SetZoom(options.Zoom);
  setup.Scene.EditActor = &player;
  if (!loaded.Ani->IsMovie)
    setup.Scene.Selection = {0};
  setup.Draw();

  const QImage canvas = setup.Display.Surface().Image().copy(0, 0, options.Width, options.Height);
  loaded.Folder.Leave();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!canvas.save(&buffer, "PNG"))
    return Fail("cannot encode the image");
  return WriteOutputFile(output, png);
}
