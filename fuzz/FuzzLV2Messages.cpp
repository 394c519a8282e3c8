// The reader of the editor-size messages that reach the LV2 plug-in's audio thread and its
// editor from a host: any bytes, in a buffer of exactly their size, as one atom.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/patch/patch.h>

#include "LV2EditorSizeMessages.h"

namespace {

// URIDs small and dense, so the fuzzer meets the ones the reader looks for.
LV2_URID MapURI(LV2_URID_Map_Handle handle, const char* uri)
{
  auto& ids = *static_cast<std::map<std::string, LV2_URID>*>(handle);
  return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static std::map<std::string, LV2_URID> ids;
  static LV2_URID_Map map{&ids, MapURI};
  static iplug::LV2EditorSizeMessages messages;
  static const bool mapped = messages.Map(&map, "http://quillmarsh.com/plugins/corvane#editorSize");
  if (!mapped || size > (1u << 16))
    return 0;

  // Exactly the bytes given, in memory from new (aligned for any atom, as hosts hand them over).
  const std::vector<uint8_t> exact(data, data + size);
  iplug::LV2EditorSize record;
  messages.Read(reinterpret_cast<const LV2_Atom*>(exact.data()), static_cast<uint32_t>(size), record);

  // What the reader accepted, written back into room of the given size, reads back the same.
  std::vector<uint8_t> out(size);
  const uint32_t written = messages.WriteSet(out.data(), static_cast<uint32_t>(size), record);
  if (written > size)
    std::abort();
  iplug::LV2EditorSize again;
  if (written > 0 &&
      (messages.Read(reinterpret_cast<const LV2_Atom*>(out.data()), written, again) !=
         iplug::LV2EditorSizeMessages::Kind::kSet ||
       std::memcmp(&again, &record, sizeof(record)) != 0))
    std::abort();
  return 0;
}
