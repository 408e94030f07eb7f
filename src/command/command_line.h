#pragma once

// The program's command line: what a start asks of Pellucor, checked whole
// before anything is done, and the form it travels in to a copy that already
// runs. Everything here is plain text work; the sending and the carrying out
// are elsewhere (runPellucor, CommandHandler).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/texts.h"

namespace pellucor {

// What a start does besides setting the seconds; at most one per command line.
enum class CommandAction { None, Start, Stop, Show, Hide, Exit };

struct Command {
  CommandAction action = CommandAction::None;
  // The idle seconds as given, already known to be a number the tick takes.
  std::optional<std::string> seconds;

  bool empty() const { return action == CommandAction::None && !seconds; }
  bool operator==(const Command&) const = default;
};

struct CommandLine {
  Command command;
  bool help = false;    // /?: the usage, nothing else
  bool silent = false;  // no message box, whatever happens
  // Why the command line cannot be carried out; empty when it can.
  std::string error;
};

// The exit codes of a start given a command.
inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;  // a bad command line, or the running copy said no
inline constexpr int kExitNoCopy = 2;   // no running copy, or none answered

// The running copy's answer to a command. The platform answers 0 itself
// while the window takes no commands yet, and a number below 0 when the
// handler failed; both are beyond this list.
enum CommandAnswer : int {
  kAnswerDone = 1,
  kAnswerNotUnderstood = 2,  // not a command this copy knows
  kAnswerSecondsRefused = 3,
  kAnswerBusy = 4,            // a box of its own waits for the user
  kAnswerSecondsManaged = 5,  // a policy sets the seconds
};

// Whether the idle seconds may be set to this text: a whole number the tick
// takes (0 to 32767, as `numbers` reads it in the user's locale), short and
// without control characters. The command line and the running copy both
// judge by it.
bool UsableSeconds(std::string_view text, Numbers& numbers);

// Reads the arguments after the program's name (UTF-8). Switches start with
// / or -, in any case. The seconds are judged by `numbers` as the tick
// judges the field.
CommandLine ParseCommandLine(const std::vector<std::string>& args, Numbers& numbers, const Texts& texts);

// The arguments as one command line that Windows splits back into exactly
// them (CommandLineToArgvW): quoted where a space, a tab or a quote is in
// one, or it is empty, with the backslashes before a quote escaped.
std::string JoinArguments(const std::vector<std::string>& args);

// What Restart Manager starts the program with after an installer closed
// it during a run: the run goes on, and no box waits for anyone. Without a
// run, a plain start.
inline constexpr const char* kResumeRunArguments = "/start /silent";

// Every switch and the exit codes, for /? and under a command-line error.
std::string UsageText(const Texts& texts);

// What the running copy receives, and back. Decoding takes outside input:
// anything but what EncodeCommand makes is refused (nullopt). The seconds'
// text is not judged here; the receiver judges it.
std::string EncodeCommand(const Command& command);
std::optional<Command> DecodeCommand(std::string_view message);

// What the sender says about an answer other than kAnswerDone.
std::string AnswerText(int answer, const Command& command, const Texts& texts);

}  // namespace pellucor
