#pragma once

#include <string>

namespace aaxhost {

// Writes the demo's test signal as a stereo 32-bit float WAV: plucked-string-like notes (a
// Karplus-Strong string, a little wider on the right) followed by a logarithmic sine sweep from
// 20 Hz to 20 kHz, each half of `seconds`. The same arguments always give the same file.
// Throws CommandError when the file cannot be written; nothing partial is left.
void WriteDemoSignal(const std::string& path, double seconds, int sampleRate);

} // namespace aaxhost
