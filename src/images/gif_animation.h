// Unit UGif: the GIF decoder (87a and 89a) into the same indexed raster as the PNG/MNG decoder.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/image_animation.h"

// One image of the file: its rectangle and where its data starts; decoded only when rendered.
class TGifAnimationStep
{
public:
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  size_t DataPosition = 0; // just after the image descriptor
  int LocalColorBits = 0;  // 0: no local colour table, else the table holds 2^n entries
  bool Interlaced = false;
  int Delay = 0; // hundredths of a second
  int TransparentIndex = -1;
  int Disposal = 0;
};

class TGifAnimation : public TImageAnimation
{
public:
  // Both throw TImageLoadError("Gif loading failed!").
  explicit TGifAnimation(const std::string &fileName);
  explicit TGifAnimation(std::vector<uint8_t> stream);

  int NextFrame() override;

  uint16_t ScreenWidth = 0;
  uint16_t ScreenHeight = 0;
  uint8_t ScreenFlags = 0;
  uint8_t BackgroundIndex = 0;
  uint8_t AspectRatio = 0;
  std::vector<std::unique_ptr<TGifAnimationStep>> Frames;
  int CurrentFrame = 0;
  int LoopsLeft = 0;
  int PreviousDisposal = 2;
  int GlobalTableSize = 0;
  int GlobalColorCount = 0;
  std::array<uint8_t, 768> LocalPalette{};

  // Frames of at most this many pixels are decoded whole; larger ones row by row.
  static size_t LinearDecodeLimit;

private:
  void Load(std::vector<uint8_t> stream);
  bool Parse() override;
  // The header and global colour table; pos is left after them. False when the file is not usable.
  bool ReadScreen(size_t &pos);
  // The extensions before an image: graphic control values go to frame, a loop count to
  // Iterations. False when the stream ends inside one.
  bool ReadExtensions(size_t &pos, TGifAnimationStep &frame);
  bool ReadExtension(uint8_t label, size_t &pos, TGifAnimationStep &frame);
  void Decode(const TGifAnimationStep &frame, size_t position);
  // Decodes into a buffer of the whole frame (strings copied from earlier output), or for huge
  // frames row by row (strings rebuilt from the table).
  void DecodeWhole(const TGifAnimationStep &frame, int minCodeSize, size_t area);
  void DecodeByRows(const TGifAnimationStep &frame, int minCodeSize);
  void WriteFrameRow(const TGifAnimationStep &frame, int frameRow, const uint8_t *pixels, int count);

  std::vector<uint8_t> Codes;  // a frame's data sub-blocks joined, reused between frames
  std::vector<uint8_t> Row;    // one row of the frame being decoded
  std::vector<uint8_t> Linear; // the whole frame being decoded, in data order
};
