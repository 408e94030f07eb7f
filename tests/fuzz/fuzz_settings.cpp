// Fuzzes what the program reads back from its settings store at start-up:
// the stored values are whatever the registry holds, written by any program
// or by hand.
//
// Input: the stored values of "Windows Startup", "Minimized" and "Path", in
// that order, separated by a byte 0xFF (which UTF-8 never uses). A value the
// input does not reach is not stored at all; everything after the second
// 0xFF, further 0xFF bytes included, is the value of "Path". Values may be
// empty, long, invalid UTF-8 or hold NULs.
//
// The main window starts as the unit tests start it, on a fresh simulated
// desktop. Checked: each switch reads as on exactly when its stored value,
// read as a string (up to its first NUL), is exactly "On"; the second switch
// shows only with the first; the window starts in the tray only with both;
// no error box; the field shows its design value 3; start-up leaves every
// stored value as it was, but for a switch read as on, which stores "On"
// again; the run-at-logon value is written when, and only when, the first
// switch is on.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "hider/keyboard_hook.h"
#include "platform/failure.h"
#include "platform/sim/sim_desktop.h"
#include "settings/settings.h"
#include "settings/startup.h"

namespace {

using pellucor::MainWindow;
using pellucor::sim::SimDesktop;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_settings: %s\n", what);
  std::abort();
}

const std::string& StoreKey() {
  static const std::string key = SimDesktop::regKeyName(
      pellucor::RegRoot::CurrentUser,
      std::string("Software\\") + pellucor::kSettingsApplication + "\\" + pellucor::kSettingsSection);
  return key;
}

const std::string& UserRunKey() {
  static const std::string key = SimDesktop::regKeyName(pellucor::RegRoot::CurrentUser, pellucor::kUserRunKey);
  return key;
}

std::optional<std::string> Stored(const SimDesktop& sim, const char* key) {
  const auto* value = sim.regValue(StoreKey(), key);
  if (value == nullptr) return std::nullopt;
  return value->data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const char* const keys[] = {pellucor::kKeyWindowsStartup, pellucor::kKeyMinimized, pellucor::kKeyPath};
  std::optional<std::string> values[3];
  std::size_t start = 0;
  for (int k = 0; k < 3 && start <= input.size(); ++k) {
    const std::size_t end = k == 2 ? std::string_view::npos : input.find('\xFF', start);
    values[k] = std::string(input.substr(start, end == std::string_view::npos ? end : end - start));
    start = end == std::string_view::npos ? input.size() + 1 : end + 1;
  }

  SimDesktop sim;
  for (int k = 0; k < 3; ++k) {
    if (values[k]) sim.setRegValue(StoreKey(), keys[k], {pellucor::kRegSz, *values[k]});
  }
  auto form = std::make_unique<MainWindow>(sim);
  form->create();
  form->show();
  sim.runPending();

  const auto readsOn = [](const std::optional<std::string>& value) {
    return value && value->substr(0, value->find('\0')) == "On";
  };
  const bool startup = readsOn(values[0]);
  const bool minimised = readsOn(values[1]);
  if (form->startWithWindowsBox.value() != (startup ? 1 : 0)) Fail("\"Windows Startup\" read wrongly");
  if (form->startMinimisedBox.value() != (minimised ? 1 : 0)) Fail("\"Minimized\" read wrongly");
  if (sim.control(MainWindow::kStartMinimisedBox).visible != startup) Fail("the second switch shows without the first");
  if (form->tray.hiddenInTray() != (startup && minimised) || sim.windowVisible() == (startup && minimised))
    Fail("the window's place does not follow the switches");
  if (!sim.boxes.empty()) Fail("an error box at start-up");
  // The seconds typed last time come back when the tick would take them.
  std::string seconds = "3";
  if (values[2]) {
    const std::string path = values[2]->substr(0, values[2]->find('\0'));
    try {
      sim.textToInt16(path);
      seconds = path;
    } catch (const pellucor::Failure&) {
    }
  }
  if (form->idleSecondsField.text() != seconds) Fail("the field does not show the remembered seconds, or 3");
  const bool on[3] = {startup, minimised, false};
  for (int k = 0; k < 3; ++k) {
    const std::optional<std::string> expected = on[k] ? std::optional<std::string>("On") : values[k];
    if (Stored(sim, keys[k]) != expected) Fail("start-up changed a stored value");
  }
  const bool runValue = sim.regValue(UserRunKey(), "pellucor.exe") != nullptr;
  if (runValue != startup) Fail("the run-at-logon value does not follow the first switch");
  form.reset();
  return 0;
}
