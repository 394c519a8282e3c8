#pragma once

#include <atomic>
#include <cstdint>

#include "AAX_Errors.h"
#include "ACFBase.h"

namespace aaxhost {

// Reference counting shared by the host's objects. An object starts with one reference, its
// creator's, and deletes itself when the last one goes. Interfaces is the list of ACF
// interfaces the object implements; QueryInterface stays with the concrete class, which knows
// which identifiers it answers. Any thread.
template <typename... Interfaces>
class HostObject : public Interfaces...
{
public:
  HostObject() = default;
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  uint32_t AddRef() override { return mRefCount.fetch_add(1) + 1; }

  uint32_t Release() override
  {
    const uint32_t count = mRefCount.fetch_sub(1) - 1;
    if (count == 0)
      delete this;
    return count;
  }

  uint32_t RefCount() const { return mRefCount.load(); }

protected:
  virtual ~HostObject() = default;

  // Stores `found` (already converted to the asked interface) with a new reference.
  ACFRESULT Answer(void* found, void** outInterface)
  {
    if (!outInterface)
      return AAX_ERROR_NULL_ARGUMENT;
    *outInterface = found;
    if (!found)
      return ACF_E_NOINTERFACE;
    AddRef();
    return ACF_OK;
  }

private:
  std::atomic<uint32_t> mRefCount{1};
};

// An owning pointer to a reference-counted host object: releases its reference when it goes.
template <typename T>
class HostRef
{
public:
  HostRef() = default;
  // Takes over one reference that the caller already holds.
  explicit HostRef(T* object) : mObject(object) {}
  HostRef(const HostRef& other) : mObject(other.mObject)
  {
    if (mObject)
      mObject->AddRef();
  }
  HostRef& operator=(HostRef other)
  {
    std::swap(mObject, other.mObject);
    return *this;
  }
  ~HostRef()
  {
    if (mObject)
      mObject->Release();
  }

  // Adds a reference of its own.
  static HostRef Share(T* object)
  {
    if (object)
      object->AddRef();
    return HostRef(object);
  }

  T* get() const { return mObject; }
  T* operator->() const { return mObject; }
  T& operator*() const { return *mObject; }
  explicit operator bool() const { return mObject != nullptr; }

private:
  T* mObject = nullptr;
};

} // namespace aaxhost
