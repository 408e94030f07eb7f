#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "platform/failure.h"

namespace pellucor::sim {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Windows folds repeated separators and a trailing one (but not a root's).
std::string Normalise(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !out.empty() && out.back() == '\\') continue;
    out += c;
  }
  if (out.size() > 3 && out.back() == '\\') out.pop_back();
  return out;
}

bool Malformed(const std::string& path) {
  if (path.empty()) return true;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c < 32 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') return true;
    if (c == ':' && i != 1) return true;
  }
  return false;
}

bool WildcardMatch(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') return WildcardMatch(pattern + 1, name) || (*name && WildcardMatch(pattern, name + 1));
  if (*name == '\0') return false;
  if (*pattern == '?' || std::tolower(static_cast<unsigned char>(*pattern)) ==
                             std::tolower(static_cast<unsigned char>(*name)))
    return WildcardMatch(pattern + 1, name + 1);
  return false;
}

std::string Folder(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return {};
  return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

}  // namespace

SimDesktop::SimDesktop() {
  answerBox = [](const MessageBoxRecord&) { return 1; };
}

void SimDesktop::addFolder(const std::string& path) {
  const std::string normal = Normalise(path);
  if (normal.size() > 3) addFolder(Folder(normal));
  File& f = files_[Lower(normal)];
  f.folder = true;
  f.content = normal;
}

void SimDesktop::addFile(const std::string& path, std::string content, bool hidden) {
  const std::string normal = Normalise(path);
  addFolder(Folder(normal));
  File& f = files_[Lower(normal)];
  f = File{std::move(content), false, hidden};
  names_[Lower(normal)] = normal;
}

SimControl& SimDesktop::control(ControlId id) {
  const auto it = controls_.find(id);
  if (it == controls_.end()) throw std::out_of_range("no control " + std::to_string(id));
  return it->second;
}

std::string SimDesktop::name(ControlId id) {
  if (id == kWindow) return "Window";
  const auto it = controls_.find(id);
  return it == controls_.end() ? std::to_string(id) : it->second.spec.name;
}

// --- Scripted user actions -----------------------------------------------------

void SimDesktop::userClick(ControlId id) {
  post([this, id] {
    if (!windowVisible_ || !control(id).visible) return;
    moveFocus(id);
    if (events_) events_->onUserClick(id);
  });
}

