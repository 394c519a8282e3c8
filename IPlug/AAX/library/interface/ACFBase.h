#pragma once

#include <cstdint>

// The component framework's basics, shared by the module and any host that loads it: 128-bit
// interface identifiers, the framework's result type and the reference-counted unknown every
// interface derives from. Objects cross the module boundary only as pointers to these
// interfaces, so the module and the host must agree on nothing but these declarations.

using ACFRESULT = int32_t;

constexpr ACFRESULT ACF_OK = 0;
constexpr ACFRESULT ACF_E_NOINTERFACE = static_cast<ACFRESULT>(0x80000004u);
constexpr ACFRESULT ACF_E_UNEXPECTED = static_cast<ACFRESULT>(0x8000FFFFu);

// A 128-bit identifier in the usual {8-4-4-4-12} layout.
struct acfUID
{
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];

  friend constexpr bool operator==(const acfUID& a, const acfUID& b)
  {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
      return false;
    for (int i = 0; i < 8; ++i)
      if (a.data4[i] != b.data4[i])
        return false;
    return true;
  }
};

using acfIID = acfUID;

// Reads "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" at compile time, so identifiers are written the
// way they are usually printed.
consteval acfUID ACFUIDFromText(const char (&text)[37])
{
  auto hex = [&](int at, int digits) {
    uint32_t value = 0;
    for (int i = 0; i < digits; ++i)
    {
      const char c = text[at + i];
      const uint32_t d = (c >= '0' && c <= '9')   ? static_cast<uint32_t>(c - '0')
                         : (c >= 'A' && c <= 'F') ? static_cast<uint32_t>(c - 'A' + 10)
                         : (c >= 'a' && c <= 'f') ? static_cast<uint32_t>(c - 'a' + 10)
                                                  : throw "not a hexadecimal digit";
      value = value * 16 + d;
    }
    return value;
  };
  if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
    throw "not an identifier";
  acfUID uid{hex(0, 8), static_cast<uint16_t>(hex(9, 4)), static_cast<uint16_t>(hex(14, 4)), {}};
  uid.data4[0] = static_cast<uint8_t>(hex(19, 2));
  uid.data4[1] = static_cast<uint8_t>(hex(21, 2));
  for (int i = 0; i < 6; ++i)
    uid.data4[2 + i] = static_cast<uint8_t>(hex(24 + 2 * i, 2));
  return uid;
}
using acfCLSID = acfUID;

inline constexpr acfIID IID_IACFUnknown = ACFUIDFromText("00000000-0000-0000-C000-000000000046");

// The reference-counted root of every interface. A successful query adds a reference that the
// caller releases; a failed query answers ACF_E_NOINTERFACE and stores null.
// Any thread; implementations count atomically.
class IACFUnknown
{
public:
  virtual ACFRESULT QueryInterface(const acfIID& iid, void** outInterface) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

protected:
  ~IACFUnknown() = default;
};

// What a registration hands back to the host: the host's own object that collected the
// description, seen through this interface. It adds no operation; its identity is the answer.
inline constexpr acfIID IID_IACFPluginDefinition =
  ACFUIDFromText("00EEF015-7FD0-11D6-8485-00306542A024");

class IACFPluginDefinition : public IACFUnknown
{
protected:
  ~IACFPluginDefinition() = default;
};

// Out-types of two exports that this module answers with null; declared so that the exports
// keep the framework's signatures.
class IACFComponentDefinition : public IACFUnknown
{
protected:
  ~IACFComponentDefinition() = default;
};
