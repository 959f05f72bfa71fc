// Rendered canvases checked pixel by pixel: background, guides, the timeline band, clipped and
// colour-keyed images, body colours, attachments, movie paint order; and hit testing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>

#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/document.h"
#include "platform/display.h"
#include "platform/surface_canvas.h"
#include "scene/renderer.h"

namespace {

// An indexed image made in memory: pixels are palette indices, the palette 0xRRGGBB values.
class TestImage : public TImageAnimation
{
public:
  TestImage(int width, int height, const std::vector<uint8_t> &pixels, const std::vector<int> &palette, int transparent)
  {
    Width = width;
    Height = height;
    CreateBitmap();
    for (int y = 0; y < height; ++y)
      std::memcpy(Bitmap.scanLine(y), pixels.data() + y * width, width);
    for (size_t i = 0; i < palette.size(); ++i) {
      Palette[i * 3] = uint8_t(palette[i] >> 16);
      Palette[i * 3 + 1] = uint8_t(palette[i] >> 8);
      Palette[i * 3 + 2] = uint8_t(palette[i]);
    }
    ColorCount = int(palette.size());
    TransparentIndex = transparent;
    ApplyPalette();
  }
  int NextFrame() override { return 0; }

protected:
  bool Parse() override { return true; }
};

void Install(TSurfaceOwner &owner, int width, int height, const std::vector<uint8_t> &pixels,
             const std::vector<int> &palette, int transparent)
{
  owner.SetImage(std::make_unique<TestImage>(width, height, pixels, palette, transparent));
}

constexpr int Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, White = 0xFFFFFF, Key = 0xFF00FF;

// The canvas of a window whose panel is 600 x 400 with the strip right of a 17-pixel scroll
// bar, showing a document whose sprites are cut from a 4 x 4-cell SPRITES image of solid
// colours (cell (i, 0) of colour index i + 1, with a transparent hole at its centre).
class RendererTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    display.OnInitialize = RebuildImageSurfaces;
    display.OnFinalizeSurface = ReleaseImageSurfaces;
    display.Initialize();
    ASSERT_TRUE(display.CanDraw());
    // 40 x 10: four 10 x 10 cells in red, green, blue and white; each cell's pixel (5, 5) keyed.
    std::vector<uint8_t> pixels(40 * 10);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 40; ++x)
        pixels[y * 40 + x] = (x % 10 == 5 && y == 5) ? 0 : uint8_t(x / 10 + 1);
    Install(sprites, 40, 10, pixels, {Key, Red, Green, Blue, White}, 0);
    Install(soundIcon, 2, 2, {1, 1, 1, 0}, {Key, White}, 0);

    actor = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
    ani = std::make_unique<TZeltoAni>();
    for (int i = 0; i < 4; ++i)
      AddSprite(i, "SPRITES", i * 10, 0, 10, 10);
    actor->Ani = ani.get();

    state.PanelClientWidth = 600;
    state.PanelHeight = 400;
    state.SpriteListLeft = 17;
    state.OriginX = 300;
    state.OriginY = 150;
    state.EditActor = actor.get();
    state.Fixed.Sprites = &sprites;
    state.Fixed.SoundIcon = &soundIcon;
    state.Display = &display;
  }

  TZeltoAniSprite *AddSprite(int index, const std::string &image, int left, int top, int width, int height)
  {
    auto sprite = std::make_unique<TZeltoAniSprite>();
    sprite->Index = index;
    sprite->Image = image;
    sprite->Left = left;
    sprite->Top = top;
    sprite->Width = width;
    sprite->Height = height;
    ani->Sprites.push_back(std::move(sprite));
    return ani->Sprites.back().get();
  }

  // A frame of the given duration whose four directions are empty.
  TZeltoAniStep *AddFrame(int duration)
  {
    auto step = std::make_unique<TZeltoAniStep>();
    step->Duration = duration;
    step->Directions.resize(DirectionCount);
    ani->Steps.push_back(std::move(step));
    RecomputeStartTicks(ani.get());
    return ani->Steps.back().get();
  }

  static void AddPart(TZeltoAniStep *step, int dir, TZeltoAniSprite *sprite, int x, int y)
  {
    auto part = std::make_unique<TZeltoAniPart>();
    part->Sprite = sprite;
    part->X = x;
    part->Y = y;
    step->Directions[dir].push_back(std::move(part));
  }

  int At(int x, int y) const { return int(display.Surface().Pixel(x, y) & 0xFFFFFF); }
  int SceneAt(int x, int y) const { return At(state.OriginX + x, state.OriginY + y); }
  int T() const { return state.Geometry.TimelineTop; }

  TDisplay display;
  TSurfaceOwner sprites, soundIcon;
  std::unique_ptr<TZeltoActor> actor;
  std::unique_ptr<TZeltoAni> ani;
  TSceneState state;
};

