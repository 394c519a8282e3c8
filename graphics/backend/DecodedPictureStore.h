#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "ImageDecoder.h"

namespace iplug::igraphics {

// The process's decoded module pictures, found by the encoded bytes they came from.
//
// Decoding costs an opening far more than anything else it does (the knob strip alone inflates
// to 16 MB of pixels), while a module's resources never change as long as the module is loaded.
// So each resource is decoded once and its pixels are uploaded into every GL context that needs
// them: a second editor, and the next opening of the same one, decode nothing.
//
// The pictures are kept while a hold on the store lives. Every graphics context holds it, and the
// editor delegate keeps the hold of its last context between openings, so the pictures stay while
// a plug-in whose editor has been open exists and go with the last such plug-in.
//
// Threads: any. One lock guards the entries and the holds; a picture is decoded under it, so two
// editors that ask for the same one at once decode it once.
class DecodedPictureStore
{
public:
  using Picture = renderer::ImageDecoder::Image;

  // The one store of the process.
  static DecodedPictureStore& Shared();

  DecodedPictureStore() = default;
  DecodedPictureStore(const DecodedPictureStore&) = delete;
  DecodedPictureStore& operator=(const DecodedPictureStore&) = delete;

  // Keeps the pictures until the returned token and every other one are gone.
  std::shared_ptr<const void> Hold();

  // The picture encoded in the `size` bytes at `data`, decoded at the first request; null when
  // they do not decode. The bytes must stay where they are and unchanged while the store lives
  // (a module resource does). Without a hold the picture is decoded for the caller alone.
  std::shared_ptr<const Picture> Find(const void* data, size_t size);

  // Pictures kept now, and their pixel bytes.
  size_t Count() const;
  size_t Bytes() const;

private:
  struct Entry
  {
    const void* data = nullptr;
    size_t size = 0;
    std::shared_ptr<const Picture> picture;
  };

  void Release();

  mutable std::mutex mMutex;
  std::vector<Entry> mEntries;
  int mHolds = 0;
};

} // namespace iplug::igraphics
