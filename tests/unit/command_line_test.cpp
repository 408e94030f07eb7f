// The command line: judged whole before anything is done, passed by a second
// start to the running copy, which judges it again and answers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "command/command_line.h"
#include "harness.h"

namespace pellucor::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;
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
    const CommandLine line = ParseCommandLine(c.args, numbers, numbers);
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
    EXPECT_THAT(UsageText(numbers), HasSubstr(shown));
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

// What a start in a job passes to the copy it starts outside: Windows'
// CommandLineToArgvW must give back exactly these arguments. Backslashes are
// literal unless a quote follows them, as a closing quote does when the
// argument is quoted.
TEST(JoinArguments, QuotesWhatWindowsWouldSplitAndEscapesQuotesAndTheBackslashesBeforeThem) {
  const std::pair<Args, const char*> cases[] = {
      {{}, ""},
      {{"/seconds", "7", "/start", "/silent"}, "/seconds 7 /start /silent"},
      {{"/seconds", " 7 "}, "/seconds \" 7 \""},
      {{""}, "\"\""},
      {{"", "/start"}, "\"\" /start"},
      {{"a\tb", "a\nb"}, "\"a\tb\" \"a\nb\""},
      {{"say \"hi\""}, "\"say \\\"hi\\\"\""},
      {{"C:\\dir\\"}, "C:\\dir\\"},
      {{"C:\\my dir\\"}, "\"C:\\my dir\\\\\""},
      {{"a\\\"b"}, "\"a\\\\\\\"b\""},
      {{"a\\\\b c"}, "\"a\\\\b c\""},
      {{"s\xc3\xa9"
        "conde"},
       "s\xc3\xa9"
       "conde"},
  };
  for (const auto& [args, line] : cases) EXPECT_EQ(JoinArguments(args), line);
}

// A running copy on one desktop and a second start on another, joined as the
// single-copy channel joins them.
struct SecondStartCommand : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();
  sim::SimDesktop sender;
  SecondStartCommand() {
    sender.anotherCopyRunning = true;
    sender.otherCopy = &d.sim;
  }
  int send(const Args& args) { return runPellucor(sender, args); }
  std::string stored() const {
    const auto* v = d.sim.regValue(kStore, "Path");
    return v ? v->data : "(none)";
  }
  bool running() const { return f.runButton.caption() == kStopCaption; }
};

TEST_F(SecondStartCommand, SecondsAreShownAndStoredAsTypedOnes) {
  // The field already shows 3: still stored, as a typed 3 would be.
  EXPECT_EQ(send({"/SECONDS", "3"}), kExitDone);
  EXPECT_EQ(stored(), "3");
  EXPECT_EQ(send({"/seconds", "7"}), kExitDone);
  EXPECT_EQ(f.idleSecondsField.text(), "7");
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).text, "7");
  EXPECT_EQ(stored(), "7");
  EXPECT_TRUE(sender.boxes.empty());
  EXPECT_FALSE(sender.created()) << "the second start makes no window";
}

TEST_F(SecondStartCommand, StartsARunFromTheLoopAndAStopLeavesTheWindowInTheTray) {
  struct Seen {
    int startCode = -1, stopCode = -1, againCode = -1;
    bool running = false, visible = true, stillRunning = false;
    std::string seconds;
  } seen;
  d.sim.at(1000, [&] {
    seen.running = running();
    seen.visible = d.sim.windowVisible();
    seen.againCode = send({"-start", "/seconds", "5"});  // already running: the seconds still change
    seen.seconds = f.idleSecondsField.text();
    seen.stopCode = send({"/stop"});  // while the start's balloon still shows
  });
  d.sim.at(20000, [&] {
    seen.stillRunning = running();
    f.run.onStopKey();  // ends a run the command failed to stop
  });
  seen.startCode = send({"/start"});
  EXPECT_FALSE(running()) << "the handler only arranges the run: the sender's answer comes first";
  d.sim.advance(30000);
  EXPECT_EQ(seen.startCode, kExitDone);
  EXPECT_TRUE(seen.running);
  EXPECT_FALSE(seen.visible) << "a run takes the window into the tray";
  EXPECT_EQ(seen.againCode, kExitDone);
  EXPECT_EQ(seen.seconds, "5");
  EXPECT_EQ(seen.stopCode, kExitDone);
  EXPECT_FALSE(seen.stillRunning);
  EXPECT_FALSE(running());
  EXPECT_FALSE(f.run.tickTimer().enabled());
  EXPECT_FALSE(d.sim.windowVisible()) << "a stop by command leaves the window in the tray";
  EXPECT_TRUE(f.tray.hiddenInTray());
  EXPECT_EQ(send({"/stop"}), kExitDone) << "nothing to stop is no failure";
}

TEST_F(SecondStartCommand, ShowBringsTheWindowBackAndExitClosesAsTheCloseButtonDoes) {
  d.sim.userMinimise();
  d.sim.runPending();
  ASSERT_FALSE(d.sim.windowVisible());
  const std::int64_t sent = d.sim.nowMs();
  EXPECT_EQ(send({"/show"}), kExitDone);
  EXPECT_EQ(d.sim.nowMs(), sent) << "answered at once, not after the balloon that comes with the window";
  EXPECT_FALSE(d.sim.windowVisible()) << "carried out from the loop, once answered";
  d.sim.advance(100);
  EXPECT_TRUE(d.sim.windowVisible());
  EXPECT_FALSE(f.tray.hiddenInTray());

  EXPECT_EQ(send({"/exit"}), kExitDone);
  EXPECT_FALSE(d.sim.ended) << "answered before the close begins";
  EXPECT_THROW(d.sim.advance(100), ProcessEnded);
  EXPECT_EQ(d.sim.exitCode, 0);
  EXPECT_TRUE(d.sim.shellIcons.empty()) << "the tray icon goes, as at a close";
}

