// The game folder and the index of every file in its tree, by lower-case file name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One indexed game file.
struct TFileListEntry
{
  std::string Name; // file name without folders, lower case: the key
  std::string Path; // full path as found on disk
  // Last modification (file clock), read only when several files share the name; else 0.
  int64_t Time = 0;
};

// The process's game folder and its index, set up once at start.
struct TGameFiles
{
  // The game folder, with a trailing "/".
  std::string Folder;
  // The start folder: that of the animation given on the command line, or the program's own.
  std::string Dir;
  // One entry per file name, sorted by Name in byte order.
  std::vector<TFileListEntry> Index;
  // Every folder the last scan read, the game folder first, each with a trailing "/".
  std::vector<std::string> Folders;
  // Counts the scans, so that users of the index can tell that it may have changed.
  uint64_t Generation = 0;
};
TGameFiles &GameFiles();

// Finds the game folder from the program's folder, then indexes its tree. The first rule that
// holds wins: the parent folder when it holds "Zelto.exe"; PREFIX/share/zeltrix/game when the
// program's folder is PREFIX/bin and that folder exists (an installed copy); the program's own
// share/zeltrix/game when it exists (a build tree, where it links to assets/game); else the
// program's folder itself.
void FindGameFolder(const std::string &programFolder);
// Makes folder the game folder and indexes its tree (the --game-dir option).
void UseGameFolder(const std::string &folder);
// Rebuilds the index from GameFolder: every file below it except ".code" files and the
// first-level folders pms, profiles and weblevels; of same-named files the newest wins.
void ScanGameFolder();

// The index, sorted by Name in byte order, one entry per name.
const std::vector<TFileListEntry> &FileIndex();

// The indexed path of ExtractKey(name), or empty.
std::string LookupFile(const std::string &name);
// ExtractKey(name) as a file in the current folder, else its indexed path if that file still
// exists, else empty.
std::string ResolveFile(const std::string &name);
bool FileKnown(const std::string &name);
