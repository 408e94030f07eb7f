#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "harness.h"

namespace pellucor::test {
namespace {

// The tick on its own: the cursor rests where the sim puts it, and each
// call is one second of the run.
struct IdleTick : ::testing::Test {
  Desktop d;
  MainWindow& f = d.start();

  void ticks(int n) {
    for (int i = 0; i < n; ++i) f.run.onTick();
  }
  bool hidden() const { return d.sim.cursorDisplayCount < 0 && d.sim.systemCursorsHidden; }
  void limit(const char* text) { f.idleSecondsField.setText(text); }
};

TEST_F(IdleTick, TheThirdRestingTickHidesWithTheDefaultLimit) {
  ticks(2);
  EXPECT_FALSE(hidden());
  EXPECT_EQ(f.run.idleTicks(), 2);
  ticks(1);
  EXPECT_TRUE(hidden());
  EXPECT_EQ(d.sim.cursorDisplayCount, -1);
  EXPECT_TRUE(d.sim.boxes.empty());
}

TEST_F(IdleTick, AOnePixelMoveRestartsTheCount) {
  ticks(2);
  d.sim.userMoveMouse({1, 0});
  ticks(1);
  EXPECT_EQ(f.run.idleTicks(), 0);
  EXPECT_EQ(f.run.lastPosition().x, 1);
  ticks(2);
  EXPECT_FALSE(hidden());
  ticks(1);
  EXPECT_TRUE(hidden());
}

TEST_F(IdleTick, LimitsAtOrBelowZeroHideOnTheFirstRestingTick) {
  for (const char* text : {"0", "-5"}) {
    Desktop local;
    MainWindow& form = local.start();
    form.idleSecondsField.setText(text);
    form.run.onTick();
    EXPECT_LT(local.sim.cursorDisplayCount, 0) << text;
  }
}

TEST_F(IdleTick, FractionalLimitsRoundHalfToEven) {
  for (const auto& [text, hidesOn] : std::vector<std::pair<const char*, int>>{{"2.5", 2}, {"3.5", 4}, {"2.4", 2}}) {
    Desktop local;
    MainWindow& form = local.start();
    form.idleSecondsField.setText(text);
    for (int i = 1; i < hidesOn; ++i) form.run.onTick();
    EXPECT_GE(local.sim.cursorDisplayCount, 0) << text;
    form.run.onTick();
    EXPECT_LT(local.sim.cursorDisplayCount, 0) << text;
  }
}

TEST_F(IdleTick, AFieldThatDoesNotConvertIsReportedAtLine114AndTheCursorHides) {
  for (const auto& [text, message] : std::vector<std::pair<const char*, const char*>>{
           {"", "Type mismatch"}, {"abc", "Type mismatch"}, {"40000", "Overflow"}, {"1e9", "Overflow"}}) {
    Desktop local;
    MainWindow& form = local.start();
    form.idleSecondsField.setText(text);
    form.run.onTick();
    form.run.onTick();
    ASSERT_EQ(local.sim.boxes.size(), 2u) << text << ": one report on every resting tick";
    EXPECT_EQ(local.sim.boxes[0].text, ComposeErrorPrompt(local.sim, message, kTickLocation, 114)) << text;
    EXPECT_EQ(local.sim.cursorDisplayCount, -1) << text;
    local.sim.userMoveMouse({5, 5});
    form.run.onTick();
    EXPECT_EQ(local.sim.boxes.size(), 2u) << text << ": a moving tick reads no field";
    EXPECT_EQ(local.sim.cursorDisplayCount, 0) << text;
  }
}

TEST_F(IdleTick, AnHourOfRestHidesOnceAndReplacesTheCursorsOnce) {
  ticks(3600);
  EXPECT_EQ(d.sim.cursorDisplayCount, -1) << "no deeper below zero for every hiding tick";
  EXPECT_EQ(d.sim.systemCursorReplacements, 1);
  d.sim.userMoveMouse({400, 300});
  ticks(1);
  EXPECT_EQ(d.sim.cursorDisplayCount, 0) << "visible again in that very tick";
  EXPECT_FALSE(d.sim.systemCursorsHidden);
}

// Each ShowCursor call moves the count by one: made at every moving tick,
// a day of work would leave the next hide tens of thousands of calls to make.
TEST_F(IdleTick, ADayOfAMouseThatNeverRestsKeepsTheDisplayCountWhereItWas) {
  int showCalls = 0;
  for (int i = 1; i <= 24 * 3600; ++i) {
    d.sim.userMoveMouse({i % 1000, i % 700});
    ticks(1);
    showCalls += static_cast<int>(std::count(d.sim.log.begin(), d.sim.log.end(), "showCursor 1"));
    d.sim.log.clear();  // a day's record would only cost memory
  }
  EXPECT_LE(d.sim.cursorDisplayCount, 1);
  EXPECT_GE(d.sim.cursorDisplayCount, 0);
  EXPECT_LE(showCalls, 1);
  EXPECT_EQ(d.sim.systemCursorReplacements, 0);
  ticks(3);
  EXPECT_LE(std::count(d.sim.log.begin(), d.sim.log.end(), "showCursor 0"), 2) << "the next hide is cheap";
  EXPECT_EQ(d.sim.cursorDisplayCount, -1);
  EXPECT_EQ(std::count(d.sim.log.begin(), d.sim.log.end(), "restoreSystemCursors"), 0)
      << "a visible cursor is not restored again";
}

TEST_F(IdleTick, NegativeCoordinatesCompareLikeAnyOther) {
  d.sim.userMoveMouse({-1920, -20});
  ticks(1);
  EXPECT_EQ(f.run.lastPosition().x, -1920);
  EXPECT_EQ(f.run.lastPosition().y, -20);
  ticks(3);
  EXPECT_TRUE(hidden());
}

TEST_F(IdleTick, IdleTicksAtItsMaximumIsReportedAndStays) {
  f.run.setIdleTicks(std::numeric_limits<std::int32_t>::max());
  ticks(1);
  ASSERT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(d.sim.boxes[0].text, ComposeErrorPrompt(d.sim, "Overflow", kTickLocation, 112));
  EXPECT_EQ(f.run.idleTicks(), std::numeric_limits<std::int32_t>::max());
  EXPECT_TRUE(hidden()) << "the limit test still ran";
}

TEST_F(IdleTick, ATickWhileAnEarlierTicksBoxIsOpenIsSkipped) {
  limit("abc");
  int nested = 0;
  d.sim.answerBox = [&](const sim::MessageBoxRecord&) {
    // The box pumps messages: the next ticks come while it is open.
    ++nested;
    f.run.onTick();
    f.run.onTick();
    return 1;
  };
  ticks(1);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(d.sim.boxes.size(), 1u);
  EXPECT_EQ(f.run.idleTicks(), 1);
  ticks(1);
  EXPECT_EQ(d.sim.boxes.size(), 2u) << "once the box is closed, ticks run again";
}

TEST_F(IdleTick, AnEditTakesEffectAtTheNextTick) {
  ticks(2);
  limit("10");
  ticks(5);
  EXPECT_FALSE(hidden());
  limit("7");
  ticks(1);
  EXPECT_TRUE(hidden());
}

}  // namespace
}  // namespace pellucor::test
