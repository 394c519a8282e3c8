#include "CACFUnknown.h"

#include "AAX_Errors.h"

namespace {
std::atomic<int32_t> sActiveObjectCount{0};
} // namespace

CACFUnknown::CACFUnknown()
{
  sActiveObjectCount.fetch_add(1);
}

CACFUnknown::~CACFUnknown()
{
  sActiveObjectCount.fetch_sub(1);
}

int32_t CACFUnknown::GetActiveObjectCount()
{
  return sActiveObjectCount.load();
}

ACFRESULT CACFUnknown::InternalQueryInterface(const acfIID& iid, void** outInterface)
{
  if (!outInterface)
    return AAX_ERROR_NULL_ARGUMENT;
  if (iid == IID_IACFUnknown)
  {
    *outInterface = GetUnknown();
    InternalAddRef();
    return ACF_OK;
  }
  *outInterface = nullptr;
  return ACF_E_NOINTERFACE;
}

uint32_t CACFUnknown::InternalAddRef()
{
  const uint32_t count = mRefCount.fetch_add(1) + 1;
  if (count == 1)
    OnFirstReference();
  return count;
}

uint32_t CACFUnknown::InternalRelease()
{
  uint32_t count = mRefCount.load();
  do
  {
    if (count == 0)
    {
      // Never referenced: the caller is discarding a fresh object.
      FinalRelease();
      DeleteThis();
      return 0;
    }
  } while (!mRefCount.compare_exchange_weak(count, count - 1));

  if (count - 1 == 0)
  {
    FinalRelease();
    DeleteThis();
  }
  return count - 1;
}
