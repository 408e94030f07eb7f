#include "platform/controls.h"

namespace pellucor {

void CheckBox::setValue(int value) {
  if (value == value_) return;
  value_ = value;
  platform_.setCheck(id(), value);
  if (onClick) onClick();
}

void TextField::setText(std::string_view text) {
  if (text == text_) return;
  text_ = std::string(text);
  platform_.setText(id(), text_);
  if (onChange) onChange();
}

void TextField::userEdited() {
  std::string now = platform_.text(id());
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

void Timer::apply() {
  if (enabled_ && interval_ > 0) {
    platform_.setTimer(timerId_, interval_);
    running_ = true;
  } else if (running_) {
    platform_.killTimer(timerId_);
    running_ = false;
  }
}

}  // namespace pellucor
