#pragma once

// Portable controls over the platform seam. Their event semantics live here,
// not in the back-ends, so Windows and the simulated desktop behave alike:
// a check box's click runs whenever its value changes, from the user or from
// code; a field's change runs whenever its text changes.

#include <functional>
#include <string>

#include "platform/message_loop.h"
#include "platform/window.h"

namespace pellucor {

class Control {
 public:
  Control(Window& window, ControlId id) : window_(window), id_(id) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlId id() const { return id_; }
  bool visible() const { return window_.visible(id_); }
  void setVisible(bool visible) { window_.setVisible(id_, visible); }
  void setBackColour(Colour colour) { window_.setBackColour(id_, colour); }
  void setForeColour(Colour colour) { window_.setForeColour(id_, colour); }
  bool setFocus() { return window_.setFocus(id_); }

 protected:
  Window& window_;

 private:
  ControlId id_;
};

// Frames and push buttons: a caption and nothing to remember.
class CaptionedControl : public Control {
 public:
  using Control::Control;
  std::string caption() const { return window_.text(id()); }
  void setCaption(std::string_view text) { window_.setText(id(), text); }
};

class CheckBox : public Control {
 public:
  using Control::Control;

  int value() const { return value_; }
  // Runs onClick when the value really changes, whoever changed it.
  void setValue(int value);
  // A user's click toggles between checked and unchecked.
  void userClicked() { setValue(value_ == 1 ? 0 : 1); }

  std::function<void()> onClick;

 private:
  int value_ = 0;
};

class TextField : public Control {
 public:
  // `designText` is what the window is created with; setting the same text
  // later is no change.
  TextField(Window& window, ControlId id, std::string designText) : Control(window, id), text_(std::move(designText)) {}

  const std::string& text() const { return text_; }
  // Runs onChange when the text really changes.
  void setText(std::string_view text);
  // The user edited the field: take the platform's text and raise onChange.
  void userEdited();
  void select(int start, int length) { window_.selectText(id(), start, length); }

  std::function<void()> onChange;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;

 private:
  std::string text_;
};

// As soon as the message loop runs: the interval of a one-shot timer.
inline constexpr unsigned kSoonMs = 1;

// A timer ticks only while it is enabled and its interval is above 0;
// changing either restarts the count. Its owner gives it an id of the
// window's that no other timer has.
class Timer final : public TimerEvents {
 public:
  Timer(MessageLoop& loop, int timerId, unsigned interval) : loop_(loop), timerId_(timerId), interval_(interval) {}
  // The loop must not call a timer that is gone.
  ~Timer() {
    if (running_) loop_.killTimer(timerId_);
  }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool enabled() const { return enabled_; }
  unsigned interval() const { return interval_; }
  int timerId() const { return timerId_; }
  void setEnabled(bool enabled);
  void setInterval(unsigned ms);

  std::function<void()> onTimer;
  // A timer that goes off once each time it is enabled: each tick turns it
  // off, then runs `action`. For work a handler leaves to the message loop,
  // to be done once the handler has returned.
  void setOneShot(std::function<void()> action);

  // TimerEvents
  void onTimerTick(int) override {
    if (onTimer) onTimer();
  }

 private:
  void apply();

  MessageLoop& loop_;
  int timerId_;
  unsigned interval_;
  bool enabled_ = false;
  bool running_ = false;
};

}  // namespace pellucor
