#pragma once

#include <string>
#include <string_view>

namespace iplug {

// Standard base64 (alphabet A-Z a-z 0-9 + /): each group of three bytes becomes four
// characters, and an incomplete last group is completed with "=". Nothing for a null pointer or
// a size below 1.
std::string Base64Encode(const void* data, int size);

// Decodes at most maxBytes bytes into out and returns how many it wrote. Decoding stops at the
// end of the text and at the first character outside the alphabet (the "=" padding among them);
// trailing bits that do not fill a byte are dropped. Never reads or writes past either buffer.
int Base64Decode(std::string_view text, void* out, int maxBytes);

// The same for a NUL-terminated text; a null text decodes to nothing.
int Base64Decode(const char* text, void* out, int maxBytes);

} // namespace iplug
