// Feeds arbitrary bytes to the animation reader, then writes what it made, reads that back and
// writes it again: the second text must equal the first.
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/document.h"
#include "model/reader.h"
#include "model/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  TZeltoAni ani;
  if (!ParseAnimation(ani, nullptr, bytes))
    return 0;
  const std::string written = AnimationText(&ani);
  TZeltoAni again;
  if (!ParseAnimation(again, nullptr, written))
    __builtin_trap();
  if (AnimationText(&again) != written)
    __builtin_trap();
  return 0;
}
