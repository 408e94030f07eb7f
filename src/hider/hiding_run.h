#pragma once

// A run: from the start (the run button, a command, "Start hiding as soon as
// Pellucor starts") until a stop is asked for (the button again, the stop
// key, a command). While it runs, a once-a-second tick hides the pointer when
// it has rested for the chosen seconds and shows it when it has moved; the
// mouse, keys that type and the program in front act between ticks. The run
// knows no window: it tells a RunWindow where the window should go and a
// RunObserver that it began or ended.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/error_report.h"
#include "hider/cursor_hider.h"
#include "hider/keyboard_hook.h"
#include "options/options.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/cursor.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/input_hooks.h"
#include "platform/message_loop.h"
#include "platform/processes.h"
#include "platform/texts.h"

namespace pellucor {

// The error box's location texts of the run's two guarded handlers.
inline constexpr const char* kTickLocation = "in Pellucor2021/08/31.Form1.Timer1_Timer ";
inline constexpr const char* kClickLocation = "in Pellucor2021/08/31.Form1.PushButton2_Click ";

// Where the run wants the main window. Each call is one numbered step of the
// run's handler and may fail on its own.
class RunWindow {
 public:
  // A run begins: the window goes into the notification area.
  virtual void leaveForRun() = 0;
  // A stop was asked for: whatever the window still waits for (the tray's
  // balloon) ends now, so that the run ends at once.
  virtual void stopAsked() = 0;
  // A run the user stopped: the window shows again, ...
  virtual void showAfterRun() = 0;
  // ... takes the focus, or says where it is when Windows refuses it ...
  virtual void focusAfterRun() = 0;
  // ... and is no longer in the tray.
  virtual void backFromRun() = 0;

 protected:
  ~RunWindow() = default;
};

// Told when the run begins and when it has ended (asks running() for which)
// or its stop key changed; and when Windows refused the hide key.
class RunObserver {
 public:
  virtual void onRunChanged() = 0;
  virtual void onHideKeyRefused(const KeyChord& chord) = 0;

 protected:
  ~RunObserver() = default;
};

// The program the user sees in front: the foreground window's, or, in the
// frame Windows shows a Store app in, the app's own.
std::string ProgramInFront(Desktop& desktop, Files& files);
// A program fills the screen: the shell says so (full-screen Direct3D,
// presentation mode, busy), or its window covers its monitor and is not the
// desktop or the taskbar.
bool FillsScreen(const ScreenUse& use);

// Lives on the GUI thread; every handler may run nested inside another's
// message processing.
class HidingRun final : public InputEvents {
 public:
  // Timer ids of the window's that are the run's.
  static constexpr int kTickTimer = 1;
  // Begins a run from the message loop, once whatever asked for it is over.
  static constexpr int kStartRunTimer = 3;
  // The hide key's id among the window's hot keys.
  static constexpr int kHideHotKey = 1;

  HidingRun(MessageLoop& loop, Clock& clock, Numbers& numbers, Cursor& cursor, InputHooks& hooks, Processes& processes,
            Desktop& desktop, Files& files, const Texts& texts, RunWindow& window);

  void setObserver(RunObserver* observer) { observer_ = observer; }
  void setStepObserver(const StepObserver* steps) { steps_ = steps; }

  // On from the start until the stop sequence has run.
  bool running() const { return running_; }
  // A stop has been asked for and the run is ending.
  bool stopping() const { return stopRequested_; }

  // The run button: starts a run and stays in its loop until a stop is
  // asked for; pressed during a run, asks for the stop.
  void startOrStop();
  // A run begins from the message loop, unless one is on by then.
  void startSoon() { startRunTimer_.setEnabled(true); }
  void cancelStart() { startRunTimer_.setEnabled(false); }
  // Ends the run as the stop key does, but leaves the window where it is: a
  // script stopping the run has nobody at the keys to look at it.
  void stopQuietly();
  // The hide key, or /hide: the pointer goes now, with or without a run,
  // and comes back as a hidden pointer does; a run's still time starts again.
  void hideNow();
  // The hide key is Windows' to register from now on (once the window is
  // shown), and again whenever the options change it.
  void armHideKey();

