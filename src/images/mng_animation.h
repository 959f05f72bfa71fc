// Unit UMNG: the PNG and MNG decoder for indexed-colour images of 4 or 8 bits per pixel.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/image_animation.h"

// One embedded PNG image of the file.
class TMNGAnimationStep
{
public:
  int BitDepth = 8;
  int ColorType = 3;
  int Width = 0;
  int Height = 0;
  int Delay = 1000; // in MNG ticks
  std::array<uint8_t, 768> Palette{};
  int ColorCount = 0;
  bool HasPalette = false;
  int TransparentIndex = -1;
  bool HasTransparency = false;
  // Inflated scan lines, each a filter byte followed by the row bytes; none until inflated.
  std::unique_ptr<uint8_t[]> Data;
  size_t DataSize = 0;
  // Data's filters have been reversed (by the first rendering); later loops copy the rows as they are.
  bool Unfiltered = false;
};

class TMNGAnimation : public TImageAnimation
{
public:
  // Both throw TImageLoadError("MNG loading failed!").
  explicit TMNGAnimation(const std::string &fileName);
  explicit TMNGAnimation(std::vector<uint8_t> stream);

  int NextFrame() override;

  std::vector<std::unique_ptr<TMNGAnimationStep>> Frames;
  int CurrentFrame = 0;
  int LoopsLeft = 0;
  int TicksPerSecond = 100;
  int GlobalTransparentIndex = -1;
  int GlobalColorCount = 0;

  // Inflated pixel data held by all frames together stays below this; frames beyond it keep none.
  static constexpr size_t MaxTotalData = size_t(512) << 20;

private:
  void Load(std::vector<uint8_t> stream);
  bool Parse() override;
  // One function per chunk type; the state carries what chunks leave for those after them.
  struct TParseState;
  bool ReadChunk(TParseState &state, const std::string &type, const uint8_t *body, size_t length);
  void ReadFileHeader(const uint8_t *body, size_t size);                  // MHDR
  void ReadFraming(TParseState &state, const uint8_t *body, size_t size); // FRAM
  void ReadTermination(const uint8_t *body, size_t size);                 // TERM
  // IHDR: a new frame; false when its format or size fails the file.
  bool StartImage(TParseState &state, const uint8_t *body, size_t size);
  void ReadPalette(TMNGAnimationStep *current, const uint8_t *body, size_t size);      // PLTE
  void ReadTransparency(TMNGAnimationStep *current, const uint8_t *body, size_t size); // tRNS
  void EndImage(TParseState &state); // IEND: inflates the image's data
  void EndFile(TParseState &state);  // MEND
  void Inflate(TMNGAnimationStep &frame, const std::vector<uint8_t> &idat);
  void Render(TMNGAnimationStep &frame);

  size_t TotalData = 0;
};