TEST_F(RendererTest, BackgroundStripAndBandTakeTheBackColour)
{
  AddFrame(4);
  ani->BackColor = 0x000040;
  DrawScene(state);
  EXPECT_EQ(At(20, 100), 0x004040);  // strip: light
  EXPECT_EQ(At(400, 20), 0x000040);  // scene: background
  EXPECT_EQ(At(599, 349), 0x000040); // the scene's last pixel
  EXPECT_EQ(At(300, T() + 2), 0x004040);
  EXPECT_EQ(At(5, T() + 30), 0xC0C0FF); // the time box's frame in light ink

  // Without a document: the default green, the strip, and no band.
  actor->Ani = nullptr;
  display.Surface().Fill(0x123456);
  DrawScene(state);
  EXPECT_EQ(At(400, 20), 0x008000);
  EXPECT_EQ(At(20, 100), 0x00C000);
  EXPECT_EQ(At(300, 360), 0x123456);
  EXPECT_EQ(At(5, 360), 0x123456);
}

TEST_F(RendererTest, GuidesAreDottedInGuideColour)
{
  DrawScene(state);
  const int guide = 0x00A000, gap = 0x008000;
  auto dotted = [&](std::vector<QPoint> points) {
    int dots = 0;
    for (const QPoint &p : points) {
      const int c = At(p.x(), p.y());
      EXPECT_TRUE(c == guide || c == gap) << p.x() << "," << p.y();
      dots += c == guide;
    }
    EXPECT_GT(dots, int(points.size()) / 3);
    EXPECT_LT(dots, int(points.size()));
  };
  std::vector<QPoint> vertical, horizontal, boxRight, boxBottom;
  for (int i = 0; i < 40; ++i) {
    vertical.push_back(QPoint(300, 10 + i));
    horizontal.push_back(QPoint(100 + i, 150));
    boxRight.push_back(QPoint(348, 152 + i));
    boxBottom.push_back(QPoint(302 + i, 198));
  }
  dotted(vertical);
  dotted(horizontal);
  dotted(boxRight);
  dotted(boxBottom);
  EXPECT_EQ(At(301, 10), 0x008000); // one pixel wide
  EXPECT_EQ(At(349, 170), 0x008000);
  EXPECT_EQ(At(60, 150), 0x00C000); // the horizontal guide starts right of the strip
}

TEST_F(RendererTest, RulerTickMarksFollowTheScale)
{
  // Ruler 80..585 (505 pixels). Length 10: 12 ticks, 841 pixels per second, every mark.
  AddFrame(10);
  actor->CurrentTime = 3; // the time triangle covers the marks at its tick
  DrawScene(state);
  const int ink = 0;
  auto markTop = [&](int t) {
    const int x = RulerX(state.Geometry, t);
    int top = T() + 29;
    while (top > T() && At(x, top - 1) == ink && At(x - 1, top - 1) == ink)
      --top;
    return top - T();
  };
  EXPECT_EQ(state.Geometry.TimelineTicks, 12);
  EXPECT_EQ(markTop(0), 20);
  EXPECT_EQ(markTop(5), 25);
  EXPECT_EQ(markTop(1), 27);
  EXPECT_EQ(At(RulerX(state.Geometry, 1) + 1, T() + 28), 0x00C000); // two pixels wide
  // The ruler line: from TimelineLeft - 1 to TimelineRight, rows 29 and 30.
  EXPECT_EQ(At(79, T() + 29), ink);
  EXPECT_EQ(At(585, T() + 30), ink);
  EXPECT_EQ(At(586, T() + 30), 0x00C000);

  // Length 400: 480 ticks, 21 pixels per second: fifths drawn, single ticks not.
  ani->Steps.front()->Duration = 400;
  RecomputeStartTicks(ani.get());
  actor->CurrentTime = 300;
  DrawScene(state);
  EXPECT_EQ(state.Geometry.TimelineTicks, 480);
  EXPECT_EQ(markTop(5), 25);
  EXPECT_EQ(markTop(40), 20);
  EXPECT_EQ(markTop(3), 29);

  // Length 100: 120 ticks, 84 pixels per second: single ticks drawn again.
  ani->Steps.front()->Duration = 100;
  RecomputeStartTicks(ani.get());
  actor->CurrentTime = 50;
  DrawScene(state);
  EXPECT_EQ(markTop(3), 27);
  EXPECT_EQ(markTop(30), 23);
}