  // The seconds as the user gave them; each tick converts them anew, so a
  // text that is no number shows its error at the tick, as it always did.
  void setIdleSeconds(std::string text) { idleSeconds_ = std::move(text); }
  // The choices that apply from now on, during a run too.
  void setOptions(const Options& options);
  const Options& options() const { return options_; }
  // The key that stops a run, as the options choose it.
  const KeyChord& stopKey() const { return options_.stopKey; }

  // Once a second during a run.
  void onTick();

  // The program's start and end: the user's cursors back if a killed copy
  // left them blank, and everything put back.
  void repairSystemCursors() { cursorHider_.RepairSystemCursors(); }
  // Stops ticking and watching and shows the pointer, for good.
  void putBack();
  void removeKeyboardHook() { keyboardHook_.remove(); }

  // InputEvents
  void onMouseInput(unsigned uses) override;
  void onStopKey() override;
  void onTypingKey() override;
  void onForegroundChanged() override;
  void onSessionResumed() override;
  void onHotKey(int id) override;
  void onCtrlTap() override;

  // What the tests look at.
  const Timer& tickTimer() const { return tickTimer_; }
  const Timer& startRunTimer() const { return startRunTimer_; }
  const KeyboardHook& keyboardHook() const { return keyboardHook_; }
  KeyboardHook& keyboardHook() { return keyboardHook_; }
  bool concealed() const { return cursorHider_.concealed(); }
  std::int32_t idleTicks() const { return idleTicks_; }
  // A count the tests could not reach by ticking in any time they have.
  void setIdleTicks(std::int32_t ticks) { idleTicks_ = ticks; }
  Point lastPosition() const { return last_; }

 private:
  Guard guard(const char* location) const { return Guard(loop_, texts_, location, steps_); }
  void begin(Guard& g);
  void askStop();
  void stopSequence(Guard& g);
  void setRunning(bool running);
  void waitForStopKeysUp();
  // The watches that the options ask for during a run: typing, the program in front.
  void watchForRun(bool running);
  // Hides the pointer (a tick's or a key's), noting where it was hidden.
  void conceal();
  // Shows it, and stops listening for what only a hidden pointer needs.
  void reveal();
  // What is in front keeps the pointer shown: a program the list names (or,
  // with "hide only in", one it does not), or one that fills the screen.
  bool keepsPointer();
  void registerHideKey();
  // Movement from now on counts from where the pointer is.
  void takePosition();
  // Puts the keyboard hook back when input came that the hook never saw.
  void checkKeyboardHook();

  MessageLoop& loop_;
  const Texts& texts_;
  Clock& clock_;
  Numbers& numbers_;
  Cursor& cursor_;
  InputHooks& hooks_;  // the stop key's keys, after a stop
  Desktop& desktop_;
  Files& files_;
  RunWindow& window_;
  RunObserver* observer_ = nullptr;
  const StepObserver* steps_ = nullptr;
  CursorHider cursorHider_;
  KeyboardHook keyboardHook_;
  Timer tickTimer_;
  Timer startRunTimer_;

  Options options_;
  std::string idleSeconds_ = "3";
  bool running_ = false;
  bool stopRequested_ = false;
  // The run ends by a command: the window stays where it is.
  bool quietStop_ = false;
  // True while a tick runs; a tick arriving meanwhile (its error box is open
  // and pumping) is skipped rather than stacking another box.
  bool inTick_ = false;
  // The idle detection's memory: where the pointer was last seen, and for
  // how many ticks it has rested there.
  Point last_;
  std::int32_t idleTicks_ = 0;
  // Where the pointer was when it was hidden: movements measure from there.
  Point hiddenAt_;
  // What the last tick saw of the session's input: whether the keyboard hook
  // is still called is told by input that was neither the mouse nor a key
  // the hook saw.
  struct InputSeen {
    std::uint32_t lastInput = 0;
    std::uint32_t keys = 0;
    std::uint32_t mouseReports = 0;
    std::optional<Point> pointer;
  };
  std::optional<InputSeen> inputSeen_;
  std::uint32_t mouseReports_ = 0;
  // The hide key: whether it may be registered yet, what was last asked of
  // Windows, and whether Windows took it.
  bool hideKeyArmed_ = false;
  KeyChord hideKeyAsked_;
  bool hideKeyHeld_ = false;
};

}  // namespace pellucor
