// Writes manifest.ttl and the plug-ins' description into a bundle folder, from a plug-in
// instance built by the module's own factory:  GenerateLV2Bundle BUNDLE_DIR [--with-editor]
// (--with-editor: the bundle holds the editor's module too)

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "CreatePlugin.h"
#include "LV2BundleWriter.h"

int main(int argc, char** argv)
{
  const bool withEditor = argc == 3 && std::string(argv[2]) == "--with-editor";
  if (argc != 2 && !withEditor)
  {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR [--with-editor]\n", argv[0]);
    return 1;
  }
  std::unique_ptr<iplug::IPlugLV2> plug(CreatePlugin(InstanceInfo{}));
  if (!plug)
  {
    std::fprintf(stderr, "the plug-in could not be built\n");
    return 1;
  }
  const iplug::LV2BundleWriter writer(*plug, kProductLV2Identity, withEditor ? &kProductLV2EditorIdentity : nullptr);
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
