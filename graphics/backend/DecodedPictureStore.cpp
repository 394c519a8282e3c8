#include "DecodedPictureStore.h"

#include <cstdint>

namespace iplug::igraphics {

DecodedPictureStore& DecodedPictureStore::Shared()
{
  static DecodedPictureStore store;
  return store;
}

std::shared_ptr<const void> DecodedPictureStore::Hold()
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    ++mHolds;
  }
  return std::shared_ptr<const void>(this, [](DecodedPictureStore* store) { store->Release(); });
}

void DecodedPictureStore::Release()
{
  std::vector<Entry> freed;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (--mHolds == 0)
      freed.swap(mEntries);
  }
  // The pixels are freed outside the lock: another editor need not wait for that.
}

std::shared_ptr<const DecodedPictureStore::Picture> DecodedPictureStore::Find(const void* data, size_t size)
{
  if (!data || size == 0)
    return nullptr;
  std::lock_guard<std::mutex> lock(mMutex);
  for (const Entry& entry : mEntries)
    if (entry.data == data && entry.size == size)
      return entry.picture;
  auto picture = std::make_shared<Picture>();
  if (!renderer::ImageDecoder::DecodeMemory(static_cast<const uint8_t*>(data), size, *picture))
    return nullptr;
  if (mHolds > 0)
    mEntries.push_back(Entry{data, size, picture});
  return picture;
}

size_t DecodedPictureStore::Count() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  return mEntries.size();
}

size_t DecodedPictureStore::Bytes() const
{
  std::lock_guard<std::mutex> lock(mMutex);
  size_t bytes = 0;
  for (const Entry& entry : mEntries)
    bytes += size_t(entry.picture->width) * size_t(entry.picture->height) * 4;
  return bytes;
}

} // namespace iplug::igraphics
