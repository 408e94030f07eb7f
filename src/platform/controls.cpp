#include "platform/controls.h"

namespace pellucor {

void CheckBox::setValue(int value) {
  if (value == value_) return;
  value_ = value;
  window_.setCheck(id(), value);
  if (onClick) onClick();
}

void TextField::setText(std::string_view text) {
  if (text == text_) return;
  text_ = std::string(text);
  window_.setText(id(), text_);
  if (onChange) onChange();
}

void TextField::userEdited() {
  std::string now = window_.text(id());
  if (now == text_) return;
  text_ = std::move(now);
  if (onChange) onChange();
}

void Timer::setEnabled(bool enabled) {
  enabled_ = enabled;
  apply();
}

void Timer::setInterval(unsigned ms) {
  interval_ = ms;
  apply();
}

void Timer::setOneShot(std::function<void()> action) {
  onTimer = [this, action = std::move(action)] {
    setEnabled(false);
    action();
  };
}

void Timer::apply() {
  if (enabled_ && interval_ > 0) {
    loop_.setTimer(timerId_, interval_, *this);
    running_ = true;
  } else if (running_) {
    loop_.killTimer(timerId_);
    running_ = false;
  }
}

}  // namespace pellucor
