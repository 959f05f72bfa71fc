// Feeds arbitrary bytes to the animation reader, then writes and re-reads what it made.
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/document.h"
#include "document/reader.h"
#include "document/writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  TZeltoAni ani;
  if (!ParseAnimation(ani, nullptr, bytes))
    return 0;
  // Whatever was read must write out, and the written text must read back.
  const std::string written = AnimationText(&ani);
  TZeltoAni again;
  if (!ParseAnimation(again, nullptr, written))
    __builtin_trap();
  return 0;
}
