// Time and random numbers.

#include <bit>

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {

double Win32Platform::secondsSinceMidnight() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600.0 + now.wMinute * 60.0 + now.wSecond + now.wMilliseconds / 1000.0;
}

void Win32Platform::seedRandom(double seed) {
  const auto bits = std::bit_cast<std::uint64_t>(seed);
  random_.seed(static_cast<std::uint32_t>(bits ^ (bits >> 32)));
}

// 53 random bits scaled into [0, 1): never 1.
double Win32Platform::nextRandom() {
  const double high = static_cast<double>(random_() >> 5);  // 27 bits
  const double low = static_cast<double>(random_() >> 6);   // 26 bits
  return (high * 67108864.0 + low) / 9007199254740992.0;
}

// Whole seconds and the remainder apart, so that a counter running for
// months loses no precision.
double Win32Platform::monotonicSeconds() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const LONGLONG frequency = counterFrequency_.QuadPart > 0 ? counterFrequency_.QuadPart : 1;
  return static_cast<double>(now.QuadPart / frequency) +
         static_cast<double>(now.QuadPart % frequency) / static_cast<double>(frequency);
}

}  // namespace pellucor::win32
