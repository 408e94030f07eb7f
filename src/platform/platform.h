#pragma once

// The one seam between the program and the operating system. Everything the
// program asks of Windows goes through Platform; win32/ implements it for real
// and sim/ implements it as a deterministic desktop for the tests. Texts are
// UTF-8 on this side of the seam.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellucor {

// 0x00BBGGRR, or 0x800000nn for the system colour with index nn.
using Colour = std::uint32_t;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kSysButtonFace = 0x8000000F;
inline constexpr Colour kSysButtonText = 0x80000012;
inline constexpr Colour kSysWindowText = 0x80000008;
inline constexpr Colour kSysWindow = 0x80000005;

// Controls are named by small ids the form chooses; 0 is the window itself.
using ControlId = int;
inline constexpr ControlId kWindow = 0;

enum class ControlKind { Frame, TextField, CheckBox, PushButton };

struct FontSpec {
  std::string face;
  double points = 9.0;
  int weight = 400;
  int charset = 0;
};

// Left, top, width, height in twips (1440 per inch), relative to the container.
struct TwipsRect {
  int left = 0, top = 0, width = 0, height = 0;
};

struct ControlSpec {
  ControlId id = 0;
  std::string name;  // the designer name, for logs and tests
  ControlKind kind = ControlKind::Frame;
  ControlId container = kWindow;
  TwipsRect rect;
  std::string caption;  // a text field's text
  FontSpec font;
  Colour back = kWhite;
  Colour fore = kSysWindowText;
  int tabIndex = 0;
  bool visible = true;
};

struct WindowSpec {
  std::string caption;
  int clientWidthTwips = 0;
  int clientHeightTwips = 0;
  Colour back = kWhite;
  FontSpec font;
};

enum class WindowState { Normal = 0, Minimised = 1 };

enum class MousePointer { Default, Custom };

enum class ShowMode { MinimisedFocus };

// Opaque handles the platform hands out and keeps ownership of.
using CursorHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;
using HookHandle = std::uintptr_t;
using RegKey = std::uintptr_t;
// A window procedure's previous incarnation, to call on and to put back.
using WindowProcToken = std::uintptr_t;

class Platform;

// A window procedure of the portable code, given the platform it runs on.
using WindowProc = std::intptr_t (*)(Platform& platform, std::intptr_t window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam);
// A low-level keyboard hook procedure; called on the thread that installed it.
using KeyboardProc = std::intptr_t (*)(Platform& platform, int code, std::uintptr_t wParam, std::intptr_t lParam);

// The fields of the shell's version-2 notify-icon record that the program
// fills. Texts are UTF-8, already cut to what the fields hold in front of
// their NUL: 127, 255 and 63 characters.
struct NotifyIconData {
  std::intptr_t window = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callbackMessage = 0;
  IconHandle icon = 0;
  std::string tip;
  std::uint32_t state = 0;
  std::uint32_t stateMask = 0;
  std::string info;
  std::uint32_t timeout = 0;
  std::string infoTitle;
  std::uint32_t infoFlags = 0;
};
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 0x01;
inline constexpr std::uint32_t kNifIcon = 0x02;
inline constexpr std::uint32_t kNifTip = 0x04;
inline constexpr std::uint32_t kNifInfo = 0x10;

enum class RegRoot { CurrentUser, LocalMachine };
inline constexpr std::uint32_t kRegSz = 1;
// Win32 result codes the program looks at.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorAlreadyExists = 183;

struct Point {
  std::int32_t x = 0, y = 0;
};

// What the guardian process is told of the main one on its command line:
// handles it inherits and the main window, as the platform numbers them.
struct GuardianLink {
  std::uint64_t process = 0;
  std::uint64_t note = 0;
  std::uint64_t window = 0;
};

// Why a guardian's wait on the main process ended.
enum class GuardianWake { MainEnded, NoteSet, TimeUp };

// What a guardian found its command line to name: its main process, live;
// the note of a main process that has already ended; or nothing of ours.
enum class GuardianAttach { Attached, MainGone, NotOurs };

inline constexpr double kForever = std::numeric_limits<double>::infinity();

