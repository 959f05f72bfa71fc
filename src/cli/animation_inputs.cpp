#include "cli/animation_inputs.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/byte_names.h"
#include "core/helpers.h"

namespace fs = std::filesystem;

namespace {

bool IsAnimationFile(const fs::path &path)
{
  return LowerCase(path.extension().string()) == ".velk";
}

std::string WithoutExtension(const fs::path &path)
{
  fs::path stem = path;
  return stem.replace_extension().generic_string();
}

void AddFolder(const std::string &folder, std::vector<TAnimationInput> &inputs)
{
  std::vector<fs::path> found;
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
  for (; !error && it != end && found.size() < MaxInputs; it.increment(error))
    if (IsAnimationFile(it->path()) && it->is_regular_file(error))
      found.push_back(it->path());
  std::sort(found.begin(), found.end());
  for (const fs::path &path : found)
    inputs.push_back({path.string(), WithoutExtension(path.lexically_relative(folder))});
}

} // namespace

bool IsFolderArgument(const QString &argument)
{
  std::error_code error;
  return fs::is_directory(NameFromQt(argument), error);
}

TAnimationInputs CollectAnimations(const QStringList &arguments)
{
  TAnimationInputs collected;
  std::vector<TAnimationInput> &inputs = collected.Files;
  for (const QString &argument : arguments) {
    const std::string name = NameFromQt(argument);
    const size_t before = inputs.size();
    if (IsFolderArgument(argument)) {
      AddFolder(name, inputs);
      if (inputs.size() == before)
        collected.EmptyFolders.push_back(name);
    } else {
      inputs.push_back({name, WithoutExtension(fs::path(name).filename())});
    }
    if (inputs.size() >= MaxInputs) {
      inputs.resize(MaxInputs);
      break;
    }
  }
  return collected;
}
