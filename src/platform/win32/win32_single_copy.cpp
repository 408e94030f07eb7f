// One copy of the program per session: a named mutex in the session's own
// namespace says whether a copy runs, and a registered message asks that
// copy's window to show itself.

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr wchar_t kOnlyCopyMutex[] = L"Local\\Trandavel.Pellucor.Running";
constexpr DWORD kLookEveryMs = 100;

}  // namespace

// The message the form answers; registered the same in every process.
UINT Win32Platform::ShowRequestMessage() {
  static const UINT message = RegisterWindowMessageW(kShowRequestMessageName);
  return message;
}

std::int32_t Win32Platform::claimOnlyCopy() {
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, kOnlyCopyMutex);
  if (!mutex) return static_cast<std::int32_t>(GetLastError());
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return kErrorAlreadyExists;
  }
  onlyCopy_.reset(mutex);  // held until the process ends
  return kErrorSuccess;
}

bool Win32Platform::askOtherCopyToShow(double timeoutSeconds) {
  // This start came from the user, so it may hand the foreground on.
  AllowSetForegroundWindow(ASFW_ANY);
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds * 1000.0);
  for (;;) {
    if (const HWND form = FindWindowW(kFormClass, nullptr)) {
      return PostMessageW(form, ShowRequestMessage(), 0, 0) != FALSE;
    }
    if (GetTickCount64() >= until) return false;
    Sleep(kLookEveryMs);  // the other copy is still starting
  }
}

}  // namespace pellucor::win32