// What the platform tells the form. Called on the GUI thread from message
// dispatch, so any of these may run nested inside a handler that pumps.
class FormEvents {
 public:
  virtual void onUserClick(ControlId id) = 0;       // button pressed, check box toggled
  virtual void onUserTextChange(ControlId id) = 0;  // the user edited a field
  virtual void onFocusGained(ControlId id) = 0;
  virtual void onFocusLost(ControlId id) = 0;
  virtual void onMouseMove(ControlId id) = 0;  // window, frame or button under the pointer
  virtual void onResize() = 0;                 // size or state changed
  virtual void onCloseRequest() = 0;           // never refused
  virtual void onTimer(int timerId) = 0;
  // The mouse moved, or a button or the wheel was used, anywhere on the
  // desktop while watchMouse is on; at most one report per message.
  virtual void onMouseInput() = 0;
  // Another start of the program asks this copy to show its window.
  virtual void onShowRequest() = 0;
  // The keyboard hook saw the stop key in some program. Posted from the
  // hook's own thread, so it arrives in order with the mouse reports.
  virtual void onStopKey() = 0;
  // The session was unlocked or the machine woke from sleep: Windows may
  // have dropped the keyboard hook meanwhile.
  virtual void onSessionResumed() = 0;

 protected:
  ~FormEvents() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // --- The window and its controls ---------------------------------------
  // Creates the window hidden, with its controls; nothing is shown until
  // showForm. Events go to `events`, which must outlive the window.
  virtual void createForm(const WindowSpec& window, const std::vector<ControlSpec>& controls, FormEvents& events) = 0;
  // Shows the window for the first time: centred on the screen when Normal.
  virtual void showForm(WindowState state) = 0;
  // The caption of the window (kWindow), a frame, check box or button, or the
  // text of a field. Setting it raises no event: the portable controls decide.
  virtual void setText(ControlId id, std::string_view text) = 0;
  virtual std::string text(ControlId id) = 0;
  virtual void setCheck(ControlId id, int value) = 0;
  virtual void setVisible(ControlId id, bool visible) = 0;
  virtual bool visible(ControlId id) = 0;
  virtual void setBackColour(ControlId id, Colour colour) = 0;
  virtual void setForeColour(ControlId id, Colour colour) = 0;
  // Returns false when the control cannot take the focus (hidden window).
  // Asks for the foreground too, which Windows may refuse.
  virtual bool setFocus(ControlId id) = 0;
  // Whether the window is the one in front, taking the keyboard.
  virtual bool isForeground() = 0;
  // Flashes the window's taskbar button until the user brings it forward.
  virtual void flashUntilActivated() = 0;
  virtual void selectText(ControlId id, int start, int length) = 0;
  virtual void setWindowState(WindowState state) = 0;
  virtual WindowState windowState() = 0;
  virtual void setWindowIcon() = 0;  // the application icon
  virtual std::intptr_t windowHandle() = 0;
  // The kinds of control on the window with this handle (the skin engine's
  // view of a window it is given by handle); empty for an unknown handle.
  virtual std::vector<std::pair<ControlId, ControlKind>> controlsOf(std::intptr_t handle) = 0;
  // Throws Failure(Invalid picture) when the file is not a loadable cursor.
  virtual CursorHandle loadCursorFile(const std::string& path) = 0;
  virtual void setMousePointer(MousePointer pointer, CursorHandle custom) = 0;

  // --- One copy at a time --------------------------------------------------
  // Claims the user's session for this process until it ends. Returns the
  // system's answer: kErrorSuccess when the claim is ours now,
  // kErrorAlreadyExists or kErrorAccessDenied (the holder runs elevated)
  // when another copy holds it, anything else when the claim cannot be made.
  virtual std::int32_t claimOnlyCopy() = 0;
  // Asks the copy that holds the claim to show its window, giving it the
  // right to come to the foreground; waits up to the time for its window
  // to exist. False when no window could be asked.
  virtual bool askOtherCopyToShow(double timeoutSeconds) = 0;

  // --- Message pump and timers --------------------------------------------
  // Dispatches every message waiting for the GUI thread and returns when none
  // is left; never waits. Safe to call from inside any handler.
  virtual void processPendingMessages() = 0;
  // Runs the ordinary message loop until the process ends.
  virtual int runMessageLoop() = 0;
  // A timer that calls FormEvents::onTimer(timerId) every `ms`; setting it
  // again replaces the interval.
  virtual void setTimer(int timerId, unsigned ms) = 0;
  virtual void killTimer(int timerId) = 0;
  // Ends the process at once, without the close handling of other windows.
  [[noreturn]] virtual void endProcess(int exitCode) = 0;

