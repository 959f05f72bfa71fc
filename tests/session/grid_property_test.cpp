// Whatever is typed into the options grid or clicked there, in either kind of document, the
// document writes a text that reads back to the same text: no value the grid takes can break a
// line, lose a word on the next load or fall outside what the reader accepts.
#include <random>

#include "model/reader.h"
#include "model/writer.h"
#include "session/session_fixture.h"

namespace {

class GridPropertyTest : public SessionTest, public ::testing::WithParamInterface<unsigned>
{
protected:
  int Random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

  std::string RandomText()
  {
    static const char *samples[] = {
        "0",           "1",   "-1",     "7",     "2.5",       "0.05",  "1e12",           "86401",      "2147483648",
        "-2147483649", "$1F", "true",   "false", "walk fast", " idle", "body.png",       "head19.png", "chime.wav",
        "a=b",         "x,y", "FF00FF", "12 34", "",          "\t",    "Tempus Sans ITC"};
    if (Random(3))
      return samples[Random(int(std::size(samples)))];
    static const char alphabet[] = "abcXYZ019 .,;=$#-\t\r\n\"'\x01\xe9\xff";
    std::string text;
    for (int i = Random(12); i > 0; --i)
      text += alphabet[Random(int(sizeof alphabet) - 1)];
    return text;
  }

  // A click or a typed value on a random row of the grid as it stands.
  void RandomGridEdit()
  {
    TEditSession &s = *session;
    const int rows = s.GridRowCount();
    if (rows < 1)
      return;
    const int row = Random(rows);
    std::string value;
    if (Random(4) == 0) {
      s.ClickGridRow(row, value);
      return;
    }
    value = RandomText();
    s.SetGridRow(row, value);
  }

  void ExpectTextReadsBack(int step)
  {
    const std::string text = AnimationText(session->GetCurrentAni());
    TZeltoAni again;
    ASSERT_TRUE(ParseAnimation(again, session->EditActor.get(), text)) << "after edit " << step;
    ASSERT_EQ(AnimationText(&again), text) << "after edit " << step;
  }

  std::mt19937 random_{GetParam()};
};

TEST_P(GridPropertyTest, AnimationOptionsAndPartsReadBack)
{
  TEditSession &s = StartNew();
  dialogs.ChosenColor = 0x123456;
  s.ChoosePart(0); // the part's sprite row
  for (int i = 0; i < 400; ++i) {
    RandomGridEdit();
    ExpectTextReadsBack(i);
  }
}

TEST_P(GridPropertyTest, ActorAttributesReadBack)
{
  TEditSession &s = StartNew();
  s.SwitchMovieMode(true);
  dialogs.ChosenColor = 0x123456;
  dialogs.ChosenFont = "Serif";
  s.AddCharacterActor();
  s.AddTextActor(10, 10);
  s.AddSoundActor(BundledGame() + "/chime.wav", 0, 0);
  for (int i = 0; i < 600; ++i) {
    if (Random(10) == 0)
      s.ShowTime(Random(s.GetCurrentAni()->Length + 1));
    if (Random(10) == 0)
      s.KeyDown(TKey::Tab, false, false);
    if (Random(25) == 0) // the document's rows
      s.SelectActor(nullptr);
    RandomGridEdit();
    ExpectTextReadsBack(i);
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GridPropertyTest, ::testing::Values(1u, 2u, 3u, 4u));

} // namespace
