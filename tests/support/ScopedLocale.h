#pragma once

#include <clocale>
#include <string>

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
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, mPrevious.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  bool Valid() const { return mValid; }

private:
  std::string mPrevious;
  bool mValid = false;
};

} // namespace test
