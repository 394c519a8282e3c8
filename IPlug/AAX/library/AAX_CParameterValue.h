#pragma once

#include <atomic>
#include <cstring>
#include <type_traits>

#include "AAX_CHostServices.h"
#include "AAX_IParameterValue.h"

// Longest identifier plus its terminator.
constexpr int32_t eParemeterDefaultMaxIdentifierSize = 32;

// The value holder of one parameter: its identifier (cut to 31 characters, the cut reported to
// the host) and its current value of type T (bool, int32_t or double). The owner decides which
// thread writes; the value itself is one atomic word, because the audio thread reads the master
// bypass while the host's parameter thread may be updating it.
template <typename T>
class AAX_CParameterValue final : public AAX_IParameterValue
{
  static_assert(std::is_same_v<T, bool> || std::is_same_v<T, int32_t> || std::is_same_v<T, double>,
                "a parameter holds a bool, a 32-bit integer or a double");

public:
  AAX_CParameterValue(AAX_CParamID identifier, T value) : mValue(value)
  {
    static_assert(std::atomic<T>::is_always_lock_free, "the audio thread reads the value");
    const size_t len = identifier ? std::strlen(identifier) : 0;
    AAX_AssertReport(len < static_cast<size_t>(eParemeterDefaultMaxIdentifierSize),
                     "Dependencies/IPlug/AAX_SDK/Interfaces/AAX_CParameter", 194,
                     "len < eParemeterDefaultMaxIdentifierSize");
    const size_t kept = len < static_cast<size_t>(eParemeterDefaultMaxIdentifierSize) ? len
                          : static_cast<size_t>(eParemeterDefaultMaxIdentifierSize - 1);
    if (kept)
      std::memcpy(mIdentifier, identifier, kept);
    mIdentifier[kept] = '\0';
  }

  AAX_IParameterValue* Clone() const override { return new AAX_CParameterValue(*this); }
  AAX_CParamID Identifier() const override { return mIdentifier; }

  bool GetValueAsBool(bool* outValue) const override { return Read<bool>(outValue); }
  bool GetValueAsInt32(int32_t* outValue) const override { return Read<int32_t>(outValue); }
  bool GetValueAsFloat(float* outValue) const override { return Read<float>(outValue); }
  bool GetValueAsDouble(double* outValue) const override { return Read<double>(outValue); }
  bool GetValueAsString(AAX_IString* outValue) const override { (void) outValue; return false; }

  T Get() const { return mValue.load(std::memory_order_relaxed); }
  void Set(T value) { mValue.store(value, std::memory_order_relaxed); }

private:
  AAX_CParameterValue(const AAX_CParameterValue& other) : mValue(other.Get())
  {
    std::memcpy(mIdentifier, other.mIdentifier, sizeof(mIdentifier));
  }

  template <typename U>
  bool Read(U* outValue) const
  {
    if constexpr (std::is_same_v<T, U>)
    {
      if (!outValue)
        return false;
      *outValue = Get();
      return true;
    }
    else
    {
      (void) outValue;
      return false;
    }
  }

  char mIdentifier[eParemeterDefaultMaxIdentifierSize] = {};
  std::atomic<T> mValue;
};
