#pragma once

#include <cstddef>
#include <vector>

#include "PreampChain.h"

namespace reference
{
inline constexpr std::size_t kNoReset = static_cast<std::size_t>(-1);

// Renders a whole two-channel signal of 32-bit samples (as a host hands them over) at `fs`, as a
// host session does: processing initialised and reset at the default parameters, then `settings`
// applied before the first block, so the smoothers glide from the defaults to them. At frame
// `resetAt` processing is reset, as the plug-in does before a block larger than any before: the
// smoothers jump to their targets and the half-band filters are cleared.
void Render(const Settings& settings, double fs, std::size_t resetAt, const std::vector<float>& left,
            const std::vector<float>& right, std::vector<double>& outLeft, std::vector<double>& outRight);
} // namespace reference
