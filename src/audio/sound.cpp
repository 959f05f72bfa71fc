#include "audio/sound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QUrl>
#include <filesystem>

#include "core/helpers.h"
#include "core/qt_text.h"

bool TQtSoundDevice::Available()
{
  if (available_ < 0)
    available_ = QMediaDevices::audioOutputs().isEmpty() ? 0 : 1;
  return available_ == 1;
}

void TQtSoundDevice::Load(TWave &wave, const std::string &path)
{
  wave.Effect = std::make_unique<QSoundEffect>();
  QUrl source = QUrl::fromLocalFile(PathToQt(path));
  // Qt Multimedia keeps the samples it read by their address for the whole run: a file loaded
  // again after a change gets an address of its own, whose query the file loader ignores.
  if (wave.Loads > 1)
    source.setQuery("load=" + QString::number(wave.Loads));
  wave.Effect->setSource(source);
}

void TQtSoundDevice::Play(TWave &wave)
{
  if (!wave.Effect)
    return;
  // QSoundEffect has no panning: a mono sample plays centred.
  wave.Effect->setLoopCount(wave.Looped ? QSoundEffect::Infinite : 1);
  wave.Effect->setVolume(wave.Volume);
  wave.Effect->play();
}

TWaveList::TWaveList(std::unique_ptr<TSoundDevice> device) : device_(std::move(device))
{
  if (!device_)
    device_ = std::make_unique<TQtSoundDevice>();
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
