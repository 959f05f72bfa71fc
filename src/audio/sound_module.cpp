#include "audio/sound_module.h"

#include <dlfcn.h>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::string> SoundModuleFolders()
{
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error).parent_path();
  if (error)
    return {};
  return {(program.parent_path() / ZELTRIX_SOUND_MODULE_DIR).string(), (program / ZELTRIX_SOUND_MODULE_DIR).string()};
}

std::unique_ptr<TSoundDevice> LoadSoundModuleDevice()
{
  // Loaded once and kept for the run: the samples its device makes run its code until the end.
  static TCreateSoundDevice *create = []() -> TCreateSoundDevice * {
    for (const std::string &folder : SoundModuleFolders()) {
      const std::string path = folder + "/" + SoundModuleFile;
      if (!fs::is_regular_file(path))
        continue;
      if (void *module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
        return reinterpret_cast<TCreateSoundDevice *>(dlsym(module, SoundModuleEntry));
    }
    return nullptr;
  }();
  return std::unique_ptr<TSoundDevice>(create ? create() : nullptr);
}

TSoundDevice *TModuleSoundDevice::Device()
{
  if (!loaded_) {
    loaded_ = true;
    device_ = LoadSoundModuleDevice();
  }
  return device_.get();
}

bool TModuleSoundDevice::Available()
{
  return Device() && device_->Available();
}

void TModuleSoundDevice::Load(TWave &wave, const std::string &path)
{
  if (Device())
    device_->Load(wave, path);
}

void TModuleSoundDevice::Play(TWave &wave)
{
  if (Device())
    device_->Play(wave);
}
