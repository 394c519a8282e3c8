#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace iplug::igraphics::renderer {

// Fonts registered from memory and the glyphs rasterised from them (by FreeType), packed into one
// alpha image that the renderer keeps as a texture.
//
// Glyphs are rasterised at the pixel size they are drawn at, so text stays sharp at any pixel
// ratio and transform scale; each (font, glyph, size) is rasterised once and kept until the
// atlas is full, when the renderer draws what it has queued and starts the atlas afresh.
class FontAtlas
{
public:
  struct Glyph
  {
    int x = 0, y = 0;           // top-left corner in the atlas, in pixels
    int width = 0, height = 0;  // size of the bitmap; 0 for blank glyphs and glyphs too large to keep
    float left = 0.f, top = 0.f; // bitmap offset from the pen: right, and up from the baseline
  };

  enum class Result
  {
    Ok,
    Full,  // no room left: reset the atlas and ask again
    Error, // unknown font or FreeType refused the glyph
  };

  static constexpr int kWidth = 1024;
  static constexpr int kInitialHeight = 256;

  explicit FontAtlas(int maxHeight = 2048);
  ~FontAtlas();
  FontAtlas(const FontAtlas&) = delete;
  FontAtlas& operator=(const FontAtlas&) = delete;

  // Copies the bytes and opens face `faceIndex` in them. Returns the font's id, the existing id
  // when the name is taken, or −1 when the bytes are not a scalable font or the face is missing.
  int AddFont(std::string_view name, const uint8_t* data, size_t size, int faceIndex);
  int FindFont(std::string_view name) const;

  // Vertical metrics in ems (multiply by the font size): ascender up from the baseline (> 0),
  // descender (< 0) and line height.
  bool Metrics(int font, float& ascender, float& descender, float& lineHeight) const;
  uint32_t GlyphIndex(int font, uint32_t codepoint) const;
  // Horizontal advance of a glyph and the kerning between two glyphs, in ems.
  float Advance(int font, uint32_t glyph);
  float Kerning(int font, uint32_t left, uint32_t right) const;

  // The glyph rasterised at `size26` (pixels in 26.6 fixed point).
  Result GetGlyph(int font, uint32_t glyph, int size26, const Glyph*& out);
  // Forgets every rasterised glyph and clears the image (fonts stay).
  void Reset();

  int Width() const { return kWidth; }
  int Height() const { return mHeight; }
  const uint8_t* Pixels() const { return mPixels.data(); }
  // Rows changed since the last call ([y0, y1)); false when none did.
  bool TakeDirtyRows(int& y0, int& y1);
  // True once after the image changed size.
  bool TakeResized();

private:
  struct Face;
  struct Shelf
  {
    int y, height, x;
  };

  Face* FaceOf(int font) const;
  bool SetSize(Face& f, int size26);
  bool Allocate(int w, int h, int& x, int& y);

  FT_LibraryRec_* mLibrary = nullptr;
  std::vector<std::unique_ptr<Face>> mFaces;
  std::unordered_map<uint64_t, Glyph> mGlyphs;
  std::unordered_map<uint64_t, float> mAdvances;
  std::vector<Shelf> mShelves;
  int mMaxHeight;
  std::vector<uint8_t> mPixels;
  int mHeight = kInitialHeight;
  int mNextY = 1;
  int mDirty0 = 0, mDirty1 = 0;
  bool mResized = true;
};

} // namespace iplug::igraphics::renderer
