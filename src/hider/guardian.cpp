#include "hider/guardian.h"

#include <charconv>

namespace pellucor {
namespace {

// A whole number above 0 in plain decimal digits, nothing else.
std::optional<std::uint64_t> Number(const std::string& text) {
  if (text.empty() || text.size() > 20 || text.front() == '0') return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string GuardianArguments(const GuardianLink& link) {
  return std::string(kGuardianSwitch) + " " + std::to_string(link.process) + " " + std::to_string(link.note) + " " +
         std::to_string(link.window);
}

std::optional<GuardianLink> GuardianSwitch(const std::vector<std::string>& args) {
  if (args.size() != 4 || args[0] != kGuardianSwitch) return std::nullopt;
  const auto process = Number(args[1]);
  const auto note = Number(args[2]);
  const auto window = Number(args[3]);
  if (!process || !note || !window) return std::nullopt;
  return GuardianLink{*process, *note, *window};
}

int RunGuardian(Platform& platform) {
  double lastAnswer = platform.monotonicSeconds();
  for (;;) {
    const bool blank = platform.cursorsBlankNote();
    // Asleep while the cursors are the user's; a look a second while blank.
    const GuardianWake wake = platform.waitOnMain(blank ? kGuardianLookSeconds : kForever, !blank);
    if (wake == GuardianWake::MainEnded) {
      // A normal end has put them back and cleared the note already.
      if (platform.cursorsBlankNote()) {
        platform.restoreSystemCursors();
        platform.setCursorsBlankNote(false);
      }
      return 0;
    }
    if (!platform.cursorsBlankNote()) continue;
    if (!blank || platform.mainAnswers(kGuardianLookSeconds)) {
      // Just blanked by the main process, or it answered: it is alive.
      lastAnswer = platform.monotonicSeconds();
      continue;
    }
    if (platform.monotonicSeconds() - lastAnswer >= kHungAfterSeconds) {
      // Hung: the user gets a pointer now. Clearing the note tells the main
      // process, once it answers again, that its next hide must blank anew.
      platform.restoreSystemCursors();
      platform.setCursorsBlankNote(false);
    }
  }
}

}  // namespace pellucor
