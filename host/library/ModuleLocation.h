#pragma once

#include <filesystem>
#include <string>

namespace aaxhost {

// The module that the host program finds without --module: Corvane.aaxplugin in the program's
// folder. Where that is a bundle folder, as on Windows, the binary inside it for this machine
// (Contents/x64/Corvane.aaxplugin); a plain file is the module itself.
std::string ModuleBesideProgram(const std::filesystem::path& programFolder);

// The folder of the editor's reference pictures that `validate` compares with: the one a copy of
// the program carries (validate_references beside it, as a package lays it out, or
// share/corvane/validate_references under an installed prefix), else the source tree's.
std::string ReferencesFolder(const std::filesystem::path& programFolder, const std::string& sourceTreeFolder);

// The path of the running program (the program file itself, not a link to it).
std::filesystem::path ProgramPath();

} // namespace aaxhost
