// A day of use on the simulated desktop: random user actions and a shell
// that misbehaves, with the program's promises checked between any two of
// them. The seed is printed; PELLUCOR_SOAK_SEED replays one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>

#include "harness.h"
#include "hider/keyboard_hook.h"

namespace pellucor::test {
namespace {

constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
constexpr std::int64_t kCheckEveryMs = 1000;
constexpr int kVkControl = 0x11, kVkShift = 0x10, kVkS = 0x53;
constexpr std::intptr_t kLeftUp = 0x202, kRightUp = 0x205;

std::uint32_t SoakSeed() {
  if (const char* given = std::getenv("PELLUCOR_SOAK_SEED"))
    return static_cast<std::uint32_t>(std::strtoul(given, nullptr, 10));
  return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

class Soak {
 public:
  explicit Soak(std::uint32_t seed) : seed_(seed), random_(seed) {
    d_.sim.answerBox = [this](const sim::MessageBoxRecord& box) { return answer(box); };
  }

  // Runs the day, then closes the program; returns the first broken promise,
  // or an empty text.
  std::string run() {
    // Started by hand or at logon, straight into the tray, with a shell
    // that may be busy.
    if (chance(0.5)) {
      const std::string store = sim::SimDesktop::regKeyName(RegRoot::CurrentUser, "Software\\Trandavel\\Pellucor");
      s().setRegValue(store, "Windows Startup", {kRegSz, "On"});
      s().setRegValue(store, "Minimized", {kRegSz, chance(0.7) ? "On" : "Off"});
    }
    if (chance(0.5)) s().shellRefusesAdds = std::uniform_int_distribution<int>(1, 80)(random_);
    d_.start();
    d_.sim.at(next(), [this] { step(); });
    d_.sim.at(kCheckEveryMs, [this] { watch(); });
    d_.sim.at(kDayMs, [this] {
      closing_ = true;
      d_.sim.userClose();
    });
    try {
      while (!d_.sim.ended) d_.sim.advance(3600 * 1000);
    } catch (const ProcessEnded&) {
    }
    if (broken_.empty()) afterClose();
    return broken_;
  }

  int steps() const { return steps_; }
  // What the day held, so that a pass means something.
  std::string summary() {
    std::ostringstream out;
    int refused = 0;
    for (const auto& r : s().shellRequests) refused += !r.accepted;
    out << steps_ << " steps, " << runs_ << " steps in a run, " << s().systemCursorReplacements << " hides, "
        << s().boxes.size() << " boxes, " << refused << " shell requests refused";
    return out.str();
  }

 private:
  std::int64_t next() { return std::uniform_int_distribution<std::int64_t>(50, 90000)(random_); }
  bool chance(double p) { return std::bernoulli_distribution(p)(random_); }
  template <class T>
  const T& pick(const std::vector<T>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
  }

  MainWindow& f() { return *d_.form; }
  sim::SimDesktop& s() { return d_.sim; }
  bool running() { return s().control(MainWindow::kRunButton).text != kStartCaption; }

  void broken(const std::string& what) {
    if (!broken_.empty()) return;
    std::ostringstream out;
    out << what << " (step " << steps_ << ", at " << s().nowMs() << " ms, seed " << seed_ << ")";
    broken_ = out.str();
  }

  // A modal box pumps messages while the user reads it, sometimes for long.
  int answer(const sim::MessageBoxRecord& box) {
    const bool error = box.caption == kErrorCaption;
    if (error && ++errorBoxesOpen_ > 1) broken("two error boxes open at once");
    ++boxesOpen_;
    if (!closing_ && chance(0.3)) s().advance(std::uniform_int_distribution<std::int64_t>(1000, 120000)(random_));
    --boxesOpen_;
    if (error) --errorBoxesOpen_;
    return 1;
  }

  void check() {
    const bool visible = s().windowVisible();
    if (!running()) {
      if (s().cursorDisplayCount < 0) broken("stopped with the cursor hidden");
      if (s().systemCursorsHidden) broken("stopped with the system cursors blank");
    }
    // While Explorer is gone no icon can exist; its restart's "TaskbarCreated"
    // is what the program waits for.
    if (!visible && !s().shellDown && !s().iconShownFor(f().tray.trayIcon.ControlWindow()) &&
        !f().tray.trayIcon.Retrying())
      broken("the window is hidden with no tray icon and none being added");
    const auto stored = [this](const char* key) -> std::optional<std::string> {
      static const std::string store =
          sim::SimDesktop::regKeyName(RegRoot::CurrentUser, "Software\\Trandavel\\Pellucor");
      const auto* value = s().regValue(store, key);
      return value ? std::optional<std::string>(value->data) : std::nullopt;
    };
    if (stored("Windows Startup").value_or("Off") != (f().startWithWindowsBox.value() == 1 ? "On" : "Off"))
      broken("\"Windows Startup\" does not match its switch");
    if (stored("Minimized").value_or("Off") != (f().startMinimisedBox.value() == 1 ? "On" : "Off"))
      broken("\"Minimized\" does not match its switch");
    if (stored("Path").value_or("3") != f().idleSecondsField.text()) broken("\"Path\" does not match the field");
    const auto held = s().held();
    if (held.registryKeys > 0) broken("a registry key left open");
    if (held.timers > 2 || held.windowTimers > 2 || held.controlWindows > 1 || held.keyboardHooks > 1 ||
        held.cursors > 0 || held.queued > 64)
      broken("the program holds more and more of the platform");
  }

  void key(int vk, bool down) { s().userKey(vk, down); }
  void hotKey(bool shift) {
    key(kVkControl, true);
    if (shift) key(kVkShift, true);
    key(kVkS, true);
    key(kVkS, false);
    if (shift) key(kVkShift, false);
    key(kVkControl, false);
  }

  void act() {
    const bool canUseWindow = s().windowVisible() && boxesOpen_ == 0;
    enum Action {
      kMove,
      kButton,
      kRun,
      kStartup,
      kMinimised,
      kType,
      kMinimise,
      kTray,
      kHotKey,
      kExplorerRestart,
      kRefusingShell,
      kLock,
      kSecondStart,
      kHookDropped,
    };
    static const std::vector<Action> actions = {
        kMove,          kMove, kMove,        kButton,     kRun,  kRun,    kStartup, kMinimised,
        kType,          kType, kMinimise,    kTray,       kTray, kHotKey, kHotKey,  kExplorerRestart,
        kRefusingShell, kLock, kSecondStart, kHookDropped};
    switch (pick(actions)) {
      case kMove:
        s().userMoveMouse({std::uniform_int_distribution<int>(-1920, 3839)(random_),
                           std::uniform_int_distribution<int>(0, 1079)(random_)});
        break;
      case kButton:
        s().userMouseButton();
        break;
      case kRun:
        if (canUseWindow) s().userClick(MainWindow::kRunButton);
        break;
      case kStartup:
        if (canUseWindow) s().userClick(MainWindow::kStartWithWindowsBox);
        break;
      case kMinimised:
        if (canUseWindow) s().userClick(MainWindow::kStartMinimisedBox);
        break;
      case kType:
        if (canUseWindow) {
          s().userFocus(MainWindow::kIdleSecondsField);
          s().userType(pick(std::vector<std::string>{"5", "12", "0", "-3", "2.5", "abc", "", "40000", "1e9", "&H10"}));
          // Leaving the field checks it.
          s().userFocus(pick(std::vector<ControlId>{MainWindow::kRunButton, MainWindow::kStartWithWindowsBox}));
        }
        break;
      case kMinimise:
        if (canUseWindow) s().userMinimise();
        break;
      case kTray:
        s().trayMessage(f().tray.trayIcon.ControlWindow(), 0, chance(0.5) ? kLeftUp : kRightUp);
        break;
      case kHotKey:
        hotKey(chance(0.5));
        break;
      case kExplorerRestart:
        s().explorerEnded();
        s().broadcastTaskbarCreated();
        break;
      case kRefusingShell:
        s().explorerEnded();
        s().shellRefusesAdds = std::uniform_int_distribution<int>(1, 80)(random_);
        s().broadcastTaskbarCreated();
        break;
      case kLock:
        s().cursorUnreadable = !s().cursorUnreadable;
        break;
      case kSecondStart:
        s().requestShow();
        break;
      case kHookDropped:
        s().dropKeyboardHooks();
        break;
    }
  }

  void step() {
    if (closing_ || !broken_.empty()) return;
    ++steps_;
    if (running()) ++runs_;
    check();
    act();
    s().log.clear();  // a day's record would only cost memory
    d_.sim.at(next(), [this] { step(); });
  }

  // The promises hold between user actions too, not only when one comes.
  void watch() {
    if (closing_ || !broken_.empty()) return;
    check();
    d_.sim.at(kCheckEveryMs, [this] { watch(); });
  }

  void afterClose() {
    if (s().cursorDisplayCount < 0 || s().systemCursorsHidden || s().blankNote)
      broken("the user's cursors are not back after the close");
    if (s().iconShownFor(f().tray.trayIcon.ControlWindow())) broken("the tray icon outlives the program");
  }

  std::uint32_t seed_;
  std::mt19937 random_;
  Desktop d_;
  int steps_ = 0;
  int runs_ = 0;
  int boxesOpen_ = 0;
  int errorBoxesOpen_ = 0;
  bool closing_ = false;
  std::string broken_;
};

TEST(Soak, ADayOfRandomUseKeepsEveryPromise) {
  const std::uint32_t seed = SoakSeed();
  std::cout << "soak seed " << seed << " (PELLUCOR_SOAK_SEED=" << seed << " replays it)\n";
  Soak soak(seed);
  const std::string broken = soak.run();
  EXPECT_EQ(broken, "") << "seed " << seed;
  std::cout << "soak: " << soak.summary() << "\n";
  EXPECT_GT(soak.steps(), 1000) << "a day of use is more than a handful of steps";
}

}  // namespace
}  // namespace pellucor::test
