#pragma once

#include <string>

#include "IGraphicsConstants.h"

namespace iplug::igraphics {

// Where the editor's named resources come from on this platform: first the module's own
// resources (names compared without regard to case, types upper-cased), then the file system.
// The drawing back end and the platform layer find pictures and fonts through these. UI thread.

// kWinBinary with result = the lower-cased name in double quotes when the module holds a
// resource of that name and type; kAbsolutePath with result = name when a file exists there;
// kNotFound otherwise (always for an empty name). The bundle and the sub-path are not used on
// this platform.
EResourceLocation LocateResource(const char* name, const char* type, std::string& result, const char* bundleID,
                                 void* pHInstance, const char* sharedResourcesSubPath);

// The bytes of the module's resource of that name and type, valid while the module is loaded,
// with their count in sizeInBytes; null for a missing resource or one shorter than 8 bytes.
const void* LoadModuleResource(const char* name, const char* type, int& sizeInBytes, void* pHInstance);

} // namespace iplug::igraphics
