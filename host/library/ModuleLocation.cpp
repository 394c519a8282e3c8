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

std::string ReferencesFolder(const std::filesystem::path& programFolder, const std::string& sourceTreeFolder)
{
  // An installed program lives in <prefix>/lib/corvane/, its pictures in <prefix>/share/corvane/.
  for (const std::filesystem::path& carried :
       {programFolder / "validate_references",
        programFolder / ".." / ".." / "share" / "corvane" / "validate_references"})
  {
    std::error_code error;
    if (std::filesystem::is_directory(carried, error))
      return carried.lexically_normal().string();
  }
  return sourceTreeFolder;
}

} // namespace aaxhost
