// The base64 blob reader: decoding into exactly sized buffers and into a preset.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Base64.h"
#include "FuzzProduct.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size == 0)
    return 0;
  const int maxBytes = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  // Exactly the room promised, so AddressSanitizer sees any write past it.
  std::vector<uint8_t> out(static_cast<size_t>(maxBytes));
  const int written = iplug::Base64Decode(text, out.data(), maxBytes);
  if (written < 0 || written > maxBytes)
    std::abort();
  const std::string terminated(text);
  iplug::Base64Decode(terminated.c_str(), out.data(), maxBytes);
  // A blob preset takes the first free slot; the product has one, so later calls find none.
  FuzzProduct().MakePresetFromBlob("fuzz", terminated.c_str(), maxBytes);
  return 0;
}
