// A stand-in editor and a small game folder for the actor tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "images/file_index.h"
#include "images/image_cache.h"
#include "model/actor.h"
#include "model/context.h"
#include "model/document.h"
#include "model/editor_link.h"
#include "model/reader.h"
#include "support/temp_dir.h"

class FakeEditor : public TEditorLink
{
public:
  void ClearHistory() override {}
  void ModifiedChanged(TZeltoAni *) override {}
  int GetCurrentFrame() const override { return 0; }
  int GetCurrentTime() const override { return time; }
  void SetCurrentTime(int t) override { time = t; }
  TZeltoAni *CurrentDocument() const override { return document; }
  void RecordActorChange(const TActorSingleMod &change) override
  {
    if (recording)
      changes.push_back(change);
  }
  void PlaySoundFile(const std::string &path) override { played.push_back(path); }

  TZeltoAni *document = nullptr;
  int time = 0;
  bool recording = false;
  std::vector<TActorSingleMod> changes;
  std::vector<std::string> played;
};

// A game folder with idle and walk animations, a few images and a sound; a movie document
// edited by a main actor, as the window holds them.
class MovieTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    game.Write("anims/idle.velk", Frames("body.png"));
    game.Write("anims/walk.velk", Frames("body.png"));
    game.Write("anims/run.velk", Frames("body105.png"));
    for (const char *image :
         {"body.png", "body105.png", "head19.png", "head3.png", "sword1.png", "shield1.png", "ride.png", "hat.png"})
      game.Write(std::string("images/") + image, "x");
    game.Write("sounds/boom.wav", "RIFF");
    UseGameFolder(game.Path());
    Context().Link = &editor;
    main = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
    movie = std::make_unique<TZeltoAni>();
    movie->Name = "scene";
    movie->IsMovie = true;
    movie->Length = 100;
    main->Ani = movie.get();
    editor.document = movie.get();
  }
  void TearDown() override
  {
    Context().Link = nullptr;
    Context().AutoAniSetting = true;
    Context().Zelto2002Mode = false;
  }

  static std::string Frames(const std::string &body)
  {
    return "VELK0001\r\nSPRITE 0 SPRITES 0 0 24 16 shadow\r\nDEFAULTBODY " + body +
           "\r\nANI\r\n   0  1  2\r\n   0  1  2\r\n   0  1  2\r\n   0  1  2\r\nWAIT 3\r\nANIEND\r\n";
  }

  TZeltoActor *Add(int kind)
  {
    movie->Actors.push_back(std::make_unique<TZeltoActor>(main.get(), kind));
    return movie->Actors.back().get();
  }

  // Keys written straight into the list, as the reader leaves them.
  static void Key(TZeltoActor *actor, int time, std::vector<std::string> lines)
  {
    auto key = std::make_unique<TZeltoActorMod>();
    key->Time = time;
    key->Mods = std::move(lines);
    actor->Keys.push_back(std::move(key));
  }

  static std::vector<int> Times(const TZeltoActor &actor)
  {
    std::vector<int> times;
    for (const auto &key : actor.Keys)
      times.push_back(key->Time);
    return times;
  }

  TempDir game;
  FakeEditor editor;
  std::unique_ptr<TZeltoActor> main;
  std::unique_ptr<TZeltoAni> movie;
};
