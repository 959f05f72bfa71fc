// Fuzz target: the GIF decoder on arbitrary bytes, rendering every frame and a second loop, once
// decoding frames whole and once row by row (the way huge frames are decoded).
#include <cstddef>
#include <cstdint>

#include "images/gif_animation.h"

static void DecodeAll(const uint8_t *data, size_t size)
{
  try {
    TGifAnimation image(std::vector<uint8_t>(data, data + size));
    for (int i = 0; i < image.FrameCount * 2 + 1; ++i)
      image.NextFrame();
    image.IsTransparentPixel(0, 0);
    image.IsTransparentPixel(image.Width - 1, image.Height - 1);
  } catch (const TImageLoadError &) {
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static const size_t wholeLimit = TGifAnimation::LinearDecodeLimit;
  TGifAnimation::LinearDecodeLimit = wholeLimit;
  DecodeAll(data, size);
  TGifAnimation::LinearDecodeLimit = 0;
  DecodeAll(data, size);
  return 0;
}
