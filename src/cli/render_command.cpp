// velk render FILE -o OUT.png: what the editor's canvas shows for an animation at a time, drawn
// by the editor's scene renderer on a canvas laid out as the window lays out a visible canvas.
#include <QBuffer>
#include <QRegularExpression>

#include "cli/command.h"
#include "cli/open_animation.h"
#include "model/editor_link.h"
#include "images/image_cache.h"
#include "scene/renderer.h"
#include "model/actor_attributes.h"
#include "platform/display.h"

namespace {

// The width of the window's sprite-list scroll bar: the strip starts right of it.
constexpr int ScrollBarWidth = 17;

bool ParseCanvas(const QString &text, int *width, int *height)
{
  const QRegularExpressionMatch match = QRegularExpression("^(\\d{1,4})x(\\d{1,4})$").match(text);
  if (!match.hasMatch())
    return false;
  *width = match.captured(1).toInt();
  *height = match.captured(2).toInt();
  return *width >= 1 && *height >= 1 && *width <= TDisplay::BufferSize && *height <= TDisplay::BufferSize;
}

// What the window does for the documents that actors load while the file is read and evaluated
// (a movie's characters and their animations): their sprite images join the image cache. The
// edited document itself is none of these, so nothing else of the window's behaviour applies.
class TRenderLink : public TEditorLink
{
public:
  explicit TRenderLink(TImageList &cache) : cache_(cache) { SetEditorLink(this); }
  ~TRenderLink() override { SetEditorLink(nullptr); }

  bool IsCurrentDocument(const TZeltoAni *) const override { return false; }
  void ClearHistory() override {}
  void ModifiedChanged(TZeltoAni *) override {}
  int GetCurrentFrame() const override { return 0; }
  int GetCurrentTime() const override { return 0; }
  void SetCurrentTime(int) override {}
  void EnsureImageLoaded(const std::string &name) override { cache_.EnsureImageLoaded(name); }

private:
  TImageList &cache_;
};

} // namespace

int RunRender(const QStringList &args)
{
  QCommandLineParser parser;
  parser.setApplicationDescription("Draws the editor's canvas for FILE at a time and writes it as a PNG image.");
  parser.addPositionalArgument("FILE", "an animation name (resolved in the game folder) or path");
  QCommandLineOption outOption({"o", "output"}, "The PNG file to write.", "OUT.png");
  QCommandLineOption timeOption("time", "The time in ticks (20 per second), default 0.", "T", "0");
  QCommandLineOption dirOption("dir", "The direction: 0 up, 1 left, 2 down (default), 3 right.", "D", "2");
  QCommandLineOption canvasOption("canvas", "The visible canvas, timeline band included (default 640x480).", "WxH",
                                  "640x480");
  QCommandLineOption zoomOption("zoom", "The view zoom, 1.0 to 16.0 (default 1.0).", "Z", "1.0");
  parser.addOptions({outOption, timeOption, dirOption, canvasOption, zoomOption});
  if (!ParseSubcommand(parser, args, 1))
    return ExitUsageError;
  bool timeOk = false, dirOk = false, zoomOk = false;
  const int time = parser.value(timeOption).toInt(&timeOk);
  const int dir = parser.value(dirOption).toInt(&dirOk);
  const double zoom = parser.value(zoomOption).toDouble(&zoomOk);
  int width = 0, height = 0;
  if (!parser.isSet(outOption) || parser.value(outOption).isEmpty())
    return Fail("-o OUT.png is required", ExitUsageError);
  if (!timeOk || time < 0)
    return Fail("--time needs a number of ticks of 0 or more", ExitUsageError);
  if (!dirOk || dir < 0 || dir > 3)
    return Fail("--dir must be 0, 1, 2 or 3", ExitUsageError);
  if (!ParseCanvas(parser.value(canvasOption), &width, &height))
    return Fail("--canvas must be WxH with sides from 1 to 1024", ExitUsageError);
  if (!zoomOk || !(zoom >= 1.0 && zoom <= 16.0))
    return Fail("--zoom must lie between 1.0 and 16.0", ExitUsageError);
  SetUpGameFolder(parser);

  // Surfaces are made as images load once the display is up, as in the window.
  TDisplay display;
  display.OnInitialize = RebuildImageSurfaces;
  display.OnFinalizeSurface = ReleaseImageSurfaces;
  display.Initialize();
  if (!display.CanDraw())
    return Fail("cannot create the drawing surface");

  TFixedImages fixed;
  TSurfaceOwner sprites, ride, shield, sword, soundIcon;
  sprites.Load("sprites.png");
  ride.Load("ride.png");
  shield.Load("shield1.png");
  sword.Load("sword1.png");
  soundIcon.Load("soundicon.png");
  fixed = {&sprites, &ride, &shield, &sword, &soundIcon};

  TImageList imageCache;
  TRenderLink link(imageCache);
  const QString file = parser.positionalArguments().first();
  LoadedAnimation loaded = OpenAnimation(file);
  if (!loaded.Ani)
    return Fail("cannot read " + PathFromQt(file));
  for (const auto &sprite : loaded.Ani->Sprites) {
    const std::string extension = sprite->Image.size() >= 4 ? sprite->Image.substr(sprite->Image.size() - 4) : "";
    const QString lower = QString::fromLatin1(extension.c_str()).toLower();
    if (lower == ".gif" || lower == ".png" || lower == ".mng")
      imageCache.EnsureImageLoaded(sprite->Image);
  }

  TZeltoActor &player = *loaded.Owner;
  player.Ani = loaded.Ani.get();
  player.Dir = dir;
  // The main actor wears the document's default head and body, as when the editor opens it.
  player.HeadImage->Load(loaded.Ani->DefaultHead);
  SetBody(&player, loaded.Ani->DefaultBody);
  ApplyDefaultSlots(&player, *loaded.Ani);
  ShowTime(&player, time);

  TSurface zoomSurface;
  TSceneState state;
  state.PanelClientWidth = width;
  state.PanelHeight = height;
  state.Zoom = zoom;
  state.EditActor = &player;
  state.ImageCache = &imageCache;
  state.Fixed = fixed;
  state.Display = &display;
  state.ZoomSurface = zoom > 1.0 ? &zoomSurface : nullptr;
  // The window's layout once shown: the strip right of the scroll bar, the origin centred in
  // the visible scene area.
  state.SpriteListLeft = ScrollBarWidth;
  const QPoint origin = LayoutOrigin(state);
  state.OriginX = origin.x();
  state.OriginY = origin.y();
  if (!loaded.Ani->IsMovie)
    state.Selection = {0};

  DrawScene(state);
  const QImage canvas = display.Surface().Image().copy(0, 0, width, height);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!canvas.save(&buffer, "PNG"))
    return Fail("cannot encode the image");
  return WriteOutput(parser.value(outOption), png) ? ExitOk : ExitInputError;
}
