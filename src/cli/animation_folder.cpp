#include "cli/animation_folder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "core/file_io.h"
#include "core/helpers.h"
#include "images/file_index.h"
#include "model/document.h"
#include "model/reader.h"

namespace fs = std::filesystem;

TAnimationFolder::TAnimationFolder()
{
  // A handle rather than a path: the folder is found again even when it cannot be named or read.
  start_ = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
}

TAnimationFolder::~TAnimationFolder()
{
  Leave();
  if (start_ >= 0)
    ::close(start_);
}

bool TAnimationFolder::Enter(const std::string &folder, std::string &error)
{
  if (::chdir(folder.c_str()) != 0) {
    error = "cannot enter its folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  entered_ = folder;
  return true;
}

void TAnimationFolder::Leave()
{
  if (!entered_.empty() && start_ >= 0 && ::fchdir(start_) == 0)
    entered_.clear();
}

std::string AnimationFile(const std::string &name)
{
  return IsBareAnimationName(name) ? ResolveFile(LowerCase(TrimControl(name)) + ".velk") : name;
}

std::unique_ptr<TZeltoAni> ReadInItsFolder(TZeltoActor *owner, const std::string &name, TAnimationFolder &folder,
                                           std::string &error)
{
  const std::string file = AnimationFile(name);
  if (file.empty()) {
    error = "not found in the game folder";
    return nullptr;
  }
  std::error_code failure;
  const fs::path absolute = fs::absolute(file, failure);
  if (failure) {
    error = failure.message();
    return nullptr;
  }
  if (error = RegularFileProblem(absolute.string()); !error.empty())
    return nullptr;
  if (!folder.Enter(absolute.parent_path().string(), error))
    return nullptr;
  std::unique_ptr<TZeltoAni> ani = ReadAnimation(owner, absolute.string(), &error);
  if (ani) {
    ani->Name = LowerCase(TrimControl(name));
    ani->FileName = file;
  }
  return ani;
}
