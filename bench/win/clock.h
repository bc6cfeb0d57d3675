// Wall-clock time for the Windows benchmarks.
#pragma once

#include <windows.h>

namespace bench {

// Milliseconds from an arbitrary origin, from the performance counter.
inline double NowMs() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

}  // namespace bench
