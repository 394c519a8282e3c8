#pragma once

namespace test {

// Counts the operator new calls made on the calling thread while it lives, so a test can show
// that a real-time path allocates nothing. The counting operator new forwards to the one it
// replaces (the sanitizer's or the standard library's), so new/delete pairs stay matched.
class AllocationCounter
{
public:
  AllocationCounter();
  long Count() const;

private:
  long mStart;
};

} // namespace test
