// The guardian's link between the two processes: an inheritable event for
// the note "the system cursors are blank", a handle to the main process that
// the guardian waits on, and the main window it asks whether it answers.
// Handles are inherited rather than named, so nothing else can pose as
// either side. The note is also kept in a volatile registry key, which
// outlives both processes but not the session, exactly as blank cursors do.

#include <string>
#include <vector>

#include "platform/guardian_link.h"
#include "platform/win32/self_start.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

// Under the settings key, so removing the program's settings takes it too.
constexpr wchar_t kSettingsKey[] = L"Software\\Trandavel\\Pellucor";
constexpr wchar_t kSessionKey[] = L"Session";
constexpr wchar_t kSessionKeyPath[] = L"Software\\Trandavel\\Pellucor\\Session";
constexpr wchar_t kBlankValue[] = L"CursorsBlank";

template <class H>
H FromNumber(std::uint64_t value) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(value));
}

template <class H>
std::uint64_t ToNumber(H handle) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

// The settings key is made first as an ordinary key: one made by the same
// call as a volatile key below it would be volatile too, and every setting
// stored in it would be lost at sign-out.
void WriteSessionNote(bool blank) {
  if (!blank) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSessionKeyPath, kBlankValue);
    return;
  }
  HKEY settings = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY, nullptr,
                      &settings, nullptr) != ERROR_SUCCESS)
    return;
  HKEY session = nullptr;
  const LSTATUS made = RegCreateKeyExW(settings, kSessionKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr,
                                       &session, nullptr);
  RegCloseKey(settings);
  if (made != ERROR_SUCCESS) return;
  const DWORD one = 1;
  RegSetValueExW(session, kBlankValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(session);
}

// The full path of the program file a process runs, as Windows names it;
// empty when it cannot be read.
std::string ImageOf(HANDLE process) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process, 0, path.data(), &length)) return Narrow(path.substr(0, length));
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

std::int64_t Ticks(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// When a process started and (for one that has ended) ended.
struct Lifetime {
  std::int64_t started = 0, ended = 0;
};
Lifetime LifetimeOf(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return {};
  return {Ticks(created), Ticks(exited)};
}

bool ReadSessionNote() {
  DWORD value = 0;
  DWORD size = sizeof value;
  return RegGetValueW(HKEY_CURRENT_USER, kSessionKeyPath, kBlankValue, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
             ERROR_SUCCESS &&
         value != 0;
}

}  // namespace

// --- The main process's side ---------------------------------------------------------------

bool Win32Platform::makeNote() {
  if (note_) return true;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  note_.reset(CreateEventW(&inheritable, TRUE, cursorsBlankNote() ? TRUE : FALSE, nullptr));
  return static_cast<bool>(note_);
}

void Win32Platform::setCursorsBlankNote(bool blank) {
  noteLocal_ = blank;
  if (note_) blank ? SetEvent(note_.get()) : ResetEvent(note_.get());
  WriteSessionNote(blank);
}

// Linked, the event; else what the session's note said at start, and this
// process has noted since.
bool Win32Platform::cursorsBlankNote() {
  if (note_) return WaitForSingleObject(note_.get(), 0) == WAIT_OBJECT_0;
  if (!noteLocal_) noteLocal_ = ReadSessionNote();
  return *noteLocal_;
}

// Through a launcher (the same program, a run that only starts the guardian
// and ends): the guardian is then nobody's child. Nobody waits for the
// launcher; its exit code, the guardian's process id, is read when it is
// next asked whether the guardian runs.
bool Win32Platform::startGuardian() {
  if (!window_ || !makeNote()) return false;
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0))
    return false;
  const UniqueHandle selfForGuardian(self);  // the guardian has its own copy once started

  const GuardianLink link{ToNumber(self), ToNumber(note_.get()), ToNumber(window_)};
  guardianProcess_.reset();
  guardianLauncher_ = StartThisProgram(GuardianArguments(link, GuardianRole::Launcher), {self, note_.get()}, 0);
  return static_cast<bool>(guardianLauncher_);
}

