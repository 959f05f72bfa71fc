// The monotonic clock in nanoseconds (CLOCK_MONOTONIC): one clock for all processes, so a time
// printed by a child compares with its parent's.
#pragma once

#include <ctime>

inline long long MonotonicNanoseconds()
{
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}
