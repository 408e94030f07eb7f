#pragma once

// A deterministic desktop for the tests: a virtual clock, one message queue
// with timers, an in-memory file system, message boxes answered by the test,
// and scripted user actions. Everything the program asks of it is logged.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pellucor::sim {

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  unsigned style = 0;
};

struct SimControl {
  ControlSpec spec;
  std::string text;
  int check = 0;
  bool visible = true;
  Colour back = kWhite;
  Colour fore = kSysWindowText;
  int selStart = 0;
  int selLength = 0;
};

class SimDesktop final : public Platform {
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
  void userMoveMouse(Point to);

  // --- Time -----------------------------------------------------------------
  std::int64_t nowMs() const { return nowMs_; }
  // Lets `ms` of virtual time pass, dispatching messages and timers as they fall due.
  void advance(std::int64_t ms);
  // Dispatches what is pending now, as the ordinary message loop would.
  void runPending();

  // --- Platform ---------------------------------------------------------------
  void createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls,
                  FormEvents& events) override;
  void showForm(WindowState state) override;
  void setText(ControlId id, std::string_view text) override;
  std::string text(ControlId id) override;
  void setCheck(ControlId id, int value) override;
  void setVisible(ControlId id, bool visible) override;
  bool visible(ControlId id) override;
  void setBackColour(ControlId id, Colour colour) override;
  void setForeColour(ControlId id, Colour colour) override;
  bool setFocus(ControlId id) override;
  void selectText(ControlId id, int start, int length) override;
  void setWindowState(WindowState state) override;
  WindowState windowState() override;
  void setWindowIcon() override;
  std::intptr_t windowHandle() override;
  std::vector<std::pair<ControlId, ControlKind>> controlsOf(std::intptr_t handle) override;
  CursorHandle loadCursorFile(const std::string& path) override;
  void setMousePointer(MousePointer pointer, CursorHandle custom) override;

  void processPendingMessages() override;
  int runMessageLoop() override;
  void setTimer(int timerId, unsigned ms) override;
  void killTimer(int timerId) override;
  [[noreturn]] void endProcess(int exitCode) override;

  int messageBox(std::string_view text, std::string_view caption, unsigned style) override;

  std::string programFolder() override;
  std::int64_t fileDateTime(const std::string& path) override;
  std::vector<std::string> listFiles(const std::string& pattern) override;
  std::string readTextFile(const std::string& path) override;
  void startProcess(const std::string& commandLine, ShowMode mode) override;

  double secondsSinceMidnight() override;
  void seedRandom(double seed) override;
  double nextRandom() override;

  int showCursor(bool show) override;
  Point cursorPos() override;

 private:
  struct File {
    std::string content;
    bool folder = false;
    bool hidden = false;
  };
  struct SimTimer {
    unsigned interval = 0;
    std::int64_t due = 0;
  };

  void post(std::function<void()> message);
  void moveFocus(ControlId to);
  std::string name(ControlId id);
  // Delivers queued messages, then timers that are due; true if anything ran.
  bool dispatchOnce();
  const File* findFile(const std::string& path) const;

  FormEvents* events_ = nullptr;
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

  std::deque<std::function<void()>> queue_;
  std::map<int, SimTimer> timers_;
  std::int64_t nowMs_ = 0;
  std::int64_t startOfDayMs_ = 9 * 3600 * 1000;  // the virtual day starts at 09:00
  std::map<std::string, File> files_;  // keyed by lower-case path
  std::map<std::string, std::string> names_;  // lower-case path -> as added
  Point cursor_;
};

}  // namespace pellucor::sim
