#include "hider/guardian.h"

namespace pellucor {
namespace {

// Puts the cursors back if the note says they are blank; a normal end has
// done so already and cleared it.
void RestoreIfNotedBlank(Processes& processes, Cursor& cursor) {
  if (!processes.cursorsBlankNote()) return;
  cursor.restoreSystemCursors();
  processes.setCursorsBlankNote(false);
}

}  // namespace

bool IsTheGuardian(const GuardianCandidate& named, Files& files) {
  return !named.image.empty() && files.sameFileName(named.image, named.ownImage) &&
         named.launchStarted <= named.started && named.started <= named.launchEnded;
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
    // Asked to close, it goes as it would with the main process: whoever
    // asks (an installer's Restart Manager, the session's end) may end the
    // main process next, or already has.
    if (wake == GuardianWake::MainEnded || wake == GuardianWake::AskedToClose) {
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
