// Which sprite definitions an animation shows, so that the Add Sprite dialog can ask before it
// replaces them, and the first indices it can take without replacing any.
#pragma once

#include <string>
#include <vector>

class TZeltoAni;

// The indices from first to first + count - 1 whose definitions the document shows, in order. In
// an animation a frame shows a definition through a part of any direction, directly, through the
// number a parameter or attribute slot holds by default, or as an attachment of a definition it
// shows; in a movie a sprite actor shows its sprite and every index its "sprite #" keys name.
std::vector<int> SpriteIndicesInUse(const TZeltoAni &ani, int first, int count);

// The first index from `from` on where count definitions in a row would replace none; from itself
// when the range of whole numbers has no such room.
int FirstFreeSpriteIndex(const TZeltoAni &ani, int from, int count);

// The question before indices (in order, none twice) are replaced: "Sprites 20 to 25 are used by
// frames. Replace them?", "Sprite 21 is used by frames. Replace it?"; "by actors" in a movie.
std::string ReplaceSpritesQuestion(const std::vector<int> &indices, bool movie);
