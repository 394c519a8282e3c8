// The preset bank reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "FuzzProduct.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Corvane& plug = FuzzProduct();
  iplug::ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  plug.UnserializePresets(chunk, 0);
  CheckParameters(plug);
  return 0;
}
