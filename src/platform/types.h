#pragma once

// The plain types that cross the platform seam: descriptions of the window
// and its controls, opaque handles, the shell's notify-icon record, registry
// and result codes, and the guardian's link. Texts are UTF-8 on this side of
// the seam.

#include <cstdint>
#include <limits>
#include <string>
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
  // What a screen reader calls a control whose caption is not its name (the
  // field inside a frame); empty for the caption.
  std::string accessibleName;
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
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Who set a policy: an administrator for the whole machine, or for the user.
enum class PolicyScope { Machine, User };
// A policy value as the registry holds it: a REG_DWORD's number, or the
// strings of a REG_SZ (one) or REG_MULTI_SZ (each); other types, data only
// in `type`.
struct PolicyValue {
  std::uint32_t type = 0;
  std::uint32_t number = 0;
  std::vector<std::string> texts;
};
// Win32 result codes the program looks at.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorAlreadyExists = 183;

struct Point {
  std::int32_t x = 0, y = 0;
};

// What the shell says of the program in front (SHQueryUserNotificationState).
enum class ShellState { Normal, Busy, FullScreenDirect3D, Presentation };
// Whether the program in front fills the screen, as far as the desktop tells.
struct ScreenUse {
  ShellState shell = ShellState::Normal;
  // The foreground window covers its whole monitor, with no title bar and
  // not maximised.
  bool coversMonitor = false;
  bool desktopOrShell = false;  // ... and it is the desktop or the taskbar
};

// A key with the modifiers held for it, as a hot-key control gives it;
// no key (0) is no chord.
struct KeyChord {
  bool ctrl = false;
  bool alt = false;
  bool shift = false;
  bool win = false;
  int key = 0;  // the virtual-key code

  bool empty() const { return key == 0; }
  bool operator==(const KeyChord&) const = default;
};

// What a mouse report says happened since the last one was handled.
inline constexpr unsigned kMouseMoved = 0x1;
inline constexpr unsigned kMouseButton = 0x2;
inline constexpr unsigned kMouseWheel = 0x4;  // vertical or horizontal

// What the guardian process is told of the main one on its command line:
// handles it inherits and the main window, as the platform numbers them.
struct GuardianLink {
  std::uint64_t process = 0;
  std::uint64_t note = 0;
  std::uint64_t window = 0;
};

// What became of starting this program again outside the job this process
// is in: nothing was started (this process is in no job, or the job keeps
// its processes), or the new copy ended (with `exitCode`), or its window
// answers (it runs as the session's copy now), or neither within the time.
struct CopyOutsideJob {
  enum class Outcome { NotInJob, Refused, Ended, Answers, NoAnswer };
  Outcome outcome = Outcome::NotInJob;
  int exitCode = 0;
};

// What the main process finds behind the process id its guardian's
// launcher gave: the program file that process runs (full path, empty when
// unreadable) and when it started; this process's own program file, read
// the same way; and when the launcher started and ended. Times are the
// platform's, comparable with each other.
struct GuardianCandidate {
  std::string image;
  std::string ownImage;
  std::int64_t started = 0;
  std::int64_t launchStarted = 0;
  std::int64_t launchEnded = 0;
};

// Why a guardian's wait on the main process ended.
enum class GuardianWake { MainEnded, NoteSet, TimeUp, AskedToClose };

// What a guardian found its command line to name: its main process, live;
// the note of a main process that has already ended; or nothing of ours.
enum class GuardianAttach { Attached, MainGone, NotOurs };

inline constexpr double kForever = std::numeric_limits<double>::infinity();

}  // namespace pellucor
