// Every fuzz seed and every input that once broke a decoder loads or fails cleanly.
#include <gtest/gtest.h>

#include <filesystem>

#include "images/gif_animation.h"
#include "images/mng_animation.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

template <typename Decoder> void ReplayFolder(const std::string &kind)
{
  int files = 0;
  for (const char *folder : {"/fuzz/corpus/", "/fuzz/crashers/"})
    for (const auto &entry : fs::recursive_directory_iterator(std::string(ZELTRIX_SOURCE_DIR) + folder + kind)) {
      if (!entry.is_regular_file())
        continue;
      ++files;
      const std::string bytes = ReadWholeFile(entry.path().string());
      try {
        Decoder image{std::vector<uint8_t>(bytes.begin(), bytes.end())};
        for (int i = 0; i < image.FrameCount * 2 + 1; ++i)
          image.NextFrame();
        EXPECT_GE(image.Width, 1) << entry.path();
        EXPECT_EQ(image.Bitmap.width(), image.Width) << entry.path();
      } catch (const TImageLoadError &) {
      }
    }
  EXPECT_GE(files, 5) << kind;
}

TEST(CorpusReplay, PngAndMngInputs)
{
  ReplayFolder<TMNGAnimation>("png");
}

TEST(CorpusReplay, GifInputs)
{
  ReplayFolder<TGifAnimation>("gif");
}
