// The animations that export and check work on, from their FILE and folder arguments.
#pragma once

#include <QStringList>
#include <string>
#include <vector>

struct TAnimationInput
{
  std::string Name; // what the reader is given: a path, or a bare name resolved in the game folder
  // Where its outputs go, without extension: the path below the folder it was found in, or the
  // argument's base name.
  std::string OutputStem;
};

struct TAnimationInputs
{
  std::vector<TAnimationInput> Files;
  std::vector<std::string> EmptyFolders; // folder arguments without a ".velk" file below them
};

// Folders contribute every ".velk" file below them (any case, symbolic links to folders not
// followed), sorted by path; any other argument is taken as it stands. At most MaxInputs files.
inline constexpr size_t MaxInputs = 1000000;
TAnimationInputs CollectAnimations(const QStringList &arguments);

// True when the argument names a folder.
bool IsFolderArgument(const QString &argument);
