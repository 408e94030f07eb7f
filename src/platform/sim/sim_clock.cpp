// The simulated desktop's clock, random numbers and number conversion.

#include "platform/failure.h"
#include "platform/sim/ole_number.h"
#include "platform/sim/sim_desktop.h"

namespace pellucor::sim {

double SimDesktop::monotonicSeconds() { return static_cast<double>(nowMs_) / 1000.0; }

double SimDesktop::secondsSinceMidnight() {
  return static_cast<double>((startOfDayMs_ + nowMs_) % (24LL * 3600 * 1000)) / 1000.0;
}

void SimDesktop::seedRandom(double) { log.push_back("seedRandom"); }

double SimDesktop::nextRandom() {
  log.push_back("nextRandom");
  if (randomValues.empty()) return 0.5;
  const double value = randomValues.front();
  randomValues.pop_front();
  return value;
}

namespace {
template <class T>
T Checked(const Converted<T>& result) {
  if (result.error == ConversionError::Overflow) throw Failure(failure_text::kOverflow);
  if (result.error != ConversionError::None) throw Failure(failure_text::kTypeMismatch);
  return result.value;
}
}  // namespace

std::int16_t SimDesktop::textToInt16(std::string_view text) { return Checked(TextToInt16(text)); }

double SimDesktop::textToDouble(std::string_view text) { return Checked(TextToDouble(text)); }

}  // namespace pellucor::sim
