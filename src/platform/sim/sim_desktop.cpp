#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>

#include "platform/failure.h"
#include "platform/sim/ole_number.h"

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
  if (*pattern == '?' ||
      std::tolower(static_cast<unsigned char>(*pattern)) == std::tolower(static_cast<unsigned char>(*name)))
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
  // Every Windows installation has both Run keys.
  registry[regKeyName(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run")];
  registry[regKeyName(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run")];
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
  return it == controls_.end() ? std::to_string(id) : it->second.design.name;
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

// --- Time and messages ---------------------------------------------------------

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

double SimDesktop::monotonicSeconds() { return static_cast<double>(nowMs_) / 1000.0; }

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

void SimDesktop::createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) {
  log.push_back("createForm");
  events_ = &events;
  windowSpec_ = window;
  caption_ = window.caption;
  windowBack_ = window.back;
  for (const ControlSpec& design : controls) {
    SimControl c;
    c.design = design;
    c.text = design.caption;
    c.visible = design.visible;
    c.back = design.back;
    c.fore = design.fore;
    controls_[design.id] = c;
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
    if (c.design.kind == ControlKind::Frame || !c.visible) continue;
    if (!first || c.design.tabIndex < first->design.tabIndex) first = &c;
  }
  if (first) moveFocus(first->design.id);
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
  foreground_ = !foregroundRefused;
  // Focusing the window gives the focus back to the control that had it.
  if (id != kWindow) moveFocus(id);
  return true;
}

bool SimDesktop::isForeground() { return windowVisible_ && foreground_; }

void SimDesktop::flashUntilActivated() {
  log.push_back("flashUntilActivated");
  ++taskbarFlashes;
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
  for (const auto& [id, c] : controls_) out.emplace_back(id, c.design.kind);
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

// --- Other copies ------------------------------------------------------------------

std::int32_t SimDesktop::claimOnlyCopy() {
  log.push_back("claimOnlyCopy");
  if (!anotherCopyRunning) return kErrorSuccess;
  return otherCopyElevated ? kErrorAccessDenied : kErrorAlreadyExists;
}

bool SimDesktop::askOtherCopyToShow(double) {
  log.push_back("askOtherCopyToShow");
  if (!otherCopyAnswers) return false;
  ++showRequestsSent;
  return true;
}

void SimDesktop::requestShow() {
  post([this] {
    if (events_) events_->onShowRequest();
  });
}

// --- Boxes, files, processes ---------------------------------------------------

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

std::string SimDesktop::windowsFolder() { return "C:\\Windows"; }

void SimDesktop::startProcess(const std::string& commandLine, ShowMode) {
  log.push_back("startProcess " + commandLine);
  if (failStartProcess) throw Failure(failure_text::kFileNotFound);
  startedCommands.push_back(commandLine);
}

// --- Numbers ------------------------------------------------------------------------

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

// --- Control windows and the shell ------------------------------------------------

std::intptr_t SimDesktop::createControlWindow() {
  const std::intptr_t window = nextWindow_++;
  controlWindows_[window] = ControlWindow{};
  return window;
}

void SimDesktop::destroyControlWindow(std::intptr_t window) {
  controlWindows_.erase(window);
  std::erase_if(windowTimers_, [window](const auto& timer) { return timer.first.first == window; });
}

WindowProcToken SimDesktop::subclassWindow(std::intptr_t window, WindowProc proc) {
  log.push_back("subclassWindow");
  ControlWindow& w = controlWindows_.at(window);
  const WindowProcToken token = nextToken_++;
  procTokens_[token] = w.proc;
  w.proc = proc;
  return token;
}

void SimDesktop::restoreWindowProc(std::intptr_t window, WindowProcToken previous) {
  log.push_back("restoreWindowProc");
  controlWindows_.at(window).proc = procTokens_.at(previous);
}

std::intptr_t SimDesktop::callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam) {
  const WindowProc proc = procTokens_.at(previous);
  return proc ? proc(*this, window, message, wParam, lParam) : 0;  // the window's own does nothing
}

std::intptr_t SimDesktop::sendToControlWindow(std::intptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
  const auto it = controlWindows_.find(window);
  if (it == controlWindows_.end() || !it->second.proc) return 0;
  return it->second.proc(*this, window, message, wParam, lParam);
}

void SimDesktop::setWindowUserData(std::intptr_t window, std::intptr_t data) {
  controlWindows_.at(window).userData = data;
}

std::intptr_t SimDesktop::windowUserData(std::intptr_t window) { return controlWindows_.at(window).userData; }

std::uint32_t SimDesktop::registerWindowMessage(std::string_view name) {
  const auto [it, added] =
      registeredMessages_.emplace(std::string(name), 0xC000u + static_cast<std::uint32_t>(registeredMessages_.size()));
  return it->second;
}

IconHandle SimDesktop::trayIcon() { return 0x5001; }

bool SimDesktop::shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  log.push_back("shellNotifyIcon " + std::to_string(message));
  const std::pair<std::intptr_t, std::uint32_t> icon{data.window, data.id};
  bool accepted = false;
  if (!shellDown) {
    if (message == kNimAdd) {
      if (shellRefusesAdds > 0) {
        --shellRefusesAdds;
      } else {
        accepted = shellIcons.insert(icon).second;  // a second add of one icon is refused
      }
    } else if (message == kNimModify) {
      accepted = shellIcons.count(icon) > 0;
    } else if (message == kNimDelete) {
      accepted = shellIcons.erase(icon) > 0;
    }
  }
  shellRequests.push_back({message, data, accepted});
  return accepted;
}

void SimDesktop::explorerEnded() {
  shellIcons.clear();
  shellDown = true;
}

void SimDesktop::setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) {
  const unsigned interval = std::max(ms, 10u);
  windowTimers_[{window, id}] = SimTimer{interval, nowMs_ + interval};
}

void SimDesktop::killWindowTimer(std::intptr_t window, unsigned id) { windowTimers_.erase({window, id}); }

void SimDesktop::acceptFromLowerRights(std::intptr_t window, std::uint32_t message) {
  acceptedFromLowerRights_.insert({window, message});
}

// Windows drops messages from WM_USER up, registered ones included, sent
// from lower rights to an elevated window that did not let them through.
bool SimDesktop::reachesFromShell(std::intptr_t window, std::uint32_t message) const {
  return !elevated || message < 0x0400 || acceptedFromLowerRights_.count({window, message}) > 0;
}

void SimDesktop::trayMessage(std::intptr_t window, std::uintptr_t id, std::intptr_t code) {
  constexpr std::uint32_t kCallback = 0x0400 + 101;
  if (!reachesFromShell(window, kCallback)) return;
  post([this, window, id, code] { sendToControlWindow(window, kCallback, id, code); });
}

void SimDesktop::broadcastTaskbarCreated() {
  const std::uint32_t message = registerWindowMessage("TaskbarCreated");
  post([this, message] {
    // A new shell: it has no icons, and takes them.
    shellIcons.clear();
    shellDown = false;
    std::vector<std::intptr_t> windows;
    for (const auto& [window, w] : controlWindows_) windows.push_back(window);
    for (std::intptr_t window : windows) {
      if (reachesFromShell(window, message)) sendToControlWindow(window, message, 0, 0);
    }
  });
}

// --- Registry -------------------------------------------------------------------------

std::string SimDesktop::regKeyName(RegRoot root, std::string_view subkey) {
  std::string name = root == RegRoot::CurrentUser ? "HKCU\\" : "HKLM\\";
  name += subkey;
  while (!name.empty() && name.back() == '\\') name.pop_back();
  return Lower(name);
}

const SimDesktop::RegValue* SimDesktop::regValue(const std::string& keyName, const std::string& valueName) const {
  const auto key = registry.find(Lower(keyName));
  if (key == registry.end()) return nullptr;
  const auto value = key->second.find(Lower(valueName));
  return value == key->second.end() ? nullptr : &value->second;
}

void SimDesktop::setRegValue(const std::string& keyName, const std::string& valueName, RegValue value) {
  registry[Lower(keyName)][Lower(valueName)] = std::move(value);
}

namespace {
std::string SettingsKey(std::string_view application, std::string_view section) {
  return SimDesktop::regKeyName(RegRoot::CurrentUser,
                                "Software\\" + std::string(application) + "\\" + std::string(section));
}
}  // namespace

std::optional<std::string> SimDesktop::readSetting(std::string_view application, std::string_view section,
                                                   std::string_view key) {
  log.push_back("readSetting " + std::string(key));
  const RegValue* value = regValue(SettingsKey(application, section), std::string(key));
  if (!value || value->type != kRegSz) return std::nullopt;
  // A string value ends at its first NUL, whatever follows it, as the
  // Windows back-end reads it.
  return value->data.substr(0, value->data.find('\0'));
}

bool SimDesktop::writeSetting(std::string_view application, std::string_view section, std::string_view key,
                              std::string_view value) {
  log.push_back("writeSetting " + std::string(key) + " " + std::string(value));
  const std::string keyName = SettingsKey(application, section);
  for (const std::string& denied : deniedKeys)
    if (Lower(denied) == keyName) return false;
  setRegValue(keyName, std::string(key), RegValue{kRegSz, std::string(value)});
  return true;
}

std::int32_t SimDesktop::regOpenKey(RegRoot root, std::string_view subkey, std::uint32_t access, RegKey& key) {
  const std::string name = regKeyName(root, subkey);
  log.push_back("regOpenKey " + name + " " + std::to_string(access));
  if (registry.find(name) == registry.end()) return kErrorFileNotFound;
  constexpr std::uint32_t kSetValue = 0x0002;
  if (access & kSetValue) {
    for (const std::string& denied : deniedKeys)
      if (Lower(denied) == name) return kErrorAccessDenied;
  }
  key = nextKey_++;
  openKeys_[key] = name;
  return kErrorSuccess;
}

std::int32_t SimDesktop::regSetValue(RegKey key, std::string_view name, std::uint32_t type, std::string_view data) {
  log.push_back("regSetValue " + std::string(name) + " " + std::string(data));
  setRegValue(openKeys_.at(key), std::string(name), RegValue{type, std::string(data)});
  return kErrorSuccess;
}

std::int32_t SimDesktop::regDeleteValue(RegKey key, std::string_view name) {
  log.push_back("regDeleteValue " + std::string(name));
  auto& values = registry[openKeys_.at(key)];
  return values.erase(Lower(std::string(name))) ? kErrorSuccess : kErrorFileNotFound;
}

bool SimDesktop::regValueExists(RegKey key, std::string_view name) {
  return regValue(openKeys_.at(key), std::string(name)) != nullptr;
}

void SimDesktop::regCloseKey(RegKey key) {
  log.push_back("regCloseKey");
  openKeys_.erase(key);
}

std::string SimDesktop::modulePath() { return exePath; }

}  // namespace pellucor::sim
