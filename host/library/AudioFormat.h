#pragma once

#include <cstdint>
#include <string>

namespace aaxhost {

// The container and sample encoding of an output file, as libsndfile names them.
struct AudioFormat
{
  int sndfileFormat = 0;       // container | encoding (SF_FORMAT_*)
  std::string container;       // "WAV", "RF64", "FLAC", ...
  int bits = 0;                // 16, 24 or 32 for integer samples; 0 for float and lossy encodings
  bool floatSamples = false;
  bool lossy = false;
  bool dither = false;         // TPDF dither when the samples are reduced to integers
  bool sizeLimited = false;    // the container's sizes are 32-bit: WAV, AIFF
  bool needsSeeking = true;    // the header is rewritten at the end: no pipe, socket or terminal
  bool autoDowngrade = false;  // RF64 that libsndfile writes as plain WAV when it stays small

  // "FLAC, 24-bit integer, dithered", "WAV, 32-bit float".
  std::string Description() const;
  int BytesPerSample() const;
};

// What the command line asks for; every field may be left empty.
struct AudioFormatRequest
{
  std::string path;            // the output's name; its extension names the container ("-": WAV)
  std::string type;            // a container named outright (an extension without the dot)
  std::string bits;            // "16", "24", "32" or "float"
  bool noDither = false;
  int64_t frames = -1;         // frames that will be written; -1 when not known up front
  int channels = 2;
  uint64_t wavLimitBytes = 0;  // data beyond this needs RF64 (0: the containers' own limit)
};

// The most audio data a WAV or AIFF file holds: its sizes are 32-bit, and the header takes
// its share of them.
constexpr uint64_t kWavLimitBytes = 0xFFFFFFFFull - (1u << 16);

// Picks the container from the type or the path's extension among those libsndfile writes, and
// the encoding from the bits (default: float where the container holds it, else 24-bit). A
// .wav whose data passes the WAV limit becomes RF64. Throws CommandError for an extension or a
// depth that cannot be written, naming what can.
AudioFormat ChooseOutputFormat(const AudioFormatRequest& request);

// The extensions ChooseOutputFormat takes, for messages: ".wav, .rf64, ...".
std::string WritableExtensions();

} // namespace aaxhost
