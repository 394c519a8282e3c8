#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "StandInHost.h"

// A stand-in host around the built module for one test: loaded, not yet started.
class ModuleHost : public testing::Test
{
protected:
  // Trace texts with their priorities, in order.
  std::vector<std::pair<int32_t, std::string>> Traces(const aaxhost::HostServices& services) const
  {
    std::vector<std::pair<int32_t, std::string>> out;
    for (const auto& trace : services.Traces())
      out.emplace_back(trace.priority, trace.text);
    return out;
  }

  aaxhost::StandInHost host{CORVANE_MODULE_PATH};
};
