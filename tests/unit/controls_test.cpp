#include "platform/controls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "harness.h"

namespace pellucor::test {
namespace {

using ::testing::ElementsAre;

struct ControlsTest : ::testing::Test {
  Desktop d;
  std::vector<std::string> events;
  MainWindow& f = d.start();
};

TEST_F(ControlsTest, CheckBoxClickRunsOnEveryRealChangeFromCodeOrUser) {
  f.startWithWindowsBox.onClick = [&] { events.push_back("click " + std::to_string(f.startWithWindowsBox.value())); };
  f.startWithWindowsBox.setValue(0);  // no change
  f.startWithWindowsBox.setValue(1);
  f.startWithWindowsBox.setValue(1);  // no change
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("click 1", "click 0"));
  EXPECT_EQ(d.sim.control(MainWindow::kStartWithWindowsBox).check, 0);
}

TEST_F(ControlsTest, HiddenCheckBoxCannotBeClickedByTheUser) {
  d.sim.userClick(MainWindow::kStartMinimisedBox);
  d.sim.runPending();
  EXPECT_EQ(f.startMinimisedBox.value(), 0);
}

TEST_F(ControlsTest, FieldChangeRunsOncePerRealChange) {
  f.idleSecondsField.onChange = [&] { events.push_back(f.idleSecondsField.text()); };
  f.idleSecondsField.setText("3");  // same text
  f.idleSecondsField.setText("5");
  f.idleSecondsField.select(0, 1);
  d.sim.userType("12");
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("5", "1", "12"));
  d.sim.userType("\b\b\b");  // the third backspace changes nothing
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("5", "1", "12", "1", ""));
}

TEST_F(ControlsTest, FocusMovesRaiseLostThenGained) {
  f.idleSecondsField.onLostFocus = [&] { events.push_back("lost"); };
  f.idleSecondsField.onGotFocus = [&] { events.push_back("gained"); };
  d.sim.userFocus(MainWindow::kStartWithWindowsBox);
  d.sim.userFocus(MainWindow::kIdleSecondsField);
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("lost", "gained"));
}

TEST_F(ControlsTest, TimerTicksOnlyWhileEnabledWithAnInterval) {
  Timer timer(d.sim, 9, 3000);
  timer.onTimer = [&] { events.push_back("tick " + std::to_string(d.sim.nowMs())); };
  timer.setEnabled(true);  // designed interval 3000 ms
  d.sim.advance(3000);
  timer.setInterval(1000);
  d.sim.advance(2500);
  timer.setInterval(0);  // enabled, but no interval: silent
  d.sim.advance(5000);
  timer.setEnabled(false);
  timer.setInterval(1000);
  d.sim.advance(5000);
  EXPECT_THAT(events, ElementsAre("tick 3000", "tick 4000", "tick 5000"));
}

TEST_F(ControlsTest, MessagesPostedDuringDispatchAreDispatchedInTheSamePass) {
  // A handler that pumps sees the messages queued behind it (nesting).
  f.startWithWindowsBox.onClick = [&] {
    events.push_back("outer " + std::to_string(f.startWithWindowsBox.value()));
    if (f.startWithWindowsBox.value() == 1) {
      d.sim.userClick(MainWindow::kStartWithWindowsBox);
      d.sim.processPendingMessages();
      events.push_back("outer done");
    }
  };
  d.sim.userClick(MainWindow::kStartWithWindowsBox);
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("outer 1", "outer 0", "outer done"));
}

}  // namespace
}  // namespace pellucor::test
