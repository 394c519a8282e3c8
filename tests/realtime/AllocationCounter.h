#pragma once

#include <cstddef>

// Counts calls of the global operator new made by the current thread while armed. The test
// binary replaces the global allocation functions, so every C++ allocation is seen.
class AllocationCounter
{
public:
  AllocationCounter();
  ~AllocationCounter();
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;

  std::size_t Count() const;
};