  // --- Message boxes ------------------------------------------------------
  // A modal box; returns the pressed button's id (1 = OK).
  virtual int messageBox(std::string_view text, std::string_view caption, unsigned style) = 0;

  // --- Files and processes ------------------------------------------------
  // The program's folder as the process reports it: no trailing backslash
  // except at a drive's root.
  virtual std::string programFolder() = 0;
  // Last-modified time of a file or folder; throws Failure when it cannot be read.
  virtual std::int64_t fileDateTime(const std::string& path) = 0;
  // Names (without folder) of ordinary files matching a pattern with wildcards
  // in its last component; hidden and system files and folders are left out.
  virtual std::vector<std::string> listFiles(const std::string& pattern) = 0;
  // Throws Failure(File not found) when the file cannot be read.
  virtual std::string readTextFile(const std::string& path) = 0;
  // Starts a command line without waiting; throws Failure(File not found).
  // Name the program by full path: a bare name is searched for in the
  // program's folder and the current folder first.
  virtual void startProcess(const std::string& commandLine, ShowMode mode) = 0;
  // The shared Windows folder, where the system's own programs are.
  virtual std::string windowsFolder() = 0;

  // --- Clock and random ---------------------------------------------------
  virtual double secondsSinceMidnight() = 0;
  virtual void seedRandom(double seed) = 0;
  // The next number of the seeded generator, in [0, 1).
  virtual double nextRandom() = 0;

  // --- Cursor -------------------------------------------------------------
  // The thread's cursor display count after the change, as ShowCursor returns it.
  virtual int showCursor(bool show) = 0;
  // Nothing while another desktop has the input (the lock screen, a UAC
  // prompt, Ctrl+Alt+Del, a disconnected remote session).
  virtual std::optional<Point> cursorPos() = 0;
  // Every standard system cursor replaced by a blank one, for the whole
  // desktop; and the user's own cursors put back.
  virtual void hideSystemCursors() = 0;
  virtual void restoreSystemCursors() = 0;
  // While on, the first mouse input of the desktop (injected input too) is
  // reported through FormEvents::onMouseInput. Watched on the input thread,
  // as the keyboard hook is. Off, it costs nothing.
  virtual void watchMouse(bool on) = 0;

  // --- The guardian ---------------------------------------------------------------
  // Blank system cursors outlive the process that blanked them. While they
  // are blank, a second process of the same program (the guardian) watches
  // the main one and puts them back if it ends or stops answering. The two
  // share one note, "the system cursors are blank".
  //
  // Main process: starts the guardian over this process, outside this
  // process's tree and job, so that ending the program's tree leaves it;
  // false when it could not be started.
  virtual bool startGuardian() = 0;
  // Main process: whether the guardian it started still runs.
  virtual bool guardianRunning() = 0;
  // Either process: the shared note. It outlives both processes but not the
  // session, as the blank cursors do: a new start finds it still set when
  // the last one was killed with the cursors blank.
  virtual void setCursorsBlankNote(bool blank) = 0;
  virtual bool cursorsBlankNote() = 0;
  // Guardian: takes up what its command line names: a live process other
  // than this one, that process's window and the note.
  virtual GuardianAttach attachGuardian(const GuardianLink& link) = 0;
  // Guardian: sleeps until the main process ends, or (with `untilNoteSet`)
  // the note is set, or the time is up (kForever: no limit).
  virtual GuardianWake waitOnMain(double timeoutSeconds, bool untilNoteSet) = 0;
  // Guardian: whether the main window answers a message within the time.
  virtual bool mainAnswers(double timeoutSeconds) = 0;

  // --- Waiting --------------------------------------------------------------
  // Seconds from an arbitrary start, never going back.
  virtual double monotonicSeconds() = 0;
  // Sleeps until a message, a sent message or input arrives for the GUI
  // thread, or the time is up; dispatches nothing. Low-level hooks are
  // serviced during the wait.
  virtual void waitForMessages(double timeoutSeconds) = 0;

