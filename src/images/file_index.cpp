#include "images/file_index.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "core/helpers.h"

namespace fs = std::filesystem;

TGameFiles &GameFiles()
{
  static TGameFiles files;
  return files;
}

static std::string WithTrailingSlash(std::string folder)
{
  if (folder.empty() || (folder.back() != '/' && folder.back() != '\\'))
    folder += '/';
  return folder;
}

void FindGameFolder(const std::string &programFolder)
{
  std::string &gameFolder = GameFiles().Folder;
  gameFolder = WithTrailingSlash(programFolder);
  std::string withoutSlash = gameFolder.substr(0, gameFolder.size() - 1);
  size_t cut = withoutSlash.find_last_of("/\\");
  if (cut != std::string::npos) {
    // The editor beside a game installation: a folder in the game's own folder.
    const std::string parent = withoutSlash.substr(0, cut + 1);
    std::error_code error;
    if (fs::exists(parent + "Zelto.exe", error))
      gameFolder = parent;
    // An installed program: PREFIX/bin beside the bundled game folder PREFIX/share/zeltrix/game.
    else if (withoutSlash.substr(cut + 1) == "bin" && fs::is_directory(parent + "share/zeltrix/game", error))
      gameFolder = parent + "share/zeltrix/game/";
    // A build tree: its share/zeltrix/game links to the sources' bundled game folder, so the rest
    // of the tree (objects, tests, the packages' staging copies) is never indexed.
    else if (fs::is_directory(gameFolder + "share/zeltrix/game", error))
      gameFolder += "share/zeltrix/game/";
  }
  ScanGameFolder();
}

void UseGameFolder(const std::string &folder)
{
  if (folder.empty()) {
    GameFiles().Folder.clear();
    ScanGameFolder();
    return;
  }
  std::error_code error;
  fs::path absolute = fs::absolute(folder, error);
  GameFiles().Folder = WithTrailingSlash(error ? folder : absolute.lexically_normal().string());
  ScanGameFolder();
}

namespace {

// A file found by the scan, in the order found.
struct FoundFile
{
  std::string Name;
  std::string Path;
  size_t Order;
};

bool IsSkippedFirstLevelFolder(const std::string &name)
{
  return std::string("+pms+profiles+weblevels+").find("+" + LowerCase(name) + "+") != std::string::npos;
}

bool HasCodeExtension(const char *name, size_t length)
{
  static const char code[] = ".code";
  if (length < 5)
    return false;
  for (size_t i = 0; i < 5; ++i) {
    char c = name[length - 5 + i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != code[i])
      return false;
  }
  return true;
}

bool IsFolder(const std::string &folder, const dirent *entry)
{
  if (entry->d_type == DT_DIR)
    return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
    return false;
  // The file system did not say, or it is a link: ask for what it points to.
  struct stat info;
  return stat((folder + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Collects every indexable file below folder; depth 0 is the game folder itself. Uses the
// directory entries' own types, so no file is looked at beyond its name.
void ScanFolder(const std::string &folder, int depth, std::vector<FoundFile> &files,
                std::set<std::pair<dev_t, ino_t>> &visited, std::vector<std::string> &folders)
{
  // Linked folders may lead back to a folder already scanned; each folder is scanned once.
  struct stat info;
  if (stat(folder.c_str(), &info) != 0 || !visited.insert({info.st_dev, info.st_ino}).second)
    return;
  const std::string prefix = WithTrailingSlash(folder);
  DIR *dir = opendir(prefix.c_str());
  if (!dir)
    return;
  folders.push_back(prefix);
  std::vector<std::string> subFolders;
  while (const dirent *entry = readdir(dir)) {
    const char *name = entry->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
      continue;
    const size_t length = std::strlen(name);
    if (IsFolder(prefix, entry)) {
      if (!(depth == 0 && IsSkippedFirstLevelFolder(name)))
        subFolders.push_back(prefix + name);
    } else if (!HasCodeExtension(name, length)) {
      FoundFile found{LowerCase(std::string(name, length)), prefix, files.size()};
      found.Path.append(name, length);
      files.push_back(std::move(found));
    }
  }
  closedir(dir);
  for (const std::string &sub : subFolders)
    ScanFolder(sub, depth + 1, files, visited, folders);
}

int64_t ModificationTime(const std::string &path)
{
  std::error_code error;
  auto time = fs::last_write_time(path, error);
  return error ? INT64_MIN : static_cast<int64_t>(time.time_since_epoch().count());
}

} // namespace

void ScanGameFolder()
{
  TGameFiles &game = GameFiles();
  game.Index.clear();
  game.Folders.clear();
  ++game.Generation;
  if (game.Folder.empty())
    return;
  std::vector<FoundFile> files;
  std::set<std::pair<dev_t, ino_t>> visited;
  ScanFolder(game.Folder, 0, files, visited, game.Folders);

  std::sort(files.begin(), files.end(), [](const FoundFile &a, const FoundFile &b) {
    return a.Name != b.Name ? a.Name < b.Name : a.Order < b.Order;
  });
  game.Index.reserve(files.size());
  for (size_t i = 0; i < files.size();) {
    size_t j = i + 1;
    while (j < files.size() && files[j].Name == files[i].Name)
      ++j;
    // Of same-named files the first found stays unless a later one is strictly newer. Times
    // are read only for such names: the scan of a large tree then needs no stat per file.
    size_t winner = i;
    int64_t winnerTime = 0;
    if (j - i > 1) {
      winnerTime = ModificationTime(files[i].Path);
      for (size_t k = i + 1; k < j; ++k) {
        int64_t time = ModificationTime(files[k].Path);
        if (time > winnerTime) {
          winner = k;
          winnerTime = time;
        }
      }
    }
    game.Index.push_back({std::move(files[winner].Name), std::move(files[winner].Path), winnerTime});
    i = j;
  }
}

const std::vector<TFileListEntry> &FileIndex()
{
  return GameFiles().Index;
}

std::string LookupFile(const std::string &name)
{
  const std::string key = ExtractKey(name);
  const std::vector<TFileListEntry> &index = GameFiles().Index;
  auto it = std::lower_bound(index.begin(), index.end(), key,
                             [](const TFileListEntry &entry, const std::string &k) { return entry.Name < k; });
  return it != index.end() && it->Name == key ? it->Path : std::string();
}

std::string ResolveFile(const std::string &name)
{
  const std::string key = ExtractKey(name);
  if (key.empty())
    return {};
  std::error_code error;
  if (fs::is_regular_file(key, error)) {
    fs::path absolute = fs::absolute(key, error);
    if (!error)
      return absolute.lexically_normal().string();
  }
  std::string path = LookupFile(key);
  if (!path.empty() && fs::exists(path, error))
    return path;
  return {};
}

bool FileKnown(const std::string &name)
{
  return !ResolveFile(name).empty();
}
