#include "ModuleLocation.h"

namespace aaxhost {

std::filesystem::path ProgramPath()
{
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : self;
}

} // namespace aaxhost
