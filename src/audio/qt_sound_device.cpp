// The sound module (libzeltrix_sound.so): the audio output through Qt Multimedia, one
// QSoundEffect per sample. The program loads it on its first sound (audio/sound_module.h).
#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include "audio/sound.h"

namespace {

class TQtSample : public TSample
{
public:
  QSoundEffect Effect;
};

class TQtSoundDevice : public TSoundDevice
{
public:
  bool Available() override
  {
    if (available_ < 0)
      available_ = QMediaDevices::audioOutputs().isEmpty() ? 0 : 1;
    return available_ == 1;
  }

  void Load(TWave &wave, const std::string &path) override
  {
    auto sample = std::make_unique<TQtSample>();
    const QString file = QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
    QUrl source = QUrl::fromLocalFile(file);
    // Qt Multimedia keeps the samples it read by their address for the whole run: a file loaded
    // again after a change gets an address of its own, whose query the file loader ignores.
    if (wave.Loads > 1)
      source.setQuery("load=" + QString::number(wave.Loads));
    sample->Effect.setSource(source);
    wave.Sample = std::move(sample);
  }

  void Play(TWave &wave) override
  {
    auto *sample = dynamic_cast<TQtSample *>(wave.Sample.get());
    if (!sample)
      return;
    // QSoundEffect has no panning: a mono sample plays centred.
    sample->Effect.setLoopCount(wave.Looped ? QSoundEffect::Infinite : 1);
    sample->Effect.setVolume(wave.Volume);
    sample->Effect.play();
  }

private:
  int available_ = -1; // asked once: -1 not yet, else 0 or 1
};

} // namespace

extern "C" __attribute__((visibility("default"))) TSoundDevice *ZeltrixCreateSoundDevice()
{
  return new TQtSoundDevice;
}
