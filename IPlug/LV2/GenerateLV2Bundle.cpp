// Writes manifest.ttl and the plug-ins' description into a bundle folder, from a plug-in
// instance built by the module's own factory:  GenerateLV2Bundle BUNDLE_DIR

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "CreatePlugin.h"
#include "LV2BundleWriter.h"

int main(int argc, char** argv)
{
  if (argc != 2)
  {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR\n", argv[0]);
    return 1;
  }
  std::unique_ptr<iplug::IPlugLV2> plug(CreatePlugin(InstanceInfo{}));
  if (!plug)
  {
    std::fprintf(stderr, "the plug-in could not be built\n");
    return 1;
  }
  const iplug::LV2BundleWriter writer(*plug, kProductLV2Identity);
  const std::string dir = argv[1];
  std::ofstream manifest(dir + "/manifest.ttl");
  writer.WriteManifest(manifest);
  std::ofstream description(dir + "/" + kProductLV2Identity.descriptionFile);
  writer.WriteDescription(description);
  manifest.close();
  description.close();
  if (!manifest || !description)
  {
    std::fprintf(stderr, "cannot write the bundle's Turtle in %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