TEST_F(RendererTest, HugeLengthsDrawInBoundedTime)
{
  // A movie's length comes straight from its file; the ruler must not visit every tick.
  ani->IsMovie = true;
  ani->Length = 2000000000;
  const auto start = std::chrono::steady_clock::now();
  DrawScene(state);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(At(200, T() + 25), 0); // the marks cover the ruler
}

TEST_F(RendererTest, FrameBarsEndMarkerAndTimeTriangle)
{
  AddFrame(4);
  AddFrame(6);
  actor->CurrentTime = 4;
  state.LastFrameIndex = 1;
  DrawScene(state);
  const TCanvasGeometry &g = state.Geometry;
  const int x4 = RulerX(g, 4), x10 = RulerX(g, 10);
  EXPECT_EQ(At((80 + x4) / 2, T() + 10), Blue);
  EXPECT_EQ(At((x4 + x10) / 2, T() + 10), Red); // the last frame whose length was dragged
  EXPECT_EQ(At((80 + x4) / 2, T() + 4), 0x00C000);
  EXPECT_EQ(At((80 + x4) / 2, T() + 15), 0x00C000);
  // End marker: a red square with an ink outline around X(length).
  EXPECT_EQ(At(x10, T() + 21), Red);
  EXPECT_EQ(At(x10 - 5, T() + 21), 0);
  // Time triangle at X(4), pointing right.
  EXPECT_EQ(At(x4 - 3, T() + 21), Red);
  EXPECT_EQ(At(x4 + 4, T() + 17), 0x00C000);

  // While frame 0's length is dragged, it is the red one.
  state.LastFrameIndex = -1;
  state.DragFrameIndex = 0;
  state.DragMode = FrameLengthDragMode;
  DrawScene(state);
  EXPECT_EQ(At((80 + x4) / 2, T() + 10), Red);
  EXPECT_EQ(At((x4 + x10) / 2, T() + 10), Blue);

  // A frame shorter than 10 pixels still gets a 10-pixel bar.
  ani->Steps[1]->Duration = 200;
  RecomputeStartTicks(ani.get());
  DrawScene(state);
  const int start = RulerX(state.Geometry, 0);
  EXPECT_EQ(At(start + 7, T() + 10), Red);
}

// The current time stands inside its frame under "Time": no ink of it below or left of the frame,
// whatever the number (the fonts packaged as stand-ins for "Courier New" keep its metrics).
TEST_F(RendererTest, TheTimeFitsItsFrame)
{
  AddFrame(40000);
  for (int time : {0, 1235, 39999}) {
    SCOPED_TRACE(time);
    actor->CurrentTime = time;
    DrawScene(state);
    int inside = 0;
    for (int y = T() + 24; y <= T() + 40; ++y)
      for (int x = 6; x <= 63; ++x)
        inside += At(x, y) == 0;
    EXPECT_GT(inside, 20) << "the digits are drawn";
    for (int y = T() + 23; y < T() + 50; ++y)
      for (int x = 0; x < 75; ++x) {
        const bool frame = (x >= 5 && x <= 64 && (y == T() + 23 || y == T() + 41 || y == T() + 42)) ||
                           ((x == 5 || x == 64 || x == 65) && y <= T() + 42);
        if (!frame && (y > T() + 42 || x < 5))
          ASSERT_NE(At(x, y), 0) << "ink outside the frame at (" << x << ", " << y - T() << ")";
      }
  }
}

