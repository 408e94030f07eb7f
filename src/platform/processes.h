#pragma once

// The program's other processes: another copy in the session, a copy
// started outside a job, the copy Windows starts after an installer, and the
// guardian. Blank system cursors outlive the process that blanked them.
// From the first hide, a second process of the same program (the guardian)
// watches the main one and puts them back if it ends or stops answering
// while they are blank. The two share one note, "the system cursors are
// blank".

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/types.h"

namespace pellucor {

// What another start of the program asks of this copy; on the GUI thread.
class CommandEvents {
 public:
  // A command (the other start's own bytes, outside input); the sender
  // waits for the answer returned here, a number above 0.
  virtual int onCommand(std::string_view command) = 0;
  // A start without a command wants this copy's window.
  virtual void onShowRequest() = 0;

 protected:
  ~CommandEvents() = default;
};

// Whether the process a launcher named is the guardian it started.
using GuardianJudge = std::function<bool(const GuardianCandidate&)>;

class Processes {
 public:
  // Claims the user's session for this process until it ends. Returns the
  // system's answer: kErrorSuccess when the claim is ours now,
  // kErrorAlreadyExists or kErrorAccessDenied (the holder runs elevated)
  // when another copy holds it, anything else when the claim cannot be made.
  virtual std::int32_t claimOnlyCopy() = 0;
  // Where another start's commands and show requests go; null: nowhere
  // (a command is then not taken).
  virtual void receiveCommandsWith(CommandEvents* events) = 0;
  // Lets commands and show requests through to this copy's window from
  // processes of lower rights, sandboxed ones included; Windows drops them
  // otherwise. Only a copy running elevated needs it, to hear a plain start.
  virtual void acceptCommandsFromLowerRights() = 0;
  // Asks the copy that holds the claim to show its window, giving it the
  // right to come to the foreground; waits up to the time for its window
  // to exist. False when no window could be asked.
  virtual bool askOtherCopyToShow(double timeoutSeconds) = 0;
  // Hands a command to the window of the copy that holds the claim, giving
  // it the right to come to the foreground, and returns its answer
  // (CommandEvents::onCommand). Waits up to the time for its window to exist
  // and to take the command; none when no window answered.
  virtual std::optional<int> sendCommandToOtherCopy(std::string_view command, double timeoutSeconds) = 0;

  // A process in a job (Task Scheduler's, a deployment tool's) ends with
  // it. Where the job lets this process start another outside it, gives up
  // this process's claim on the session, starts the program again outside
  // the job with the arguments (a command line), shown as this process was
  // asked to show, and waits up to the time for the new copy to end or for
  // its window to answer. Nothing is started, and the claim is kept, when
  // this process is in no job or the job keeps its processes.
  virtual CopyOutsideJob startOutsideJob(std::string_view arguments, double timeoutSeconds) = 0;

  // Asks Windows to start this program again with the arguments (empty: a
  // plain start) once Restart Manager has closed it for an installer that
  // replaces its file, and on nothing else (a crash, a hang, an update's
  // reboot). The last call counts.
  virtual void registerForRestart(std::string_view arguments) = 0;

  // Main process: starts the guardian over this process, outside this
  // process's tree and job, so that ending the program's tree leaves it;
  // false when it could not be started.
  virtual bool startGuardian() = 0;
  // Main process: whether the guardian it started still runs; true while its
  // launcher is still starting it. Once the launcher has ended, the process
  // it named is put to `isGuardian` once and kept as the guardian only if
  // it passes: a process id passes to another process as soon as the last
  // handle to its own has closed.
  virtual bool guardianRunning(const GuardianJudge& isGuardian) = 0;
  // Either process: the shared note. It outlives both processes but not the
  // session, as the blank cursors do: a new start finds it still set when
  // the last one was killed with the cursors blank.
  virtual void setCursorsBlankNote(bool blank) = 0;
  virtual bool cursorsBlankNote() = 0;
  // Guardian: takes up what its command line names: a live process other
  // than this one, that process's window and the note. Attached, it has a
  // hidden window of its own, by which Windows asks it to close.
  virtual GuardianAttach attachGuardian(const GuardianLink& link) = 0;
  // Guardian: sleeps until the main process ends, or (with `untilNoteSet`)
  // the note is set, or the time is up (kForever: no limit), or Windows has
  // asked it to close (Restart Manager for an installer that replaces the
  // program's file, the end of the session).
  virtual GuardianWake waitOnMain(double timeoutSeconds, bool untilNoteSet) = 0;
  // Guardian: whether the main window answers a message within the time.
  virtual bool mainAnswers(double timeoutSeconds) = 0;

 protected:
  ~Processes() = default;
};

}  // namespace pellucor
