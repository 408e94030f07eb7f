#include "app/app.h"

#include <optional>

#include "app/main_window.h"
#include "command/command_line.h"
#include "common/app_title.h"
#include "common/error_report.h"

namespace pellucor {
namespace {

// The first copy may still be starting, its window not yet made.
constexpr double kFindOtherCopySeconds = 10.0;
constexpr unsigned kInformationBoxStyle = 0x40;  // MB_ICONINFORMATION, OK only

// A second start with a command: the running copy carries it out, and the
// exit code says how it went.
int SendToRunningCopy(Platform& platform, const CommandLine& line) {
  const std::optional<int> answer = platform.sendCommandToOtherCopy(EncodeCommand(line.command), kFindOtherCopySeconds);
  if (answer == kAnswerDone) return kExitDone;
  if (!line.silent)
    platform.messageBox(answer ? AnswerText(*answer, line.command, platform) : platform.textFor(IDS_CMD_NO_ANSWER),
                        kProductTitle, kErrorBoxStyle);
  return answer ? kExitRefused : kExitNoCopy;
}

// A start in a job (a scheduled task's, a deployment tool's) would live and
// die with the job, and where the job keeps its processes the guardian
// with it. The program starts again outside the job, where the job allows,
// with the same command line, and this start ends with how that went: the
// new copy's exit code, or done once it runs. None: run here, as ever.
std::optional<int> RunOutsideJob(Platform& platform, const std::vector<std::string>& args, const CommandLine& line) {
  std::vector<std::string> outside = {kOutsideJobSwitch};
  outside.insert(outside.end(), args.begin(), args.end());
  const CopyOutsideJob copy = platform.startOutsideJob(JoinArguments(outside), kFindOtherCopySeconds);
  switch (copy.outcome) {
    case CopyOutsideJob::Outcome::NotInJob:
    case CopyOutsideJob::Outcome::Refused:
      return std::nullopt;
    case CopyOutsideJob::Outcome::Ended:
      return copy.exitCode;
    case CopyOutsideJob::Outcome::Answers:
      return kExitDone;
    case CopyOutsideJob::Outcome::NoAnswer:
      break;
  }
  if (!line.silent) platform.messageBox(platform.textFor(IDS_CMD_NO_ANSWER), kProductTitle, kErrorBoxStyle);
  return kExitNoCopy;
}

}  // namespace

bool AnotherCopyHoldsTheClaim(std::int32_t claim) {
  // A copy running elevated made the claim with rights this process lacks:
  // refused, it still says a copy runs.
  return claim == kErrorAlreadyExists || claim == kErrorAccessDenied;
}

int runPellucor(Platform& platform, const std::vector<std::string>& arguments) {
  const bool startedOutsideJob = !arguments.empty() && arguments.front() == kOutsideJobSwitch;
  const std::vector<std::string> args(arguments.begin() + (startedOutsideJob ? 1 : 0), arguments.end());
  // The whole command line is judged before anything is done.
  const CommandLine line = ParseCommandLine(args, platform, platform);
  if (!line.error.empty()) {
    if (!line.silent) {
      std::string text = line.error;
      platform.messageBox(text.append("\r\n\r\n").append(UsageText(platform)), kProductTitle, kErrorBoxStyle);
    }
    return kExitRefused;
  }
  if (line.help) {
    if (!line.silent) platform.messageBox(UsageText(platform), kProductTitle, kInformationBoxStyle);
    return kExitDone;
  }

  // A second copy would fight the first over the system cursors: it only
  // passes its command on, or brings the first one's window forward, as a
  // click on its tray icon would. A claim that cannot be made at all lets
  // the program start: starting beats not starting.
  const Command& command = line.command;
  if (AnotherCopyHoldsTheClaim(platform.claimOnlyCopy())) {
    if (!command.empty()) return SendToRunningCopy(platform, line);
    return platform.askOtherCopyToShow(kFindOtherCopySeconds) ? kExitDone : kExitNoCopy;
  }
  if (command.action == CommandAction::Stop || command.action == CommandAction::Hide ||
      command.action == CommandAction::Exit) {
    if (!line.silent) platform.messageBox(platform.textFor(IDS_CMD_NOT_RUNNING), kProductTitle, kErrorBoxStyle);
    return kExitNoCopy;
  }
  if (!startedOutsideJob) {
    if (const std::optional<int> exitCode = RunOutsideJob(platform, args, line)) return *exitCode;
  }

  MainWindow form(platform);
  form.create();
  // This start's own command; the window shows at a start anyway.
  Command atStart = command;
  if (atStart.action == CommandAction::Show) atStart.action = CommandAction::None;
  if (!atStart.empty()) {
    const int answer = form.commands.CarryOut(atStart);
    if (answer != kAnswerDone && !line.silent)
      platform.messageBox(AnswerText(answer, atStart, platform), kProductTitle, kErrorBoxStyle);
  }
  form.show();
  return platform.runMessageLoop();
}

}  // namespace pellucor
