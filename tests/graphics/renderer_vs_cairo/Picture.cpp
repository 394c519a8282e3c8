#include "Picture.h"

#include <cairo.h>

#include <cstring>

namespace test::vs_cairo {

bool Picture::WritePng(const std::string& path) const
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
    return false;
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
    {
      const uint8_t* p = At(x, y);
      const uint32_t argb = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
      std::memcpy(data + y * stride + x * 4, &argb, 4);
    }
  cairo_surface_mark_dirty(s);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

} // namespace test::vs_cairo