// The band keeps its ruler and bars between updates and draws one bar per start pixel: after
// random changes of frames, marks and time, each update must equal an update drawn from nothing,
// and its bar strip must equal every bar drawn in frame order (key marks likewise in a movie,
// their keys out of order and repeated).
TEST_F(RendererTest, TheKeptBandDrawsWhatDrawingEveryMarkDraws)
{
  std::mt19937 random(24);
  auto bandOf = [this](const QImage &image) { return image.copy(0, T(), state.Geometry.Width, DefaultTimelineHeight); };
  auto band = [&] { return bandOf(display.Surface().Image()); };
  // The rows of the frame bars and key marks, right of the time.
  auto strip = [](const QImage &band) { return band.copy(75, 4, band.width() - 75, 12); };
  auto fresh = [&] {
    TTimelineBandCache none;
    std::swap(state.TimelineBand, none);
    DrawScene(state);
    std::swap(state.TimelineBand, none);
    return band();
  };
  // The mark strip as drawn by draw over the band's light colour with the ink pen.
  auto everyMark = [&](auto draw) {
    TSurface every;
    every.SetSize(display.Surface().Width(), display.Surface().Height());
    every.Fill(0x00C000);
    TSurfaceCanvas canvas(every);
    canvas.SetPen(0xFF000000);
    draw(canvas);
    canvas.Release();
    return strip(bandOf(every.Image()));
  };
  for (int i = 0; i < 3000; ++i)
    AddFrame(1 + int(random() % (i % 100 == 0 ? 400 : 12)));
  for (int round = 0; round < 40; ++round) {
    switch (round % 4) {
    case 0: { // ticks moved from one frame to the next: the length stays
      const size_t i = random() % 2 ? random() % (ani->Steps.size() - 1) : random() % 29 * 100;
      const int moved = int(random() % ani->Steps[i]->Duration);
      ani->Steps[i]->Duration -= moved;
      ani->Steps[i + 1]->Duration += moved;
      RecomputeStartTicks(ani.get());
      break;
    }
    case 1: // the red frames, one kind at a time: the last (its bar always shows), or any
      if (round / 4 % 2) {
        state.LastFrameIndex = state.LastFrameIndex < 0 ? int(ani->Steps.size()) - 1 : -1;
      } else {
        state.DragFrameIndex = round % 3 ? int(random() % ani->Steps.size()) : int(ani->Steps.size()) - 1;
        state.DragMode = state.DragMode == FrameLengthDragMode ? 0 : FrameLengthDragMode;
      }
      break;
    case 2: // the time
      actor->CurrentTime = int(random() % ani->Length);
      break;
    case 3: // the length, through the last frame
      SetLength(ani.get(), ani->Length + int(random() % 30) - 10);
      break;
    }
    DrawScene(state);
    const QImage kept = band();
    ASSERT_EQ(kept, fresh()) << "round " << round;
    ASSERT_EQ(strip(kept), everyMark([&](TSurfaceCanvas &canvas) {
                for (size_t i = 0; i < ani->Steps.size(); ++i) {
                  const TZeltoAniStep &step = *ani->Steps[i];
                  const int x1 = RulerX(state.Geometry, step.StartTick);
                  const int x2 = std::max(RulerX(state.Geometry, step.StartTick + step.Duration), x1 + 10);
                  const bool red = (int(i) == state.DragFrameIndex && state.DragMode == FrameLengthDragMode) ||
                                   int(i) == state.LastFrameIndex;
                  canvas.SetBrush(0xFF000000 | (red ? Red : Blue));
                  canvas.RoundRect(x1, T() + 5, x2 - 1, T() + 15, 8, 8);
                }
              }))
        << "round " << round;
  }

  ani->IsMovie = true;
  ani->Length = 400;
  TZeltoActor selected(actor.get(), 1);
  state.SelectedActor = &selected;
  for (int round = 0; round < 10; ++round) {
    for (int k = 0; k < 200; ++k) {
      selected.Keys.push_back(std::make_unique<TZeltoActorMod>());
      selected.Keys.back()->Time = int(random() % 600);
    }
    DrawScene(state);
    const QImage kept = band();
    ASSERT_EQ(kept, fresh()) << "movie round " << round;
    ASSERT_EQ(strip(kept), everyMark([&](TSurfaceCanvas &canvas) {
                canvas.SetBrush(0xFF000000 | Blue);
                for (const auto &key : selected.Keys)
                  canvas.Ellipse(RulerX(state.Geometry, key->Time) - 5, T() + 5, RulerX(state.Geometry, key->Time) + 5,
                                 T() + 15);
              }))
        << "movie round " << round;
  }
  state.SelectedActor = nullptr;
}

