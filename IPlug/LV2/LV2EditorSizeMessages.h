#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

namespace iplug {

// The editor-size record as the plug-in and its LV2 editor exchange it: the three values of the
// state chunk's editor record (width, height, draw scale; all zero: no size stored).
struct LV2EditorSize
{
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;

  bool operator==(const LV2EditorSize&) const = default;
};

// The patch messages on the plug-in's atom ports that carry the editor-size record under the
// product's own property: patch:Set with the record as a tuple (atom:Int width, atom:Int
// height, atom:Float scale), and patch:Get, which asks for a patch:Set in reply. Reading checks
// every size against the atom it sits in, so a malformed or foreign message is only ignored.
// Neither reading nor writing allocates: the plug-in uses both on the audio thread.
class LV2EditorSizeMessages
{
public:
  enum class Kind
  {
    kNone,  // not a message about the record
    kGet,
    kSet,
  };

  // Maps the URIs; false (and every message read as kNone) without a usable map.
  bool Map(LV2_URID_Map* map, const char* propertyURI);
  bool Mapped() const { return mSequence != 0; }

  // One atom whose header and body lie within `atomBytes` readable bytes; kSet fills record.
  Kind Read(const LV2_Atom* atom, uint32_t atomBytes, LV2EditorSize& record) const;

  // Writes a patch:Set (or a patch:Get) object atom into buffer; the bytes written, or 0 when
  // they do not fit.
  uint32_t WriteSet(void* buffer, uint32_t capacity, const LV2EditorSize& record) const;
  uint32_t WriteGet(void* buffer, uint32_t capacity) const;

  LV2_URID Sequence() const { return mSequence; }
  LV2_URID EventTransfer() const { return mEventTransfer; }

private:
  LV2_URID mSequence = 0;
  LV2_URID mEventTransfer = 0;
  LV2_URID mObject = 0;
  LV2_URID mTuple = 0;
  LV2_URID mInt = 0;
  LV2_URID mFloat = 0;
  LV2_URID mURID = 0;
  LV2_URID mPatchGet = 0;
  LV2_URID mPatchSet = 0;
  LV2_URID mPatchProperty = 0;
  LV2_URID mPatchValue = 0;
  LV2_URID mProperty = 0;
};

} // namespace iplug
