#include "model/default_frame.h"

#include <algorithm>

#include "model/document.h"

void InsertDefaultFrame(TZeltoAni *ani, int position)
{
  if (!ani)
    return;
  auto step = std::make_unique<TZeltoAniStep>();
  step->Duration = 1;
  TZeltoAniSprite *shadow = FindSprite(ani, 0);
  for (int d = 0; d < ani->DirectionsPerFrame(); ++d) {
    TPartList parts;
    if (shadow) {
      auto part = std::make_unique<TZeltoAniPart>();
      part->Sprite = shadow;
      part->X = 12;
      part->Y = 34;
      parts.push_back(std::move(part));
    }
    step->Directions.push_back(std::move(parts));
  }
  position = std::clamp(position, 0, int(ani->Steps.size()));
  ani->Steps.insert(ani->Steps.begin() + position, std::move(step));
}
