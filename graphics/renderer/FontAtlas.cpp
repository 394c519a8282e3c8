#include "FontAtlas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cstring>

namespace iplug::igraphics::renderer {

struct FontAtlas::Face
{
  std::string name;
  std::vector<uint8_t> bytes; // FreeType reads the face from here for as long as it is open
  FT_Face face = nullptr;
  int size26 = 0;
};

FontAtlas::FontAtlas(int maxHeight)
  : mMaxHeight(std::max(kInitialHeight, maxHeight))
  , mPixels(size_t(kWidth) * kInitialHeight, 0)
{
  if (FT_Init_FreeType(&mLibrary) != 0)
    mLibrary = nullptr;
}

FontAtlas::~FontAtlas()
{
  for (auto& f : mFaces)
    FT_Done_Face(f->face);
  mFaces.clear();
  if (mLibrary)
    FT_Done_FreeType(mLibrary);
}

int FontAtlas::AddFont(std::string_view name, const uint8_t* data, size_t size, int faceIndex)
{
  if (const int existing = FindFont(name); existing >= 0)
    return existing;
  if (!mLibrary || !data || size == 0 || faceIndex < 0 || size > size_t(0x7fffffff))
    return -1;
  auto f = std::make_unique<Face>();
  f->name = std::string(name);
  f->bytes.assign(data, data + size);
  if (FT_New_Memory_Face(mLibrary, f->bytes.data(), FT_Long(f->bytes.size()), FT_Long(faceIndex), &f->face) != 0)
    return -1;
  if (!FT_IS_SCALABLE(f->face) || f->face->units_per_EM == 0)
  {
    FT_Done_Face(f->face);
    return -1;
  }
  mFaces.push_back(std::move(f));
  return int(mFaces.size()) - 1;
}

int FontAtlas::FindFont(std::string_view name) const
{
  for (size_t i = 0; i < mFaces.size(); ++i)
    if (mFaces[i]->name == name)
      return int(i);
  return -1;
}

FontAtlas::Face* FontAtlas::FaceOf(int font) const
{
  return font >= 0 && font < int(mFaces.size()) ? mFaces[size_t(font)].get() : nullptr;
}

bool FontAtlas::Metrics(int font, float& ascender, float& descender, float& lineHeight) const
{
  const Face* f = FaceOf(font);
  if (!f)
  {
    ascender = descender = lineHeight = 0.f;
    return false;
  }
  const float em = float(f->face->units_per_EM);
  ascender = float(f->face->ascender) / em;
  descender = float(f->face->descender) / em;
  lineHeight = float(f->face->height) / em;
  return true;
}

uint32_t FontAtlas::GlyphIndex(int font, uint32_t codepoint) const
{
  const Face* f = FaceOf(font);
  return f ? uint32_t(FT_Get_Char_Index(f->face, FT_ULong(codepoint))) : 0u;
}

float FontAtlas::Advance(int font, uint32_t glyph)
{
  Face* f = FaceOf(font);
  if (!f)
    return 0.f;
  const uint64_t key = (uint64_t(uint32_t(font)) << 32) | glyph;
  if (auto it = mAdvances.find(key); it != mAdvances.end())
    return it->second;
  FT_Fixed advance = 0;
  float em = 0.f;
  if (FT_Get_Advance(f->face, FT_UInt(glyph), FT_LOAD_NO_SCALE, &advance) == 0)
    em = float(advance) / float(f->face->units_per_EM);
  mAdvances.emplace(key, em);
  return em;
}

float FontAtlas::Kerning(int font, uint32_t left, uint32_t right) const
{
  const Face* f = FaceOf(font);
  if (!f || !FT_HAS_KERNING(f->face) || left == 0 || right == 0)
    return 0.f;
  FT_Vector k{};
  if (FT_Get_Kerning(f->face, FT_UInt(left), FT_UInt(right), FT_KERNING_UNSCALED, &k) != 0)
    return 0.f;
  return float(k.x) / float(f->face->units_per_EM);
}

bool FontAtlas::SetSize(Face& f, int size26)
{
  if (f.size26 == size26)
    return true;
  if (FT_Set_Char_Size(f.face, 0, FT_F26Dot6(size26), 72, 72) != 0)
    return false;
  f.size26 = size26;
  return true;
}

bool FontAtlas::Allocate(int w, int h, int& x, int& y)
{
  // The shelf that fits most snugly, so short glyphs do not waste tall rows.
  Shelf* best = nullptr;
  for (Shelf& s : mShelves)
    if (s.height >= h && s.height <= h + h / 3 + 2 && s.x + w <= kWidth && (!best || s.height < best->height))
      best = &s;
  if (!best)
  {
    while (mNextY + h > mHeight)
    {
      if (mHeight * 2 > mMaxHeight)
        return false;
      mHeight *= 2;
      mPixels.resize(size_t(kWidth) * size_t(mHeight), 0);
      mResized = true;
    }
    mShelves.push_back({mNextY, h, 1});
    mNextY += h;
    best = &mShelves.back();
  }
  x = best->x;
  y = best->y;
  best->x += w;
  return true;
}

FontAtlas::Result FontAtlas::GetGlyph(int font, uint32_t glyph, int size26, const Glyph*& out)
{
  out = nullptr;
  Face* f = FaceOf(font);
  if (!f || size26 <= 0 || size26 > 0xffff)
    return Result::Error;
  const uint64_t key = (uint64_t(uint32_t(font)) << 48) | (uint64_t(uint32_t(size26)) << 32) | glyph;
  if (auto it = mGlyphs.find(key); it != mGlyphs.end())
  {
    out = &it->second;
    return Result::Ok;
  }
  if (!SetSize(*f, size26))
    return Result::Error;
  if (FT_Load_Glyph(f->face, FT_UInt(glyph), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
      FT_Render_Glyph(f->face->glyph, FT_RENDER_MODE_NORMAL) != 0)
    return Result::Error;

  const FT_GlyphSlot slot = f->face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  Glyph g;
  g.left = float(slot->bitmap_left);
  g.top = float(slot->bitmap_top);
  const int w = int(bm.width), h = int(bm.rows);
  // Blank glyphs and glyphs larger than the whole atlas keep no bitmap; their advance still counts.
  if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && w > 0 && h > 0 && w + 2 <= kWidth && h + 2 <= mMaxHeight)
  {
    int x = 0, y = 0;
    if (!Allocate(w + 1, h + 1, x, y))
      return Result::Full;
    for (int row = 0; row < h; ++row)
    {
      const uint8_t* src = bm.pitch >= 0 ? bm.buffer + size_t(row) * size_t(bm.pitch)
                                         : bm.buffer + size_t(h - 1 - row) * size_t(-bm.pitch);
      std::memcpy(&mPixels[size_t(y + row) * kWidth + size_t(x)], src, size_t(w));
    }
    g.x = x;
    g.y = y;
    g.width = w;
    g.height = h;
    if (mDirty1 <= mDirty0)
    {
      mDirty0 = y;
      mDirty1 = y + h;
    }
    else
    {
      mDirty0 = std::min(mDirty0, y);
      mDirty1 = std::max(mDirty1, y + h);
    }
  }
  out = &mGlyphs.emplace(key, g).first->second;
  return Result::Ok;
}

void FontAtlas::Reset()
{
  mGlyphs.clear();
  mShelves.clear();
  std::fill(mPixels.begin(), mPixels.end(), uint8_t(0));
  mNextY = 1;
  mDirty0 = 0;
  mDirty1 = mHeight;
}

bool FontAtlas::TakeDirtyRows(int& y0, int& y1)
{
  if (mDirty1 <= mDirty0)
    return false;
  y0 = mDirty0;
  y1 = mDirty1;
  mDirty0 = mDirty1 = 0;
  return true;
}

bool FontAtlas::TakeResized()
{
  const bool r = mResized;
  mResized = false;
  return r;
}

} // namespace iplug::igraphics::renderer
