#include "core/file_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(std::string *error, const std::string &message)
{
  if (error)
    *error = message;
  return false;
}

bool FailErrno(std::string *error)
{
  return Fail(error, std::strerror(errno));
}

// Closes a descriptor when it goes out of scope.
class TFileDescriptor
{
public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor()
  {
    if (fd_ >= 0)
      ::close(fd_);
  }
  TFileDescriptor(const TFileDescriptor &) = delete;
  TFileDescriptor &operator=(const TFileDescriptor &) = delete;
  int Get() const { return fd_; }
  // Closes now; false (errno set) when closing reported an error.
  bool Close()
  {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

private:
  int fd_;
};

bool WriteAll(int fd, const char *data, size_t size)
{
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// A device or FIFO: opened for writing (a FIFO waits for its reader, as the shell's > does) and
// written into; no temporary file, nothing replaced.
bool WriteStream(const std::string &path, const char *data, size_t size, std::string *error)
{
  TFileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
  if (fd.Get() < 0 || !WriteAll(fd.Get(), data, size) || !fd.Close())
    return FailErrno(error);
  return true;
}

std::string FolderOf(const std::string &path)
{
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t NewFileMode()
{
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

} // namespace

TFileStamp FileStamp(const std::string &path)
{
  struct stat info;
  if (path.empty() || stat(path.c_str(), &info) != 0)
    return {};
  TFileStamp stamp;
  stamp.Exists = true;
  stamp.Size = int64_t(info.st_size);
  stamp.Time = int64_t(info.st_mtim.tv_sec) * 1000000000 + int64_t(info.st_mtim.tv_nsec);
  stamp.Device = uint64_t(info.st_dev);
  stamp.Inode = uint64_t(info.st_ino);
  return stamp;
}

bool IsRegularFile(const std::string &path)
{
  return RegularFileProblem(path).empty();
}

std::string RegularFileProblem(const std::string &path)
{
  struct stat status;
  if (::stat(path.c_str(), &status) != 0)
    return std::strerror(errno);
  return S_ISREG(status.st_mode) ? "" : "not a regular file";
}

template <typename Bytes> bool ReadWholeFile(const std::string &path, size_t maxSize, Bytes &bytes, std::string *error)
{
  bytes.clear();
  // Non-blocking, so that opening a FIFO returns at once; it is then refused as not regular.
  TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0)
    return FailErrno(error);
  struct stat status;
  if (::fstat(fd.Get(), &status) != 0)
    return FailErrno(error);
  if (!S_ISREG(status.st_mode))
    return Fail(error, "not a regular file");
  if (status.st_size < 0 || static_cast<unsigned long long>(status.st_size) > maxSize)
    return Fail(error, "larger than " + std::to_string(maxSize) + " bytes");
  bytes.resize(static_cast<size_t>(status.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd.Get(), reinterpret_cast<char *>(bytes.data()) + done, bytes.size() - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return FailErrno(error);
    if (got == 0)
      break;
    done += static_cast<size_t>(got);
  }
  // A file that shrank while being read keeps what was there.
  bytes.resize(done);
  return true;
}

template bool ReadWholeFile(const std::string &, size_t, std::string &, std::string *);
template bool ReadWholeFile(const std::string &, size_t, std::vector<uint8_t> &, std::string *);

// The temporary files of uncommitted replacements, listed for RemoveTemporaryFiles. Changed only
// with the handled signals blocked, so a handler on the same thread always sees it whole.
struct TListedTemporaryFile
{
  std::string Path;
  TListedTemporaryFile *Previous = nullptr, *Next = nullptr;
};

namespace {

TListedTemporaryFile *listedFiles = nullptr;

} // namespace

TSignalBlock::TSignalBlock()
{
  sigset_t blocked;
  sigemptyset(&blocked);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaddset(&blocked, signal);
  pthread_sigmask(SIG_BLOCK, &blocked, &saved_);
}

TSignalBlock::~TSignalBlock()
{
  pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

void RemoveTemporaryFiles()
{
  for (const TListedTemporaryFile *file = listedFiles; file; file = file->Next)
    ::unlink(file->Path.c_str());
}

TFileReplacement::~TFileReplacement()
{
  Discard();
}

bool TFileReplacement::Write(const std::string &path, const char *data, size_t size, std::string *error, TSync sync)
{
  if (path.empty())
    return Fail(error, "No such file or directory");
  syncNow_ = sync == TSync::Now;
  target_ = path;
  mode_t mode = NewFileMode();
  struct stat status;
  if (::stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode))
      return Fail(error, std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode)) {
      stream_ = true;
      streamData_.assign(data, size);
      return true;
    }
    mode = status.st_mode & 07777;
    // Replace what a symbolic link points at, not the link.
    if (char *resolved = ::realpath(path.c_str(), nullptr)) {
      target_ = resolved;
      std::free(resolved);
    }
  }

  const std::string folder = FolderOf(target_);
  auto listed = std::make_unique<TListedTemporaryFile>();
  listed->Path = folder + "/." + target_.substr(target_.rfind('/') + 1) + ".XXXXXX";
  int descriptor;
  {
    // The file is listed as soon as it exists.
    TSignalBlock block;
    descriptor = ::mkstemp(listed->Path.data());
    if (descriptor >= 0) {
      listed->Next = listedFiles;
      if (listedFiles)
        listedFiles->Previous = listed.get();
      listedFiles = listed_ = listed.release();
    }
  }
  if (descriptor < 0)
    return Fail(error, "cannot create a file in " + folder + ": " + std::strerror(errno));
  temporary_ = listed_->Path;
  TFileDescriptor fd(descriptor);
  const bool written = WriteAll(fd.Get(), data, size) && ::fchmod(fd.Get(), mode) == 0 &&
                       (!syncNow_ || ::fdatasync(fd.Get()) == 0) && fd.Close();
  if (!written) {
    const int failure = errno;
    Discard();
    errno = failure;
    return FailErrno(error);
  }
  return true;
}

bool TFileReplacement::Commit(std::string *error)
{
  if (stream_) {
    stream_ = false;
    const std::string data = std::move(streamData_);
    return WriteStream(target_, data.data(), data.size(), error);
  }
  if (!listed_)
    return Fail(error, "nothing to write");
  {
    TSignalBlock block;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      const int failure = errno;
      Discard();
      errno = failure;
      return FailErrno(error);
    }
    Unlist();
  }
  if (syncNow_) {
    // The rename itself is made durable with the folder.
    TFileDescriptor folder(::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
      ::fsync(folder.Get());
  }
  return true;
}

void TFileReplacement::Discard()
{
  stream_ = false;
  streamData_.clear();
  if (!listed_)
    return;
  TSignalBlock block;
  ::unlink(temporary_.c_str());
  Unlist();
}

void TFileReplacement::Unlist()
{
  (listed_->Previous ? listed_->Previous->Next : listedFiles) = listed_->Next;
  if (listed_->Next)
    listed_->Next->Previous = listed_->Previous;
  delete listed_;
  listed_ = nullptr;
}

bool WriteWholeFile(const std::string &path, const char *data, size_t size, std::string *error, TSync sync)
{
  TFileReplacement replacement;
  return replacement.Write(path, data, size, error, sync) && replacement.Commit(error);
}

bool SyncFileSystems(const std::vector<std::string> &folders, std::string *error)
{
  std::set<dev_t> synced;
  for (const std::string &folder : folders) {
    TFileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status;
    if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0)
      return FailErrno(error);
    if (synced.insert(status.st_dev).second && ::syncfs(fd.Get()) != 0)
      return FailErrno(error);
  }
  return true;
}
