// What the Add Sprite dialog asks before replacing definitions: which ones a document shows, the
// first free indices, and the question's wording.
#include "session/sprite_use.h"

#include <gtest/gtest.h>

#include "model/document.h"
#include "model/reader.h"

namespace {

// Definitions 0 to 9; in frames: 1 directly, 2 with 3 attached to it and 4 attached to 3, 5
// through the parameter slot 1 that holds it by default; 6 only attached to the unused 7.
const char *const Frames = "VELK0001\n"
                           "SPRITE 0 SPRITES 0 0 1 1\nSPRITE 1 SPRITES 0 0 1 1\nSPRITE 2 SPRITES 0 0 1 1\n"
                           "SPRITE 3 SPRITES 0 0 1 1\nSPRITE 4 SPRITES 0 0 1 1\nSPRITE 5 SPRITES 0 0 1 1\n"
                           "SPRITE 6 SPRITES 0 0 1 1\nSPRITE 7 SPRITES 0 0 1 1\nSPRITE 8 SPRITES 0 0 1 1\n"
                           "SPRITE 9 SPRITES 0 0 1 1\n"
                           "ATTACHSPRITE 2 3 0 0\nATTACHSPRITE 3 4 0 0\nATTACHSPRITE 7 6 0 0\n"
                           "DEFAULTPARAM1 5\n"
                           "ANI\n1 0 0\n2 0 0\nPARAM1 0 0\n1 0 0\nWAIT 2\nANIEND\n";

// In a movie: the sprite actor's first key shows 2, a later one 8; a character's key naming 9
// is not a sprite actor's.
const char *const Movie = "VELK0002\nFRAMES 40\n"
                          "SPRITE 1 SPRITES 0 0 1 1\nSPRITE 2 SPRITES 0 0 1 1\nSPRITE 8 SPRITES 0 0 1 1\n"
                          "SPRITE 9 SPRITES 0 0 1 1\n"
                          "MOVIE\nACTOR SPRITE star\nFRAME 0 visible=true,sprite #=2\nFRAME 10 sprite #=8\nACTOREND\n"
                          "MOVIEEND\n";

std::unique_ptr<TZeltoAni> Read(const char *text)
{
  auto ani = std::make_unique<TZeltoAni>();
  EXPECT_TRUE(ParseAnimation(*ani, nullptr, text));
  return ani;
}

} // namespace

TEST(SpriteUse, DefinitionsShownByFramesAndActors)
{
  const auto frames = Read(Frames);
  EXPECT_EQ(SpriteIndicesInUse(*frames, 0, 10), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(SpriteIndicesInUse(*frames, 3, 2), (std::vector<int>{3, 4}));
  EXPECT_EQ(SpriteIndicesInUse(*frames, 6, 100), (std::vector<int>{}));
  EXPECT_EQ(SpriteIndicesInUse(*frames, 0, 0), (std::vector<int>{}));

  const auto movie = Read(Movie);
  ASSERT_EQ(movie->Actors.size(), 1u);
  EXPECT_EQ(SpriteIndicesInUse(*movie, 0, 20), (std::vector<int>{2, 8}));
}

TEST(SpriteUse, FirstFreeIndicesForAGrid)
{
  const auto ani = Read(Frames); // 0 to 9 taken
  struct Case
  {
    int from, count, expected;
  };
  const Case cases[] = {{20, 1, 20},
                        {5, 1, 10},
                        {0, 6, 10},
                        {-3, 3, -3},
                        {-3, 4, 10},
                        {8, 0, 10},
                        {2147483647, 1, 2147483647},
                        {2147483646, 3, 2147483646}};
  for (const Case &c : cases)
    EXPECT_EQ(FirstFreeSpriteIndex(*ani, c.from, c.count), c.expected) << c.from << " x " << c.count;
}

TEST(SpriteUse, TheQuestionNamesTheIndices)
{
  struct Case
  {
    std::vector<int> indices;
    bool movie;
    const char *question;
  };
  const Case cases[] = {
      {{21}, false, "Sprite 21 is used by frames. Replace it?"},
      {{20, 21, 22, 23, 24, 25}, false, "Sprites 20 to 25 are used by frames. Replace them?"},
      {{20, 21}, true, "Sprites 20 and 21 are used by actors. Replace them?"},
      {{20, 21, 22, 25, 27, 28, 29}, false, "Sprites 20 to 22, 25 and 27 to 29 are used by frames. Replace them?"},
      {{1, 3, 5, 7, 9, 11, 13, 14, 15}, false, "Sprites 1, 3, 5, 7, 9 and 4 more are used by frames. Replace them?"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(ReplaceSpritesQuestion(c.indices, c.movie), c.question);
}