TEST_F(RendererTest, PartsAreColourKeyedAndClippedNotShifted)
{
  TZeltoAniStep *step = AddFrame(1);
  AddPart(step, 2, ani->Sprites[0].get(), 0, 0); // red
  AddPart(step, 2, ani->Sprites[1].get(), 4, 0); // green over it
  DrawScene(state);
  EXPECT_EQ(SceneAt(0, 0), Red);
  EXPECT_EQ(SceneAt(4, 0), Green);
  EXPECT_EQ(SceneAt(13, 9), Green);
  EXPECT_EQ(SceneAt(9, 5), Red); // green's keyed centre shows red below
  EXPECT_EQ(SceneAt(14, 5), 0x008000);

  // Left of the canvas: cut at x 0, so what remains stays where it was.
  step->Directions[2].pop_back();
  state.OriginX = -3;
  DrawScene(state);
  EXPECT_EQ(At(0, 150), Red); // red's column 3
  EXPECT_EQ(At(1, 155), Red);
  EXPECT_NE(At(2, 155), Red); // column 5 of row 5 is keyed
  EXPECT_EQ(At(3, 155), Red);
  EXPECT_EQ(At(6, 150), Red);
  EXPECT_NE(At(7, 150), Red);
  // Below the scene: cut at the scene height, the band stays the band.
  state.OriginX = 300;
  state.OriginY = state.Geometry.SceneHeight - 3;
  DrawScene(state);
  EXPECT_EQ(At(300, T() - 1), Red);
  EXPECT_EQ(At(300, T()), 0x00C000);
  // Wholly outside: nothing drawn.
  state.OriginX = -20;
  DrawScene(state);
  EXPECT_NE(At(0, state.OriginY), Red);
}

TEST_F(RendererTest, ZoomMagnifiesTheSceneAboutItsCentre)
{
  TZeltoAniStep *step = AddFrame(1);
  AddPart(step, 2, ani->Sprites[2].get(), 0, 0); // blue 10 x 10
  TSurface zoomSurface;
  zoomSurface.SetSize(10, 10);
  state.ZoomSurface = &zoomSurface;
  state.Zoom = 2.0;
  const TCanvasGeometry g = ComputeCanvasGeometry(state);
  state.OriginX = g.SceneViewRect.left(); // the part at the source's top-left corner
  state.OriginY = g.SceneViewRect.top();
  DrawScene(state);
  EXPECT_EQ(zoomSurface.Width(), 600); // resized to the canvas
  EXPECT_EQ(zoomSurface.Height(), 350);
  EXPECT_EQ(state.Geometry.SceneViewRect, QRect(67 + 133, 88, 266, 174));
  const QRect &view = state.Geometry.ViewRect;
  EXPECT_EQ(At(view.left(), view.top()), Blue);
  EXPECT_EQ(At(view.left() + 19, 19), Blue);     // 10 source pixels become about 20
  EXPECT_EQ(At(view.left() + 11, 11), 0x008000); // the keyed centre, magnified
  EXPECT_EQ(At(view.left() + 24, 24), 0x008000);
  EXPECT_EQ(At(20, 100), 0x00C000); // the strip is not magnified
}

