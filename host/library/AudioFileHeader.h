#pragma once

#include <cstdint>
#include <string>

namespace aaxhost {

// The frames a WAV, RF64 or AIFF file's header announces, read from the header itself; -1 for
// other files, streamed ones (no size given) and headers that cannot be read. A reader works
// out the frames from what the file holds and so cannot see that a file was cut short.
int64_t HeaderAnnouncedFrames(const std::string& path);

} // namespace aaxhost
