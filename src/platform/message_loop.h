#pragma once

// The GUI thread's message loop: pumping, waiting, timers, modal boxes and
// the end of the process.

#include <string_view>

#include "platform/types.h"

namespace pellucor {

// The owner of a timer, told each time it falls due.
class TimerEvents {
 public:
  virtual void onTimerTick(int timerId) = 0;

 protected:
  ~TimerEvents() = default;
};

class MessageLoop {
 public:
  // Dispatches every message waiting for the GUI thread and returns when none
  // is left; never waits. Safe to call from inside any handler.
  virtual void processPendingMessages() = 0;
  // Runs the ordinary message loop until the process ends.
  virtual int runMessageLoop() = 0;
  // Sleeps until a message, a sent message or input arrives for the GUI
  // thread, or the time is up; dispatches nothing.
  virtual void waitForMessages(double timeoutSeconds) = 0;
  // A timer of the window that calls `events` every `ms`; setting it again
  // replaces the interval. Ids are the window's: each timer has its own.
  virtual void setTimer(int timerId, unsigned ms, TimerEvents& events) = 0;
  virtual void killTimer(int timerId) = 0;
  // A modal box; returns the pressed button's id (1 = OK).
  virtual int messageBox(std::string_view text, std::string_view caption, unsigned style) = 0;
  // Whether a message box or dialog of the program is open now: its modal
  // loop runs, and whatever it dispatches nests inside it.
  virtual bool boxOpen() = 0;
  // Ends the process at once, without the close handling of other windows.
  [[noreturn]] virtual void endProcess(int exitCode) = 0;

 protected:
  ~MessageLoop() = default;
};

}  // namespace pellucor
