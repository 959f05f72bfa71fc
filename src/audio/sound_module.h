// The audio output lives in a module of its own, libzeltrix_sound.so, the only code that links Qt
// Multimedia. It is loaded when the first sound is to play: a run that plays nothing never loads
// the sound system, its libraries or its connection to the sound server.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/sound.h"

// The module's file name and the function it exports, which makes its TSoundDevice.
inline constexpr const char *SoundModuleFile = "libzeltrix_sound.so";
inline constexpr const char *SoundModuleEntry = "ZeltrixCreateSoundDevice";
using TCreateSoundDevice = TSoundDevice *();

// Where the module is looked for, in order: the installed library folder beside the program's
// folder (PREFIX/bin/../lib/zeltrix/modules), then the same folder inside the program's (a build
// tree).
std::vector<std::string> SoundModuleFolders();

// The module's device, the module loaded on the first call; none when it cannot be loaded.
std::unique_ptr<TSoundDevice> LoadSoundModuleDevice();

// The default device: asks the module's device, loading the module on the first question.
// Without the module it is a device that is never available.
class TModuleSoundDevice : public TSoundDevice
{
public:
  bool Available() override;
  void Load(TWave &wave, const std::string &path) override;
  void Play(TWave &wave) override;

private:
  TSoundDevice *Device();

  bool loaded_ = false;
  std::unique_ptr<TSoundDevice> device_;
};
