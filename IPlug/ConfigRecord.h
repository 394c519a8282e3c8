#pragma once

namespace iplug {

// The plug-in's fixed identity, channel layouts, latency, capabilities and editor size. The
// product builds one and hands it to its base classes at construction; they copy what they
// need and keep no reference to it.
struct ConfigRecord
{
  int nParams = 0;
  int nPresets = 0;
  const char* channelIOStr = "";
  const char* pluginName = "";
  const char* productName = "";
  const char* mfrName = "";
  int vendorVersion = 0;     // major << 16 | minor << 8 | patch
  int uniqueID = 0;          // four characters, first in the top byte
  int mfrID = 0;             // four characters, first in the top byte
  int latency = 0;           // samples
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;
  int plugType = 0;          // 0: audio effect
  bool plugHasUI = false;
  int plugWidth = 0;
  int plugHeight = 0;
  int plugMinWidth = 0;
  int plugMaxWidth = 0;
  int plugMinHeight = 0;
  int plugMaxHeight = 0;
  bool plugHostResize = false;
  const char* bundleID = "";
};

} // namespace iplug
