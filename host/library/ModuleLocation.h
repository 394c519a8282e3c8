#pragma once

#include <filesystem>
#include <string>

namespace aaxhost {

// The module that the host program finds without --module: Corvane.aaxplugin in the program's
// folder. Where that is a bundle folder, as on Windows, the binary inside it for this machine
// (Contents/x64/Corvane.aaxplugin); a plain file is the module itself.
std::string ModuleBesideProgram(const std::filesystem::path& programFolder);

// The path of the running program (the program file itself, not a link to it).
std::filesystem::path ProgramPath();

} // namespace aaxhost
