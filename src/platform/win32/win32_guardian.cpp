// The guardian's link between the two processes: an inheritable event for
// the note "the system cursors are blank", a handle to the main process that
// the guardian waits on, and the main window it asks whether it answers.
// Handles are inherited rather than named, so nothing else can pose as
// either side.

#include <string>
#include <vector>

#include "hider/guardian.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

template <class H>
H FromNumber(std::uint64_t value) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(value));
}

template <class H>
std::uint64_t ToNumber(H handle) {
  return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

}  // namespace

bool Win32Platform::makeNote() {
  if (note_) return true;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  note_.reset(CreateEventW(&inheritable, TRUE, noteLocal_ ? TRUE : FALSE, nullptr));
  return static_cast<bool>(note_);
}

void Win32Platform::setCursorsBlankNote(bool blank) {
  noteLocal_ = blank;
  if (note_) blank ? SetEvent(note_.get()) : ResetEvent(note_.get());
}

bool Win32Platform::cursorsBlankNote() {
  if (!note_) return noteLocal_;
  return WaitForSingleObject(note_.get(), 0) == WAIT_OBJECT_0;
}

bool Win32Platform::startGuardian() {
  if (!window_ || !makeNote()) return false;
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0))
    return false;
  const UniqueHandle selfForGuardian(self);  // the guardian has its own copy once started

  const std::wstring module = Widen(modulePath());
  const GuardianLink link{ToNumber(self), ToNumber(note_.get()), ToNumber(window_)};
  std::wstring command = L"\"" + module + L"\" " + Widen(GuardianArguments(link));

  // The guardian inherits these two handles and nothing else.
  HANDLE inherited[] = {self, note_.get()};
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<unsigned char> buffer(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return false;
  const bool listed = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                                sizeof inherited, nullptr, nullptr) != FALSE;

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  // No "working in background" pointer for a process that never shows a window.
  startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
  startup.lpAttributeList = listed ? attributes : nullptr;
  // Started by its full path, so no other program of that name can stand in;
  // in the system folder, so it holds no folder of the user's open.
  const std::wstring folder = SystemFolder();
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(module.c_str(), command.data(), nullptr, nullptr, TRUE, listed ? EXTENDED_STARTUPINFO_PRESENT : 0,
                     nullptr, folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &process);
  DeleteProcThreadAttributeList(attributes);
  if (!started) return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Win32Platform::attachGuardian(const GuardianLink& link) {
  const auto process = FromNumber<HANDLE>(link.process);
  const auto note = FromNumber<HANDLE>(link.note);
  const auto window = FromNumber<HWND>(link.window);
  DWORD flags = 0;
  if (!GetHandleInformation(process, &flags) || !GetHandleInformation(note, &flags)) return false;
  const DWORD pid = GetProcessId(process);
  if (pid == 0 || pid == GetCurrentProcessId()) return false;
  DWORD owner = 0;
  if (!IsWindow(window) || !GetWindowThreadProcessId(window, &owner) || owner != pid) return false;
  if (WaitForSingleObject(note, 0) == WAIT_FAILED) return false;
  mainProcess_.reset(process);
  note_.reset(note);
  mainWindow_ = window;
  return true;
}

GuardianWake Win32Platform::waitOnMain(double timeoutSeconds, bool untilNoteSet) {
  const HANDLE handles[] = {mainProcess_.get(), note_.get()};
  const DWORD woke = WaitForMultipleObjects(untilNoteSet ? 2 : 1, handles, FALSE, WaitMilliseconds(timeoutSeconds));
  if (woke == WAIT_OBJECT_0 + 1) return GuardianWake::NoteSet;
  if (woke == WAIT_TIMEOUT) return GuardianWake::TimeUp;
  return GuardianWake::MainEnded;  // ended, or nothing left to wait on: never outlive it
}

bool Win32Platform::mainAnswers(double timeoutSeconds) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(mainWindow_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT,
                             WaitMilliseconds(timeoutSeconds), &result) != 0;
}

}  // namespace pellucor::win32
