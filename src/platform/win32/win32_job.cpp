// A start inside a job: Task Scheduler runs a task's program in one and
// ends it with the task (after 72 hours by default), and deployment tools
// and CI runners close theirs when they are done. Where the job lets its
// processes start others outside it, the program starts again there, and
// this start only waits to hear how that went.

#include "platform/win32/self_start.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr DWORD kLookEveryMs = 100;

}  // namespace

// Suspended until this process has given up its claim on the session, so
// the new copy finds the session free, or a copy that started meanwhile.
CopyOutsideJob Win32Platform::startOutsideJob(std::string_view arguments, double timeoutSeconds) {
  using Outcome = CopyOutsideJob::Outcome;
  BOOL inJob = FALSE;
  if (!IsProcessInJob(GetCurrentProcess(), nullptr, &inJob) || !inJob) return {Outcome::NotInJob};
  // Shown as this start was asked to show (a shortcut's "Minimized").
  STARTUPINFOW asked{};
  asked.cb = sizeof asked;
  GetStartupInfoW(&asked);
  // Refused (ERROR_ACCESS_DENIED) by a job that keeps its processes.
  const StartedProcess copy =
      StartThisProgramProcess(std::string(arguments), {}, CREATE_BREAKAWAY_FROM_JOB | CREATE_SUSPENDED, &asked);
  if (!copy.process) return {Outcome::Refused};
  onlyCopy_.reset();
  const DWORD id = GetProcessId(copy.process.get());
  AllowSetForegroundWindow(id);  // where this start may come forward, so may the copy
  ResumeThread(copy.thread.get());

  const ULONGLONG until = GetTickCount64() + WaitMilliseconds(timeoutSeconds);
  for (;;) {
    if (WaitForSingleObject(copy.process.get(), 0) == WAIT_OBJECT_0) {
      DWORD exitCode = 0;
      GetExitCodeProcess(copy.process.get(), &exitCode);
      return {Outcome::Ended, static_cast<int>(exitCode)};
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return {Outcome::NoAnswer};
    // Its window, once it takes messages: it runs as the session's copy.
    for (HWND form = FindWindowExW(nullptr, nullptr, kFormClass, nullptr); form;
         form = FindWindowExW(nullptr, form, kFormClass, nullptr)) {
      DWORD owner = 0;
      DWORD_PTR result = 0;
      if (GetWindowThreadProcessId(form, &owner) && owner == id &&
          SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(until - now), &result))
        return {Outcome::Answers};
    }
    WaitForSingleObject(copy.process.get(), kLookEveryMs);  // still starting; its end cuts the wait short
  }
}

}  // namespace pellucor::win32
