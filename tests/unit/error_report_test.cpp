#include "common/error_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/sim/sim_desktop.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kTick = "in Pellucor2021/08/31.Form1.Timer1_Timer ";

TEST(ErrorPrompt, IsComposedPieceByPiece) {
  sim::SimDesktop english;
  EXPECT_EQ(ComposeErrorPrompt(english, "Overflow", kTick, 104),
            "Overflow\r\nin Pellucor2021/08/31.Form1.Timer1_Timer at line 104\r\r"
            "Please email screenshot of this message to support@trandavel.example");
}

TEST(ErrorPrompt, EmptyMessageStillStartsWithTheLineBreak) {
  sim::SimDesktop english;
  EXPECT_EQ(ComposeErrorPrompt(english, "", "x ", 100).substr(0, 4), "\r\nx ");
}

struct GuardTest : ::testing::Test {
  sim::SimDesktop sim;
  std::vector<std::string> ran;
  std::vector<int> lines;
  StepObserver observer = [this](std::string_view, int line) { lines.push_back(line); };
  Guard guard{sim, sim, kTick, &observer};
};

TEST_F(GuardTest, FailingStepIsReportedOnceAndTheNextStepRuns) {
  guard.step(100, [&] { ran.push_back("a"); });
  guard.step(102, [&] {
    throw Failure("Type mismatch");
    ran.push_back("never");
  });
  guard.step(104, [&] { ran.push_back("c"); });
  EXPECT_THAT(ran, ElementsAre("a", "c"));
  ASSERT_EQ(sim.boxes.size(), 1u);
  EXPECT_EQ(sim.boxes[0].caption, "Application Error");
  EXPECT_EQ(sim.boxes[0].style, 48u);
  EXPECT_EQ(sim.boxes[0].text, ComposeErrorPrompt(sim, "Type mismatch", kTick, 102));
  EXPECT_THAT(lines, ElementsAre(100, 102, 104));
}

TEST_F(GuardTest, TwoFailuresInOneRunShowTwoBoxesWithTheirOwnLines) {
  guard.step(104, [] { throw Failure("Overflow"); });
  guard.step(106, [&] { ran.push_back("between"); });
  guard.step(114, [] { throw Failure("Type mismatch"); });
  ASSERT_EQ(sim.boxes.size(), 2u);
  EXPECT_NE(sim.boxes[0].text.find("at line 104"), std::string::npos);
  EXPECT_EQ(sim.boxes[0].text.rfind("Overflow", 0), 0u);
  EXPECT_NE(sim.boxes[1].text.find("at line 114"), std::string::npos);
  EXPECT_EQ(sim.boxes[1].text.rfind("Type mismatch", 0), 0u);
  EXPECT_THAT(ran, ElementsAre("between"));
}

TEST_F(GuardTest, TheBoxIsModalTheHandlerWaitsForIt) {
  sim.answerBox = [&](const sim::MessageBoxRecord&) {
    ran.push_back("box closed");
    return 1;
  };
  guard.step(100, [] { throw Failure("Overflow"); });
  guard.step(102, [&] { ran.push_back("next step"); });
  EXPECT_THAT(ran, ElementsAre("box closed", "next step"));
}

TEST_F(GuardTest, FailingTestRunsItsThenPart) {
  if (guard.test(134, []() -> bool { throw Failure("Overflow"); })) {
    guard.step(136, [&] { ran.push_back("then"); });
  } else {
    guard.step(142, [&] { ran.push_back("else"); });
  }
  EXPECT_THAT(ran, ElementsAre("then"));
  ASSERT_EQ(sim.boxes.size(), 1u);
  EXPECT_NE(sim.boxes[0].text.find("at line 134"), std::string::npos);
}

TEST_F(GuardTest, TestsThatDoNotFailDecideAsUsual) {
  EXPECT_FALSE(guard.test(102, [] { return false; }));
  EXPECT_TRUE(guard.test(104, [] { return true; }));
  EXPECT_TRUE(sim.boxes.empty());
}

TEST_F(GuardTest, OutOfMemoryHasAReadableText) {
  guard.step(100, [] { throw std::bad_alloc(); });
  ASSERT_EQ(sim.boxes.size(), 1u);
  EXPECT_EQ(sim.boxes[0].text.rfind("Out of memory\r\n", 0), 0u);
}

TEST_F(GuardTest, TheEndOfTheProcessIsNotSwallowed) {
  EXPECT_THROW(guard.step(100, [] { throw ProcessEnded{0}; }), ProcessEnded);
  EXPECT_TRUE(sim.boxes.empty());
}

TEST_F(GuardTest, AFailureRaisedWhileTheBoxIsOpenIsReportedByItsOwnHandler) {
  // A modal box dispatches messages; a nested guarded handler reports its own.
  Guard inner{sim, sim, "in inner ", nullptr};
  sim.answerBox = [&](const sim::MessageBoxRecord& box) {
    if (box.text.find("in inner") == std::string::npos) inner.step(110, [] { throw Failure("Overflow"); });
    return 1;
  };
  guard.step(100, [] { throw Failure("Type mismatch"); });
  ASSERT_EQ(sim.boxes.size(), 2u);
  EXPECT_NE(sim.boxes[1].text.find("in inner at line 110"), std::string::npos);
  EXPECT_EQ(guard.line(), 100);
}

}  // namespace
}  // namespace pellucor::test
