// Fuzz target: the PNG/MNG decoder on arbitrary bytes, rendering every frame and a second loop.
#include <cstddef>
#include <cstdint>

#include "images/mng_animation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  try {
    TMNGAnimation image(std::vector<uint8_t>(data, data + size));
    for (int i = 0; i < image.FrameCount * 2 + 1; ++i)
      image.NextFrame();
    image.IsTransparentPixel(0, 0);
    image.IsTransparentPixel(image.Width - 1, image.Height - 1);
  } catch (const TImageLoadError &) {
  }
  return 0;
}