TEST_F(SecondStartCommand, ABadCommandLineIsNeverSentAndChangesNothing) {
  const Args bad[] = {{"/seconds", "abc"}, {"/bogus", "/silent"}, {"/start", "/stop"}, {"/seconds", "7", "/what"}};
  for (const Args& args : bad) EXPECT_EQ(send(args), kExitRefused) << args[0];
  EXPECT_TRUE(sender.commandsSent.empty());
  ASSERT_EQ(sender.boxes.size(), 3u) << "one box each, none with /silent";
  EXPECT_THAT(sender.boxes[0].text, HasSubstr("\"abc\""));
  EXPECT_THAT(sender.boxes[0].text, HasSubstr("Exit codes")) << "the usage follows the reason";
  EXPECT_EQ(sender.boxes[0].caption, "Pellucor");
  EXPECT_EQ(f.idleSecondsField.text(), "3");
  EXPECT_EQ(stored(), "(none)");
  EXPECT_FALSE(f.run.startRunTimer().enabled());
}

// What arrives is outside input: the running copy judges it again, and a
// refused part leaves the rest undone.
TEST_F(SecondStartCommand, TheRunningCopyRefusesWhatItCannotTakeAndDoesNoneOfIt) {
  const std::pair<const char*, int> received[] = {
      {"start\nabc", kAnswerSecondsRefused},  {"\n-4", kAnswerSecondsRefused},     {"\n99999", kAnswerSecondsRefused},
      {"start\n\x01", kAnswerSecondsRefused}, {"start now", kAnswerNotUnderstood}, {"", kAnswerNotUnderstood}};
  for (const auto& [message, answer] : received) EXPECT_EQ(f.commands.onCommand(message), answer) << message;
  EXPECT_EQ(f.idleSecondsField.text(), "3");
  EXPECT_EQ(stored(), "(none)");
  EXPECT_FALSE(f.run.startRunTimer().enabled()) << "no run after refused seconds";
}

TEST_F(SecondStartCommand, WhileABoxOfTheRunningCopyIsOpenAStartIsRefusedAndOthersStillWork) {
  std::vector<int> codes;
  std::string afterRefused;
  d.sim.answerBox = [&](const sim::MessageBoxRecord&) {
    codes.push_back(send({"/start"}));
    codes.push_back(send({"/seconds", "9", "/start", "/silent"}));
    afterRefused = f.idleSecondsField.text();
    codes.push_back(send({"/seconds", "9"}));
    return 1;
  };
  d.sim.userMenuCommand(SystemMenu::kAboutMenuItem);
  d.sim.runPending();
  EXPECT_EQ(codes, (std::vector<int>{kExitRefused, kExitRefused, kExitDone}));
  ASSERT_EQ(sender.boxes.size(), 1u);
  EXPECT_THAT(sender.boxes[0].text, HasSubstr("waiting for an answer"));
  EXPECT_FALSE(running());
  EXPECT_EQ(afterRefused, "3") << "a refused start takes its seconds with it";
  EXPECT_EQ(f.idleSecondsField.text(), "9");
}

TEST(SecondStartCommandWithoutCopy, StopAndExitStartNothingAndNoAnswerIsCodeTwo) {
  for (const char* action : {"/stop", "/exit"}) {
    sim::SimDesktop sim;
    EXPECT_EQ(runPellucor(sim, {action}), kExitNoCopy) << action;
    EXPECT_FALSE(sim.created()) << action;
    ASSERT_EQ(sim.boxes.size(), 1u);
    EXPECT_EQ(sim.boxes[0].text, kNotRunningText);
  }
  sim::SimDesktop silent;
  EXPECT_EQ(runPellucor(silent, {"/exit", "/silent"}), kExitNoCopy);
  EXPECT_TRUE(silent.boxes.empty());

  // A copy holds the claim but its window never answers.
  sim::SimDesktop sender;
  sender.anotherCopyRunning = true;
  EXPECT_EQ(runPellucor(sender, {"/show"}), kExitNoCopy);
  ASSERT_EQ(sender.boxes.size(), 1u);
  EXPECT_EQ(sender.boxes[0].text, kNoAnswerText);
}

TEST(FirstStartCommand, SecondsAreAppliedAndStoredAndStartBeginsARun) {
  Desktop d;
  EXPECT_EQ(runPellucor(d.sim, {"/seconds", "9"}), kExitDone);
  EXPECT_EQ(d.sim.control(MainWindow::kIdleSecondsField).text, "9");
  ASSERT_NE(d.sim.regValue(kStore, "Path"), nullptr);
  EXPECT_EQ(d.sim.regValue(kStore, "Path")->data, "9");
  EXPECT_TRUE(d.sim.windowVisible());

  // The form lives only inside runPellucor here: what /start arranges is the
  // timer that "Start hiding as soon as Pellucor starts" begins its run with.
  Desktop started;
  EXPECT_EQ(runPellucor(started.sim, {"/start"}), kExitDone);
  EXPECT_THAT(started.sim.log, Contains("setTimer " + std::to_string(HidingRun::kStartRunTimer) + " 1"));
  EXPECT_THAT(d.sim.log, Not(Contains(HasSubstr("setTimer " + std::to_string(HidingRun::kStartRunTimer)))));
}

}  // namespace
}  // namespace pellucor::test
