#pragma once

// The choices of the Options window, and where they are kept: text values in
// the program's settings section, beside "Windows Startup", "Minimized" and
// "Path", written the way those are.

#include <string>
#include <string_view>
#include <vector>

#include "options/key_chord.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace pellucor {

inline constexpr const char* kKeyHideWhileTyping = "Hide While Typing";
inline constexpr const char* kKeyIgnoredPixels = "Ignored Movement Pixels";
inline constexpr const char* kKeyWheelKeepsHidden = "Wheel Keeps Hidden";
inline constexpr const char* kKeyStartHiding = "Start Hiding";
inline constexpr const char* kKeyNeverHideIn = "Never Hide In";
inline constexpr const char* kKeyHideOnlyInListed = "Hide Only In Listed";
inline constexpr const char* kKeyNeverHideInFullScreen = "Never Hide In Full Screen";
inline constexpr const char* kKeyStopKey = "Stop Key";
inline constexpr const char* kKeyHideKey = "Hide Key";
// Between the program names of "Never Hide In": no file name can hold it.
inline constexpr char kProgramSeparator = '|';

inline constexpr int kMaxIgnoredPixels = 50;

struct Options {
  bool hideWhileTyping = false;
  // Movements of up to this many pixels neither show the hidden pointer nor
  // restart the count; 0: any movement does.
  int ignoredPixels = 0;
  bool wheelKeepsHidden = false;
  bool startHiding = false;
  // File names of programs in front of which nothing is hidden; or, with
  // hideOnlyInListed, the only ones in front of which anything is.
  std::vector<std::string> neverHideIn;
  bool hideOnlyInListed = false;
  // Nothing is hidden while a program fills the screen (games, videos).
  bool neverHideInFullScreen = false;
  KeyChord stopKey = kDefaultStopKey;
  KeyChord hideKey;  // none unless chosen

  bool operator==(const Options&) const = default;
};

// What is stored, each choice at its default when missing or not understood.
// Reading writes nothing.
Options ReadOptions(Registry& registry, Files& files);
// Writes the choices that differ between the two, and only those: a stored
// value the program did not understand stays until the user changes that
// choice.
void WriteChangedOptions(Registry& registry, const Options& before, const Options& after);

// Whether `program` (a file name) is one of `list`, as Windows compares names.
bool ListsProgram(Files& files, const std::vector<std::string>& list, std::string_view program);

}  // namespace pellucor
