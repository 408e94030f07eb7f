#include "options/options.h"

#include "options/options_dialog.h"
#include "settings/settings.h"

namespace pellucor {
namespace {

std::string OnOff(bool on) { return on ? "On" : "Off"; }

// Exactly "On" or "Off", as the start-up switches are stored; anything else
// is not understood and reads as the default.
bool ReadSwitch(Registry& registry, const char* key, bool defaultValue) {
  const std::string stored = ReadSetting(registry, key, OnOff(defaultValue));
  if (stored == "On") return true;
  if (stored == "Off") return false;
  return defaultValue;
}

std::string JoinPrograms(const std::vector<std::string>& programs) {
  std::string joined;
  for (const std::string& name : programs) {
    if (!joined.empty()) joined += kProgramSeparator;
    joined += name;
  }
  return joined;
}

}  // namespace

Options ReadOptions(Registry& registry, Files& files) {
  Options options;
  options.hideWhileTyping = ReadSwitch(registry, kKeyHideWhileTyping, false);
  options.ignoredPixels = ParseIgnoredPixels(ReadSetting(registry, kKeyIgnoredPixels, "0")).value_or(0);
  options.wheelKeepsHidden = ReadSwitch(registry, kKeyWheelKeepsHidden, false);
  options.startHiding = ReadSwitch(registry, kKeyStartHiding, false);
  // A name the list could not hold is left out rather than the whole list.
  std::string lines = ReadSetting(registry, kKeyNeverHideIn, "");
  for (char& c : lines) {
    if (c == kProgramSeparator) c = '\n';
  }
  for (const std::string& name : SplitProgramLines(lines)) {
    if (IsProgramName(name) && !ListsProgram(files, options.neverHideIn, name)) options.neverHideIn.push_back(name);
  }
  // "Hide only in" with no program would hide nothing anywhere.
  options.hideOnlyInListed = ReadSwitch(registry, kKeyHideOnlyInListed, false) && !options.neverHideIn.empty();
  options.neverHideInFullScreen = ReadSwitch(registry, kKeyNeverHideInFullScreen, false);
  options.stopKey = UsableChord(ReadSetting(registry, kKeyStopKey, ""), ChordUse::StopKey);
  options.hideKey = UsableChord(ReadSetting(registry, kKeyHideKey, ""), ChordUse::HideKey);
  if (options.hideKey == options.stopKey) options.hideKey = {};
  return options;
}

void WriteChangedOptions(Registry& registry, const Options& before, const Options& after) {
  if (after.hideWhileTyping != before.hideWhileTyping)
    WriteSetting(registry, kKeyHideWhileTyping, OnOff(after.hideWhileTyping));
  if (after.ignoredPixels != before.ignoredPixels)
    WriteSetting(registry, kKeyIgnoredPixels, std::to_string(after.ignoredPixels));
  if (after.wheelKeepsHidden != before.wheelKeepsHidden)
    WriteSetting(registry, kKeyWheelKeepsHidden, OnOff(after.wheelKeepsHidden));
  if (after.startHiding != before.startHiding) WriteSetting(registry, kKeyStartHiding, OnOff(after.startHiding));
  if (after.neverHideIn != before.neverHideIn) WriteSetting(registry, kKeyNeverHideIn, JoinPrograms(after.neverHideIn));
  if (after.hideOnlyInListed != before.hideOnlyInListed)
    WriteSetting(registry, kKeyHideOnlyInListed, OnOff(after.hideOnlyInListed));
  if (after.neverHideInFullScreen != before.neverHideInFullScreen)
    WriteSetting(registry, kKeyNeverHideInFullScreen, OnOff(after.neverHideInFullScreen));
  if (after.stopKey != before.stopKey) WriteSetting(registry, kKeyStopKey, ChordText(after.stopKey));
  if (after.hideKey != before.hideKey) WriteSetting(registry, kKeyHideKey, ChordText(after.hideKey));
}

bool ListsProgram(Files& files, const std::vector<std::string>& list, std::string_view program) {
  if (program.empty()) return false;
  for (const std::string& name : list) {
    if (files.sameFileName(name, program)) return true;
  }
  return false;
}

}  // namespace pellucor
