#pragma once

#include <nlohmann/json.hpp>

#include "StandInHost.h"

namespace aaxhost {

// The whole description of a module as JSON: what the registration told the host (effects,
// names, categories, identifiers, package, components with their fields, properties and
// procedures) and, for each effect, the parameters of an instance created through procedure 0
// and initialised with a controller. Runs start-up and registration on `host` when they have
// not run. Throws std::runtime_error when the registration fails.
nlohmann::ordered_json DescribeModule(StandInHost& host);

// "Qmsh" for a code whose four bytes are printable, else the empty text.
std::string FourCCText(uint32_t code);

// The host's name for a property number ("InputStemFormat" …), or the empty text.
const char* PropertyName(uint32_t property);

} // namespace aaxhost
