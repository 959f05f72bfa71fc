#include "images/file_index.h"

#include <algorithm>
#include <filesystem>

#include "document/helpers.h"

namespace fs = std::filesystem;

std::string GameFolder;
std::string GameDir;

static std::vector<TFileListEntry> index;

static std::string WithTrailingSlash(std::string folder)
{
  if (folder.empty() || (folder.back() != '/' && folder.back() != '\\'))
    folder += '/';
  return folder;
}

void FindGameFolder(const std::string &programFolder)
{
  GameFolder = WithTrailingSlash(programFolder);
  std::string withoutSlash = GameFolder.substr(0, GameFolder.size() - 1);
  size_t cut = withoutSlash.find_last_of("/\\");
  if (cut != std::string::npos) {
    std::string candidate = withoutSlash.substr(0, cut + 1);
    std::error_code error;
    if (fs::exists(candidate + "Zelto.exe", error))
      GameFolder = candidate;
  }
  ScanGameFolder();
}

void UseGameFolder(const std::string &folder)
{
  if (folder.empty()) {
    GameFolder.clear();
    index.clear();
    return;
  }
  std::error_code error;
  fs::path absolute = fs::absolute(folder, error);
  GameFolder = WithTrailingSlash(error ? folder : absolute.lexically_normal().string());
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

bool HasCodeExtension(const std::string &name)
{
  size_t dot = name.rfind('.');
  return dot != std::string::npos && LowerCase(name.substr(dot)) == ".code";
}

// Collects every indexable file below folder; depth 0 is the game folder itself.
void ScanFolder(const std::string &folder, int depth, std::vector<FoundFile> &files)
{
  const std::string prefix = WithTrailingSlash(folder);
  std::error_code error;
  fs::directory_iterator it(prefix, error);
  if (error)
    return;
  std::vector<std::string> subFolders;
  for (const fs::directory_iterator end; it != end; it.increment(error)) {
    if (error)
      break;
    std::string name = it->path().filename().string();
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      if (!(depth == 0 && IsSkippedFirstLevelFolder(name)))
        subFolders.push_back(prefix + name);
    } else if (!HasCodeExtension(name)) {
      files.push_back({ExtractKey(name), prefix + name, files.size()});
    }
  }
  for (const std::string &sub : subFolders)
    ScanFolder(sub, depth + 1, files);
}

int64_t ModificationTime(const std::string &path)
{
  std::error_code error;
  auto time = fs::last_write_time(path, error);
  return error ? INT64_MIN : static_cast<int64_t>(time.time_since_epoch().count());
}

}  // namespace

void ScanGameFolder()
{
  index.clear();
  if (GameFolder.empty())
    return;
  std::vector<FoundFile> files;
  ScanFolder(GameFolder, 0, files);

  std::sort(files.begin(), files.end(), [](const FoundFile &a, const FoundFile &b) {
    return a.Name != b.Name ? a.Name < b.Name : a.Order < b.Order;
  });
  index.reserve(files.size());
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
    index.push_back({std::move(files[winner].Name), std::move(files[winner].Path), winnerTime});
    i = j;
  }
}

const std::vector<TFileListEntry> &FileIndex()
{
  return index;
}

std::string LookupFile(const std::string &name)
{
  const std::string key = ExtractKey(name);
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
