// DrawScene on a 1024 x 768 canvas, for the bundled walk animation and for a frame of 500
// parts, each against the floor for the same picture: one fill of the whole canvas plus one
// plain copy of every sprite rectangle the update draws.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "images/file_index.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/document.h"
#include "model/reader.h"
#include "platform/display.h"
#include "ratio_report.h"
#include "scene/renderer.h"

namespace {

struct Scene
{
  TDisplay display;
  TSurfaceOwner sprites, ride, shield, sword, soundIcon;
  TImageList imageCache;
  std::unique_ptr<TZeltoActor> player;
  std::unique_ptr<TZeltoAni> ani;
  TSceneState state;
  std::vector<QRect> drawn; // every sprite rectangle on the canvas, for the floor
  TSurface plain;           // an unkeyed source for the floor's copies

  void Open(std::unique_ptr<TZeltoAni> document)
  {
    ani = std::move(document);
    player->Ani = ani.get();
    player->HeadImage->Load(ani->DefaultHead);
    SetBody(player.get(), ani->DefaultBody);
    ApplyDefaultSlots(player.get(), *ani);
    state.PanelClientWidth = 1024;
    state.PanelHeight = 768;
    state.SpriteListLeft = 17;
    const QPoint origin = LayoutOrigin(state);
    state.OriginX = origin.x();
    state.OriginY = origin.y();
    state.EditActor = player.get();
    state.ImageCache = &imageCache;
    state.Fixed = {&sprites, &ride, &shield, &sword, &soundIcon};
    state.Display = &display;
    CollectDrawn();
    plain.SetSize(64, 64);
    plain.Fill(0x336699);
  }

  void AddSprite(const TZeltoAniSprite *sprite, int x, int y, int depth = 0)
  {
    if (!sprite || depth > MaxAttachmentDepth)
      return;
    drawn.push_back(QRect(x, y, sprite->Width, sprite->Height));
    for (const auto &a : sprite->Attachments)
      AddSprite(a->Sprite, x + a->X, y + a->Y, depth + 1);
  }

  void CollectDrawn()
  {
    drawn.clear();
    const TCanvasGeometry g = ComputeCanvasGeometry(state);
    for (const auto &part : ani->Steps[0]->Directions[player->Dir])
      AddSprite(part->Sprite, state.OriginX + part->X, state.OriginY + part->Y);
    int y = 0;
    for (const auto &sprite : ani->Sprites) {
      if (y + 5 < g.SceneHeight)
        AddSprite(sprite.get(), state.SpriteListLeft + (50 - sprite->Width) / 2, y + 5);
      y += sprite->Height + 10;
    }
  }
};

Scene &MakeScene()
{
  static Scene *scene = [] {
    UseGameFolder(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game");
    auto *s = new Scene;
    s->display.OnInitialize = RebuildImageSurfaces;
    s->display.Initialize();
    s->sprites.Load("sprites.png");
    s->ride.Load("ride.png");
    s->shield.Load("shield1.png");
    s->sword.Load("sword1.png");
    s->soundIcon.Load("soundicon.png");
    s->player = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
    return s;
  }();
  return *scene;
}

Scene &WalkScene()
{
  Scene &scene = MakeScene();
  if (!scene.ani || scene.ani->Name != "walk")
    scene.Open(ReadAnimation(scene.player.get(), "walk"));
  return scene;
}

// One frame of 500 parts of 32 x 32 body, head and sword pieces spread over the scene.
Scene &CrowdScene()
{
  Scene &scene = MakeScene();
  if (!scene.ani || scene.ani->Name != "crowd") {
    auto ani = ReadAnimation(scene.player.get(), "walk");
    ani->Name = "crowd";
    auto step = std::make_unique<TZeltoAniStep>();
    step->Directions.resize(DirectionCount);
    for (int i = 0; i < 500; ++i) {
      auto part = std::make_unique<TZeltoAniPart>();
      part->Sprite = ani->Sprites[1 + i % (ani->Sprites.size() - 1)].get();
      part->X = (i * 37) % 900 - 400;
      part->Y = (i * 53) % 640 - 330;
      step->Directions[2].push_back(std::move(part));
    }
    ani->Steps.insert(ani->Steps.begin(), std::move(step));
    RecomputeStartTicks(ani.get());
    scene.player->FrameIndex = 0;
    scene.player->Dir = 2;
    scene.Open(std::move(ani));
  }
  return scene;
}

void Draw(benchmark::State &bench, Scene &scene)
{
  for (auto _ : bench) {
    DrawScene(scene.state);
    benchmark::DoNotOptimize(scene.display.Surface().Pixel(500, 300));
  }
}

void Floor(benchmark::State &bench, Scene &scene)
{
  TSurface &buffer = scene.display.Surface();
  for (auto _ : bench) {
    buffer.Fill(QRect(0, 0, 1024, 768), 0x008000);
    for (const QRect &r : scene.drawn)
      buffer.Draw(r.left(), r.top(), scene.plain, QRect(0, 0, r.width(), r.height()), QRect(0, 0, 1024, 718));
    benchmark::DoNotOptimize(buffer.Pixel(500, 300));
  }
}

void DrawWalk(benchmark::State &bench)
{
  Draw(bench, WalkScene());
}
void FloorWalk(benchmark::State &bench)
{
  Floor(bench, WalkScene());
}
void DrawCrowd(benchmark::State &bench)
{
  Draw(bench, CrowdScene());
}
void FloorCrowd(benchmark::State &bench)
{
  Floor(bench, CrowdScene());
}

BENCHMARK(DrawWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloorWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(DrawCrowd)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloorCrowd)->Unit(benchmark::kMicrosecond);

const bool declared = DeclareRatio("DrawScene walk / canvas fill + plain copies", "DrawWalk", "FloorWalk", 2.0) &&
                      DeclareRatio("DrawScene 500 parts / canvas fill + plain copies", "DrawCrowd", "FloorCrowd", 3.0);

} // namespace
