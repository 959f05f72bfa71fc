// Whole files read and written safely. Only regular files are read: a FIFO or a device given
// as a file would block or never end. A regular file is replaced only once its new content is
// complete on disk, so a failed write never destroys it; a device or FIFO is written into as a
// stream and never replaced by a file.
#pragma once

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole regular file at path, at most maxSize bytes. On failure returns false with the
// reason in error ("No such file or directory", "not a regular file", "larger than N bytes").
// Bytes is std::string or std::vector<uint8_t>.
template <typename Bytes>
bool ReadWholeFile(const std::string &path, size_t maxSize, Bytes &bytes, std::string *error = nullptr);

// True when path names a regular file (symbolic links followed).
bool IsRegularFile(const std::string &path);
// Why path cannot be read as a regular file ("No such file or directory", "not a regular file"),
// or empty when it can be.
std::string RegularFileProblem(const std::string &path);

// What a file is on disk, to tell whether it changed since it was read: a file rewritten in place
// changes its time or size, one saved by writing a new file and renaming it over the old one
// changes its inode. Exists is false for a missing file (every other field is then 0).
struct TFileStamp
{
  bool Exists = false;
  int64_t Size = 0;
  int64_t Time = 0; // last modification, in nanoseconds
  uint64_t Device = 0, Inode = 0;
  bool operator==(const TFileStamp &other) const
  {
    return Exists == other.Exists && Size == other.Size && Time == other.Time && Device == other.Device &&
           Inode == other.Inode;
  }
  bool operator!=(const TFileStamp &other) const { return !(*this == other); }
};
// The stamp of the file at path, links followed.
TFileStamp FileStamp(const std::string &path);

// When a written file reaches the disk: before WriteWholeFile returns (a saved document), or
// later, when SyncFileSystems is called once for a whole batch of outputs (an export of many
// files, which would otherwise wait for the disk once per file).
enum class TSync { Now, Later };

// Writes size bytes to path as described above; a symbolic link keeps pointing at the replaced
// file, and a replaced file keeps its permissions. On failure returns false with the system's
// message in error; the old file is then untouched.
bool WriteWholeFile(const std::string &path, const char *data, size_t size, std::string *error = nullptr,
                    TSync sync = TSync::Now);
// A file replaced as a whole: its new content goes to a temporary file beside it, which Commit
// renames over the target, so the target holds either its old content or all of the new. A device
// or FIFO target is not replaced: Commit writes the content into it. Until it is committed or
// discarded the temporary file is listed for RemoveTemporaryFiles. Discarded when destroyed
// uncommitted.
class TFileReplacement
{
public:
  TFileReplacement() = default;
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement &) = delete;
  TFileReplacement &operator=(const TFileReplacement &) = delete;

  // Writes the content for path (a symbolic link keeps pointing at the replaced file, a replaced
  // file keeps its permissions). On failure returns false with the reason in error and leaves no
  // temporary file. Called once per object.
  bool Write(const std::string &path, const char *data, size_t size, std::string *error = nullptr,
             TSync sync = TSync::Now);
  // Puts the content in place; false with the system's message in error (nothing is replaced).
  bool Commit(std::string *error = nullptr);
  // Removes the temporary file; the target is left as it was.
  void Discard();
  // The file Commit replaces (the target of a symbolic link).
  const std::string &Target() const { return target_; }

private:
  std::string target_, temporary_;
  std::string streamData_; // for a device or FIFO, written at Commit
  bool stream_ = false;
  bool syncNow_ = true;
  void Unlist();
  struct TListedTemporaryFile *listed_ = nullptr;
};

// Blocks SIGINT, SIGTERM and SIGHUP for the calling thread while it exists, so that a handler of
// them never sees a temporary file half listed or a set of files half replaced.
class TSignalBlock
{
public:
  TSignalBlock();
  ~TSignalBlock();
  TSignalBlock(const TSignalBlock &) = delete;
  TSignalBlock &operator=(const TSignalBlock &) = delete;

private:
  sigset_t saved_; // the mask before
};

// Removes every temporary file of uncommitted replacements. Safe to call from a signal handler
// for the signals TSignalBlock blocks, when it runs on the thread that writes the files.
void RemoveTemporaryFiles();

// Makes every write so far to the file systems holding these folders durable, syncing each file
// system once. On failure returns false with the system's message in error.
bool SyncFileSystems(const std::vector<std::string> &folders, std::string *error = nullptr);