void SimDesktop::userType(const std::string& text) {
  for (char c : text) {
    post([this, c] {
      auto it = controls_.find(focus_);
      if (it == controls_.end() || it->second.spec.kind != ControlKind::TextField) return;
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
    if (windowVisible_ && control(id).visible) moveFocus(id);
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

void SimDesktop::userMoveMouse(Point to) { cursor_ = to; }

void SimDesktop::moveFocus(ControlId to) {
  if (to == focus_) return;
  const ControlId from = focus_;
  focus_ = to;
  if (!events_) return;
  if (from != -1) events_->onFocusLost(from);
  if (to != -1) events_->onFocusGained(to);
}

// --- Time and messages ---------------------------------------------------------

void SimDesktop::post(std::function<void()> message) { queue_.push_back(std::move(message)); }

bool SimDesktop::dispatchOnce() {
  if (!queue_.empty()) {
    auto message = std::move(queue_.front());
    queue_.pop_front();
    message();
    return true;
  }
  // Like WM_TIMER: made only when the queue is empty, one per due timer.
  for (auto& [id, timer] : timers_) {
    if (timer.due <= nowMs_) {
      timer.due = nowMs_ + timer.interval;
      if (events_) events_->onTimer(id);
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
    std::optional<std::int64_t> next;
    for (const auto& [id, timer] : timers_) next = std::min(next.value_or(timer.due), timer.due);
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

void SimDesktop::setTimer(int timerId, unsigned ms) {
  log.push_back("setTimer " + std::to_string(timerId) + " " + std::to_string(ms));
  // As on Windows, intervals below 10 ms are raised to 10 ms.
  const unsigned interval = std::max(ms, 10u);
  timers_[timerId] = SimTimer{interval, nowMs_ + interval};
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

// --- Window --------------------------------------------------------------------

void SimDesktop::createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls,
                            FormEvents& events) {
  log.push_back("createForm");
  events_ = &events;
  windowSpec_ = window;
  caption_ = window.caption;
  windowBack_ = window.back;
  for (const ControlSpec& spec : controls) {
    SimControl c;
    c.spec = spec;
    c.text = spec.caption;
    c.visible = spec.visible;
    c.back = spec.back;
    c.fore = spec.fore;
    controls_[spec.id] = c;
  }
}

void SimDesktop::showForm(WindowState state) {
  log.push_back(state == WindowState::Minimised ? "showForm Minimised" : "showForm Normal");
  windowVisible_ = true;
  state_ = state;
  if (state == WindowState::Minimised) {
    if (events_) events_->onResize();
    return;
  }
  // The first control in tab order that can take the focus gets it.
  const SimControl* first = nullptr;
  for (const auto& [id, c] : controls_) {
    if (c.spec.kind == ControlKind::Frame || !c.visible) continue;
    if (!first || c.spec.tabIndex < first->spec.tabIndex) first = &c;
  }
  if (first) moveFocus(first->spec.id);
}

void SimDesktop::setText(ControlId id, std::string_view text) {
  log.push_back("setText " + name(id) + " " + std::string(text));
  if (id == kWindow) {
    caption_ = std::string(text);
  } else {
    SimControl& c = control(id);
    c.text = std::string(text);
    c.selStart = c.selLength = 0;
  }
}

std::string SimDesktop::text(ControlId id) { return id == kWindow ? caption_ : control(id).text; }

void SimDesktop::setCheck(ControlId id, int value) {
  log.push_back("setCheck " + name(id) + " " + std::to_string(value));
  control(id).check = value;
}

void SimDesktop::setVisible(ControlId id, bool visible) {
  log.push_back(std::string(visible ? "show " : "hide ") + name(id));
  if (id == kWindow) {
    // The focused control keeps the focus while its window is hidden and
    // has it again when the window comes back: no focus events either way.
    windowVisible_ = visible;
    return;
  }
  SimControl& c = control(id);
  if (!visible && focus_ == id) moveFocus(-1);
  c.visible = visible;
}

bool SimDesktop::visible(ControlId id) { return id == kWindow ? windowVisible_ : control(id).visible; }

void SimDesktop::setBackColour(ControlId id, Colour colour) {
  log.push_back("setBackColour " + name(id) + " " + std::to_string(colour));
  if (id == kWindow) {
    windowBack_ = colour;
  } else {
    control(id).back = colour;
  }
}

void SimDesktop::setForeColour(ControlId id, Colour colour) {
  log.push_back("setForeColour " + name(id) + " " + std::to_string(colour));
  if (id != kWindow) control(id).fore = colour;
}

bool SimDesktop::setFocus(ControlId id) {
  log.push_back("setFocus " + name(id));
  if (!windowVisible_ || (id != kWindow && !control(id).visible)) return false;
  // Focusing the window gives the focus back to the control that had it.
  if (id != kWindow) moveFocus(id);
  return true;
}

void SimDesktop::selectText(ControlId id, int start, int length) {
  SimControl& c = control(id);
  c.selStart = start;
  c.selLength = length;
}

void SimDesktop::setWindowState(WindowState state) {
  log.push_back(state == WindowState::Minimised ? "setWindowState Minimised" : "setWindowState Normal");
  if (state == state_) return;
  state_ = state;
  // A hidden window only remembers the state; a shown one is resized now.
  if (windowVisible_ && events_) events_->onResize();
}

WindowState SimDesktop::windowState() { return state_; }

void SimDesktop::setWindowIcon() {
  log.push_back("setWindowIcon");
  iconSet_ = true;
}

std::intptr_t SimDesktop::windowHandle() { return handle_; }

std::vector<std::pair<ControlId, ControlKind>> SimDesktop::controlsOf(std::intptr_t handle) {
  std::vector<std::pair<ControlId, ControlKind>> out;
  if (!events_ || static_cast<std::uint32_t>(handle) != static_cast<std::uint32_t>(handle_)) return out;
  for (const auto& [id, c] : controls_) out.emplace_back(id, c.spec.kind);
  return out;
}

CursorHandle SimDesktop::loadCursorFile(const std::string& path) {
  log.push_back("loadCursorFile " + path);
  const File* f = findFile(path);
  if (!f || f->folder) throw Failure(failure_text::kFileNotFound);
  // A cursor file starts with reserved 0 and resource type 2.
  const std::string& b = f->content;
  if (b.size() < 6 || b[0] != 0 || b[1] != 0 || b[2] != 2 || b[3] != 0 || (b[4] == 0 && b[5] == 0))
    throw Failure(failure_text::kInvalidPicture);
  return nextCursor_++;
}

void SimDesktop::setMousePointer(MousePointer pointer, CursorHandle custom) {
  log.push_back(pointer == MousePointer::Custom ? "setMousePointer Custom" : "setMousePointer Default");
  pointer_ = pointer;
  pointerCursor_ = custom;
}

// --- Boxes, files, processes, cursor ---------------------------------------------

int SimDesktop::messageBox(std::string_view text, std::string_view caption, unsigned style) {
  MessageBoxRecord box{std::string(text), std::string(caption), style};
  log.push_back("messageBox " + box.caption);
  boxes.push_back(box);
  return answerBox(box);
}

std::string SimDesktop::programFolder() { return folder; }

const SimDesktop::File* SimDesktop::findFile(const std::string& path) const {
  const auto it = files_.find(Lower(Normalise(path)));
  return it == files_.end() ? nullptr : &it->second;
}

std::int64_t SimDesktop::fileDateTime(const std::string& path) {
  log.push_back("fileDateTime " + path);
  if (Malformed(path)) throw Failure(failure_text::kBadFileName);
  if (!findFile(path)) throw Failure(failure_text::kFileNotFound);
  return 1700000000;
}

std::vector<std::string> SimDesktop::listFiles(const std::string& pattern) {
  log.push_back("listFiles " + pattern);
  std::vector<std::string> out;
  const std::string normal = Normalise(pattern);
  const std::size_t slash = normal.rfind('\\');
  const std::string folderKey = Lower(Folder(normal));
  const std::string namePattern = slash == std::string::npos ? normal : normal.substr(slash + 1);
  for (const auto& [key, file] : files_) {
    if (file.folder || file.hidden || Lower(Folder(key)) != folderKey) continue;
    const std::string& original = names_.at(key);
    const std::string fileName = original.substr(original.rfind('\\') + 1);
    if (WildcardMatch(namePattern.c_str(), fileName.c_str())) out.push_back(fileName);
  }
  return out;
}

std::string SimDesktop::readTextFile(const std::string& path) {
  log.push_back("readTextFile " + path);
  const File* f = findFile(path);
  if (!f || f->folder) throw Failure(failure_text::kFileNotFound);
  return f->content;
}

void SimDesktop::startProcess(const std::string& commandLine, ShowMode) {
  log.push_back("startProcess " + commandLine);
  if (failStartProcess) throw Failure(failure_text::kFileNotFound);
  startedCommands.push_back(commandLine);
}

int SimDesktop::showCursor(bool show) {
  log.push_back(show ? "showCursor 1" : "showCursor 0");
  cursorDisplayCount += show ? 1 : -1;
  return cursorDisplayCount;
}

Point SimDesktop::cursorPos() { return cursor_; }

}  // namespace pellucor::sim
