#pragma once

#include <cstdint>

// Who the product is to its hosts and users, written once: the configuration record, the AAX
// description, the editor and the release script all read it. Stored state and host sessions
// depend on every value here; none may change within a major version.
namespace corvane
{
inline constexpr char kPluginName[] = "Corvane";
inline constexpr char kProductName[] = "Corvane";
inline constexpr char kMakerName[] = "Quillmarsh";
// The name AAX hosts list the product under has always been spelled apart from the maker name.
inline constexpr char kAaxManufacturerName[] = "Quill Marsh";
inline constexpr char kAaxEffectId[] = "com.quillmarsh.aax.Corvane";
inline constexpr char kMidiNodeName[] = "Corvane Midi";

// Four-character codes, the first character in the most significant byte.
inline constexpr char kUniqueId[] = "CRVN";
inline constexpr char kMakerId[] = "Qmsh";

// scripts/package reads these three lines for the release's file name.
inline constexpr int kVersionMajor = 3;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionPatch = 0;
// The major version in the upper 16 bits, the minor in bits 8 to 15, the patch in the low 8.
inline constexpr int32_t kVendorVersion = (kVersionMajor << 16) | (kVersionMinor << 8) | kVersionPatch;

// Mono and stereo, in and out alike.
inline constexpr char kChannelIO[] = "1-1 2-2";

// The editor's face in logical pixels; it zooms between half and twice this size.
inline constexpr int kEditorWidth = 1086;
inline constexpr int kEditorHeight = 214;
} // namespace corvane
