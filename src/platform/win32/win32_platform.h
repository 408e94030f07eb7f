#pragma once

// The real desktop behind the platform seam: one top-level window with
// ordinary Win32 child controls, the thread's message queue, the file system
// and the clock. Everything here runs on the GUI thread that created it,
// except the keyboard hook's calls, which run on the input thread.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/handles.h"
#include "platform/win32/input_thread.h"

namespace pellucor::win32 {

// A wait's time for the system: whole milliseconds, rounded up, kForever
// being INFINITE.
DWORD WaitMilliseconds(double seconds);

class Win32Platform final : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Window (win32_form.cpp)
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
  bool highContrast() override;
  int textWidthTwips(const FontSpec& font, std::string_view text) override;
  void flashUntilActivated() override;
  void selectText(ControlId id, int start, int length) override;
  void setWindowState(WindowState state) override;
  WindowState windowState() override;
  void setWindowIcon() override;
  std::intptr_t windowHandle() override;
  std::vector<std::pair<ControlId, ControlKind>> controlsOf(std::intptr_t handle) override;

  // MessageLoop (win32_messages.cpp)
  void processPendingMessages() override;
  int runMessageLoop() override;
  void waitForMessages(double timeoutSeconds) override;
  void setTimer(int timerId, unsigned ms, TimerEvents& events) override;
  void killTimer(int timerId) override;
  int messageBox(std::string_view text, std::string_view caption, unsigned style) override;
  bool boxOpen() override { return openBoxes_ > 0; }
  [[noreturn]] void endProcess(int exitCode) override;

  // InputHooks (win32_keyboard.cpp, win32_mouse_watch.cpp)
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
  std::uint32_t lastInputTick() override;

  // Cursor (win32_cursor.cpp)
  int showCursor(bool show) override;
  std::optional<Point> cursorPos() override;
  void hideSystemCursors() override;
  void restoreSystemCursors() override;
  CursorHandle loadCursorFile(const std::string& path) override;
  bool pointerSonarOn() override;
  void setMousePointer(MousePointer pointer, CursorHandle custom) override;