bool Win32Platform::guardianRunning(const GuardianJudge& isGuardian) {
  if (guardianLauncher_) {
    if (WaitForSingleObject(guardianLauncher_.get(), 0) == WAIT_TIMEOUT) return true;  // still starting it
    DWORD guardianId = 0;
    if (GetExitCodeProcess(guardianLauncher_.get(), &guardianId) && guardianId != 0) {
      UniqueHandle named(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, guardianId));
      if (named) {
        const Lifetime launch = LifetimeOf(guardianLauncher_.get());
        const GuardianCandidate candidate{ImageOf(named.get()), ImageOf(GetCurrentProcess()),
                                          LifetimeOf(named.get()).started, launch.started, launch.ended};
        if (isGuardian(candidate)) guardianProcess_ = std::move(named);
      }
    }
    guardianLauncher_.reset();
  }
  return guardianProcess_ && WaitForSingleObject(guardianProcess_.get(), 0) == WAIT_TIMEOUT;
}

// --- The guardian's side ---------------------------------------------------------------------

GuardianAttach Win32Platform::attachGuardian(const GuardianLink& link) {
  const auto process = FromNumber<HANDLE>(link.process);
  const auto note = FromNumber<HANDLE>(link.note);
  const auto window = FromNumber<HWND>(link.window);
  DWORD flags = 0;
  if (!GetHandleInformation(process, &flags) || !GetHandleInformation(note, &flags)) return GuardianAttach::NotOurs;
  const DWORD pid = GetProcessId(process);
  if (pid == 0 || pid == GetCurrentProcessId()) return GuardianAttach::NotOurs;
  if (WaitForSingleObject(note, 0) == WAIT_FAILED) return GuardianAttach::NotOurs;
  mainProcess_.reset(process);
  note_.reset(note);
  // Ended before this first look: its window is gone too, and nobody else
  // will put back cursors it left blank.
  if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return GuardianAttach::MainGone;
  DWORD owner = 0;
  if (!IsWindow(window) || !GetWindowThreadProcessId(window, &owner) || owner != pid) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return GuardianAttach::MainGone;
    mainProcess_.release();
    note_.release();
    return GuardianAttach::NotOurs;
  }
  mainWindow_ = window;
  makeGuardianWindow();
  return GuardianAttach::Attached;
}

// Waits on the two handles and the window's messages: a sent message
// (WM_QUERYENDSESSION, a broadcast) is answered at once.
GuardianWake Win32Platform::waitOnMain(double timeoutSeconds, bool untilNoteSet) {
  const HANDLE handles[] = {mainProcess_.get(), note_.get()};
  const DWORD count = untilNoteSet ? 2 : 1;
  const DWORD waitMs = WaitMilliseconds(timeoutSeconds);
  const ULONGLONG began = GetTickCount64();
  for (;;) {
    pumpGuardianWindow();
    if (closeAsked_) return GuardianWake::AskedToClose;
    DWORD leftMs = INFINITE;
    if (waitMs != INFINITE) {
      const ULONGLONG spent = GetTickCount64() - began;
      leftMs = spent >= waitMs ? 0 : static_cast<DWORD>(waitMs - spent);
    }
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, handles, leftMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 + count) continue;  // a message
    if (woke == WAIT_OBJECT_0 + 1) return GuardianWake::NoteSet;
    if (woke == WAIT_TIMEOUT) return GuardianWake::TimeUp;
    return GuardianWake::MainEnded;  // ended, or nothing left to wait on: never outlive it
  }
}

// Without SMTO_BLOCK, messages sent to the guardian's own window are
// answered while it waits.
bool Win32Platform::mainAnswers(double timeoutSeconds) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(mainWindow_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                             WaitMilliseconds(timeoutSeconds), &result) != 0;
}

}  // namespace pellucor::win32
