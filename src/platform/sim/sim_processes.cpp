// The program's other processes on the simulated desktop: another copy in
// the session, and the guardian: the main process's side (start, note) and
// the guardian's (its wait on the main process, its question whether the
// main window answers), on the virtual clock.

#include <cmath>
#include <stdexcept>

#include "platform/sim/sim_desktop.h"

namespace pellucor::sim {

std::int32_t SimDesktop::claimOnlyCopy() {
  log.push_back("claimOnlyCopy");
  if (!anotherCopyRunning) return kErrorSuccess;
  return otherCopyElevated ? kErrorAccessDenied : kErrorAlreadyExists;
}

bool SimDesktop::askOtherCopyToShow(double) {
  log.push_back("askOtherCopyToShow");
  if (!otherCopyAnswers) return false;
  ++showRequestsSent;
  return true;
}

std::optional<int> SimDesktop::sendCommandToOtherCopy(std::string_view command, double) {
  log.push_back("sendCommandToOtherCopy");
  commandsSent.emplace_back(command);
  if (!otherCopyAnswers || !otherCopy) return std::nullopt;
  return otherCopy->receiveCommand(command, elevated);
}

// Windows drops a message from lower rights that the window did not let
// through; the sender sees no answer.
std::optional<int> SimDesktop::receiveCommand(std::string_view command, bool fromElevated) {
  if (!commandEvents_ || (elevated && !fromElevated && !commandsFromLowerRights)) return std::nullopt;
  return commandEvents_->onCommand(command);
}

void SimDesktop::acceptCommandsFromLowerRights() {
  log.push_back("acceptCommandsFromLowerRights");
  commandsFromLowerRights = true;
}

void SimDesktop::requestShow() {
  post([this] {
    if (commandEvents_) commandEvents_->onShowRequest();
  });
}

CopyOutsideJob SimDesktop::startOutsideJob(std::string_view arguments, double) {
  log.push_back("startOutsideJob");
  using Outcome = CopyOutsideJob::Outcome;
  if (!inJob) return {Outcome::NotInJob};
  if (!jobAllowsBreakaway) return {Outcome::Refused};
  startedOutsideJob.emplace_back(arguments);
  if (copyOutsideJobEnds) return {Outcome::Ended, *copyOutsideJobEnds};
  return {copyOutsideJobAnswers ? Outcome::Answers : Outcome::NoAnswer};
}

void SimDesktop::registerForRestart(std::string_view arguments) {
  log.push_back("registerForRestart " + std::string(arguments));
}

bool SimDesktop::startGuardian() {
  log.push_back("startGuardian");
  if (failStartGuardian) return false;
  ++guardiansStarted;
  guardianAlive = true;
  guardianLaunchedMs = nowMs_;
  guardianIdTakenBy.reset();
  launcherNamedUnjudged_ = true;
  return true;
}

// The launcher has ended by the time it is asked: what it named is judged
// once, as Windows shows it, in virtual milliseconds.
bool SimDesktop::guardianRunning(const GuardianJudge& isGuardian) {
  if (launcherNamedUnjudged_) {
    launcherNamedUnjudged_ = false;
    const IdTaker named = guardianIdTakenBy.value_or(IdTaker{exePath, guardianLaunchedMs + 1});
    guardianKept_ = isGuardian(
        GuardianCandidate{named.image, exePath, named.startedMs, guardianLaunchedMs, guardianLaunchedMs + kLauncherMs});
  }
  // A process that took the id runs; the guardian may have ended since.
  return guardianKept_ && (guardianIdTakenBy || guardianAlive);
}

void SimDesktop::setCursorsBlankNote(bool blank) {
  log.push_back(blank ? "note blank" : "note clear");
  blankNote = blank;
}

bool SimDesktop::cursorsBlankNote() { return blankNote; }

GuardianAttach SimDesktop::attachGuardian(const GuardianLink& link) {
  log.push_back("attachGuardian");
  if (link.process != mainLink.process || link.note != mainLink.note || link.window != mainLink.window)
    return GuardianAttach::NotOurs;
  return mainEnded ? GuardianAttach::MainGone : GuardianAttach::Attached;
}

// Lets virtual time pass until `done` holds or `seconds` are up; true if done.
// Scheduled actions run as their time comes.
template <class Done>
bool SimDesktop::passUntil(double seconds, Done done) {
  const bool forever = std::isinf(seconds);
  const std::int64_t deadline = forever ? 0 : nowMs_ + static_cast<std::int64_t>(std::ceil(seconds * 1000.0));
  for (;;) {
    releaseDue();
    if (done()) return true;
    const std::optional<std::int64_t> next = nextEventTime();
    if (forever && !next) throw std::logic_error("the guardian would wait forever: nothing is scheduled");
    if (!forever && (!next || *next > deadline)) {
      nowMs_ = deadline;
      releaseDue();
      return done();
    }
    nowMs_ = std::max(nowMs_, *next);
  }
}

GuardianWake SimDesktop::waitOnMain(double timeoutSeconds, bool untilNoteSet) {
  log.push_back(untilNoteSet ? "waitOnMain until blank" : "waitOnMain");
  passUntil(timeoutSeconds, [&] { return mainEnded || guardianAskedToClose || (untilNoteSet && blankNote); });
  if (mainEnded) return GuardianWake::MainEnded;
  if (guardianAskedToClose) return GuardianWake::AskedToClose;
  return untilNoteSet && blankNote ? GuardianWake::NoteSet : GuardianWake::TimeUp;
}

bool SimDesktop::mainAnswers(double timeoutSeconds) {
  return passUntil(timeoutSeconds, [&] { return !mainHung || mainEnded; }) && !mainEnded;
}

}  // namespace pellucor::sim
