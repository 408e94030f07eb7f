#pragma once

// The one way failures are shown: a fixed "Application Error" box, and the
// guard that three handlers run their numbered steps under.

#include <exception>
#include <functional>
#include <new>
#include <string>
#include <string_view>

#include "platform/failure.h"
#include "platform/message_loop.h"
#include "platform/texts.h"

namespace pellucor {

inline constexpr const char* kSupportAddress = "support@trandavel.example";
inline constexpr unsigned kErrorBoxStyle = 48;  // exclamation icon, OK only

// Told the number of every step a guarded handler begins; tests record it.
using StepObserver = std::function<void(std::string_view location, int line)>;

// The box's text: the message, the handler's location and line (kept in the
// program's own words, whatever the language), and the request for a
// screenshot in the user's language.
std::string ComposeErrorPrompt(const Texts& texts, std::string_view message, std::string_view location, int line);
// A failure's text in the user's language: the platform's own failures
// (failure.h) are translated, any other text is shown as it is.
std::string FailureInLanguage(const Texts& texts, std::string_view message);

// Shows the box and returns once the user has closed it.
void ReportError(MessageLoop& loop, const Texts& texts, std::string_view location, int line, std::string_view message);

// Runs a handler's numbered steps. A step that fails is reported with the
// handler's location text and the step's number, and the handler goes on with
// its next step. A failing test counts as true, so its "then" part runs next.
class Guard {
 public:
  Guard(MessageLoop& loop, const Texts& texts, std::string_view location, const StepObserver* observer = nullptr)
      : loop_(loop), texts_(texts), location_(location), observer_(observer) {}

  template <class Step>
  void step(int line, Step&& body) {
    begin(line);
    try {
      body();
    } catch (...) {
      report(std::current_exception());
    }
  }

  template <class Test>
  bool test(int line, Test&& condition) {
    begin(line);
    try {
      return static_cast<bool>(condition());
    } catch (...) {
      report(std::current_exception());
      return true;
    }
  }

  int line() const { return line_; }

 private:
  void begin(int line);
  // Rethrows what is not a failure of the program's own making (ProcessEnded).
  void report(std::exception_ptr error);

  MessageLoop& loop_;
  const Texts& texts_;
  std::string_view location_;
  const StepObserver* observer_;
  int line_ = 0;
};

}  // namespace pellucor
