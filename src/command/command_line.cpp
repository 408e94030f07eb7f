#include "command/command_line.h"

#include <algorithm>
#include <cstddef>

#include "platform/failure.h"

namespace pellucor {
namespace {

struct NamedAction {
  std::string_view name;
  CommandAction action;
};
// The names double as what travels to the running copy.
constexpr NamedAction kActions[] = {{"start", CommandAction::Start},
                                    {"stop", CommandAction::Stop},
                                    {"show", CommandAction::Show},
                                    {"hide", CommandAction::Hide},
                                    {"exit", CommandAction::Exit}};

// Longer than any number the tick takes needs; keeps boxes and messages small.
constexpr std::size_t kLongestSeconds = 32;
constexpr std::size_t kLongestMessage = 64;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// The switch's name without its / or -, lower-cased; none for a plain word.
std::optional<std::string> SwitchName(std::string_view arg) {
  if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) return std::nullopt;
  return Lower(arg.substr(1));
}

std::optional<CommandAction> ActionNamed(std::string_view name) {
  for (const NamedAction& a : kActions) {
    if (a.name == name) return a.action;
  }
  return std::nullopt;
}

std::string_view ActionName(CommandAction action) {
  for (const NamedAction& a : kActions) {
    if (a.action == action) return a.name;
  }
  return {};
}

std::string Quoted(std::string_view text) {
  std::string quoted("\"");
  quoted.append(text);
  quoted += '"';
  return quoted;
}

}  // namespace

bool UsableSeconds(std::string_view text, Numbers& numbers) {
  if (text.size() > kLongestSeconds) return false;
  if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) return false;
  try {
    // A negative count would hide at the first still tick, which no one asking
    // for seconds means.
    return numbers.textToInt16(text) >= 0;
  } catch (const Failure&) {
    return false;
  }
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, Numbers& numbers, const Texts& texts) {
  CommandLine line;
  // Known even when the rest is wrong: a script's bad line stays quiet too.
  line.silent = std::any_of(args.begin(), args.end(), [](const std::string& a) { return SwitchName(a) == "silent"; });
  const auto fail = [&line](std::string why) {
    line.command = {};
    line.help = false;
    line.error = std::move(why);
    return line;
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::optional<std::string> name = SwitchName(arg);
    if (!name) {
      return fail(FillIn(texts.textFor(IDS_CMD_UNKNOWN_ARGUMENT), {Quoted(arg)}));
    }
    if (*name == "silent") continue;
    if (*name == "?") {
      line.help = true;
      continue;
    }
    if (*name == "seconds") {
      if (line.command.seconds) return fail(texts.textFor(IDS_CMD_SECONDS_TWICE));
      if (i + 1 == args.size()) return fail(texts.textFor(IDS_CMD_SECONDS_MISSING));
      const std::string& value = args[++i];
      if (!UsableSeconds(value, numbers)) return fail(FillIn(texts.textFor(IDS_CMD_SECONDS_BAD), {Quoted(value)}));
      line.command.seconds = value;
      continue;
    }
    if (const std::optional<CommandAction> action = ActionNamed(*name)) {
      if (line.command.action != CommandAction::None) return fail(texts.textFor(IDS_CMD_ONE_ACTION));
      line.command.action = *action;
      continue;
    }
    return fail(FillIn(texts.textFor(IDS_CMD_UNKNOWN_SWITCH), {Quoted(arg)}));
  }
  return line;
}

std::string UsageText(const Texts& texts) { return texts.textFor(IDS_CMD_USAGE); }

std::string JoinArguments(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
      line += arg;  // backslashes are literal unless a quote follows them
      continue;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : arg) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      // Before a quote, each backslash is written twice and the quote escaped.
      line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
      line += c;
      backslashes = 0;
    }
    // The closing quote follows: the backslashes before it twice.
    line.append(backslashes * 2, '\\');
    line += '"';
  }
  return line;
}

std::string EncodeCommand(const Command& command) {
  std::string message(ActionName(command.action));
  if (command.seconds) message.append("\n").append(*command.seconds);
  return message;
}

std::optional<Command> DecodeCommand(std::string_view message) {
  if (message.size() > kLongestMessage) return std::nullopt;
  const std::size_t split = message.find('\n');
  Command command;
  const std::string_view name = message.substr(0, split);
  if (!name.empty()) {
    const std::optional<CommandAction> action = ActionNamed(name);
    if (!action) return std::nullopt;
    command.action = *action;
  }
  if (split != std::string_view::npos) {
    const std::string_view seconds = message.substr(split + 1);
    if (seconds.empty() || seconds.find('\n') != std::string_view::npos) return std::nullopt;
    command.seconds = std::string(seconds);
  }
  if (command.empty()) return std::nullopt;
  return command;
}

std::string AnswerText(int answer, const Command& command, const Texts& texts) {
  switch (answer) {
    case kAnswerSecondsRefused:
      return FillIn(texts.textFor(IDS_CMD_SECONDS_REFUSED), {Quoted(command.seconds.value_or(""))});
    case kAnswerSecondsManaged:
      return texts.textFor(IDS_CMD_SECONDS_MANAGED);
    case kAnswerBusy:
      return texts.textFor(IDS_CMD_BUSY);
    case kAnswerNotUnderstood:
      return texts.textFor(IDS_CMD_NOT_UNDERSTOOD);
    default:
      return texts.textFor(IDS_CMD_FAILED);
  }
}

}  // namespace pellucor
