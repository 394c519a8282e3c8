// The fxp and fxb readers on arbitrary files.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "FuzzProduct.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const std::string path = "/tmp/corvane-fuzz-" + std::to_string(getpid()) + ".fx";
  if (FILE* file = std::fopen(path.c_str(), "wb"))
  {
    if (size > 0)
      std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  Corvane& plug = FuzzProduct();
  plug.LoadProgramFromFXP(path.c_str());
  CheckParameters(plug);
  plug.LoadBankFromFXB(path.c_str());
  CheckParameters(plug);
  return 0;
}
