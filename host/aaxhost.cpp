// aaxhost: the stand-in AAX host's command line.
//
//   aaxhost describe [--module PATH]   prints the module's whole description as JSON
//
// describe starts the module, registers it and reports what the registration told the host
// (effects, names, categories, identifiers, package, components with their fields by index,
// properties in registration order and procedures), then creates an instance of each effect
// through procedure 0, initialises it with a controller and lists its parameters (defaults
// and values are normalised, as the host sees them). --module defaults to the module built
// beside this program. Exit status 1 with a message on standard error when the module cannot
// be loaded or its registration fails.

#include <filesystem>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "DescribeJson.h"
#include "StandInHost.h"

namespace {

// The module built beside this program.
std::string DefaultModulePath(const char* argv0)
{
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    self = std::filesystem::absolute(argv0, error);
  return (self.parent_path() / "Corvane.aaxplugin").string();
}

} // namespace

int main(int argc, char** argv)
{
  CLI::App app{"Stand-in AAX host: loads a module and drives it the way a DAW does"};
  app.require_subcommand(1);

  std::string modulePath = DefaultModulePath(argv[0]);
  CLI::App* describe = app.add_subcommand("describe", "Print the module's description and parameters as JSON");
  describe->add_option("--module", modulePath, "Path of the module to load")->capture_default_str();

  CLI11_PARSE(app, argc, argv);

  try
  {
    if (describe->parsed())
    {
      aaxhost::StandInHost host(modulePath);
      std::cout << aaxhost::DescribeModule(host).dump(2) << '\n';
    }
  }
  catch (const std::exception& e)
  {
    std::cerr << "aaxhost: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
