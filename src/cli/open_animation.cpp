#include "cli/open_animation.h"

#include "cli/command.h"
#include "model/reader.h"

LoadedAnimation OpenAnimation(const QString &file)
{
  LoadedAnimation loaded;
  loaded.Owner = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  loaded.Ani = ReadAnimation(loaded.Owner.get(), PathFromQt(file));
  return loaded;
}
