#include "cli/open_animation.h"

#include "cli/command.h"
#include "document/reader.h"

LoadedAnimation OpenAnimation(const QString &file)
{
  LoadedAnimation loaded;
  loaded.Owner = std::make_unique<TZeltoActor>(nullptr, MainActorCode);
  loaded.Ani = ReadAnimation(loaded.Owner.get(), PathBytes(file));
  return loaded;
}
