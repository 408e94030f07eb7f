#pragma once

// The simulated desktop around the program, as a test sets it up and reads
// it: the program in front, hot keys, the pointer's and the screen's
// settings, the system menu and the Options dialog. SimDesktop is one.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/types.h"

namespace pellucor::sim {

struct SimSurroundings {
  // The file name of the program whose window is in front.
  std::string foreground = "explorer.exe";
  // The programs whose windows the window in front holds (a Store app's frame).
  std::vector<std::string> foregroundChildren;
  // What the shell and the front window say of a program filling the screen.
  ScreenUse foregroundScreen;
  bool foregroundWatched = false;
  // Hot keys: the ones registered now, and chords other programs hold.
  std::map<int, KeyChord> hotKeys;
  std::vector<KeyChord> hotKeysTakenElsewhere;
  // Windows' "Show location of pointer when I press the Ctrl key".
  bool pointerSonar = false;
  // The user's Windows display languages, most wanted first.
  std::vector<std::string> preferredLanguages = {"en-US"};
  // A high-contrast theme is on.
  bool highContrastOn = false;
  std::vector<MenuItem> systemMenu;
  // Plays the user at the Options dialog while it is open; without it the
  // dialog is cancelled at once.
  std::function<void(SimOptionsDialog&)> useOptionsDialog;
  std::string version = "1.0.0";
};

}  // namespace pellucor::sim
