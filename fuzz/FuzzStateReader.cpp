// The product's state reader on arbitrary bytes: it must stay inside them and leave valid values.
#include <cstddef>
#include <cstdint>

#include "FuzzProduct.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Corvane& plug = FuzzProduct();
  iplug::ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));
  plug.ReadState(chunk, 0);
  CheckParameters(plug);
  // From a position inside the data, too.
  if (size > 0)
    plug.ReadState(chunk, data[0] % static_cast<int>(size));
  CheckParameters(plug);
  return 0;
}
