#pragma once

#include <cstring>

namespace iplug {

// One key press: the platform's virtual key code, the key's UTF-8 text and the modifiers.
struct IKeyPress
{
  int VK = 0;
  char utf8[5] = {};
  bool S = false;
  bool C = false;
  bool A = false;

  IKeyPress() = default;
  IKeyPress(const char* text, int vk, bool shift = false, bool ctrl = false, bool alt = false)
    : VK(vk), S(shift), C(ctrl), A(alt)
  {
    if (text)
      std::strncpy(utf8, text, sizeof(utf8) - 1);
  }
};

} // namespace iplug
