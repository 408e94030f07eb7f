#pragma once

// The simulated desktop's other processes of the program, as a test sets
// them up and reads them: another copy in the session, a copy started
// outside a job, and the guardian from either side. SimDesktop is one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pellucor::sim {

class SimDesktop;

struct SimProcessesSetup {
  // --- Other copies of the program -------------------------------------------
  // A copy that already runs in the session, and whether its window can be
  // asked to show.
  bool anotherCopyRunning = false;
  // That copy runs elevated: its claim is refused to a plain start.
  bool otherCopyElevated = false;
  bool otherCopyAnswers = true;
  int showRequestsSent = 0;
  // The running copy's own desktop: a command sent reaches its window as a
  // sent message does, at once and nested in whatever it is doing. Without
  // one (or while !otherCopyAnswers) nothing answers.
  SimDesktop* otherCopy = nullptr;
  std::vector<std::string> commandsSent;
  // This copy let commands through from lower rights.
  bool commandsFromLowerRights = false;

  // --- Jobs --------------------------------------------------------------------
  // This process runs in a job (a scheduled task's), and whether the job
  // lets it start processes outside.
  bool inJob = false;
  bool jobAllowsBreakaway = true;
  // The command lines of the copies started outside the job.
  std::vector<std::string> startedOutsideJob;
  // What such a copy does: ends with this exit code, or (none) runs and
  // answers, unless !copyOutsideJobAnswers.
  std::optional<int> copyOutsideJobEnds;
  bool copyOutsideJobAnswers = true;

  // --- The guardian, from either side ----------------------------------------
  int guardiansStarted = 0;
  bool failStartGuardian = false;
  // Whether the guardian last started still runs; a test ends it.
  bool guardianAlive = false;
  // When its launcher started (virtual ms); it ran for kLauncherMs.
  std::int64_t guardianLaunchedMs = 0;
  static constexpr std::int64_t kLauncherMs = 20;
  // The guardian ended before the main process first asked after it, and
  // Windows gave its process id to another process, which runs: its program
  // file and when it started (virtual ms).
  struct IdTaker {
    std::string image;
    std::int64_t startedMs = 0;
  };
  std::optional<IdTaker> guardianIdTakenBy;
  // The session's note "the system cursors are blank", shared by every
  // process of the program and left behind by a killed one.
  bool blankNote = false;
  // The guardian's view of its main process; tests change it with at().
  bool mainEnded = false;
  bool mainHung = false;
  // Windows asks the guardian to close (Restart Manager, the session's end).
  bool guardianAskedToClose = false;
  // The link that names the live main process.
  GuardianLink mainLink{0x1a4, 0x1a8, 0x00010042};

 protected:
  // The last launcher named a process that has not been judged yet; and
  // whether the one judged last was kept as the guardian.
  bool launcherNamedUnjudged_ = false;
  bool guardianKept_ = false;
};

}  // namespace pellucor::sim
