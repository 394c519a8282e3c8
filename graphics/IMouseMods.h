#pragma once

#include <cstdint>

namespace iplug::igraphics {

// Buttons and modifier keys held during a pointer event, and which touch it belongs to.
struct IMouseMods
{
  bool L = false; // left button
  bool R = false; // right button
  bool S = false; // shift
  bool C = false; // control
  bool A = false; // alt
  uint64_t touchID = 0; // 0 for the mouse
  float touchRadius = 0.f;

  IMouseMods() = default;
  IMouseMods(bool l, bool r = false, bool s = false, bool c = false, bool a = false, uint64_t id = 0)
    : L(l), R(r), S(s), C(c), A(a), touchID(id)
  {
  }
};

} // namespace iplug::igraphics
