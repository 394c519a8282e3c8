// audiodiff A B [--tolerance T]
//   compares two audio files sample by sample: same channel count, sample rate and length, and no
//   sample further apart than T (default 1e-6). Prints the largest difference and where it is;
//   exits 0 when the files match, 1 when they differ or cannot be read. Used to check that the
//   Windows build renders what the Linux build renders.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "AudioFile.h"

int main(int argc, char** argv)
{
  if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--tolerance"))
  {
    std::fprintf(stderr, "usage: audiodiff A B [--tolerance T]\n");
    return 1;
  }
  char* end = nullptr;
  const double tolerance = argc == 5 ? std::strtod(argv[4], &end) : 1e-6;
  if (argc == 5 && (end == argv[4] || *end || !(tolerance >= 0.0)))
  {
    std::fprintf(stderr, "audiodiff: the tolerance must be a number of 0 or more\n");
    return 1;
  }
  try
  {
    aaxhost::AudioFileReader a(argv[1]);
    aaxhost::AudioFileReader b(argv[2]);
    if (a.Channels() != b.Channels() || a.SampleRate() != b.SampleRate() || a.Frames() != b.Frames())
    {
      std::printf("audiodiff: shapes differ: %d ch %d Hz %lld frames against %d ch %d Hz %lld frames\n", a.Channels(),
                  a.SampleRate(), static_cast<long long>(a.Frames()), b.Channels(), b.SampleRate(),
                  static_cast<long long>(b.Frames()));
      return 1;
    }
    constexpr int64_t kChunk = 4096;
    std::vector<float> bufferA(static_cast<size_t>(kChunk * a.Channels())), bufferB(static_cast<size_t>(kChunk * b.Channels()));
    double worst = 0.0;
    int64_t worstFrame = 0, frame = 0;
    bool nonFinite = false;
    for (;;)
    {
      const int64_t readA = a.Read(bufferA.data(), kChunk);
      const int64_t readB = b.Read(bufferB.data(), kChunk);
      if (readA != readB)
      {
        std::printf("audiodiff: the files end at different frames\n");
        return 1;
      }
      if (readA == 0)
        break;
      for (int64_t i = 0; i < readA * a.Channels(); ++i)
      {
        const float x = bufferA[static_cast<size_t>(i)], y = bufferB[static_cast<size_t>(i)];
        // A NaN compares unequal to everything, so it never hides behind a small difference.
        if (!std::isfinite(x) || !std::isfinite(y))
        {
          if (!(x == y))
            nonFinite = true;
          continue;
        }
        const double d = std::fabs(static_cast<double>(x) - static_cast<double>(y));
        if (d > worst)
        {
          worst = d;
          worstFrame = frame + i / a.Channels();
        }
      }
      frame += readA;
    }
    const bool match = !nonFinite && worst <= tolerance;
    std::printf("audiodiff: %lld frames x %d ch, largest difference %.3g at frame %lld%s: %s\n",
                static_cast<long long>(frame), a.Channels(), worst, static_cast<long long>(worstFrame),
                nonFinite ? ", non-finite samples differ" : "", match ? "match" : "DIFFER");
    return match ? 0 : 1;
  }
  catch (const std::exception& e)
  {
    std::fprintf(stderr, "audiodiff: %s\n", e.what());
    return 1;
  }
}
