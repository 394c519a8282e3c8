#pragma once

#include <cstdint>
#include <vector>

namespace test::vs_cairo {

// The picture both renderers paint as an image pattern: 16 × 16 premultiplied RGBA, rows top
// first, with hard colour steps (sampling must land on the same texels), a smooth ramp (the
// filter must weigh them alike) and a translucent quarter (both must filter premultiplied).
struct TestImage
{
  static constexpr int kSize = 16;

  static std::vector<uint8_t> Pixels()
  {
    std::vector<uint8_t> px(size_t(kSize * kSize * 4));
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
      {
        uint8_t* p = &px[size_t((y * kSize + x) * 4)];
        int r, g, b, a = 255;
        if (y < 8)
        {
          const bool odd = ((x / 2) + (y / 2)) % 2 != 0;
          r = odd ? 230 : 20;
          g = x < 8 ? 40 : 200;
          b = odd ? 30 : 220;
        }
        else
        {
          r = x * 17;
          g = 255 - x * 17;
          b = 128;
          if (x >= 8)
            a = 96 + (y - 8) * 16;
        }
        p[0] = uint8_t((r * a + 127) / 255);
        p[1] = uint8_t((g * a + 127) / 255);
        p[2] = uint8_t((b * a + 127) / 255);
        p[3] = uint8_t(a);
      }
    return px;
  }
};

} // namespace test::vs_cairo
