#pragma once

// A deterministic desktop for the tests: a virtual clock, one message queue
// with timers, an in-memory file system, message boxes answered by the test,
// and scripted user actions. Everything the program asks of it is logged.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_surroundings.h"
#include "platform/sim/sim_texts.h"

namespace pellucor::sim {

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  unsigned style = 0;
};

struct SimControl {
  ControlSpec design;
  std::string text;
  int check = 0;
  bool visible = true;
  bool enabled = true;
  Colour back = kWhite;
  Colour fore = kSysWindowText;
  int selStart = 0;
  int selLength = 0;
};

class SimDesktop final : public Platform, public SimProcessesSetup, public SimSurroundings {
 public:
  SimDesktop();

  // --- Set-up by the test -------------------------------------------------
  std::string folder = "C:\\Program Files\\Pellucor";
  void addFile(const std::string& path, std::string content, bool hidden = false);
  void addFolder(const std::string& path);
  // The values nextRandom returns, in order; 0.5 once they run out.
  std::deque<double> randomValues;
  // Answers every message box; may pump (a modal box dispatches messages).
  std::function<int(const MessageBoxRecord&)> answerBox;
  bool failStartProcess = false;

  // --- What the program did -------------------------------------------------
  std::vector<std::string> log;
  std::vector<MessageBoxRecord> boxes;
  std::vector<std::string> startedCommands;
  int cursorDisplayCount = 0;
  bool ended = false;
  std::optional<int> exitCode;

  // --- The window as the user would see it ----------------------------------
  bool created() const { return events_ != nullptr; }
  bool windowVisible() const { return windowVisible_; }
  WindowState state() const { return state_; }
  const std::string& windowCaption() const { return caption_; }
  Colour windowBack() const { return windowBack_; }
  bool iconSet() const { return iconSet_; }
  const WindowSpec& windowSpec() const { return windowSpec_; }
  SimControl& control(ControlId id);
  ControlId focused() const { return focus_; }
  MousePointer pointer() const { return pointer_; }
  CursorHandle pointerCursor() const { return pointerCursor_; }
  std::intptr_t handle() const { return handle_; }

  // --- Scripted user actions, delivered through the message queue ------------
  void userClick(ControlId id);
  void userType(const std::string& text);  // into the focused field
  void userFocus(ControlId id);
  void userMoveMouseOver(ControlId id);
  void userClose();
  void userMinimise();  // the title bar's minimise button
  // The pointer goes to `to` at once; a mouse watch hears of it through the queue.
  void userMoveMouse(Point to);
  // A click where the pointer is, and a turn of the wheel.
  void userMouseButton();
  void userWheel();

  // --- Time -----------------------------------------------------------------
  std::int64_t nowMs() const { return nowMs_; }
  // Time passes while the GUI thread is busy: nothing is dispatched.
  void elapse(std::int64_t ms) { nowMs_ += ms; }
  // Runs `action` (usually a user action) once `delayMs` of virtual time has passed.
  void at(std::int64_t delayMs, std::function<void()> action);
  // Lets `ms` of virtual time pass, dispatching messages and timers as they fall due.
  void advance(std::int64_t ms);
  // Dispatches what is pending now, as the ordinary message loop would.
  void runPending();

