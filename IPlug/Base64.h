#pragma once

#include <cstdint>
#include <string>

namespace iplug {

// Standard base64 ("A-Z a-z 0-9 + /"), with "=" padding on encode.
std::string Base64Encode(const uint8_t* data, int size);

// Decodes at most maxBytes bytes into out. Decoding stops at the end of the text and at the
// first character outside the alphabet (padding included). Returns the number of bytes written.
int Base64Decode(const char* text, uint8_t* out, int maxBytes);

} // namespace iplug