TEST_F(RendererTest, BodiesTakeThePlayersColoursUnlessNumberedFromHundred)
{
  TZeltoAniSprite *body = AddSprite(10, "BODY", 0, 0, 6, 1);
  TZeltoAniStep *step = AddFrame(1);
  AddPart(step, 2, body, 0, 0);
  // Pixels in the palette entries 5, 6, 4, 3 and 1, then an ordinary entry 2.
  const std::vector<int> palette = {Key, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666};
  auto drawnColours = [&] {
    DrawScene(state);
    std::vector<int> colours;
    for (int x = 0; x < 6; ++x)
      colours.push_back(SceneAt(x, 0));
    return colours;
  };
  for (const char *file : {"body.png", "body99.png"}) {
    SetBody(actor.get(), file);
    Install(*actor->BodyImage, 6, 1, {1, 6, 3, 5, 4, 2}, palette, 0);
    // Default colours 2, 17, 11, 12, 18: orange, gray, darkblue, brown, black.
    EXPECT_EQ(drawnColours(), (std::vector<int>{0x292929, 0x848484, 0x840000, 0xFFAD6B, 0x0000C6, 0x222222})) << file;
  }
  actor->Colors[0] = 4; // red into slot 5
  EXPECT_EQ(drawnColours()[3], Red);

  SetBody(actor.get(), "body100.png");
  Install(*actor->BodyImage, 6, 1, {1, 6, 3, 5, 4, 2}, palette, 0);
  EXPECT_EQ(drawnColours(), (std::vector<int>{0x111111, 0x666666, 0x333333, 0x555555, 0x444444, 0x222222}));
}

TEST_F(RendererTest, AttachmentsDrawAndCyclesEnd)
{
  TZeltoAniSprite *a = ani->Sprites[0].get(); // red
  TZeltoAniSprite *b = ani->Sprites[1].get(); // green
  a->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{b, 10, 0}));
  b->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{a, 10, 0}));
  a->Attachments.push_back(std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{a, 0, 10}));
  TZeltoAniStep *step = AddFrame(1);
  AddPart(step, 2, a, 0, 0);
  DrawScene(state);
  EXPECT_EQ(SceneAt(0, 0), Red);
  EXPECT_EQ(SceneAt(10, 0), Green);    // the attachment
  EXPECT_EQ(SceneAt(22, 2), 0x008000); // b's attachment is a again: not drawn inside a
  EXPECT_EQ(SceneAt(2, 12), 0x008000); // a attached to itself: not drawn
  // Hit testing follows the same chains: a, then its first-level attachment b.
  EXPECT_EQ(PartAt(state, actor.get(), 12, 2), 0);
  EXPECT_EQ(PartAt(state, actor.get(), 22, 2), -1);
  EXPECT_EQ(PartAt(state, actor.get(), 2, 12), -1);

  // Drawn in the sprite strip too, without recursing.
  ani->Sprites[1]->Attachments.push_back(
      std::make_unique<TZeltoSpriteAttachment>(TZeltoSpriteAttachment{ani->Sprites[1].get(), 0, 0}));
  DrawScene(state);
  EXPECT_EQ(At(17 + 20, 5), Red); // first entry: a (10 wide, centred in the 50-pixel strip)
}

TEST_F(RendererTest, HighlightInvertsTheOutlineForAWhileAfterAClick)
{
  TZeltoAniStep *step = AddFrame(1);
  AddPart(step, 2, ani->Sprites[3].get(), 0, 0); // white
  state.Selection = {0};
  DrawScene(state);
  EXPECT_EQ(SceneAt(0, 0), White);
  state.RedrawCountdown = 20;
  DrawScene(state);
  EXPECT_EQ(SceneAt(0, 0), 0x000000);
  EXPECT_EQ(SceneAt(9, 9), 0x000000);
  EXPECT_EQ(SceneAt(1, 1), White);
  EXPECT_EQ(SceneAt(4, 0), 0x000000);
}

TEST_F(RendererTest, SoundIconMarksSoundsDueNow)
{
  TZeltoAniStep *step = AddFrame(3);
  step->Sounds.push_back(std::make_unique<TZeltoAniSound>(TZeltoAniSound{"step.wav", 30, 0, 2}));
  DrawScene(state);
  EXPECT_EQ(SceneAt(30, 0), 0x008000);
  actor->FrameTick = 1;
  DrawScene(state);
  EXPECT_EQ(SceneAt(30, 0), White);
  EXPECT_EQ(SceneAt(31, 1), 0x008000); // keyed pixel
}