  // --- Number conversion ------------------------------------------------------
  // The locale-aware conversions of the user's default locale. Throw
  // Failure(Type mismatch) for a text that is no number and
  // Failure(Overflow) for one out of the target's range.
  virtual std::int16_t textToInt16(std::string_view text) = 0;
  virtual double textToDouble(std::string_view text) = 0;

  // --- Keyboard ---------------------------------------------------------------
  // A low-level keyboard hook for every thread of the desktop; 0 on failure.
  // It lives on an input thread of its own that does nothing else, so a busy
  // GUI thread never holds up the desktop's keys nor gets the hook dropped;
  // `proc` runs there and may only look and post (postStopKey).
  virtual HookHandle setKeyboardHook(KeyboardProc proc) = 0;
  virtual void unhookKeyboard(HookHandle hook) = 0;
  virtual std::intptr_t callNextHook(HookHandle hook, int code, std::uintptr_t wParam, std::intptr_t lParam) = 0;
  // The virtual-key code of the event a keyboard hook was called for.
  virtual int hookEventKey(std::intptr_t lParam) = 0;
  // Inside a keyboard hook, the state before the event being reported: a
  // key that went down earlier reads as down, the event's own key does not.
  virtual std::int16_t asyncKeyState(int virtualKey) = 0;
  // From the hook's thread: FormEvents::onStopKey, through the GUI queue.
  virtual void postStopKey() = 0;

  // --- The tray control's window and the shell's notification area -----------
  // A window of a control's own: top-level (so that broadcasts such as
  // "TaskbarCreated" reach it), never shown, its handle fixed for its life.
  virtual std::intptr_t createControlWindow() = 0;
  virtual void destroyControlWindow(std::intptr_t window) = 0;
  // Installs `proc` over the window's procedure and returns the one it
  // replaced, to call on with callWindowProc and put back with
  // restoreWindowProc.
  virtual WindowProcToken subclassWindow(std::intptr_t window, WindowProc proc) = 0;
  virtual void restoreWindowProc(std::intptr_t window, WindowProcToken previous) = 0;
  virtual std::intptr_t callWindowProc(WindowProcToken previous, std::intptr_t window, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam) = 0;
  virtual void setWindowUserData(std::intptr_t window, std::intptr_t data) = 0;
  virtual std::intptr_t windowUserData(std::intptr_t window) = 0;
  virtual std::uint32_t registerWindowMessage(std::string_view name) = 0;
  // Lets the message through to the window from programs of lower rights
  // (Explorer, when this program runs elevated); Windows drops it otherwise.
  virtual void acceptFromLowerRights(std::intptr_t window, std::uint32_t message) = 0;
  // The 16x16 tray picture from the program's resources.
  virtual IconHandle trayIcon() = 0;
  // One request to the shell with a fresh, zero-filled version-2 record;
  // false when the shell refused it or did not answer in time (at logon
  // Explorer is often busy, or not there yet).
  virtual bool shellNotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
  // A timer of a control window: WM_TIMER (0x113) with wParam = id reaches
  // the window's procedure every `ms`; setting it again replaces the interval.
  virtual void setWindowTimer(std::intptr_t window, unsigned id, unsigned ms) = 0;
  virtual void killWindowTimer(std::intptr_t window, unsigned id) = 0;

  // --- Settings store and registry ----------------------------------------------
  // A text value of the per-user settings store; nothing when the value is
  // missing, of another type or unreadable.
  virtual std::optional<std::string> readSetting(std::string_view application, std::string_view section,
                                                 std::string_view key) = 0;
  // Creates what is missing; false when the value could not be written.
  virtual bool writeSetting(std::string_view application, std::string_view section, std::string_view key,
                            std::string_view value) = 0;
  // Opens (never creates) a key; returns the result code and, on success, the key.
  virtual std::int32_t regOpenKey(RegRoot root, std::string_view subkey, std::uint32_t access, RegKey& key) = 0;
  virtual std::int32_t regSetValue(RegKey key, std::string_view name, std::uint32_t type, std::string_view data) = 0;
  virtual std::int32_t regDeleteValue(RegKey key, std::string_view name) = 0;
  virtual bool regValueExists(RegKey key, std::string_view name) = 0;
  virtual void regCloseKey(RegKey key) = 0;
  // The full path of the program's own executable.
  virtual std::string modulePath() = 0;
};

}  // namespace pellucor
