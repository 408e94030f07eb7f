// The command line: judged whole before anything is done, and the form it
// travels in to a running copy.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "command/command_line.h"
#include "platform/sim/sim_desktop.h"

namespace pellucor::test {
namespace {

using ::testing::HasSubstr;
using Args = std::vector<std::string>;
using A = CommandAction;

TEST(CommandLineParse, TakesEachSwitchOnceAndRefusesTheRestWithAReason) {
  struct Case {
    Args args;
    A action;
    std::optional<std::string> seconds;
    bool silent, help;
    const char* error;  // a part of the message; null: no error
  };
  const Case cases[] = {
      {{}, A::None, {}, false, false, nullptr},
      {{"/start"}, A::Start, {}, false, false, nullptr},
      {{"-STOP"}, A::Stop, {}, false, false, nullptr},
      {{"/Show"}, A::Show, {}, false, false, nullptr},
      {{"-exit", "/silent"}, A::Exit, {}, true, false, nullptr},
      {{"/seconds", "7"}, A::None, "7", false, false, nullptr},
      {{"/start", "-Seconds", "0"}, A::Start, "0", false, false, nullptr},
      {{"/seconds", "32767", "/stop"}, A::Stop, "32767", false, false, nullptr},
      {{"/?"}, A::None, {}, false, true, nullptr},
      {{"/seconds"}, A::None, {}, false, false, "needs the number of seconds"},
      {{"/seconds", "abc"}, A::None, {}, false, false, "cannot use \"abc\""},
      {{"/seconds", "32768"}, A::None, {}, false, false, "cannot use \"32768\""},
      {{"/seconds", "-1"}, A::None, {}, false, false, "cannot use \"-1\""},
      {{"/seconds", "5\n"}, A::None, {}, false, false, "cannot use"},
      {{"/seconds", "/start"}, A::None, {}, false, false, "cannot use \"/start\""},
      {{"/seconds", "7", "/seconds", "8"}, A::None, {}, false, false, "more than once"},
      {{"/start", "/stop"}, A::None, {}, false, false, "only one of"},
      {{"/start", "/start"}, A::None, {}, false, false, "only one of"},
      {{"/bogus", "/SILENT"}, A::None, {}, true, false, "does not know the switch \"/bogus\""},
      {{"/start", "--stop"}, A::None, {}, false, false, "does not know the switch \"--stop\""},
      {{"start"}, A::None, {}, false, false, "does not know the argument \"start\""},
      {{"/?", "/bogus"}, A::None, {}, false, false, "/bogus"},
  };
  sim::SimDesktop numbers;
  for (const Case& c : cases) {
    std::string args;
    for (const std::string& a : c.args) args.append(a).append(" ");
    const CommandLine line = ParseCommandLine(c.args, numbers);
    EXPECT_EQ(line.command.action, c.action) << args;
    EXPECT_EQ(line.command.seconds, c.seconds) << args;
    EXPECT_EQ(line.silent, c.silent) << args;
    EXPECT_EQ(line.help, c.help) << args;
    if (c.error) {
      EXPECT_THAT(line.error, HasSubstr(c.error)) << args;
    } else {
      EXPECT_EQ(line.error, "") << args;
    }
  }
  for (const char* shown : {"/start", "/stop", "/show", "/exit", "/seconds N", "/silent", "/?", "0\t", "1\t", "2\t"})
    EXPECT_THAT(UsageText(), HasSubstr(shown));
}

TEST(CommandChannel, DecodesWhatIsEncodedAndNothingElse) {
  const Command both{A::Start, "7"};
  EXPECT_EQ(DecodeCommand(EncodeCommand(both)), both);
  EXPECT_EQ(DecodeCommand(EncodeCommand(Command{A::None, "12"})), (Command{A::None, "12"}));
  EXPECT_EQ(DecodeCommand(EncodeCommand(Command{A::Exit, {}})), (Command{A::Exit, {}}));
  for (const char* refused : {"", "bogus", "START", "start\n", "\n", "start\n5\n6", "stop extra"}) {
    EXPECT_EQ(DecodeCommand(refused), std::nullopt) << refused;
  }
  EXPECT_EQ(DecodeCommand(std::string("exit\0", 5)), std::nullopt);
  EXPECT_EQ(DecodeCommand("start\n" + std::string(100, '7')), std::nullopt);
}

}  // namespace
}  // namespace pellucor::test
