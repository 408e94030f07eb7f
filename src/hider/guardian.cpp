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

// Puts the cursors back if the note says they are blank; a normal end has
// done so already and cleared it.
void RestoreIfNotedBlank(Processes& processes, Cursor& cursor) {
  if (!processes.cursorsBlankNote()) return;
  cursor.restoreSystemCursors();
  processes.setCursorsBlankNote(false);
}

}  // namespace

std::string GuardianArguments(const GuardianLink& link, GuardianRole role) {
  return std::string(role == GuardianRole::Launcher ? kGuardianLauncherSwitch : kGuardianSwitch) + " " +
         std::to_string(link.process) + " " + std::to_string(link.note) + " " + std::to_string(link.window);
}

std::optional<GuardianStart> GuardianSwitch(const std::vector<std::string>& args) {
  if (args.size() != 4) return std::nullopt;
  GuardianRole role;
  if (args[0] == kGuardianSwitch) {
    role = GuardianRole::Guardian;
  } else if (args[0] == kGuardianLauncherSwitch) {
    role = GuardianRole::Launcher;
  } else {
    return std::nullopt;
  }
  const auto process = Number(args[1]);
  const auto note = Number(args[2]);
  const auto window = Number(args[3]);
  if (!process || !note || !window) return std::nullopt;
  return GuardianStart{role, GuardianLink{*process, *note, *window}};
}

int GuardMainProcess(Processes& processes, Cursor& cursor, Clock& clock, const GuardianLink& link) {
  switch (processes.attachGuardian(link)) {
    case GuardianAttach::Attached:
      return RunGuardian(processes, cursor, clock);
    case GuardianAttach::MainGone:
      // Killed between starting the guardian and its first look: no one else
      // will put the cursors back.
      RestoreIfNotedBlank(processes, cursor);
      return 0;
    case GuardianAttach::NotOurs:
      break;
  }
  return 2;  // names no main process of ours: nothing to guard
}

int RunGuardian(Processes& processes, Cursor& cursor, Clock& clock) {
  double lastAnswer = clock.monotonicSeconds();
  for (;;) {
    const bool blank = processes.cursorsBlankNote();
    // Asleep while the cursors are the user's; a look a second while blank.
    const GuardianWake wake = processes.waitOnMain(blank ? kGuardianLookSeconds : kForever, !blank);
    if (wake == GuardianWake::MainEnded) {
      RestoreIfNotedBlank(processes, cursor);
      return 0;
    }
    if (!processes.cursorsBlankNote()) continue;
    if (!blank || processes.mainAnswers(kGuardianLookSeconds)) {
      // Just blanked by the main process, or it answered: it is alive.
      lastAnswer = clock.monotonicSeconds();
      continue;
    }
    if (clock.monotonicSeconds() - lastAnswer >= kHungAfterSeconds) {
      // Hung: the user gets a pointer now. Clearing the note tells the main
      // process, once it answers again, that its next hide must blank anew.
      cursor.restoreSystemCursors();
      processes.setCursorsBlankNote(false);
    }
  }
}

}  // namespace pellucor
