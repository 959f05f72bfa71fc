#include "audio/sound.h"

#include <filesystem>

#include "audio/sound_module.h"
#include "core/helpers.h"

TWaveList::TWaveList(std::unique_ptr<TSoundDevice> device) : device_(std::move(device))
{
  if (!device_)
    device_ = std::make_unique<TModuleSoundDevice>();
}

TWaveList::~TWaveList() = default;

TWave *TWaveList::Find(const std::string &name)
{
  for (const auto &wave : waves_)
    if (wave->Name == name)
      return wave.get();
  return nullptr;
}

namespace {

// The extension of the path's last component, from its last ".", or empty.
std::string Extension(const std::string &lowerPath)
{
  const std::string file = ExtractKey(lowerPath);
  const size_t dot = file.rfind('.');
  return dot == std::string::npos ? std::string() : file.substr(dot);
}

} // namespace

void TWaveList::Load(TWave &wave, const std::string &path)
{
  // Stamped before reading: a write while the file is read shows as a change next time.
  wave.Stamp = FileStamp(path);
  ++wave.Loads;
  device_->Load(wave, path);
}

void TWaveList::PlaySoundFile(const std::string &name)
{
  const std::string key = LowerCase(name);
  if (Extension(key) != ".wav" || !device_->Available())
    return;
  try {
    TWave *wave = Find(key);
    if (!wave) {
      // The sample is named by the lower-cased path, but the file is opened by the path as
      // given: file names on this system are case-sensitive.
      std::error_code error;
      if (!std::filesystem::is_regular_file(name, error))
        return;
      waves_.push_back(std::make_unique<TWave>());
      wave = waves_.back().get();
      wave->Name = key;
      Load(*wave, name);
    } else if (const TFileStamp now = FileStamp(name); now.Exists && now != wave->Stamp) {
      // Changed since it was read (a sound edited while the editor runs).
      Load(*wave, name);
    }
    wave->Pan = 0;
    wave->Volume = 1;
    wave->Looped = false;
    device_->Play(*wave);
  } catch (...) {
    // A sound that cannot be loaded or played stays silent.
  }
}
