// The edit session without a window: start-up, and the dialogs behind actor attribute clicks.
#include <gtest/gtest.h>

#include <filesystem>

#include "model/actor.h"
#include "model/context.h"
#include "model/document.h"
#include "session/edit_session.h"
#include "session/session_fixture.h"

namespace {

TEST_F(SessionTest, StartsWithoutAWindowAndIsTheModelsLink)
{
  TEditSession &s = Start();
  ASSERT_NE(s.GetCurrentAni(), nullptr);
  EXPECT_EQ(s.GetCurrentAni()->Name, "idle");
  EXPECT_EQ(Context().Link, &s);
  EXPECT_EQ(s.Caption(), "Zeltrix - The Zelto Animation Editor - idle.velk");
  EXPECT_EQ(s.PrimarySelection(), 0);
  session.reset();
  EXPECT_EQ(Context().Link, nullptr) << "the link goes with the session";
}

TEST_F(SessionTest, AttributeClicksOpenTheFontAndColourDialogs)
{
  TEditSession &s = Start();
  TZeltoAni movie;
  movie.IsMovie = true;
  TZeltoActor text(s.EditActor.get(), akText);
  text.TextColor = 0x112233;
  text.Zoom = 1.5;
  std::string value;

  dialogs.ChosenFont = "Courier";
  EXPECT_TRUE(s.ClickActorAttribute(&text, 7, value));
  EXPECT_EQ(text.FontName, "Courier");
  EXPECT_EQ(dialogs.FontSizes, std::vector<int>{21}) << "14 points per unit of zoom";

  dialogs.ChosenColor = 0x0000FF;
  EXPECT_TRUE(s.ClickActorAttribute(&text, 8, value));
  EXPECT_EQ(dialogs.ShownColors, std::vector<uint32_t>{0x332211}) << "the dialog gets the platform's colour order";
  EXPECT_EQ(text.TextColor, 0xFF0000);
  EXPECT_EQ(value, "FF0000");

  dialogs.ChosenColor.reset();
  EXPECT_TRUE(s.ClickActorAttribute(&text, 8, value));
  EXPECT_EQ(text.TextColor, 0xFF0000) << "a cancelled dialog changes nothing";
  EXPECT_FALSE(s.ClickActorAttribute(&text, 1, value)) << "text is typed";
}

} // namespace
