#pragma once

// Builders for the tests: a simulated desktop with the main window on it,
// with every guarded step recorded into the desktop's log as "line N".

#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/sim/sim_desktop.h"

namespace pellucor::test {

// Bytes of a minimal cursor file header (reserved 0, type 2, one image).
// The English texts the tests look for, word for word as the program has
// always said them.
inline constexpr const char* kStartCaption = "Start Running (Press Ctrl + Shift + S To Stop)";
inline constexpr const char* kStopCaption = "Stop Running (Press Ctrl + Shift + S To Stop)";
inline constexpr const char* kErrorCaption = "Application Error";
inline constexpr const char* kNotRunningText = "Pellucor is not running.";
inline constexpr const char* kNoAnswerText = "Pellucor is running but did not answer. Try again in a moment.";

inline std::string CursorFileBytes() { return std::string("\0\0\2\0\1\0", 6) + std::string(16, '\0'); }

// The program's settings section, as the simulated registry names it.
inline const std::string kStore = sim::SimDesktop::regKeyName(RegRoot::CurrentUser, "Software\\Trandavel\\Pellucor");

struct Desktop {
  sim::SimDesktop sim;

  // A text value of the program's settings, as if written before the start.
  void store(const char* key, const char* value) { sim.setRegValue(kStore, key, {kRegSz, value}); }
  std::string stored(const char* key) const {
    const auto* v = sim.regValue(kStore, key);
    return v ? v->data : "<missing>";
  }
  // Hidden as a run hides it: the display count below zero and the system cursors blank.
  bool cursorHidden() const { return sim.cursorDisplayCount < 0 && sim.systemCursorsHidden; }
  // A key pressed and let go; a chord holds the others around it.
  void tap(int vk, bool injected = false) {
    sim.userKey(vk, true, injected);
    sim.userKey(vk, false, injected);
  }
  void chord(std::initializer_list<int> held, int key) {
    for (int vk : held) sim.userKey(vk, true);
    tap(key);
    for (auto it = std::rbegin(held); it != std::rend(held); ++it) sim.userKey(*it, false);
  }
  std::unique_ptr<MainWindow> form;

  MainWindow& start() {
    form = std::make_unique<MainWindow>(sim);
    form->setStepObserver([this](std::string_view, int line) { sim.log.push_back("line " + std::to_string(line)); });
    form->create();
    form->show();
    sim.runPending();
    return *form;
  }

  std::string file(const char* literal) const { return sim.folder + literal; }

  // The log entries that start with one of the prefixes, in order.
  std::vector<std::string> logOf(std::initializer_list<std::string> prefixes) const {
    std::vector<std::string> out;
    for (const std::string& entry : sim.log) {
      for (const std::string& p : prefixes) {
        if (entry.rfind(p, 0) == 0) {
          out.push_back(entry);
          break;
        }
      }
    }
    return out;
  }
};

}  // namespace pellucor::test
