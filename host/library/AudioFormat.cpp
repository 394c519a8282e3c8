#include "AudioFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include <sndfile.h>

#include "ParameterSettings.h"

namespace aaxhost {

namespace {

enum class Depths
{
  FloatOrInteger,  // float, 16, 24 or 32 (PCM containers)
  Integer,         // 16 or 24 (FLAC)
  None             // lossy: the encoder decides
};

struct Container
{
  const char* extensions[3];
  const char* name;
  int format;
  Depths depths;
  bool sizeLimited;
  bool needsSeeking;
  int lossyEncoding;  // the encoding of a lossy container
};

// What libsndfile writes and a user names by extension.
constexpr Container kContainers[] = {
  {{".wav", ".wave"}, "WAV", SF_FORMAT_WAV, Depths::FloatOrInteger, true, true, 0},
  {{".rf64"}, "RF64", SF_FORMAT_RF64, Depths::FloatOrInteger, false, true, 0},
  {{".w64"}, "W64", SF_FORMAT_W64, Depths::FloatOrInteger, false, true, 0},
  {{".aif", ".aiff", ".aifc"}, "AIFF", SF_FORMAT_AIFF, Depths::FloatOrInteger, true, true, 0},
  {{".caf"}, "CAF", SF_FORMAT_CAF, Depths::FloatOrInteger, false, true, 0},
  {{".au", ".snd"}, "AU", SF_FORMAT_AU, Depths::FloatOrInteger, true, false, 0},
  {{".flac"}, "FLAC", SF_FORMAT_FLAC, Depths::Integer, false, false, 0},
  {{".ogg", ".oga"}, "OGG Vorbis", SF_FORMAT_OGG, Depths::None, false, false, SF_FORMAT_VORBIS},
  {{".opus"}, "OGG Opus", SF_FORMAT_OGG, Depths::None, false, false, SF_FORMAT_OPUS},
  {{".mp3"}, "MP3", SF_FORMAT_MPEG, Depths::None, false, false, SF_FORMAT_MPEG_LAYER_III},
};

std::string Lower(std::string text)
{
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

const Container* FindContainer(const std::string& extension)
{
  for (const Container& container : kContainers)
    for (const char* known : container.extensions)
      if (known && extension == known)
        return &container;
  return nullptr;
}

int IntegerEncoding(int bits)
{
  return bits == 16 ? SF_FORMAT_PCM_16 : bits == 24 ? SF_FORMAT_PCM_24 : SF_FORMAT_PCM_32;
}

// The bits asked for, or the container's default; 0 for float.
int ChooseBits(const Container& container, const std::string& bits)
{
  if (container.depths == Depths::None)
  {
    if (!bits.empty())
      throw CommandError(std::string(container.name) + " is a lossy encoding and takes no --bits");
    return 0;
  }
  if (bits.empty())
    return container.depths == Depths::FloatOrInteger ? 0 : 24;
  const std::string asked = Lower(bits);
  if (asked == "float" && container.depths == Depths::FloatOrInteger)
    return 0;
  if (asked == "16" || asked == "24" || (asked == "32" && container.depths == Depths::FloatOrInteger))
    return std::stoi(asked);
  throw CommandError("--bits takes " +
                     std::string(container.depths == Depths::FloatOrInteger ? "16, 24, 32 or float" : "16 or 24") +
                     " for " + container.name + ", not '" + bits + "'");
}

} // namespace

std::string AudioFormat::Description() const
{
  std::string text = container;
  if (floatSamples)
    text += ", 32-bit float";
  else if (bits > 0)
    text += ", " + std::to_string(bits) + "-bit integer" + (dither ? ", dithered" : "");
  return text;
}

int AudioFormat::BytesPerSample() const
{
  return floatSamples ? 4 : bits > 0 ? bits / 8 : 4;
}

std::string WritableExtensions()
{
  std::string list;
  for (const Container& container : kContainers)
    for (const char* extension : container.extensions)
      if (extension)
        list += (list.empty() ? "" : ", ") + std::string(extension);
  return list;
}

AudioFormat ChooseOutputFormat(const AudioFormatRequest& request)
{
  // Standard output ("-") is a WAV unless named otherwise: fine where it is a file, refused
  // with a hint where it is a pipe.
  const std::string extension = !request.type.empty()
                                  ? "." + Lower(request.type[0] == '.' ? request.type.substr(1) : request.type)
                                : request.path == "-" ? std::string(".wav")
                                                      : Lower(std::filesystem::path(request.path).extension().string());
  const Container* container = FindContainer(extension);
  if (!container)
  {
    const std::string what = request.type.empty()
                               ? (extension.empty() ? "a name without an extension" : "the extension '" + extension + "'")
                               : "the type '" + request.type + "'";
    throw CommandError("cannot tell the format of output '" + request.path + "' from " + what + "; aaxhost writes " +
                       WritableExtensions() + (request.type.empty() ? " (or name one with --type)" : ""));
  }

  AudioFormat format;
  format.container = container->name;
  format.bits = ChooseBits(*container, request.bits);
  format.lossy = container->depths == Depths::None;
  format.floatSamples = !format.lossy && format.bits == 0;
  format.dither = format.bits > 0 && !request.noDither;
  format.sizeLimited = container->sizeLimited;
  format.needsSeeking = container->needsSeeking;
  int encoding = format.lossy ? container->lossyEncoding
                              : format.floatSamples ? SF_FORMAT_FLOAT : IntegerEncoding(format.bits);
  int containerFormat = container->format;

  // A WAV file's sizes are 32-bit: larger data goes into RF64, which readers take as a WAV with
  // 64-bit sizes. When the length is not known up front, libsndfile writes RF64 and turns it
  // into a plain WAV at the end if it stayed small.
  const uint64_t limit = request.wavLimitBytes ? request.wavLimitBytes : kWavLimitBytes;
  const bool lengthKnown = request.frames >= 0;
  const uint64_t dataBytes = lengthKnown ? static_cast<uint64_t>(request.frames) *
                                             static_cast<uint64_t>(request.channels) *
                                             static_cast<uint64_t>(format.BytesPerSample())
                                         : 0;
  if (container->format == SF_FORMAT_WAV && (!lengthKnown || dataBytes > limit))
  {
    containerFormat = SF_FORMAT_RF64;
    format.container = "RF64";
    format.sizeLimited = false;
    format.autoDowngrade = !lengthKnown;
  }
  else if (format.sizeLimited && lengthKnown && dataBytes > limit)
  {
    throw CommandError("cannot write output '" + request.path + "': its " + std::to_string(dataBytes) +
                       " bytes of audio pass the " + std::to_string(limit) + " that " + format.container +
                       " holds; write .rf64, .w64 or .caf instead");
  }
  format.sndfileFormat = containerFormat | encoding;

  SF_INFO info{};
  info.channels = request.channels;
  info.samplerate = 48000;
  info.format = format.sndfileFormat;
  if (!sf_format_check(&info))
    throw CommandError("this build's libsndfile cannot write " + format.Description() + " (output '" +
                       request.path + "')");
  return format;
}

} // namespace aaxhost
