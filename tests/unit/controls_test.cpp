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
  Form1& f = d.start();
};

TEST_F(ControlsTest, CheckBoxClickRunsOnEveryRealChangeFromCodeOrUser) {
  f.Check4.onClick = [&] { events.push_back("click " + std::to_string(f.Check4.value())); };
  f.Check4.setValue(0);  // no change
  f.Check4.setValue(1);
  f.Check4.setValue(1);  // no change
  d.sim.userClick(Form1::kCheck4);
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("click 1", "click 0"));
  EXPECT_EQ(d.sim.control(Form1::kCheck4).check, 0);
}

TEST_F(ControlsTest, HiddenCheckBoxCannotBeClickedByTheUser) {
  d.sim.userClick(Form1::kCheck8);
  d.sim.runPending();
  EXPECT_EQ(f.Check8.value(), 0);
}

TEST_F(ControlsTest, FieldChangeRunsOncePerRealChange) {
  f.Text1.onChange = [&] { events.push_back(f.Text1.text()); };
  f.Text1.setText("3");  // same text
  f.Text1.setText("5");
  f.Text1.select(0, 1);
  d.sim.userType("12");
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("5", "1", "12"));
  d.sim.userType("\b\b\b");  // the third backspace changes nothing
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("5", "1", "12", "1", ""));
}

TEST_F(ControlsTest, FocusMovesRaiseLostThenGained) {
  f.Text1.onLostFocus = [&] { events.push_back("lost"); };
  f.Text1.onGotFocus = [&] { events.push_back("gained"); };
  d.sim.userFocus(Form1::kCheck4);
  d.sim.userFocus(Form1::kText1);
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("lost", "gained"));
}

TEST_F(ControlsTest, TimerTicksOnlyWhileEnabledWithAnInterval) {
  f.Timer1.onTimer = [&] { events.push_back("tick " + std::to_string(d.sim.nowMs())); };
  f.Timer1.setEnabled(true);  // designed interval 3000 ms
  d.sim.advance(3000);
  f.Timer1.setInterval(1000);
  d.sim.advance(2500);
  f.Timer1.setInterval(0);  // enabled, but no interval: silent
  d.sim.advance(5000);
  f.Timer1.setEnabled(false);
  f.Timer1.setInterval(1000);
  d.sim.advance(5000);
  EXPECT_THAT(events, ElementsAre("tick 3000", "tick 4000", "tick 5000"));
}

TEST_F(ControlsTest, MessagesPostedDuringDispatchAreDispatchedInTheSamePass) {
  // A handler that pumps sees the messages queued behind it (nesting).
  f.Check4.onClick = [&] {
    events.push_back("outer " + std::to_string(f.Check4.value()));
    if (f.Check4.value() == 1) {
      d.sim.userClick(Form1::kCheck4);
      d.sim.processPendingMessages();
      events.push_back("outer done");
    }
  };
  d.sim.userClick(Form1::kCheck4);
  d.sim.runPending();
  EXPECT_THAT(events, ElementsAre("outer 1", "outer 0", "outer done"));
}

}  // namespace
}  // namespace pellucor::test
