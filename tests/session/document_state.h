// What the undo property tests compare: every frame's part lists (objects, order, positions)
// and the file text, and the document both tests edit.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/document.h"
#include "model/writer.h"
#include "session/edit_session.h"

struct TPlacedPart
{
  const TZeltoAniPart *Part;
  int X, Y;
  bool operator==(const TPlacedPart &other) const { return Part == other.Part && X == other.X && Y == other.Y; }
};

struct TDocumentState
{
  std::vector<std::vector<std::vector<TPlacedPart>>> Frames; // frame, direction, parts
  std::string Text;
  bool operator==(const TDocumentState &other) const { return Frames == other.Frames && Text == other.Text; }
};

inline TDocumentState StateOf(TZeltoAni &ani)
{
  TDocumentState state;
  for (const auto &step : ani.Steps) {
    state.Frames.emplace_back();
    for (const TPartList &direction : step->Directions) {
      state.Frames.back().emplace_back();
      for (const auto &part : direction)
        state.Frames.back().back().push_back({part.get(), part->X, part->Y});
    }
  }
  state.Text = AnimationText(&ani);
  return state;
}

// Turns the new document of session (one shadow per direction) into three frames of four
// directions, each holding four shadows, with a definition of sword1.png for the drops (so that
// dropping adds parts, not definitions, which are not undone).
inline void MakePropertyDocument(TEditSession &s)
{
  TZeltoAni &ani = *s.GetCurrentAni();
  auto sword = std::make_unique<TZeltoAniSprite>();
  sword->Index = 1;
  sword->Image = "sword1.png";
  sword->Width = 8;
  sword->Height = 24;
  ani.Sprites.push_back(std::move(sword));
  for (int i = 0; i < 2; ++i)
    ani.Steps.push_back(CopyStep(*ani.Steps[0]));
  for (auto &step : ani.Steps)
    for (TPartList &direction : step->Directions)
      for (int i = 1; i < 4; ++i)
        direction.push_back(
            std::make_unique<TZeltoAniPart>(TZeltoAniPart{ani.Sprites[0].get(), -1, -1, i * 20, i * 7}));
  RecomputeStartTicks(&ani);
  s.UpdateSpriteListLayout();
}
