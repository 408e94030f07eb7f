// One copy of the program per session: a named mutex in the session's own
// namespace says whether a copy runs, a registered message asks that copy's
// window to show itself, and WM_COPYDATA hands it another start's command
// and brings its answer back.

#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr wchar_t kOnlyCopyMutex[] = L"Local\\Trandavel.Pellucor.Running";
constexpr DWORD kLookEveryMs = 100;
// The answers that are no answer yet: the window takes no events (it is
// still being made), or an older copy that knows no commands.
constexpr LRESULT kNotTaken = 0;
constexpr LRESULT kHandlerFailed = -1;

// This start came from the user, so it may hand the foreground on to the
// copy that owns the window, and to no other process.
void LetComeForward(HWND window) {
  DWORD owner = 0;
  if (GetWindowThreadProcessId(window, &owner) && owner != 0) AllowSetForegroundWindow(owner);
}

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

void Win32Platform::acceptCommandsFromLowerRights() {
  if (!window_) return;
  ChangeWindowMessageFilterEx(window_, ShowRequestMessage(), MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(window_, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
}

bool Win32Platform::askOtherCopyToShow(double timeoutSeconds) {
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds * 1000.0);
  for (;;) {
    if (const HWND form = FindWindowW(kFormClass, nullptr)) {
      LetComeForward(form);
      return PostMessageW(form, ShowRequestMessage(), 0, 0) != FALSE;
    }
    if (GetTickCount64() >= until) return false;
    Sleep(kLookEveryMs);  // the other copy is still starting
  }
}

std::optional<int> Win32Platform::sendCommandToOtherCopy(std::string_view command, double timeoutSeconds) {
  COPYDATASTRUCT data{};
  data.dwData = kCommandDataId;
  data.cbData = static_cast<DWORD>(command.size());
  data.lpData = const_cast<char*>(command.data());  // only read, by the system's copy
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds * 1000.0);
  for (;;) {
    if (const HWND form = FindWindowW(kFormClass, nullptr)) {
      LetComeForward(form);  // for /show
      const ULONGLONG now = GetTickCount64();
      const UINT waitMs = static_cast<UINT>(until > now ? until - now : 1);
      DWORD_PTR answer = 0;
      // A hung copy is given up on at once rather than waited for.
      if (SendMessageTimeoutW(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, waitMs,
                              &answer) &&
          static_cast<LRESULT>(answer) != kNotTaken) {
        return static_cast<int>(static_cast<LRESULT>(answer));
      }
    }
    if (GetTickCount64() >= until) return std::nullopt;
    Sleep(kLookEveryMs);  // the other copy is still starting
  }
}

// The bytes are another process's: only their size and marker are checked
// here; the form judges what they say.
LRESULT Win32Platform::onCopyData(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kCommandDataId) return kNotTaken;
  if (data->cbData > kLongestCommandBytes || (data->cbData > 0 && !data->lpData)) return kHandlerFailed;
  const std::string_view command(static_cast<const char*>(data->lpData), data->cbData);
  LRESULT answer = kNotTaken;  // stays so while the form takes no events
  deliver(commandEvents_, [&](CommandEvents& e) {
    answer = kHandlerFailed;  // unless the handler returns
    answer = e.onCommand(command);
  });
  return answer;
}

}  // namespace pellucor::win32
