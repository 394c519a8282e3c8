#include "ModuleLocation.h"

namespace aaxhost {

std::string ModuleBesideProgram(const std::filesystem::path& programFolder)
{
  const std::filesystem::path beside = programFolder / "Corvane.aaxplugin";
  std::error_code error;
  if (std::filesystem::is_directory(beside, error))
  {
    const std::filesystem::path inside = beside / "Contents" / "x64" / "Corvane.aaxplugin";
    if (std::filesystem::is_regular_file(inside, error))
      return inside.string();
  }
  return beside.string();
}

} // namespace aaxhost
