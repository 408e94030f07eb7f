#pragma once

// Portable controls over the platform seam. Their event semantics live here,
// not in the back-ends, so Windows and the simulated desktop behave alike:
// a check box's click runs whenever its value changes, from the user or from
// code; a field's change runs whenever its text changes.

#include <functional>
#include <string>

#include "platform/platform.h"

namespace pellucor {

class Control {
 public:
  Control(Platform& platform, ControlId id) : platform_(platform), id_(id) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlId id() const { return id_; }
  bool visible() const { return platform_.visible(id_); }
  void setVisible(bool visible) { platform_.setVisible(id_, visible); }
  void setBackColour(Colour colour) { platform_.setBackColour(id_, colour); }
  void setForeColour(Colour colour) { platform_.setForeColour(id_, colour); }
  bool setFocus() { return platform_.setFocus(id_); }

 protected:
  Platform& platform_;

 private:
  ControlId id_;
};

// Frames and push buttons: a caption and nothing to remember.
class CaptionedControl : public Control {
 public:
  using Control::Control;
  std::string caption() const { return platform_.text(id()); }
  void setCaption(std::string_view text) { platform_.setText(id(), text); }
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
  TextField(Platform& platform, ControlId id, std::string designText)
      : Control(platform, id), text_(std::move(designText)) {}

  const std::string& text() const { return text_; }
  // Runs onChange when the text really changes.
  void setText(std::string_view text);
  // The user edited the field: take the platform's text and raise onChange.
  void userEdited();
  void select(int start, int length) { platform_.selectText(id(), start, length); }

  std::function<void()> onChange;
  std::function<void()> onGotFocus;
  std::function<void()> onLostFocus;

 private:
  std::string text_;
};

// A timer ticks only while it is enabled and its interval is above 0;
// changing either restarts the count.
class Timer {
 public:
  Timer(Platform& platform, int timerId, unsigned interval)
      : platform_(platform), timerId_(timerId), interval_(interval) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool enabled() const { return enabled_; }
  unsigned interval() const { return interval_; }
  int timerId() const { return timerId_; }
  void setEnabled(bool enabled);
  void setInterval(unsigned ms);

  std::function<void()> onTimer;

 private:
  void apply();

  Platform& platform_;
  int timerId_;
  unsigned interval_;
  bool enabled_ = false;
  bool running_ = false;
};

}  // namespace pellucor
