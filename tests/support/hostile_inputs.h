// Small files that once made reading, drawing or loading cost far more than their size. Each
// builder writes its files into a game folder (with a copy of the bundled "sprites.png", so that
// there is something to draw) and returns the path of the animation to open.
#pragma once

#include <string>

// blocks ANI..ANIEND blocks of one four-direction frame each.
std::string WriteManyFrameBlocks(const std::string &folder, int blocks);
// A movie of sprite actors, each with one key.
std::string WriteManySpriteActors(const std::string &folder, int actors);
// definitions sprite definitions, each attaching the next one fanOut times at small offsets, and
// one frame that shows the first one in every direction.
std::string WriteMultiplyingAttachments(const std::string &folder, int definitions, int fanOut);
// Movies m0 .. m(depth - 1): each holds characters characters that play the next movie.
std::string WriteMultiplyingMovies(const std::string &folder, int depth, int characters);
// A copy of the bundled sprites.png in folder.
void CopyBundledSprites(const std::string &folder);
