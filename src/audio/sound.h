// The wave list: one sample per sound file played during the run, and PlaySoundFile, which
// plays a ".wav" file once through it. Without an audio device nothing plays and nothing fails.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/file_io.h"

// What a device made of a loaded wave file; each device derives its own.
class TSample
{
public:
  virtual ~TSample() = default;
};

// One sample of the list.
struct TWave
{
  std::string Name; // the file's full path in lower case
  int Pan = 0;      // centred
  float Volume = 1; // full volume
  bool Looped = false;
  std::unique_ptr<TSample> Sample; // none until loaded by the device
  TFileStamp Stamp;                // the file as it was when last loaded
  int Loads = 0;                   // how often it was loaded
};

// Where samples are loaded and played. The list talks to the audio device only through this.
class TSoundDevice
{
public:
  virtual ~TSoundDevice() = default;
  virtual bool Available() = 0;
  // Loads the wave file at path into wave; failures leave the sample silent.
  virtual void Load(TWave &wave, const std::string &path) = 0;
  // Starts playing without waiting.
  virtual void Play(TWave &wave) = 0;
};

class TWaveList
{
public:
  // Plays through device, or through the default audio output (TModuleSoundDevice) when none
  // is given.
  explicit TWaveList(std::unique_ptr<TSoundDevice> device = nullptr);
  ~TWaveList();
  TWaveList(const TWaveList &) = delete;
  TWaveList &operator=(const TWaveList &) = delete;

  // The sample whose Name equals name, or none.
  TWave *Find(const std::string &name);
  size_t Count() const { return waves_.size(); }
  const TWave &At(size_t i) const { return *waves_[i]; }

  // Plays a wave file once: only when its extension in lower case is ".wav" and the device
  // is available. The sample is looked up by the path in lower case; a missing one is added
  // and loaded when the file exists, so a missing file is tried again on the next call. A file
  // that changed since its sample was loaded is loaded again.
  void PlaySoundFile(const std::string &name);

private:
  void Load(TWave &wave, const std::string &path);

  // The samples outlive the device (members go in reverse order); the code that frees them stays,
  // as the sound module is never unloaded.
  std::vector<std::unique_ptr<TWave>> waves_;
  std::unique_ptr<TSoundDevice> device_;
};
