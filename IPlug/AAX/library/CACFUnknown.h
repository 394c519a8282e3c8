#pragma once

#include <atomic>
#include <cstdint>

#include "ACFBase.h"

// Reference counting and interface queries for every object the module hands to the host.
//
// An object starts with no reference; the host's first successful query (or add-reference)
// gives it one, and the release that brings the count back to 0 deletes it. Each living object
// adds 1 to the module's active object count, which tells the host whether the module may be
// unloaded. The interface classes carry IACFUnknown; a derived class forwards IACFUnknown's
// three operations to the Internal… ones here and answers its own identifiers in
// InternalQueryInterface before handing the rest to this base.
//
// Any thread: the counts change only atomically.
class CACFUnknown
{
public:
  CACFUnknown();
  CACFUnknown(const CACFUnknown&) = delete;
  CACFUnknown& operator=(const CACFUnknown&) = delete;
  virtual ~CACFUnknown();

  // Runs when the object receives its first reference.
  virtual void OnFirstReference() {}
  // Runs when the last reference goes, just before the object deletes itself.
  virtual void FinalRelease() {}
  virtual void DeleteThis() { delete this; }

  // Answers IID_IACFUnknown with the object's own unknown; anything else is ACF_E_NOINTERFACE
  // with null stored. A successful query adds a reference. A null out-pointer is
  // AAX_ERROR_NULL_ARGUMENT.
  virtual ACFRESULT InternalQueryInterface(const acfIID& iid, void** outInterface);
  // Returns the new count.
  virtual uint32_t InternalAddRef();
  // Returns the new count; at 0 the object is gone. Releasing an object that was never
  // referenced discards it.
  virtual uint32_t InternalRelease();

  // The object's identity as the framework's root interface (not reference-counted by this
  // call).
  IACFUnknown* GetUnknown() { return &mInner; }
  uint32_t RefCount() const { return mRefCount.load(); }

  // How many such objects live in the module right now.
  static int32_t GetActiveObjectCount();

private:
  class NondelegatingUnknown final : public IACFUnknown
  {
  public:
    explicit NondelegatingUnknown(CACFUnknown& owner) : mOwner(owner) {}
    ACFRESULT QueryInterface(const acfIID& iid, void** out) override { return mOwner.InternalQueryInterface(iid, out); }
    uint32_t AddRef() override { return mOwner.InternalAddRef(); }
    uint32_t Release() override { return mOwner.InternalRelease(); }

  private:
    CACFUnknown& mOwner;
  };

  std::atomic<uint32_t> mRefCount{0};
  NondelegatingUnknown mInner{*this};
};
