#pragma once

#include <map>
#include <string>
#include <vector>

#include <lv2/urid/urid.h>

// The URI map a small LV2 host offers its plug-ins: each URI gets the next number, and a number
// maps back to its URI.
struct HostUris
{
  std::map<std::string, LV2_URID> ids;
  std::vector<std::string> names{""};

  static LV2_URID Map(LV2_URID_Map_Handle h, const char* uri)
  {
    auto* self = static_cast<HostUris*>(h);
    auto [it, inserted] = self->ids.emplace(uri, static_cast<LV2_URID>(self->names.size()));
    if (inserted)
      self->names.emplace_back(uri);
    return it->second;
  }
  static const char* Unmap(LV2_URID_Unmap_Handle h, LV2_URID id)
  {
    auto* self = static_cast<HostUris*>(h);
    return id < self->names.size() ? self->names[id].c_str() : nullptr;
  }
};
