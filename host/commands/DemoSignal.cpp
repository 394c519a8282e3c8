#include "DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "AudioFile.h"
#include "ParameterSettings.h"

namespace aaxhost {

namespace {

// A plucked string: a burst of noise circulating through a delay line with a two-point average,
// which damps the high partials faster than the low ones.
class PluckedString
{
public:
  PluckedString(double frequency, int sampleRate, uint32_t seed)
    : mLine(static_cast<size_t>(std::max(2.0, std::round(sampleRate / frequency))))
  {
    for (float& sample : mLine)
    {
      seed = seed * 1664525u + 1013904223u;  // the same burst every time
      sample = static_cast<float>((seed >> 8) / 8388608.0 - 1.0);
    }
  }

  float Step()
  {
    const size_t next = (mPos + 1) % mLine.size();
    const float out = mLine[mPos];
    mLine[mPos] = 0.996f * 0.5f * (mLine[mPos] + mLine[next]);
    mPos = next;
    return out;
  }

private:
  std::vector<float> mLine;
  size_t mPos = 0;
};

} // namespace

void WriteDemoSignal(const std::string& path, double seconds, int sampleRate)
{
  if (!(seconds > 0.0) || seconds > 600.0)
    throw CommandError("the signal lasts more than 0 and at most 600 seconds");
  if (sampleRate < 8000 || sampleRate > 384000)
    throw CommandError("the sample rate lies between 8000 and 384000 Hz");
  const auto total = static_cast<int64_t>(seconds * sampleRate);
  const int64_t half = total / 2;

  AudioFileWriter output(path, 2, sampleRate);
  std::vector<float> frames(static_cast<size_t>(total) * 2);

  // Four notes of a G chord, one every quarter of the first half.
  const double notes[] = {98.0, 146.83, 196.0, 246.94};
  std::vector<PluckedString> left, right;
  const int64_t noteLength = std::max<int64_t>(half / 4, 1);
  for (int64_t i = 0; i < half; ++i)
  {
    const int64_t note = i / noteLength;
    if (i % noteLength == 0 && note < 4)
    {
      left.emplace_back(notes[note], sampleRate, 17u + static_cast<uint32_t>(note));
      right.emplace_back(notes[note] * 1.003, sampleRate, 91u + static_cast<uint32_t>(note));
    }
    float l = 0.0f, r = 0.0f;
    for (auto& string : left)
      l += string.Step();
    for (auto& string : right)
      r += string.Step();
    frames[static_cast<size_t>(2 * i)] = 0.35f * l;
    frames[static_cast<size_t>(2 * i + 1)] = 0.35f * r;
  }

  // The sweep: the phase of a logarithmic chirp, 20 Hz to 20 kHz.
  const double length = static_cast<double>(total - half) / sampleRate;
  const double ratio = std::log(20000.0 / 20.0);
  for (int64_t i = half; i < total; ++i)
  {
    const double t = static_cast<double>(i - half) / sampleRate;
    const double phase = 2.0 * M_PI * 20.0 * length / ratio * (std::exp(t / length * ratio) - 1.0);
    const auto x = static_cast<float>(0.5 * std::sin(phase));
    frames[static_cast<size_t>(2 * i)] = x;
    frames[static_cast<size_t>(2 * i + 1)] = x;
  }
  output.Write(frames.data(), total);
  output.Commit();
}

} // namespace aaxhost
