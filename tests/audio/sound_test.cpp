#include "audio/sound.h"
#include "audio/sound_module.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "support/temp_dir.h"

namespace {

// Stands in for the audio device and records what the list asked of it.
class FakeDevice : public TSoundDevice
{
public:
  explicit FakeDevice(bool available, std::vector<std::string> *log) : available_(available), log_(log) {}
  bool Available() override { return available_; }
  void Load(TWave &wave, const std::string &path) override { log_->push_back("load " + wave.Name + " from " + path); }
  void Play(TWave &wave) override
  {
    log_->push_back("play " + wave.Name + (wave.Looped ? " looped" : "") + " pan " + std::to_string(wave.Pan) +
                    " volume " + std::to_string(static_cast<int>(wave.Volume * 100)));
  }

private:
  bool available_;
  std::vector<std::string> *log_;
};

// A minimal PCM wave file: 8 samples of silence.
std::string WaveBytes()
{
  std::string data(8, '\x80');
  auto le32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto le16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  return "RIFF" + le32(36 + data.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(8000) +
         le16(1) + le16(8) + "data" + le32(data.size()) + data;
}

} // namespace

TEST(WaveList, PlaysOnlyExistingWaveFiles)
{
  TempDir dir;
  const std::string wave = dir.Write("Step.WAV", WaveBytes());
  dir.Write("step.mp3", "not a wave");
  dir.Write("sound.wav/inner", "a folder named like a wave");
  std::vector<std::string> log;
  TWaveList list(std::make_unique<FakeDevice>(true, &log));

  for (const std::string &name : {dir.Path() + "/step.mp3", dir.Path() + "/stepwav", dir.Path() + "/sound.wav/inner",
                                  dir.Path() + "/sound.wav", dir.Path() + "/missing.wav", std::string()})
    list.PlaySoundFile(name);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(log.empty());

  list.PlaySoundFile(wave);
  ASSERT_EQ(list.Count(), 1u);
  const std::string key = LowerCase(dir.Path() + "/step.wav");
  // Named by the lower-cased path, loaded from the path as given, played once, centred, loud.
  EXPECT_EQ(list.At(0).Name, key);
  EXPECT_EQ(log, (std::vector<std::string>{"load " + key + " from " + wave, "play " + key + " pan 0 volume 100"}));
}

TEST(WaveList, KeepsOneSamplePerNameAndRetriesMissingFiles)
{
  TempDir dir;
  std::vector<std::string> log;
  TWaveList list(std::make_unique<FakeDevice>(true, &log));
  const std::string path = dir.Path() + "/hit.wav";

  list.PlaySoundFile(path);
  EXPECT_EQ(list.Count(), 0u);
  dir.Write("hit.wav", WaveBytes());
  list.PlaySoundFile(path);
  list.PlaySoundFile(dir.Path() + "/HIT.wav"); // the same sample, though no such file exists
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(log.size(), 3u); // one load, two plays
  EXPECT_EQ(log[0].rfind("load ", 0), 0u);
  EXPECT_EQ(log[2], "play " + LowerCase(path) + " pan 0 volume 100");
}

TEST(WaveList, WithoutADeviceNothingIsLoadedOrPlayed)
{
  TempDir dir;
  const std::string wave = dir.Write("a.wav", WaveBytes());
  std::vector<std::string> log;
  TWaveList list(std::make_unique<FakeDevice>(false, &log));
  list.PlaySoundFile(wave);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_TRUE(log.empty());
}

TEST(WaveList, TheRealOutputNeverFails)
{
  // The output's module is found beside the program (here, in the build tree).
  EXPECT_NE(LoadSoundModuleDevice(), nullptr);
  // With or without an audio device on this machine: silence at worst, never an error.
  TempDir dir;
  const std::string wave = dir.Write("a.wav", WaveBytes());
  const std::string broken = dir.Write("b.wav", "RIFF????");
  TWaveList list;
  list.PlaySoundFile(wave);
  list.PlaySoundFile(broken);
  list.PlaySoundFile(wave);
  EXPECT_LE(list.Count(), 2u);
}

TEST(WaveList, AChangedFileIsReadAgainWhenPlayed)
{
  TempDir dir;
  std::vector<std::string> log;
  TWaveList list(std::make_unique<FakeDevice>(true, &log));
  const std::string path = dir.Write("hit.wav", WaveBytes());
  const std::string load = "load " + LowerCase(path) + " from " + path;
  auto loads = [&] { return std::count(log.begin(), log.end(), load); };

  list.PlaySoundFile(path);
  list.PlaySoundFile(path);
  EXPECT_EQ(loads(), 1);
  dir.Write("hit.wav", WaveBytes() + "longer"); // edited in place
  list.PlaySoundFile(path);
  EXPECT_EQ(loads(), 2);
  dir.Write("hit.wav.new", WaveBytes()); // saved by rename
  std::filesystem::rename(path + ".new", path);
  list.PlaySoundFile(path);
  list.PlaySoundFile(path);
  EXPECT_EQ(loads(), 3);
  std::filesystem::remove(path); // gone: the sample read last still plays
  list.PlaySoundFile(path);
  EXPECT_EQ(loads(), 3);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(log.back(), "play " + LowerCase(path) + " pan 0 volume 100");
}
