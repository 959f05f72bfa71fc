// velk state FILE --time T [--dir D]: the evaluated state of an animation at a time, as the
// editor's time ruler shows it.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/command.h"
#include "cli/open_animation.h"
#include "model/actor_attributes.h"

namespace {

QJsonObject ActorJson(const TZeltoActor &actor)
{
  QJsonArray colors;
  for (int color : actor.Colors)
    colors.append(color);
  return {{"Name", ToQt(actor.Name)},
          {"Kind", actor.Kind},
          {"DX", actor.DX},
          {"DY", actor.DY},
          {"Layer", actor.Layer},
          {"Visible", actor.Visible},
          {"Dir", actor.Dir},
          {"Ani", ToQt(actor.Ani ? actor.Ani->Name : "")},
          {"Chat", ToQt(actor.Chat)},
          {"PlayerLook", actor.PlayerLook},
          {"Sprite", actor.Sprite ? QJsonValue(actor.Sprite->Index) : QJsonValue(QJsonValue::Null)},
          {"SpriteParam", actor.SpriteParam},
          {"SpriteAttr", actor.SpriteAttr},
          {"SoundFile", ToQt(actor.SoundFile)},
          {"Text", ToQt(actor.Text)},
          {"FontName", ToQt(actor.FontName)},
          {"Zoom", actor.Zoom},
          {"TextColor", actor.TextColor},
          {"Colors", colors}};
}

} // namespace

int RunState(const QStringList &args)
{
  QCommandLineParser parser;
  QCommandLineOption timeOption("time", "The time in ticks (20 per second).", "T");
  QCommandLineOption dirOption("dir", "The direction: 0 up, 1 left, 2 down (default), 3 right.", "D", "2");
  parser.addOptions({timeOption, dirOption});
  if (!ParseFileCommand(parser, args, "Evaluates FILE at a time as the editor shows it and prints the state as JSON."))
    return ExitUsageError;
  int time = 0;
  if (!parser.isSet(timeOption))
    return Fail("--time T is required", ExitUsageError);
  if (!ParseTicks(parser.value(timeOption), &time))
    return ExitUsageError;
  bool dirOk = false;
  const int dir = parser.value(dirOption).toInt(&dirOk);
  if (!dirOk || dir < 0 || dir > 3)
    return Fail("--dir must be 0, 1, 2 or 3", ExitUsageError);
  LoadedAnimation loaded;
  if (!OpenFileArgument(parser, loaded))
    return ExitInputError;

  TZeltoActor &player = *loaded.Owner;
  player.Ani = loaded.Ani.get();
  player.Dir = dir;
  ApplyDefaultSlots(&player, *loaded.Ani);
  ShowTime(&player, time);

  QJsonArray actors;
  for (const auto &actor : loaded.Ani->Actors)
    actors.append(ActorJson(*actor));
  const QJsonObject state{{"CurrentTime", player.CurrentTime},
                          {"FrameIndex", player.FrameIndex},
                          {"FrameTick", player.FrameTick},
                          {"Dir", player.Dir},
                          {"Actors", actors}};
  return Print(QJsonDocument(state).toJson(QJsonDocument::Indented));
}
