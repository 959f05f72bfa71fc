// The files one animation is exported to (a GIF; a sheet and its index; its PNG frames): put in
// place all together or not at all. Each file is written beside its target under a temporary name
// as it comes (core/file_io.h); Commit renames them all while the interrupting signals are held
// back, so a failed or interrupted export leaves every target as it was and no temporary file.
#pragma once

#include <QByteArray>
#include <memory>
#include <string>
#include <vector>

class TFileReplacement;

class TOutputSet
{
public:
  TOutputSet();
  // Discards what was not committed.
  ~TOutputSet();
  TOutputSet(const TOutputSet &) = delete;
  TOutputSet &operator=(const TOutputSet &) = delete;

  // Writes the file's content under its temporary name, creating missing folders. False with the
  // reason ("cannot create folder F: ...", "cannot write PATH: ..."); the set is then discarded.
  bool Add(const std::string &path, const QByteArray &bytes, std::string &error);
  // Puts every file in place. False with the reason of the first that failed; those after it are
  // discarded (renames beside their targets fail only when the file system does).
  bool Commit(std::string &error);
  void Discard();

private:
  std::vector<std::unique_ptr<TFileReplacement>> files_;
};

// The input files of a run, by device and inode, so that no output replaces one of them (through
// another name or a link as well).
class TInputFiles
{
public:
  // Paths that do not exist are left out.
  explicit TInputFiles(const std::vector<std::string> &paths);
  // The input that path is, or empty.
  std::string Find(const std::string &path) const;
  // An input in folder whose name is that of a PNG frame stem-dD-fN.png, or empty.
  std::string FindFrame(const std::string &folder, const std::string &stem) const;

private:
  struct TInput
  {
    unsigned long long Device, Inode, FolderDevice, FolderInode;
    std::string Path, Name;
  };
  std::vector<TInput> inputs_;
};

// Creates folder and its missing parents; false with "cannot create folder F: reason", naming
// the folder that could not be made (or the file that stands where a folder should be).
bool CreateFolders(const std::string &folder, std::string &error);
