#include "HostCodes.h"

#include <cstring>

namespace iplug {

namespace {
struct HostKey
{
  const char* key;
  int code;
};

// Order matters: "wavelab elements" is tried before "wavelab", and "standalone" and "www" come
// last although their codes lie inside the range.
constexpr HostKey kHostKeys[] = {
  {"reaper", kHostReaper}, {"protools", kHostProTools}, {"cubase", kHostCubase},
  {"nuendo", kHostNuendo}, {"cakewalk", kHostSonar}, {"vegas", kHostVegas},
  {"fruity", kHostFL}, {"samplitude", kHostSamplitude}, {"live", kHostAbletonLive},
  {"tracktion", kHostTracktion}, {"ntracks", kHostNTracks}, {"melodyne", kHostMelodyneStudio},
  {"vstmanlib", kHostVSTScanner}, {"aulab", kHostAULab}, {"forte", kHostForte},
  {"chainer", kHostChainer}, {"audition", kHostAudition}, {"orion", kHostOrion},
  {"bias", kHostBias}, {"sawstudio", kHostSAWStudio}, {"logic", kHostLogic},
  {"garageband", kHostGarageBand}, {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch}, {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost}, {"ardour", kHostArdour},
  {"renoise", kHostRenoise}, {"openmpt", kHostOpenMPT},
  {"wavelab elements", kHostWaveLabElements}, {"wavelab", kHostWaveLab},
  {"twistedwave", kHostTwistedWave}, {"bitwig studio", kHostBitwig}, {"reason", kHostReason},
  {"gwvst", kHostGoldWave5x}, {"waveform", kHostWaveform}, {"audacity", kHostAudacity},
  {"acoustica", kHostAcoustica}, {"plugindoctor", kHostPluginDoctor},
  {"izotope rx", kHostiZotopeRX}, {"savihost", kHostSAVIHost},
  {"blue cat's vst host", kHostBlueCat}, {"mixbus", kHostMixbus},
  {"standalone", kHostStandalone}, {"www", kHostWWW},
};
} // namespace

int HostCodeFromName(const char* name)
{
  // Longer names are cut to the buffer: a key beyond 255 characters is not looked for.
  char lower[256] = {};
  if (name)
  {
    for (size_t i = 0; i < sizeof(lower) - 1 && name[i]; ++i)
    {
      // ASCII only: the keys are ASCII, and a host's locale must not change the answer (a
      // Turkish one turns "I" into a dotless i).
      const char c = name[i];
      lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  for (const HostKey& k : kHostKeys)
  {
    if (std::strstr(lower, k.key))
      return k.code;
  }
  return kHostUnknown;
}

} // namespace iplug