  // --- Platform ---------------------------------------------------------------
  // Window (sim_window.cpp)
  void createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) override;
  void showForm(WindowState state) override;
  void setText(ControlId id, std::string_view text) override;
  std::string text(ControlId id) override;
  void setCheck(ControlId id, int value) override;
  void setVisible(ControlId id, bool visible) override;
  bool visible(ControlId id) override;
  void setEnabled(ControlId id, bool enabled) override;
  void setBackColour(ControlId id, Colour colour) override;
  void setForeColour(ControlId id, Colour colour) override;
  bool setFocus(ControlId id) override;
  bool isForeground() override;
  bool highContrast() override { return highContrastOn; }
  int textWidthTwips(const FontSpec& font, std::string_view text) override;
  void flashUntilActivated() override;
  void selectText(ControlId id, int start, int length) override;
  void setWindowState(WindowState state) override;
  WindowState windowState() override;
  void setWindowIcon() override;
  std::intptr_t windowHandle() override;
  std::vector<std::pair<ControlId, ControlKind>> controlsOf(std::intptr_t handle) override;

  // MessageLoop (sim_desktop.cpp)
  void processPendingMessages() override;
  int runMessageLoop() override;
  void waitForMessages(double timeoutSeconds) override;
  void setTimer(int timerId, unsigned ms, TimerEvents& events) override;
  void killTimer(int timerId) override;
  int messageBox(std::string_view text, std::string_view caption, unsigned style) override;
  bool boxOpen() override { return openBoxes_ > 0; }
  [[noreturn]] void endProcess(int exitCode) override;

  // InputHooks (sim_input.cpp)
  void reportInputTo(InputEvents* events) override { inputEvents_ = events; }
  HookHandle setKeyboardHook(KeyboardListener& listener) override;
  void unhookKeyboard(HookHandle hook) override;
  std::intptr_t callNextHook(HookHandle hook, int code, std::uintptr_t wParam, std::intptr_t lParam) override;
  int hookEventKey(std::intptr_t lParam) override;
  std::int16_t asyncKeyState(int virtualKey) override;
  bool hookEventInjected(std::intptr_t lParam) override;
  void postStopKey() override;
  void postTypingKey() override;
  void postCtrlTap() override;
  bool registerHotKey(int id, const KeyChord& chord) override;
  void unregisterHotKey(int id) override;
  void watchMouse(bool on) override;
  std::uint32_t lastInputTick() override { return lastInputTick_; }

  // Cursor (sim_input.cpp)
  int showCursor(bool show) override;
  std::optional<Point> cursorPos() override;
  void hideSystemCursors() override;
  void restoreSystemCursors() override;
  CursorHandle loadCursorFile(const std::string& path) override;
  bool pointerSonarOn() override { return pointerSonar; }
  void setMousePointer(MousePointer pointer, CursorHandle custom) override;

  // TrayShell (sim_shell.cpp)
  std::intptr_t createControlWindow() override;
  void destroyControlWindow(std::intptr_t window) override;
  WindowProcToken subclassWindow(std::intptr_t window, WindowProc proc) override;
  void restoreWindowProc(std::intptr_t window, WindowProcToken previous) override;
  std::intptr_t callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) override;
  void setWindowUserData(std::intptr_t window, std::intptr_t data) override;
  std::intptr_t windowUserData(std::intptr_t window) override;
  std::uint32_t registerWindowMessage(std::string_view name) override;
  bool runsElevated() override { return elevated; }
  void acceptFromLowerRights(std::intptr_t window, std::uint32_t message) override;
  void setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) override;
  void killWindowTimer(std::intptr_t window, unsigned id) override;
  IconHandle trayIcon() override;
  bool shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;

  // Registry (sim_registry.cpp)
  std::optional<std::string> readSetting(std::string_view application, std::string_view section,
                                         std::string_view key) override;
  bool writeSetting(std::string_view application, std::string_view section, std::string_view key,
                    std::string_view value) override;
  std::int32_t regOpenKey(RegRoot root, std::string_view subkey, std::uint32_t access, RegKey& key) override;
  std::int32_t regSetValue(RegKey key, std::string_view name, std::uint32_t type, std::string_view data) override;
  std::int32_t regDeleteValue(RegKey key, std::string_view name) override;
  bool regValueExists(RegKey key, std::string_view name) override;
  void regCloseKey(RegKey key) override;
  std::optional<PolicyValue> readPolicy(PolicyScope scope, std::string_view name) override;
  void reportPolicyChangesTo(PolicyEvents* events) override { policyEvents_ = events; }

  // Files (sim_files.cpp)
  std::string programFolder() override;
  std::string modulePath() override;
  std::int64_t fileDateTime(const std::string& path) override;
  std::vector<std::string> listFiles(const std::string& pattern) override;
  std::string readTextFile(const std::string& path) override;
  void startProcess(const std::string& commandLine, ShowMode mode) override;
  std::string windowsFolder() override;
  bool sameFileName(std::string_view a, std::string_view b) override;
  std::string programVersion() override;

  // Processes (sim_processes.cpp)
  std::int32_t claimOnlyCopy() override;
  void receiveCommandsWith(CommandEvents* events) override { commandEvents_ = events; }
  void acceptCommandsFromLowerRights() override;
  bool askOtherCopyToShow(double timeoutSeconds) override;
  std::optional<int> sendCommandToOtherCopy(std::string_view command, double timeoutSeconds) override;
  CopyOutsideJob startOutsideJob(std::string_view arguments, double timeoutSeconds) override;
  void registerForRestart(std::string_view arguments) override;
  bool startGuardian() override;
  bool guardianRunning(const GuardianJudge& isGuardian) override;
  void setCursorsBlankNote(bool blank) override;
  bool cursorsBlankNote() override;
  GuardianAttach attachGuardian(const GuardianLink& link) override;
  GuardianWake waitOnMain(double timeoutSeconds, bool untilNoteSet) override;
  bool mainAnswers(double timeoutSeconds) override;

  // Clock (sim_clock.cpp)
  double secondsSinceMidnight() override;
  double monotonicSeconds() override;
  void seedRandom(double seed) override;
  double nextRandom() override;

  // Numbers (sim_clock.cpp)
  std::int16_t textToInt16(std::string_view text) override;
  double textToDouble(std::string_view text) override;

  // Desktop (sim_dialogs.cpp)
  std::string foregroundProgram() override;
  std::vector<std::string> foregroundChildPrograms() override { return foregroundChildren; }
  ScreenUse foregroundScreenUse() override { return foregroundScreen; }
  void watchForeground(bool on) override;

  // Dialogs (sim_dialogs.cpp)
  void addSystemMenuItems(const std::vector<MenuItem>& items, MenuEvents& events) override;
  bool runOptionsDialog(OptionsFields& fields, std::string_view boxCaption, const OptionsJudge& judge) override;

  // Texts (sim_texts.cpp): the string tables in res/, the language from preferredLanguages.
  std::string textFor(int id) const override;
  std::string language() const override;

  // --- The cursor, mouse, keyboard, shell and registry as the tests see them ---
  bool systemCursorsHidden = false;
  int systemCursorReplacements = 0;
  // Runs inside restoreSystemCursors, while the GUI thread reads the
  // user's cursor files: the time when it is busiest.
  std::function<void()> whileRestoringCursors;
  // Another desktop has the input (lock screen, UAC prompt): no position.
  bool cursorUnreadable = false;
  // The mouse watch, and how often it was switched on.
  bool mouseWatched = false;
  int mouseWatchStarts = 0;
  // Keys held down, and presses not yet seen by a key-state query (the low
  // bit, shared by every program on Windows).
  std::map<int, bool> keysDown;
  std::map<int, bool> keysPressedSinceQuery;
  int keyStateQueries = 0;
  bool failKeyboardHook = false;
  // What the head of the hook chain answered for each key event, in order,
  // and how many calls went down the chain past the program's hook.
  std::vector<std::intptr_t> hookResults;
  int nextHookCalls = 0;
  // Hooks installed and not removed, newest first: each event goes to the
  // first, and callNextHook passes it to the next.
  std::size_t keyboardHooks() const { return hooks_.size(); }
  // A key going down or up, seen at once by the hooks, which live on an
  // input thread of their own whatever the GUI thread is doing. As on
  // Windows, they see it before the key state changes.
  void userKey(int virtualKey, bool down, bool injected = false);
  // The user unlocks the session, or the machine wakes from sleep.
  void sessionResumed();
  // Windows removes a hook that took too long, without telling its owner.
  void dropKeyboardHooks();

  // --- What the program holds of the platform, for leak checks ---------------
  struct Held {
    std::size_t registryKeys, timers, windowTimers, controlWindows, keyboardHooks, cursors, queued, scheduled;
  };
  Held held() const {
    return {openKeys_.size(),       timers_.size(),   windowTimers_.size(),
            controlWindows_.size(), hooks_.size(),    static_cast<std::size_t>(nextCursor_ - 0x1000),
            queue_.size(),          scheduled_.size()};
  }

  // --- The program in front, hot keys, the menu and Options (and SimSurroundings)
  // The user presses a chord; a hot key registered for it reaches the window.
  void userHotKey(const KeyChord& chord);
  // Another program's window comes to the front.
  void bringToFront(std::string program);
  // The user picks an item of the window's system menu.
  void userMenuCommand(int id);
  // The user turns high contrast on or off (`highContrastOn`): Windows tells
  // the window its colours changed.
  void coloursChanged();

  // --- Other copies of the program (and SimProcessesSetup) -------------------
  // Another start asks this copy to show its window, through the queue.
  void requestShow();
  // Another start's command arrives at this window; its answer, or none
  // while there is no window to take it (or Windows drops it: a plain
  // sender, an elevated copy that did not let commands through).
  std::optional<int> receiveCommand(std::string_view command, bool fromElevated = false);
  // Whether any window of this copy lets messages through from lower
  // rights, sandboxed programs included: the tray's or the command channel.
  bool openToLowerRights() const { return commandsFromLowerRights || !acceptedFromLowerRights_.empty(); }

  // Every shell request, in order, with the shell's answer.
  struct ShellRequest {
    std::uint32_t message;
    NotifyIconData data;
    bool accepted = true;
  };
  std::vector<ShellRequest> shellRequests;
  // This copy runs elevated: messages from the shell (lower rights) reach
  // a window only if it lets them through.
  bool elevated = false;
  // Windows refuses this program the foreground; how often it flashed.
  bool foregroundRefused = false;
  int taskbarFlashes = 0;
  // The shell: the icons it shows, by window and id. It refuses the next
  // `shellRefusesAdds` adds (busy at logon), and everything while
  // `shellDown` (Explorer has ended; broadcastTaskbarCreated brings it back).
  std::set<std::pair<std::intptr_t, std::uint32_t>> shellIcons;
  int shellRefusesAdds = 0;
  bool shellDown = false;
  // Explorer ends: its icons are gone and nothing is answered.
  void explorerEnded();
  bool iconShownFor(std::intptr_t window, std::uint32_t id = 0) const { return shellIcons.count({window, id}) > 0; }
  // The shell's message for an icon, delivered as the shell posts it.
  void trayMessage(std::intptr_t window, std::uintptr_t id, std::intptr_t code);
  // Explorer restarted: "TaskbarCreated" to every top-level window.
  void broadcastTaskbarCreated();
  // The in-memory registry: "HKCU\Software\...\Key" -> value name -> data.
  struct RegValue {
    std::uint32_t type = kRegSz;
    std::string data;
  };
  std::map<std::string, std::map<std::string, RegValue>> registry;
  // Keys that refuse to be opened for writing (access denied).
  std::vector<std::string> deniedKeys;
  std::string exePath = "C:\\Program Files\\Pellucor\\pellucor.exe";
  // The registry's name for a key, as the map above holds it.
  static std::string regKeyName(RegRoot root, std::string_view subkey);
  // A value, or null; names compare without case.
  const RegValue* regValue(const std::string& keyName, const std::string& valueName) const;
  void setRegValue(const std::string& keyName, const std::string& valueName, RegValue value);

  // --- Group Policy ---------------------------------------------------------
  // An administrator sets a policy value: a REG_DWORD's data is its four
  // bytes, low first; a REG_MULTI_SZ's, its strings each ended by a NUL.
  void setPolicy(PolicyScope scope, const std::string& name, RegValue value);
  void setPolicyNumber(PolicyScope scope, const std::string& name, std::uint32_t number);
  void setPolicyList(PolicyScope scope, const std::string& name, const std::vector<std::string>& texts);
  void removePolicy(PolicyScope scope, const std::string& name);
  // A Group Policy refresh tells the top-level windows.
  void policyRefreshed();

 private:
  static const std::vector<StringTable>& stringTables();
  struct File {
    std::string content;
    bool folder = false;
    bool hidden = false;
  };
  struct SimTimer {
    unsigned interval = 0;
    std::int64_t due = 0;
    TimerEvents* events = nullptr;  // null for a control window's timer
  };

  void post(std::function<void()> message);
  void moveFocus(ControlId to);
  std::string name(ControlId id);
  // Delivers queued messages, then timers that are due; true if anything ran.
  bool dispatchOnce();
  const File* findFile(const std::string& path) const;

  // Who hears what: the form, and each part for what is its own.
  FormEvents* events_ = nullptr;
  InputEvents* inputEvents_ = nullptr;
  CommandEvents* commandEvents_ = nullptr;
  PolicyEvents* policyEvents_ = nullptr;
  MenuEvents* menuEvents_ = nullptr;
  int openBoxes_ = 0;  // message boxes and dialogs open, nested
  WindowSpec windowSpec_;
  std::map<ControlId, SimControl> controls_;
  std::string caption_;
  Colour windowBack_ = kWhite;
  bool windowVisible_ = false;
  bool iconSet_ = false;
  WindowState state_ = WindowState::Normal;
  ControlId focus_ = -1;
  MousePointer pointer_ = MousePointer::Default;
  CursorHandle pointerCursor_ = 0;
  std::intptr_t handle_ = 0x00010042;
  CursorHandle nextCursor_ = 0x1000;

  void releaseDue();
  std::optional<std::int64_t> nextEventTime() const;
  template <class Done>
  bool passUntil(double seconds, Done done);
  std::intptr_t sendToControlWindow(std::intptr_t window, std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam);

  std::deque<std::function<void()>> queue_;
  std::multimap<std::int64_t, std::function<void()>> scheduled_;
  std::map<int, SimTimer> timers_;
  // Timers of control windows, by window and id.
  std::map<std::pair<std::intptr_t, unsigned>, SimTimer> windowTimers_;
  std::int64_t nowMs_ = 0;
  std::int64_t startOfDayMs_ = 9 * 3600 * 1000;  // the virtual day starts at 09:00
  std::map<std::string, File> files_;            // keyed by lower-case path
  std::map<std::string, std::string> names_;     // lower-case path -> as added
  Point cursor_;

  struct ControlWindow {
    WindowProc proc = nullptr;  // null: the window's own procedure
    std::intptr_t userData = 0;
  };
  std::map<std::intptr_t, ControlWindow> controlWindows_;
  std::map<WindowProcToken, WindowProc> procTokens_;
  WindowProcToken nextToken_ = 1;
  std::intptr_t nextWindow_ = 0x00020010;
  std::map<std::string, std::uint32_t> registeredMessages_;
  std::set<std::pair<std::intptr_t, std::uint32_t>> acceptedFromLowerRights_;
  bool reachesFromShell(std::intptr_t window, std::uint32_t message) const;
  bool foreground_ = false;
  struct InstalledHook {
    HookHandle handle = 0;
    KeyboardListener* listener = nullptr;
  };
  std::vector<InstalledHook> hooks_;
  HookHandle nextHook_ = 0x7001;
  std::uint32_t lastInputTick_ = 0;  // the session's last input, keys included
  bool mouseReportPosted_ = false;
  unsigned mouseUses_ = 0;  // what the posted report will say
  void reportMouseInput(unsigned use);
  std::map<RegKey, std::string> openKeys_;
  RegKey nextKey_ = 0x100;
};

}  // namespace pellucor::sim
