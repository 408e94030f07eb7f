// job_start.exe: starts a program inside a job, as Task Scheduler, a
// deployment tool or a CI runner does, for the end-to-end tests. The job
// ends every process still in it once it is closed
// (JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE) and lets them start processes
// outside it (JOB_OBJECT_LIMIT_BREAKAWAY_OK).
//
//   job_start.exe SECONDS PROGRAM [ARGS...]
//
// Waits up to SECONDS for the program to end, then finds Pellucor's main
// window, says whether its process is in the job, and closes the job.
// Prints key=value lines:
//   exit=N         the program's exit code ("running" if it had not ended)
//   copy_pid=N     the process of Pellucor's main window (0: none)
//   copy_in_job=0|1
// Exit status 0, or 2 on bad usage or when the job or the process could
// not be made.

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

void print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Arguments with a space or a quote in them are quoted; the tests pass
// nothing that needs more.
std::wstring quoted(const wchar_t* arg) {
  std::wstring text = arg;
  if (!text.empty() && text.find_first_of(L" \t\"") == std::wstring::npos) return text;
  std::wstring out = L"\"";
  for (const wchar_t c : text) {
    if (c == L'"') out += L'\\';
    out += c;
  }
  return out + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    print("usage: job_start SECONDS PROGRAM [ARGS...]\n");
    return 2;
  }
  const DWORD waitMs = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10) * 1000);
  std::wstring command = quoted(argv[2]);
  for (int i = 3; i < argc; ++i) command += L" " + quoted(argv[i]);

  const HANDLE job = CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!job || !SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    print("cannot make the job\n");
    return 2;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Suspended until it is in the job, so that nothing it starts escapes it.
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &process) ||
      !AssignProcessToJobObject(job, process.hProcess)) {
    print("cannot start the program in the job\n");
    return 2;
  }
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);

  DWORD exitCode = 0;
  if (WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &exitCode))
    print("exit=" + std::to_string(exitCode) + "\n");
  else
    print("exit=running\n");
  CloseHandle(process.hProcess);

  DWORD copyId = 0;
  BOOL inJob = FALSE;
  if (const HWND form = FindWindowW(L"Pellucor.Form", nullptr)) {
    GetWindowThreadProcessId(form, &copyId);
    if (const HANDLE copy = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, copyId)) {
      IsProcessInJob(copy, job, &inJob);
      CloseHandle(copy);
    }
  }
  print("copy_pid=" + std::to_string(copyId) + "\ncopy_in_job=" + (inJob ? "1" : "0") + "\n");
  CloseHandle(job);  // ends whatever is still in it
  return 0;
}