TEST_F(RendererTest, HitTestingSeesThroughTransparentPixels)
{
  TZeltoAniStep *step = AddFrame(1);
  AddPart(step, 2, ani->Sprites[0].get(), 0, 0);
  AddPart(step, 2, ani->Sprites[1].get(), 0, 0);
  EXPECT_EQ(PartAt(state, actor.get(), 3, 3), 1);  // the later part
  EXPECT_EQ(PartAt(state, actor.get(), 5, 5), -1); // both keyed there
  ani->Sprites[1]->Left = 20;                      // blue now: the keyed pixel is the same
  step->Directions[2][0]->X = 1;                   // red moved right by one
  EXPECT_EQ(PartAt(state, actor.get(), 5, 5), 0);  // through the top part's hole to red
  EXPECT_EQ(PartAt(state, actor.get(), 10, 0), 0);
  EXPECT_EQ(PartAt(state, actor.get(), 11, 0), -1);
  EXPECT_TRUE(ActorMissesPoint(state, actor.get(), 11, 0));
  EXPECT_FALSE(ActorMissesPoint(state, actor.get(), 0, 0));
  actor->FrameIndex = 3;
  EXPECT_EQ(PartAt(state, actor.get(), 3, 3), -1);
}

TEST_F(RendererTest, MovieActorsPaintByLayerThenDepthThenName)
{
  ani->IsMovie = true;
  auto addSprite = [&](const std::string &name, int sprite, int layer, int dy) {
    auto a = std::make_unique<TZeltoActor>(actor.get(), akSprite);
    a->Name = name;
    a->Sprite = ani->Sprites[sprite].get();
    a->Layer = layer;
    a->DY = dy;
    ani->Actors.push_back(std::move(a));
    return ani->Actors.back().get();
  };
  TZeltoActor *red = addSprite("b", 0, 2, 0);
  TZeltoActor *green = addSprite("a", 1, 1, 5);
  DrawScene(state);
  EXPECT_EQ(SceneAt(2, 6), Red); // layer 2 in front of layer 1
  green->Layer = 2;
  DrawScene(state);
  EXPECT_EQ(SceneAt(2, 6), Green); // same layer: lower on screen in front
  green->DY = 0;
  DrawScene(state);
  EXPECT_EQ(SceneAt(2, 2), Red); // same place: by name, "b" after "a"
  red->Visible = false;
  DrawScene(state);
  EXPECT_EQ(SceneAt(2, 2), Green);

  // Hit testing a movie: any actor, visible or not.
  EXPECT_FALSE(ActorMissesPoint(state, actor.get(), 2, 2));
  EXPECT_TRUE(ActorMissesPoint(state, actor.get(), 5, 5));
  EXPECT_TRUE(ActorMissesPoint(state, actor.get(), 30, 2));
}

TEST_F(RendererTest, TextActorsKeepTheirLineRectanglesForHitTesting)
{
  ani->IsMovie = true;
  auto text = std::make_unique<TZeltoActor>(actor.get(), akText);
  text->Text = "Hello";
  text->FontName = "Arial";
  text->DX = 10;
  TZeltoActor *t = text.get();
  ani->Actors.push_back(std::move(text));
  DrawScene(state);
  ASSERT_EQ(t->TextRects.size(), 1u);
  const TTextRect r = t->TextRects[0];
  EXPECT_EQ(r.Left, 0);
  EXPECT_EQ(r.Top, 0);
  EXPECT_GT(r.Right, 10);
  EXPECT_GT(r.Bottom, 5);
  EXPECT_FALSE(ActorMissesPoint(state, t, 1, 1));
  EXPECT_TRUE(ActorMissesPoint(state, t, r.Right, 1));

  t->Zoom = 0; // nothing drawn, the old rectangles stay
  DrawScene(state);
  EXPECT_EQ(t->TextRects.size(), 1u);
}

