#pragma once

#include <clocale>
#include <cstring>
#include <string>
#include <utility>

namespace test {

// Sets the process's C locale for one test, as a host application may, and puts the previous
// one back. Valid() is false when the system lacks the locale (scripts/setup generates the ones
// the tests use).
class ScopedLocale
{
public:
  explicit ScopedLocale(const char* name)
  {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    mPrevious = previous ? previous : "C";
    mValid = std::setlocale(LC_ALL, name) != nullptr;
    // The C runtime on Windows knows the same locales by other names.
    for (const auto& [posix, windows] : kWindowsNames)
      if (!mValid && std::strcmp(name, posix) == 0)
        mValid = std::setlocale(LC_ALL, windows) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, mPrevious.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  bool Valid() const { return mValid; }

private:
  static constexpr std::pair<const char*, const char*> kWindowsNames[] = {
    {"de_DE.UTF-8", "German_Germany.1252"}, {"tr_TR.ISO-8859-9", "Turkish_Turkey.1254"}};

  std::string mPrevious;
  bool mValid = false;
};

} // namespace test
