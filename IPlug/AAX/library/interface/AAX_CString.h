#pragma once

#include <string>
#include <string_view>

#include "AAX_IString.h"

// The ordinary text behind AAX_IString: growable, with a fixed upper bound that keeps a
// hostile length from taking the process's memory.
class AAX_CString final : public AAX_IString
{
public:
  static constexpr uint32_t kMaxLength = 16384;

  AAX_CString() = default;
  AAX_CString(const char* text) { Set(text); }
  AAX_CString(std::string_view text) { Assign(text); }

  uint32_t Length() const override { return static_cast<uint32_t>(mText.size()); }
  uint32_t MaxLength() const override { return kMaxLength; }
  const char* Get() const override { return mText.c_str(); }
  void Set(const char* text) override { Assign(text ? std::string_view(text) : std::string_view()); }

  const std::string& StdString() const { return mText; }
  bool operator==(std::string_view other) const { return mText == other; }

private:
  void Assign(std::string_view text) { mText.assign(text.substr(0, kMaxLength)); }

  std::string mText;
};