TEST_F(RendererTest, ImageLookupFollowsThePlayersLook)
{
  TZeltoAniSprite sprite;
  sprite.Image = "HEAD";
  auto child = std::make_unique<TZeltoActor>(actor.get(), akCharacter);
  EXPECT_EQ(ImageForSprite(state, child.get(), &sprite), child->HeadImage.get());
  child->PlayerLook = true;
  EXPECT_EQ(ImageForSprite(state, child.get(), &sprite), actor->HeadImage.get());
  sprite.Image = "PARAM3";
  EXPECT_EQ(ImageForSprite(state, actor.get(), &sprite), actor->ParamImages[2].get());
  sprite.Image = "ATTR9";
  EXPECT_EQ(ImageForSprite(state, actor.get(), &sprite), actor->AttrImages[8].get());
  for (const char *name : {"PARAM9", "ATTR0", "PARAM", "PARAMx", "ATTR+1", "head", "unknown.png"}) {
    sprite.Image = name;
    EXPECT_EQ(ImageForSprite(state, actor.get(), &sprite), nullptr) << name;
  }
  sprite.Image = "SPRITES";
  EXPECT_EQ(ImageForSprite(state, actor.get(), &sprite), &sprites);

  // Parts and sprite actors without a definition take one by a slot's value.
  TZeltoAniPart part;
  part.ParamSlot = 2;
  actor->ParamValues[1] = 3;
  EXPECT_EQ(SpriteOfPart(actor.get(), &part), ani->Sprites[3].get());
  actor->ParamValues[1] = 99;
  part.AttrSlot = 1;
  actor->AttrValues[0] = 2;
  EXPECT_EQ(SpriteOfPart(actor.get(), &part), ani->Sprites[2].get());
  part.ParamSlot = part.AttrSlot = 0;
  EXPECT_EQ(SpriteOfPart(actor.get(), &part), nullptr);
}

} // namespace

TEST_F(RendererTest, OnionSkinShowsTheNeighbouringFramesFaintlyAndNothingWhenOff)
{
  // Frame 0: red at (0, 0) and (21, 0); frame 1: green at (20, 0); frame 2: blue at (40, 0).
  // Direction 1 of frame 0 holds white, to see that only the current direction shows.
  TZeltoAniStep *before = AddFrame(1);
  TZeltoAniStep *current = AddFrame(1);
  TZeltoAniStep *after = AddFrame(1);
  AddPart(before, 2, ani->Sprites[0].get(), 0, 0);
  AddPart(before, 2, ani->Sprites[0].get(), 21, 0);
  AddPart(before, 1, ani->Sprites[3].get(), 60, 0);
  AddPart(current, 2, ani->Sprites[1].get(), 20, 0);
  AddPart(after, 2, ani->Sprites[2].get(), 40, 0);
  actor->FrameIndex = 1;
  actor->Dir = 2;

  // Off: the canvas is the one drawn without the neighbouring frames at all.
  DrawScene(state);
  const QImage off = display.Surface().Image().copy();
  std::swap(before->Directions[2], after->Directions[1]); // both out of sight
  DrawScene(state);
  EXPECT_EQ(display.Surface().Image(), off);
  std::swap(before->Directions[2], after->Directions[1]);

  // On: a third of the neighbour over two thirds of the background (0x008000).
  state.OnionSkin = true;
  DrawScene(state);
  EXPECT_EQ(SceneAt(0, 0), 0x555500) << "red, faint";
  EXPECT_EQ(SceneAt(40, 9), 0x005555) << "blue, faint";
  EXPECT_EQ(SceneAt(5, 5), 0x008000) << "a neighbour's keyed pixel stays background";
  EXPECT_EQ(SceneAt(20, 0), Green) << "the current frame lies over its neighbours";
  EXPECT_EQ(SceneAt(25, 5), 0x555500) << "its keyed pixel shows the neighbour below";
  EXPECT_EQ(SceneAt(60, 0), 0x008000) << "other directions stay hidden";
  EXPECT_EQ(At(20, 5), 0x00C000) << "the strip is not touched";

  // The first frame has only a next one.
  actor->FrameIndex = 0;
  DrawScene(state);
  EXPECT_EQ(SceneAt(0, 0), Red);
  EXPECT_EQ(SceneAt(26, 5), 0x00AA00) << "green, faint, through red's keyed pixel";
  EXPECT_EQ(SceneAt(40, 0), 0x008000) << "two frames on is not shown";
}
