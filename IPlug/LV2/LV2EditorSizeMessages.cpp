#include "LV2EditorSizeMessages.h"

#include <cstring>

#include <lv2/patch/patch.h>

namespace iplug {

namespace {

constexpr uint32_t Padded(uint32_t size) { return (size + 7u) & ~7u; }

// A cursor over a caller's buffer that writes padded atom pieces and remembers overflow.
class AtomWriter
{
public:
  AtomWriter(void* buffer, uint32_t capacity) : mBytes(static_cast<uint8_t*>(buffer)), mCapacity(capacity) {}

  void Put(const void* data, uint32_t size)
  {
    const uint32_t padded = Padded(size);
    if (!mBytes || mUsed > mCapacity || padded > mCapacity - mUsed)
    {
      mOverflow = true;
      return;
    }
    std::memcpy(mBytes + mUsed, data, size);
    std::memset(mBytes + mUsed + size, 0, padded - size);
    mUsed += padded;
  }
  template <typename T> void Put(const T& value) { Put(&value, sizeof(value)); }
  uint32_t Written() const { return mOverflow ? 0 : mUsed; }

private:
  uint8_t* mBytes;
  uint32_t mCapacity;
  uint32_t mUsed = 0;
  bool mOverflow = false;
};

template <typename T> bool ReadAt(const uint8_t* bytes, uint32_t size, uint32_t offset, T& value)
{
  if (offset > size || sizeof(T) > size - offset)
    return false;
  std::memcpy(&value, bytes + offset, sizeof(T));
  return true;
}

} // namespace

bool LV2EditorSizeMessages::Map(LV2_URID_Map* map, const char* propertyURI)
{
  *this = LV2EditorSizeMessages{};
  if (!map || !map->map || !propertyURI)
    return false;
  auto id = [map](const char* uri) { return map->map(map->handle, uri); };
  mEventTransfer = id(LV2_ATOM__eventTransfer);
  mObject = id(LV2_ATOM__Object);
  mTuple = id(LV2_ATOM__Tuple);
  mInt = id(LV2_ATOM__Int);
  mFloat = id(LV2_ATOM__Float);
  mURID = id(LV2_ATOM__URID);
  mPatchGet = id(LV2_PATCH__Get);
  mPatchSet = id(LV2_PATCH__Set);
  mPatchProperty = id(LV2_PATCH__property);
  mPatchValue = id(LV2_PATCH__value);
  mProperty = id(propertyURI);
  // Last: a map that failed on any of them leaves the messages unread and unwritten.
  const bool all = mEventTransfer && mObject && mTuple && mInt && mFloat && mURID && mPatchGet && mPatchSet &&
                   mPatchProperty && mPatchValue && mProperty;
  mSequence = all ? id(LV2_ATOM__Sequence) : 0;
  return Mapped();
}

LV2EditorSizeMessages::Kind LV2EditorSizeMessages::Read(const LV2_Atom* atom, uint32_t atomBytes,
                                                        LV2EditorSize& record) const
{
  if (!Mapped() || !atom || atomBytes < sizeof(LV2_Atom))
    return Kind::kNone;
  if (atom->type != mObject || atom->size > atomBytes - sizeof(LV2_Atom) || atom->size < sizeof(LV2_Atom_Object_Body))
    return Kind::kNone;
  const auto* body = reinterpret_cast<const uint8_t*>(atom + 1);
  const uint32_t size = atom->size;
  LV2_Atom_Object_Body object{};
  ReadAt(body, size, 0, object);
  if (object.otype != mPatchGet && object.otype != mPatchSet)
    return Kind::kNone;

  bool namesOurs = false;
  bool namesOther = false;
  bool hasValue = false;
  LV2EditorSize value;
  for (uint32_t at = sizeof(LV2_Atom_Object_Body); at < size;)
  {
    LV2_Atom_Property_Body property{};
    if (!ReadAt(body, size, at, property) || property.value.size > size - at - sizeof(property))
      return Kind::kNone;  // a property that runs past its object: the whole message is suspect
    const uint32_t valueAt = at + static_cast<uint32_t>(sizeof(property));
    if (property.key == mPatchProperty)
    {
      LV2_URID named = 0;
      const bool isURID = property.value.type == mURID && property.value.size == sizeof(named) &&
                          ReadAt(body, size, valueAt, named);
      (isURID && named == mProperty ? namesOurs : namesOther) = true;
    }
    else if (property.key == mPatchValue && property.value.type == mTuple)
    {
      // Three elements exactly: Int, Int, Float, each of its type's 4 bytes.
      const LV2_URID types[] = {mInt, mInt, mFloat};
      int32_t raw[3] = {};
      uint32_t element = valueAt;
      const uint32_t end = valueAt + property.value.size;
      bool ok = true;
      for (size_t i = 0; i < 3 && ok; ++i)
      {
        LV2_Atom header{};
        ok = element < end && ReadAt(body, end, element, header) && header.type == types[i] && header.size == 4 &&
             ReadAt(body, end, element + static_cast<uint32_t>(sizeof(header)), raw[i]);
        element += Padded(static_cast<uint32_t>(sizeof(header)) + header.size);
      }
      value.width = raw[0];
      value.height = raw[1];
      std::memcpy(&value.scale, &raw[2], sizeof(value.scale));
      hasValue = ok && element >= end;
    }
    at = valueAt + Padded(property.value.size);
  }

  if (object.otype == mPatchGet)
    return namesOther ? Kind::kNone : Kind::kGet;
  if (!namesOurs || !hasValue)
    return Kind::kNone;
  record = value;
  return Kind::kSet;
}

uint32_t LV2EditorSizeMessages::WriteSet(void* buffer, uint32_t capacity, const LV2EditorSize& record) const
{
  if (!Mapped())
    return 0;
  constexpr auto kElement = static_cast<uint32_t>(sizeof(LV2_Atom) + 8);          // a padded Int or Float
  constexpr auto kPropertyEntry = static_cast<uint32_t>(sizeof(LV2_Atom_Property_Body) + 8);  // padded URID
  constexpr uint32_t kTuple = 3 * kElement;
  constexpr auto kValueEntry = static_cast<uint32_t>(sizeof(LV2_Atom_Property_Body)) + kTuple;
  AtomWriter out(buffer, capacity);
  out.Put(LV2_Atom{static_cast<uint32_t>(sizeof(LV2_Atom_Object_Body)) + kPropertyEntry + kValueEntry, mObject});
  out.Put(LV2_Atom_Object_Body{0, mPatchSet});
  out.Put(LV2_Atom_Property_Body{mPatchProperty, 0, {sizeof(LV2_URID), mURID}});
  out.Put(mProperty);
  out.Put(LV2_Atom_Property_Body{mPatchValue, 0, {kTuple, mTuple}});
  out.Put(LV2_Atom{4, mInt});
  out.Put(record.width);
  out.Put(LV2_Atom{4, mInt});
  out.Put(record.height);
  out.Put(LV2_Atom{4, mFloat});
  out.Put(record.scale);
  return out.Written();
}

uint32_t LV2EditorSizeMessages::WriteGet(void* buffer, uint32_t capacity) const
{
  if (!Mapped())
    return 0;
  constexpr auto kPropertyEntry = static_cast<uint32_t>(sizeof(LV2_Atom_Property_Body) + 8);
  AtomWriter out(buffer, capacity);
  out.Put(LV2_Atom{static_cast<uint32_t>(sizeof(LV2_Atom_Object_Body)) + kPropertyEntry, mObject});
  out.Put(LV2_Atom_Object_Body{0, mPatchGet});
  out.Put(LV2_Atom_Property_Body{mPatchProperty, 0, {sizeof(LV2_URID), mURID}});
  out.Put(mProperty);
  return out.Written();
}

} // namespace iplug
