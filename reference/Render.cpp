#include "Render.h"

#include <algorithm>

namespace reference
{
void Render(const Settings& settings, double fs, std::size_t resetAt, const std::vector<float>& left,
            const std::vector<float>& right, std::vector<double>& outLeft, std::vector<double>& outRight)
{
  PreampChain chain;
  chain.SetSampleRate(fs);
  chain.Reset();
  chain.SetParameters(settings);

  const std::size_t n = std::min(left.size(), right.size());
  const std::vector<double> inLeft(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(n));
  const std::vector<double> inRight(right.begin(), right.begin() + static_cast<std::ptrdiff_t>(n));
  outLeft.assign(n, 0.0);
  outRight.assign(n, 0.0);
  auto run = [&](std::size_t from, std::size_t to) {
    const double* inputs[2] = {inLeft.data() + from, inRight.data() + from};
    double* outputs[2] = {outLeft.data() + from, outRight.data() + from};
    chain.Process(inputs, outputs, static_cast<int>(to - from));
  };
  const std::size_t split = std::min(resetAt, n);
  run(0, split);
  if (split < n)
  {
    chain.Reset();
    run(split, n);
  }
}
} // namespace reference
