#pragma once

// Time, random numbers, and the user's locale's conversion of text to numbers.

#include <cstdint>
#include <string_view>

namespace pellucor {

class Clock {
 public:
  virtual double secondsSinceMidnight() = 0;  // local time
  virtual double monotonicSeconds() = 0;      // from an arbitrary start, never going back
  virtual void seedRandom(double seed) = 0;
  // The next number of the seeded generator, in [0, 1).
  virtual double nextRandom() = 0;

 protected:
  ~Clock() = default;
};

class Numbers {
 public:
  // The locale-aware conversions of the user's default locale. Throw
  // Failure(Type mismatch) for a text that is no number and
  // Failure(Overflow) for one out of the target's range.
  virtual std::int16_t textToInt16(std::string_view text) = 0;
  virtual double textToDouble(std::string_view text) = 0;

 protected:
  ~Numbers() = default;
};

}  // namespace pellucor
