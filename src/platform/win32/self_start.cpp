#include "platform/win32/self_start.h"

#include <vector>

#include "platform/guardian_link.h"
#include "platform/win32/text.h"

namespace pellucor::win32 {
namespace {

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

template <class H>
H FromNumber(std::uint64_t value) {
  return reinterpret_cast<H>(static_cast<std::uintptr_t>(value));
}

}  // namespace

std::wstring ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

StartedProcess StartThisProgramProcess(const std::string& arguments, std::initializer_list<HANDLE> inherited,
                                       DWORD flags, const STARTUPINFOW* shownAs) {
  const std::wstring module = ModuleFileName();
  if (module.empty()) return {};
  std::wstring command = L"\"" + module + L"\" " + Widen(arguments);

  // Only the handles listed: an inheritable handle of anyone else's must
  // not slip through.
  std::vector<HANDLE> handles(inherited);
  const bool inherit = !handles.empty();
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<unsigned char> buffer(size);
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer.data());
  if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size)) return {};
  const bool listed =
      inherit && UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles.data(),
                                           handles.size() * sizeof(HANDLE), nullptr, nullptr) != FALSE;

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  if (shownAs) {
    startup.StartupInfo.dwFlags = shownAs->dwFlags & STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = shownAs->wShowWindow;
  } else {
    // No "working in background" pointer for a process that never shows a window.
    startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
  }
  startup.lpAttributeList = listed ? attributes : nullptr;
  // By its full path, so no other program of that name can stand in.
  const std::wstring folder = SystemFolder();
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(module.c_str(), command.data(), nullptr, nullptr, inherit ? TRUE : FALSE,
                                      flags | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0), nullptr,
                                      folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &process);
  // Read before anything else can change it.
  const DWORD error = started ? ERROR_SUCCESS : GetLastError();
  DeleteProcThreadAttributeList(attributes);
  if (!started) {
    SetLastError(error);
    return {};
  }
  return {UniqueHandle(process.hProcess), UniqueHandle(process.hThread)};
}

// A job that ends its processes with the program's (Task Manager's groups,
// a terminal's job) must not take the guardian: it breaks away where the job
// allows it, and is started in the job where it does not.
int LaunchGuardian(const GuardianLink& link) {
  const auto process = FromNumber<HANDLE>(link.process);
  const auto note = FromNumber<HANDLE>(link.note);
  DWORD flags = 0;
  if (!GetHandleInformation(process, &flags) || !GetHandleInformation(note, &flags)) return 0;
  const std::string arguments = GuardianArguments(link, GuardianRole::Guardian);
  UniqueHandle guardian = StartThisProgram(arguments, {process, note}, CREATE_BREAKAWAY_FROM_JOB);
  if (!guardian && GetLastError() == ERROR_ACCESS_DENIED) guardian = StartThisProgram(arguments, {process, note}, 0);
  if (!guardian) return 0;
  // Held until this process ends, so the id names the guardian at least
  // that long: the main process takes a process with this id that started
  // before this one ended for the guardian.
  const HANDLE kept = guardian.release();
  return static_cast<int>(GetProcessId(kept));
}

}  // namespace pellucor::win32
