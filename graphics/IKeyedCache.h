#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace iplug::igraphics {

// The key of a cache entry: 64-bit FNV-1a over the name followed by the scale written with
// "-%.1fx" ("KNOB.png" at scale 2 hashes "KNOB.png-2.0x").
uint64_t KeyedCacheKey(const char* name, double scale);

// Objects stored under a name and a scale (decoded bitmaps, font bytes, font handles), owned by
// the cache and destroyed with their entry. Entries keep their insertion order; a look-up walks
// them comparing keys first, so names are compared only on a key match.
//
// Threads: not locked by itself. Each cache carries a mutex that its owner holds around every use
// when the cache can be reached from more than one editor or thread.
template <typename T>
class IKeyedCache
{
public:
  IKeyedCache() = default;
  IKeyedCache(const IKeyedCache&) = delete;
  IKeyedCache& operator=(const IKeyedCache&) = delete;

  // The first entry with this name and exactly this scale, or null.
  T* Find(const char* name, double scale) const
  {
    const std::string key = name ? name : "";
    const uint64_t hash = KeyedCacheKey(key.c_str(), scale);
    for (const Entry& e : mEntries)
    {
      if (e.key == hash && e.scale == scale && e.name == key)
        return e.object.get();
    }
    return nullptr;
  }

  // Takes the object; an entry already stored under the same name and scale stays (and is found
  // first).
  void Add(std::unique_ptr<T> object, const char* name, double scale)
  {
    const std::string key = name ? name : "";
    mEntries.push_back(Entry{KeyedCacheKey(key.c_str(), scale), key, scale, std::move(object)});
  }

  // Destroys the entry holding the object; an object not stored here is left alone.
  void Remove(const T* object)
  {
    for (auto it = mEntries.begin(); it != mEntries.end(); ++it)
    {
      if (it->object.get() == object)
      {
        mEntries.erase(it);
        return;
      }
    }
  }

  void Clear() { mEntries.clear(); }
  int Size() const { return static_cast<int>(mEntries.size()); }
  std::mutex& Mutex() { return mMutex; }

private:
  struct Entry
  {
    uint64_t key;
    std::string name;
    double scale;
    std::unique_ptr<T> object;
  };

  std::vector<Entry> mEntries;
  std::mutex mMutex;
};

} // namespace iplug::igraphics
