#pragma once

#include <cstdint>

// A text that crosses the module boundary. Whoever owns the object owns its storage; the other
// side reads it or replaces its content through these operations only.
class AAX_IString
{
public:
  virtual ~AAX_IString() = default;

  virtual uint32_t Length() const = 0;       // characters, terminator excluded
  virtual uint32_t MaxLength() const = 0;    // the most characters Set keeps
  virtual const char* Get() const = 0;       // never null
  virtual void Set(const char* text) = 0;    // null reads as empty
};
