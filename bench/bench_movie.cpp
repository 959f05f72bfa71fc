// Evaluating a movie at a time (ShowTime) against drawing it (DrawScene): 200 actors of the four
// kinds with 50 keys each. Evaluation should cost at most half a draw.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "images/file_index.h"
#include "model/actor.h"
#include "model/actor_attributes.h"
#include "model/document.h"
#include "ratio_report.h"
#include "scene/scene_setup.h"

namespace {

struct TMovie
{
  TSceneSetup Setup;
  std::unique_ptr<TImageCacheLink> Link;
  std::unique_ptr<TZeltoActor> Player;
  std::unique_ptr<TZeltoAni> Ani;
};

std::unique_ptr<TMovie> MakeMovie()
{
  UseGameFolder(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game");
  auto movie = std::make_unique<TMovie>();
  movie->Setup.InitializeDisplay();
  movie->Setup.LoadFixedImages();
  movie->Setup.LayOut(1024, 768, 17);
  movie->Link = std::make_unique<TImageCacheLink>(movie->Setup);
  movie->Player = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  movie->Ani = std::make_unique<TZeltoAni>();
  TZeltoAni &ani = *movie->Ani;
  ani.IsMovie = true;
  ani.Length = 1000;
  ani.Loop = true;
  auto shadow = std::make_unique<TZeltoAniSprite>();
  shadow->Image = "SPRITES";
  shadow->Width = 24;
  shadow->Height = 16;
  ani.Sprites.push_back(std::move(shadow));
  const int keys = SmokeRun() ? 5 : 50;
  for (int i = 0; i < 200; ++i) {
    const int kind = i % ActorKindCount;
    auto actor = std::make_unique<TZeltoActor>(movie->Player.get(), kind);
    for (int k = 0; k < keys; ++k) {
      auto key = std::make_unique<TZeltoActorMod>();
      key->Time = k * 20;
      key->Mods = {"dx=" + std::to_string((i * 37 + k * 13) % 700), "dy=" + std::to_string((i * 11 + k * 7) % 500),
                   "visible=true", "layer=" + std::to_string(1 + k % 2)};
      if (kind == akCharacter)
        key->Mods.push_back(std::string("ani=") + (k % 2 ? "walk" : "idle"));
      if (kind == akSprite)
        key->Mods.push_back("sprite #=0");
      if (kind == akText)
        key->Mods.push_back("text=line " + std::to_string(k));
      actor->Keys.push_back(std::move(key));
    }
    ani.Actors.push_back(std::move(actor));
  }
  movie->Player->Ani = &ani;
  movie->Setup.Scene.EditActor = movie->Player.get();
  ShowTime(movie->Player.get(), 0);
  return movie;
}

void EvaluateTick(benchmark::State &state)
{
  auto movie = MakeMovie();
  int time = 0;
  for (auto _ : state)
    ShowTime(movie->Player.get(), time = (time + 1) % 1000); // one tick of playback
}
BENCHMARK(EvaluateTick)->Unit(benchmark::kMicrosecond);

void DrawMovie(benchmark::State &state)
{
  auto movie = MakeMovie();
  for (auto _ : state)
    movie->Setup.Draw();
}
BENCHMARK(DrawMovie)->Unit(benchmark::kMicrosecond);

const bool declared = DeclareRatio("ShowTime / DrawScene, 200 actors", "EvaluateTick", "DrawMovie", 0.5);

} // namespace
