// The simulated desktop's user, queue and clock: scripted user actions,
// the message queue with its timers, virtual time, and message boxes.

#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/failure.h"

namespace pellucor::sim {

SimDesktop::SimDesktop() {
  answerBox = [](const MessageBoxRecord&) { return 1; };
  // Every Windows installation has both Run keys.
  registry[regKeyName(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run")];
  registry[regKeyName(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run")];
}

SimControl& SimDesktop::control(ControlId id) {
  const auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

std::string SimDesktop::name(ControlId id) {
  if (id == kWindow) return "Window";
  const auto it = controls_.find(id);
  return it == controls_.end() ? std::to_string(id) : it->second.design.name;
}

void SimDesktop::userClick(ControlId id) {
  post([this, id] {
    if (!windowVisible_ || !control(id).visible || !control(id).enabled) return;
    moveFocus(id);
    if (events_) events_->onUserClick(id);
  });
}

void SimDesktop::userType(const std::string& text) {
  for (char c : text) {
    post([this, c] {
      auto it = controls_.find(focus_);
      if (it == controls_.end() || it->second.design.kind != ControlKind::TextField) return;
      SimControl& field = it->second;
      const std::size_t start = std::min<std::size_t>(field.selStart, field.text.size());
      const std::size_t length = std::min<std::size_t>(field.selLength, field.text.size() - start);
      if (c == '\b') {
        if (length > 0) {
          field.text.erase(start, length);
        } else if (start > 0) {
          field.text.erase(start - 1, 1);
          field.selStart = static_cast<int>(start - 1);
        } else {
          return;
        }
      } else {
        field.text.replace(start, length, 1, c);
        field.selStart = static_cast<int>(start + 1);
      }
      field.selLength = 0;
      if (events_) events_->onUserTextChange(focus_);
    });
  }
}

void SimDesktop::userFocus(ControlId id) {
  post([this, id] {
    if (windowVisible_ && control(id).visible && control(id).enabled) moveFocus(id);
  });
}

void SimDesktop::userMoveMouseOver(ControlId id) {
  post([this, id] {
    if (windowVisible_ && events_) events_->onMouseMove(id);
  });
}

void SimDesktop::userClose() {
  post([this] {
    if (events_) events_->onCloseRequest();
  });
}

void SimDesktop::userMinimise() {
  post([this] {
    if (!windowVisible_ || state_ == WindowState::Minimised) return;
    state_ = WindowState::Minimised;
    if (events_) events_->onResize();
  });
}

void SimDesktop::moveFocus(ControlId to) {
  if (to == focus_) return;
  const ControlId from = focus_;
  focus_ = to;
  if (!events_) return;
  if (from != -1) events_->onFocusLost(from);
  if (to != -1) events_->onFocusGained(to);
}

void SimDesktop::post(std::function<void()> message) { queue_.push_back(std::move(message)); }

void SimDesktop::at(std::int64_t delayMs, std::function<void()> action) {
  scheduled_.emplace(nowMs_ + delayMs, std::move(action));
}

void SimDesktop::releaseDue() {
  while (!scheduled_.empty() && scheduled_.begin()->first <= nowMs_) {
    auto action = std::move(scheduled_.begin()->second);
    scheduled_.erase(scheduled_.begin());
    action();
  }
}

std::optional<std::int64_t> SimDesktop::nextEventTime() const {
  std::optional<std::int64_t> next;
  for (const auto& [id, timer] : timers_) next = std::min(next.value_or(timer.due), timer.due);
  for (const auto& [key, timer] : windowTimers_) next = std::min(next.value_or(timer.due), timer.due);
  if (!scheduled_.empty()) next = std::min(next.value_or(scheduled_.begin()->first), scheduled_.begin()->first);
  return next;
}

bool SimDesktop::dispatchOnce() {
  releaseDue();
  if (!queue_.empty()) {
    auto message = std::move(queue_.front());
    queue_.pop_front();
    message();
    return true;
  }
  // Like WM_TIMER: made only when the queue is empty, one per due timer.
  for (auto& [key, timer] : windowTimers_) {
    if (timer.due <= nowMs_) {
      timer.due = nowMs_ + timer.interval;
      const auto [window, id] = key;
      sendToControlWindow(window, 0x0113, id, 0);
      return true;
    }
  }
  for (auto& [id, timer] : timers_) {
    if (timer.due <= nowMs_) {
      timer.due = nowMs_ + timer.interval;
      if (timer.events) timer.events->onTimerTick(id);
      return true;
    }
  }
  return false;
}

void SimDesktop::processPendingMessages() {
  log.push_back("processPendingMessages");
  while (dispatchOnce()) {
  }
}

void SimDesktop::runPending() {
  while (dispatchOnce()) {
  }
}

void SimDesktop::advance(std::int64_t ms) {
  const std::int64_t end = nowMs_ + ms;
  runPending();
  for (;;) {
    const std::optional<std::int64_t> next = nextEventTime();
    if (!next || *next > end) break;
    nowMs_ = std::max(nowMs_, *next);
    runPending();
  }
  nowMs_ = end;
  runPending();
}

int SimDesktop::runMessageLoop() {
  // The tests drive time themselves; the loop only drains what is pending.
  runPending();
  return exitCode.value_or(0);
}

void SimDesktop::waitForMessages(double timeoutSeconds) {
  log.push_back("waitForMessages");
  releaseDue();
  if (!queue_.empty() || timeoutSeconds <= 0) return;
  const std::optional<std::int64_t> next = nextEventTime();
  if (next && *next <= nowMs_) return;
  std::int64_t until = nowMs_ + static_cast<std::int64_t>(std::ceil(timeoutSeconds * 1000.0));
  if (next) until = std::min(until, *next);
  nowMs_ = until;
  releaseDue();
}

void SimDesktop::setTimer(int timerId, unsigned ms, TimerEvents& events) {
  log.push_back("setTimer " + std::to_string(timerId) + " " + std::to_string(ms));
  // As on Windows, the id names the timer: two owners with one id would
  // each replace the other's.
  const auto held = timers_.find(timerId);
  if (held != timers_.end() && held->second.events != &events)
    throw std::logic_error("two timers with id " + std::to_string(timerId));
  // As on Windows, intervals below 10 ms are raised to 10 ms.
  const unsigned interval = std::max(ms, 10u);
  timers_[timerId] = SimTimer{interval, nowMs_ + interval, &events};
}

void SimDesktop::killTimer(int timerId) {
  log.push_back("killTimer " + std::to_string(timerId));
  timers_.erase(timerId);
}

void SimDesktop::endProcess(int code) {
  log.push_back("endProcess " + std::to_string(code));
  ended = true;
  exitCode = code;
  windowVisible_ = false;
  throw ProcessEnded{code};
}

int SimDesktop::messageBox(std::string_view text, std::string_view caption, unsigned style) {
  MessageBoxRecord box{std::string(text), std::string(caption), style};
  log.push_back("messageBox " + box.caption);
  boxes.push_back(box);
  ++openBoxes_;
  struct Closed {
    int& open;
    ~Closed() { --open; }
  } closed{openBoxes_};
  return answerBox(box);
}

}  // namespace pellucor::sim
