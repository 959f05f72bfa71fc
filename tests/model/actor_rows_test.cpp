// The attribute grid: the setter's normalisation, clicks, the walk/idle rule and animations by name.
#include "model/actor_attributes.h"
#include "model/actor_keys.h"
#include "model/movie_fixture.h"

namespace {

using Lines = std::vector<std::string>;

std::string Value(const TZeltoActorMod &key, const std::string &name)
{
  std::string value = "(none)";
  GetModValue(key, name, &value);
  return value;
}

TEST_F(MovieTest, DraggingKeysWalkThenIdle)
{
  TZeltoActor *a = Add(akCharacter);
  Key(a, 10, {"dx=0", "dy=0"});
  editor.time = 20;
  std::string dx = "40", dy = "10";
  SetAttributeRow(a, 4, dx);
  SetAttributeRow(a, 5, dy);
  ASSERT_EQ(Times(*a), (std::vector<int>{10, 20}));
  EXPECT_EQ(Value(*a->Keys[0], "ani"), "walk");
  EXPECT_EQ(Value(*a->Keys[0], "dir"), "3");
  EXPECT_EQ(Value(*a->Keys[1], "dir"), "3");
  EXPECT_EQ(Value(*a->Keys[1], "ani"), "idle");

  TZeltoActor *b = Add(akCharacter);
  Key(b, 0, {"dx=0", "dy=0", "ani=dance"});
  SetKey(b, 5, "dx", "-5");
  SetKey(b, 5, "dy", "5");
  EXPECT_EQ(Value(*b->Keys[0], "dir"), "2") << "a tie goes to the vertical direction";
  EXPECT_EQ(Value(*b->Keys[0], "ani"), "walk");

  TZeltoActor *c = Add(akCharacter);
  Key(c, 0, {"ani=dance"});
  SetKey(c, 0, "dx", "5");
  SetKey(c, 0, "dy", "0");
  EXPECT_EQ(c->Keys[0]->Mods, (Lines{"ani=dance", "dx=5", "dy=0"})) << "time 0 never runs the rule";
  SetKey(c, 4, "dx", "5");
  SetKey(c, 4, "dy", "0");
  EXPECT_EQ(Value(*c->Keys[0], "ani"), "dance") << "standing still keeps another animation";
  EXPECT_EQ(Value(*c->Keys[1], "ani"), "idle");

  Context().AutoAniSetting = false;
  TZeltoActor *d = Add(akCharacter);
  Key(d, 0, {"dx=0", "dy=0"});
  SetKey(d, 5, "dx", "9");
  EXPECT_EQ(Value(*d->Keys[0], "ani"), "(none)");
}

TEST_F(MovieTest, TypedNumbersAreNormalised)
{
  TZeltoActor *a = Add(akCharacter);
  Context().AutoAniSetting = false;
  std::string value = "-";
  SetAttributeRow(a, 4, value);
  EXPECT_EQ(a->DX, 0);
  EXPECT_EQ(Value(*a->Keys[0], "dx"), "-") << "kept until the next keystroke";
  EXPECT_EQ(Value(*a->Keys[0], "dy"), "0") << "dx and dy are written together";
  value = "abc";
  SetAttributeRow(a, 4, value);
  EXPECT_EQ(value, "0");

  value = "9";
  SetAttributeRow(a, 8, value);
  EXPECT_EQ(value, "3");
  EXPECT_EQ(a->Dir, 3);
  EXPECT_EQ(Value(*a->Keys[0], "dir"), "3");
  value = "abc";
  SetAttributeRow(a, 8, value);
  EXPECT_EQ(value, "3");

  value = "7";
  SetAttributeRow(a, 6, value);
  EXPECT_EQ(a->Layer, 3);
  EXPECT_EQ(Value(*a->Keys[0], "layer"), "3");

  value = "3";
  SetAttributeRow(a, 22, value);
  EXPECT_EQ(a->Colors[1], 3);
  EXPECT_EQ(Value(*a->Keys[0], "color1"), "pink");
  value = "LIGHTBLUE";
  SetAttributeRow(a, 22, value);
  EXPECT_EQ(a->Colors[1], 9);
  value = "25";
  SetAttributeRow(a, 22, value);
  EXPECT_EQ(value, "lightblue");
  EXPECT_EQ(GetAttributeRow(*a, 22).Value, "lightblue");

  value = "Images/HEAD3.PNG";
  SetAttributeRow(a, 10, value);
  EXPECT_EQ(value, "head3.png");
  EXPECT_EQ(GetAttributeRow(*a, 10).Value, "head3.png");
  value = "missing.png";
  SetAttributeRow(a, 10, value);
  EXPECT_EQ(GetAttributeRow(*a, 10).Value, "head3.png") << "an unknown file changes nothing";

  value = "body105.png";
  SetAttributeRow(a, 11, value);
  EXPECT_FALSE(a->ClassicBody);

  TZeltoActor *t = Add(akText);
  value = "abc";
  t->Zoom = 2;
  SetAttributeRow(t, 9, value);
  EXPECT_EQ(value, "2");
  value = "28";
  SetAttributeRow(t, 10, value);
  EXPECT_DOUBLE_EQ(t->Zoom, 2.0);
  value = "-1";
  SetAttributeRow(t, 9, value);
  EXPECT_DOUBLE_EQ(t->Zoom, 1.0);
  EXPECT_EQ(Value(*t->Keys[0], "fontsize"), "14");
}

TEST_F(MovieTest, NamesStayUniqueAndStorable)
{
  TZeltoActor *a = Add(akCharacter);
  TZeltoActor *b = Add(akSprite);
  a->Name = "hero";
  std::string value = "HERO";
  SetAttributeRow(b, 0, value);
  EXPECT_NE(b->Name, "HERO") << "taken in another letter case";
  value = " big star ";
  SetAttributeRow(b, 0, value);
  EXPECT_EQ(b->Name, "big_star");
  value = "  ";
  SetAttributeRow(b, 0, value);
  EXPECT_EQ(b->Name, "big_star");
  value = "Hero";
  SetAttributeRow(a, 0, value);
  EXPECT_EQ(a->Name, "Hero") << "an actor may change the case of its own name";
}

TEST_F(MovieTest, AnimationsAboveCannotBePlayed)
{
  TZeltoActor *a = Add(akCharacter);
  std::string value = "scene";
  SetAttributeRow(a, 7, value);
  EXPECT_EQ(a->Ani->Name, "idle");
  EXPECT_TRUE(a->Keys.empty());
  EXPECT_FALSE(CanUseAnimation(a, "idle"));
  EXPECT_TRUE(CanUseAnimation(a, "walk"));

  value = "run";
  SetAttributeRow(a, 7, value);
  EXPECT_EQ(a->Ani->Name, "run");
  EXPECT_EQ(Value(*a->Keys[0], "ani"), "run");
  EXPECT_EQ(Value(*a->Keys[0], "body"), "body105.png") << "the new animation's default body comes along";
  EXPECT_FALSE(a->ClassicBody);

  value = "nosuch";
  SetAttributeRow(a, 7, value);
  EXPECT_EQ(a->Ani->Name, "run") << "an unknown name keeps the animation";
}

TEST_F(MovieTest, SelfContainingMoviesDoNotRecurse)
{
  game.Write("anims/idle.velk", "VELK0002\r\nMOVIE\r\n  ACTOR CHAR again\r\n  ACTOREND\r\n"
                                "  ACTOR CHAR twice\r\n    FRAME 0 ani=IDLE\r\n  ACTOREND\r\nMOVIEEND\r\n");
  UseGameFolder(game.Path());
  TZeltoActor *a = Add(akCharacter);
  ASSERT_TRUE(a->Ani);
  ASSERT_EQ(a->Ani->Actors.size(), 2u);
  EXPECT_FALSE(a->Ani->Actors[0]->Ani) << "the idle movie is still being read";
  UpdateToTime(a, 0);
  EXPECT_FALSE(a->Ani->Actors[1]->Ani) << "the same file in other letters";
}

TEST_F(MovieTest, ClicksToggleOrAskForADialog)
{
  editor.time = 40;
  TZeltoActor *t = Add(akText);
  std::string value;
  EXPECT_EQ(ClickAttributeRow(t, 17, value), TRowClick::Toggled);
  EXPECT_EQ(value, "false");
  EXPECT_EQ(t->Keys[0]->Time, 0) << "word wrapping is keyed at time 0";
  EXPECT_EQ(ClickAttributeRow(t, 11, value), TRowClick::Toggled);
  EXPECT_EQ(t->Keys.back()->Time, 40);
  EXPECT_EQ(ClickAttributeRow(t, 7, value), TRowClick::FontDialog);
  EXPECT_EQ(ClickAttributeRow(t, 8, value), TRowClick::ColorDialog);
  EXPECT_EQ(ClickAttributeRow(t, 1, value), TRowClick::Typed) << "text is typed";
  SetTextFont(t, "Courier", value);
  EXPECT_EQ(t->FontName, "Courier");
  SetTextColor(t, 0xFF0000, value);
  EXPECT_EQ(value, "FF0000");
  EXPECT_EQ(t->TextColor, 0xFF0000);
  std::string line;
  ASSERT_TRUE(GetModValue(*t->Keys.back(), "color", &line));
  EXPECT_EQ(line, "FF0000");

  TZeltoActor *a = Add(akCharacter);
  EXPECT_EQ(AttributeRowCount(*a), 26);
  EXPECT_EQ(ClickAttributeRow(a, 1, value), TRowClick::Toggled);
  EXPECT_TRUE(a->PlayerLook);
  EXPECT_EQ(a->Keys[0]->Time, 0);
  EXPECT_EQ(GetAttributeRow(*a, 10).Name, "") << "look rows hide while the parent's look is worn";
  EXPECT_EQ(AttributeRowCount(*a), 10) << "the grid ends at the last row with a name, chat";
  ClickAttributeRow(a, 1, value);
  EXPECT_EQ(AttributeRowCount(*a), 26);
}

} // namespace
