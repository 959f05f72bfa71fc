#include "cli/output_set.h"

#include <filesystem>
#include <sys/stat.h>

#include "core/file_io.h"

namespace fs = std::filesystem;

bool CreateFolders(const std::string &folder, std::string &error)
{
  if (folder.empty())
    return true;
  std::error_code failure;
  if (fs::create_directories(folder, failure) || !failure)
    return true;
  // The deepest part that exists is where the creation stopped.
  fs::path made = fs::path(folder).lexically_normal();
  fs::path existing = made;
  while (!existing.empty() && existing != existing.root_path() && ::access(existing.c_str(), F_OK) != 0) {
    made = existing;
    existing = existing.parent_path();
  }
  struct stat status;
  if (!existing.empty() && ::stat(existing.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
    error = "cannot create folder " + folder + ": " + existing.string() + " is not a folder";
  else
    error = "cannot create folder " + made.string() + ": " + failure.message();
  return false;
}

namespace {

bool Identify(const std::string &path, unsigned long long &device, unsigned long long &inode)
{
  struct stat status;
  if (::stat(path.c_str(), &status) != 0)
    return false;
  device = status.st_dev;
  inode = status.st_ino;
  return true;
}

std::string FolderOf(const std::string &path)
{
  const std::string folder = fs::path(path).parent_path().string();
  return folder.empty() ? "." : folder;
}

} // namespace

TInputFiles::TInputFiles(const std::vector<std::string> &paths)
{
  for (const std::string &path : paths) {
    TInput input{0, 0, 0, 0, path, fs::path(path).filename().string()};
    if (Identify(path, input.Device, input.Inode) && Identify(FolderOf(path), input.FolderDevice, input.FolderInode))
      inputs_.push_back(std::move(input));
  }
}

std::string TInputFiles::Find(const std::string &path) const
{
  unsigned long long device, inode;
  if (Identify(path, device, inode))
    for (const TInput &input : inputs_)
      if (input.Device == device && input.Inode == inode)
        return input.Path;
  return {};
}

std::string TInputFiles::FindFrame(const std::string &folder, const std::string &stem) const
{
  unsigned long long device, inode;
  if (!Identify(folder, device, inode))
    return {};
  for (const TInput &input : inputs_) {
    if (input.FolderDevice != device || input.FolderInode != inode)
      continue;
    const std::string &name = input.Name;
    const std::string prefix = stem + "-d";
    // stem-dD-fN.png with D from 0 to 3 and N digits.
    if (name.size() >= prefix.size() + 8 && name.compare(0, prefix.size(), prefix) == 0 && name[prefix.size()] >= '0' &&
        name[prefix.size()] <= '3' && name.compare(prefix.size() + 1, 2, "-f") == 0 &&
        name.compare(name.size() - 4, 4, ".png") == 0) {
      const std::string digits = name.substr(prefix.size() + 3, name.size() - prefix.size() - 7);
      if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
        return input.Path;
    }
  }
  return {};
}

TOutputSet::TOutputSet() = default;

TOutputSet::~TOutputSet() = default;

bool TOutputSet::Add(const std::string &path, const QByteArray &bytes, std::string &error)
{
  if (!CreateFolders(fs::path(path).parent_path().string(), error)) {
    Discard();
    return false;
  }
  auto file = std::make_unique<TFileReplacement>();
  // Synced once for the whole run, at its end.
  if (!file->Write(path, bytes.constData(), size_t(bytes.size()), &error, TSync::Later)) {
    error = "cannot write " + path + ": " + error;
    Discard();
    return false;
  }
  files_.push_back(std::move(file));
  return true;
}

bool TOutputSet::Commit(std::string &error)
{
  // A signal that comes now waits until the set is in place.
  TSignalBlock block;
  for (auto &file : files_)
    if (!file->Commit(&error)) {
      error = "cannot write " + file->Target() + ": " + error;
      Discard();
      return false;
    }
  files_.clear();
  return true;
}

void TOutputSet::Discard()
{
  files_.clear();
}
