#include "support/hostile_inputs.h"

#include <filesystem>
#include <fstream>

namespace {

std::string Save(const std::string &folder, const std::string &name, const std::string &text)
{
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

const std::string FourShadows = "   0  12  34\r\n   0  12  34\r\n   0  12  34\r\n   0  12  34\r\n";

} // namespace

void CopyBundledSprites(const std::string &folder)
{
  std::filesystem::copy_file(std::string(ZELTRIX_SOURCE_DIR) + "/assets/game/sprites.png", folder + "/sprites.png",
                             std::filesystem::copy_options::overwrite_existing);
}

std::string WriteManyFrameBlocks(const std::string &folder, int blocks)
{
  CopyBundledSprites(folder);
  std::string text = "VELK0001\r\nSPRITE    0         SPRITES    0    0   24   16 shadow\r\n\r\n";
  text.reserve(text.size() + size_t(blocks) * (FourShadows.size() + 20));
  for (int i = 0; i < blocks; ++i)
    text += "ANI\r\n" + FourShadows + "WAIT 1\r\nANIEND\r\n";
  return Save(folder, "blocks.velk", text);
}

std::string WriteManySpriteActors(const std::string &folder, int actors)
{
  CopyBundledSprites(folder);
  std::string text =
      "VELK0002\r\nSPRITE    0         SPRITES    0    0   24   16 shadow\r\n\r\nFRAMES 100\r\n\r\nMOVIE\r\n";
  for (int i = 0; i < actors; ++i)
    text += "  ACTOR SPRITE s" + std::to_string(i) + "\r\n    FRAME 0 dx=" + std::to_string(i % 300) +
            ",dy=1,sprite #=0,visible=true\r\n  ACTOREND\r\n";
  text += "MOVIEEND\r\n";
  return Save(folder, "actors.velk", text);
}

std::string WriteMultiplyingAttachments(const std::string &folder, int definitions, int fanOut)
{
  CopyBundledSprites(folder);
  std::string text = "VELK0001\r\n";
  for (int i = 0; i < definitions; ++i)
    text += "SPRITE " + std::to_string(i) + " SPRITES 0 0 24 16 s" + std::to_string(i) + "\r\n";
  for (int i = 0; i + 1 < definitions; ++i)
    for (int j = 0; j < fanOut; ++j)
      text += "ATTACHSPRITE " + std::to_string(i) + " " + std::to_string(i + 1) + " " + std::to_string(j % 2) + " " +
              std::to_string(j / 2) + "\r\n";
  text += "\r\nANI\r\n" + FourShadows + "ANIEND\r\n";
  return Save(folder, "attachments.velk", text);
}

std::string WriteMultiplyingMovies(const std::string &folder, int depth, int characters)
{
  CopyBundledSprites(folder);
  for (int level = 0; level < depth; ++level) {
    std::string text =
        "VELK0002\r\nSPRITE    0         SPRITES    0    0   24   16 shadow\r\n\r\nFRAMES 100\r\n\r\nMOVIE\r\n";
    for (int i = 0; i < characters; ++i) {
      text +=
          "  ACTOR CHAR c" + std::to_string(i) + "\r\n    FRAME 0 dx=" + std::to_string(i * 3) + ",dy=0,visible=true";
      if (level + 1 < depth)
        text += ",ani=m" + std::to_string(level + 1);
      text += "\r\n  ACTOREND\r\n";
    }
    text += "MOVIEEND\r\n";
    Save(folder, "m" + std::to_string(level) + ".velk", text);
  }
  // The last movie plays a sprite animation, so the innermost characters draw something.
  Save(folder, "idle.velk",
       "VELK0001\r\nSPRITE    0         SPRITES    0    0   24   16 shadow\r\n\r\nANI\r\n" + FourShadows +
           "ANIEND\r\n");
  return folder + "/m0.velk";
}