  // TrayShell (win32_tray.cpp)
  std::intptr_t createControlWindow() override;
  void destroyControlWindow(std::intptr_t window) override;
  WindowProcToken subclassWindow(std::intptr_t window, WindowProc proc) override;
  void restoreWindowProc(std::intptr_t window, WindowProcToken previous) override;
  std::intptr_t callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam) override;
  void setWindowUserData(std::intptr_t window, std::intptr_t data) override;
  std::intptr_t windowUserData(std::intptr_t window) override;
  std::uint32_t registerWindowMessage(std::string_view name) override;
  bool runsElevated() override;
  void acceptFromLowerRights(std::intptr_t window, std::uint32_t message) override;
  void setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) override;
  void killWindowTimer(std::intptr_t window, unsigned id) override;
  IconHandle trayIcon() override;
  bool shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) override;

  // Registry (win32_registry.cpp)
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

  // Files (win32_files.cpp)
  std::string programFolder() override;
  std::string modulePath() override;
  std::int64_t fileDateTime(const std::string& path) override;
  std::vector<std::string> listFiles(const std::string& pattern) override;
  std::string readTextFile(const std::string& path) override;
  void startProcess(const std::string& commandLine, ShowMode mode) override;
  std::string windowsFolder() override;
  bool sameFileName(std::string_view a, std::string_view b) override;
  std::string programVersion() override;

  // Processes (win32_single_copy.cpp, win32_job.cpp, win32_restart.cpp, win32_guardian.cpp and
  // win32_guardian_window.cpp)
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

  // Clock (win32_clock.cpp)
  double secondsSinceMidnight() override;
  double monotonicSeconds() override;
  void seedRandom(double seed) override;
  double nextRandom() override;

  // Numbers (win32_number.cpp)
  std::int16_t textToInt16(std::string_view text) override;
  double textToDouble(std::string_view text) override;

  // Desktop (win32_foreground.cpp)
  std::string foregroundProgram() override;
  std::vector<std::string> foregroundChildPrograms() override;
  ScreenUse foregroundScreenUse() override;
  void watchForeground(bool on) override;

  // Dialogs (win32_options_dialog.cpp)
  void addSystemMenuItems(const std::vector<MenuItem>& items, MenuEvents& events) override;
  bool runOptionsDialog(OptionsFields& fields, std::string_view boxCaption, const OptionsJudge& judge) override;

  // Texts (win32_texts.cpp)
  std::string textFor(int id) const override;
  std::string language() const override { return language_; }

 private:
  // The string tables' language for the user's display language, chosen once.
  static constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  void chooseLanguage();
  std::string language_ = kFallbackLanguage;
  LANGID languageId_ = kEnglish;

  // One child window of the form. The window itself is destroyed with the
  // form; the font and brush are ours and live as long as the control.
  struct Control {
    ControlSpec design;  // as designed, with the colours changed since
    HWND hwnd = nullptr;
    UniqueFont font;
    UniqueBrush backBrush;
  };

  // Posted to the form by the input thread: the mouse was used while
  // watched (the reveal runs from it), and the hook saw the stop key.
  static constexpr UINT kMsgMouseInput = WM_APP + 1;
  static constexpr UINT kMsgStopKey = WM_APP + 2;
  static constexpr UINT kMsgTypingKey = WM_APP + 3;
  static constexpr UINT kMsgCtrlTap = WM_APP + 4;
  // The form's window class, which another start looks for, and the message
  // it sends.
  static constexpr wchar_t kFormClass[] = L"Pellucor.Form";
  static constexpr wchar_t kShowRequestMessageName[] = L"Trandavel.Pellucor.Show";
  static UINT ShowRequestMessage();
  // Marks a WM_COPYDATA as another start's command; any other is not ours.
  static constexpr ULONG_PTR kCommandDataId = 0x50434D44;  // "PCMD"
  // More than any command needs: a longer one is refused unread.
  static constexpr DWORD kLongestCommandBytes = 4096;
  LRESULT onCopyData(const COPYDATASTRUCT* data);

  static LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onEraseBackground(HDC dc);
  LRESULT onControlColour(UINT message, HDC dc, HWND child);
  LRESULT onDrawItem(const DRAWITEMSTRUCT& item);
  void onCommand(HWND child, WORD code);
  LRESULT onSetCursor(WPARAM wParam, LPARAM lParam);
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void onFocusToWindow();
  void onMouseInputMessage();
  bool onSystemCommand(WPARAM command);
  static void CALLBACK ForegroundEventProc(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                           DWORD thread, DWORD time);
  static INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // The Options dialog's texts in the language, its controls sized to them
  // (win32_options_layout.cpp), and its template, mirrored for a language
  // read right to left.
  void sayOptionsInLanguage(HWND dialog);
  std::vector<unsigned char> optionsTemplate() const;
  // Common Controls 6 around a box or dialog, made at the first one.
  bool activateBoxesContext(ULONG_PTR& cookie);
  void watchSession(bool on);
  bool makeNote();
  // The guardian's hidden window (win32_guardian_window.cpp).
  void makeGuardianWindow();
  static LRESULT CALLBACK GuardianWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void pumpGuardianWindow();
  LRESULT defaultPushButtonId();

  // Logical focus, as the form sees it: a control keeps it until another
  // control of ours takes it, so leaving for another program, a message box
  // or a hidden window raises no focus events.
  void focusArrived(ControlId id);

  // A failure must not unwind through the system's frames between
  // DispatchMessage and our window procedure; it is kept and thrown again
  // once the message has been dispatched, so it reaches whoever pumped (or
  // called us) on our side.
  template <class Receiver, class Call>
  void deliver(Receiver* receiver, Call call) {
    if (!receiver || !eventsOn_) return;
    try {
      call(*receiver);
    } catch (...) {
      holdFailure();
    }
  }
  void onTimerMessage(int timerId);
  // Keeps the exception being handled, unless one is kept already, for
  // rethrowPendingFailure; called from catch blocks in our callbacks.
  void holdFailure() noexcept;
  void rethrowPendingFailure();
  void dispatch(MSG& message);

  // A window whose procedure subclassWindow replaced with SubclassProc.
  struct Subclass {
    HWND hwnd = nullptr;
    WindowProc proc = nullptr;  // not ours: a function of the portable code
    WNDPROC previous = nullptr;
  };
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
  Subclass* subclassOf(HWND hwnd);
  void forgetSubclass(HWND hwnd);
  void stopInputThread();

  Control* find(ControlId id);
  Control& control(ControlId id);
  Control* controlOf(HWND hwnd);
  RECT placement(const Control& c) const;
  SIZE windowSizeFor(UINT dpi) const;
  void createControl(Control& c);
  void applyFonts();
  void placeControls();
  void rebuildBrushes();
  void repaint(const Control& c);
  void loadWindowIcons();
  void centreOnPrimaryWorkArea();
  ControlId frameAt(POINT client) const;
  bool canTakeFocus(const Control& c) const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  // Who hears what: the form, and each part of the program for what is its own.
  FormEvents* formEvents_ = nullptr;
  InputEvents* inputEvents_ = nullptr;
  CommandEvents* commandEvents_ = nullptr;
  PolicyEvents* policyEvents_ = nullptr;
  MenuEvents* menuEvents_ = nullptr;
  std::vector<std::pair<int, TimerEvents*>> timers_;  // the form's timers that are set
  bool eventsOn_ = false;                             // off while the form is being built and while it ends
  std::exception_ptr pendingFailure_;

  WindowSpec windowDesign_;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::vector<Control> controls_;  // in the form's order; never resized after creation
  UniqueBrush windowBrush_;

  // The state a hidden window comes back in; the window's own while shown.
  WindowState hiddenState_ = WindowState::Normal;

  static constexpr ControlId kNoControl = -1;
  ControlId focus_ = kNoControl;
  bool focusAnnounced_ = false;
  int settingText_ = 0;  // >0 while our own setText changes a field

  bool iconsSet_ = false;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;

  std::vector<UniqueCursor> cursors_;  // every cursor loaded, until the end
  MousePointer pointer_ = MousePointer::Default;
  HCURSOR customCursor_ = nullptr;  // one of cursors_; not owned here

  std::mt19937 random_;

  // Cursors: the blank one every system cursor is replaced by (its copies
  // belong to the system once set), and whether they are replaced now, so
  // that ending the program puts the user's cursors back in any case.
  UniqueCursor blankCursor_;
  bool systemCursorsHidden_ = false;

  // The keyboard hook and the mouse watch live there; and whether the
  // mouse is watched, as the form asked.
  InputThread input_;
  bool mouseWatched_ = false;
  // Told of unlocks, so the hook can be put back.
  bool sessionWatched_ = false;
  // The program in front, watched during a run that lists programs.
  HWINEVENTHOOK foregroundHook_ = nullptr;
  // The items added to the system menu, by command id.
  std::vector<int> menuItems_;

  // The guardian's link: the note (an inheritable event, signalled while the
  // system cursors are blank) in both processes; in the guardian, the main
  // process and its window. Without an event the note is noteLocal_.
  UniqueHandle note_;
  std::optional<bool> noteLocal_;  // read from the session's note when first asked
  UniqueHandle mainProcess_;
  HWND mainWindow_ = nullptr;
  // In the guardian, its hidden window, and whether Windows asked it to close.
  HWND guardianWindow_ = nullptr;
  bool closeAsked_ = false;
  // In the main process, the launcher of the guardian until it has ended,
  // then the guardian it started, to tell whether it runs.
  UniqueHandle guardianLauncher_;
  UniqueHandle guardianProcess_;

  // Held while this is the session's copy of the program.
  UniqueHandle onlyCopy_;
  // Common Controls 6 for message boxes, made at the first box.
  UniqueActivationContext boxesContext_;
  // Message boxes and dialogs open now, nested.
  int openBoxes_ = 0;
  struct BoxOpen {
    int& open;
    explicit BoxOpen(int& count) : open(count) { ++open; }
    ~BoxOpen() { --open; }
    BoxOpen(const BoxOpen&) = delete;
    BoxOpen& operator=(const BoxOpen&) = delete;
  };

  LARGE_INTEGER counterFrequency_{};

  // The control windows we created (destroyed with us if still there) and
  // the ones we subclassed; the portable procedures are not owned.
  std::vector<HWND> controlWindows_;
  std::vector<Subclass> subclasses_;
  UniqueIcon trayIcon_;
  // Whether the process token is elevated, once asked.
  std::optional<bool> elevated_;
};

}  // namespace pellucor::win32
