// Files beside the program, and starting other programs.

#include <cstring>

#include "platform/failure.h"
#include "platform/win32/self_start.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_platform.h"

namespace pellucor::win32 {
namespace {

constexpr DWORD kMaxTextFileBytes = 1024 * 1024;

const char* FileFailureText(DWORD error) {
  switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return failure_text::kPathNotFound;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
    case ERROR_FILENAME_EXCED_RANGE:
      return failure_text::kBadFileName;
    default:
      return failure_text::kFileNotFound;
  }
}

}  // namespace

std::string Win32Platform::modulePath() { return Narrow(ModuleFileName()); }

std::string Win32Platform::programFolder() {
  const std::wstring path = ModuleFileName();
  const std::size_t slash = path.find_last_of(L'\\');
  std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // "C:\", a drive's root
  return Narrow(folder);
}

// Seconds since 1970-01-01 UTC.
std::int64_t Win32Platform::fileDateTime(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) throw Failure(failure_text::kBadFileName);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data))
    throw Failure(FileFailureText(GetLastError()));
  ULARGE_INTEGER written;
  written.LowPart = data.ftLastWriteTime.dwLowDateTime;
  written.HighPart = data.ftLastWriteTime.dwHighDateTime;
  constexpr std::int64_t kUnixEpochInFileTimeSeconds = 11644473600;
  return static_cast<std::int64_t>(written.QuadPart / 10000000) - kUnixEpochInFileTimeSeconds;
}

std::vector<std::string> Win32Platform::listFiles(const std::string& pattern) {
  std::vector<std::string> names;
  if (pattern.empty() || pattern.find('\0') != std::string::npos) return names;
  WIN32_FIND_DATAW found;
  const HANDLE first =
      FindFirstFileExW(Widen(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (first == INVALID_HANDLE_VALUE) return names;
  const UniqueFind search(first);
  constexpr DWORD kLeftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  do {
    if (!(found.dwFileAttributes & kLeftOut)) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return names;
}

std::string Win32Platform::readTextFile(const std::string& path) {
  const HANDLE opened = path.empty() ? INVALID_HANDLE_VALUE
                                     : CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) throw Failure(failure_text::kFileNotFound);
  const UniqueHandle file(opened);
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxTextFileBytes)
    throw Failure(failure_text::kFileNotFound);
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD total = 0;
  while (total < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + total, static_cast<DWORD>(bytes.size()) - total, &read, nullptr))
      throw Failure(failure_text::kFileNotFound);
    if (read == 0) break;  // the file shrank meanwhile
    total += read;
  }
  bytes.resize(total);
  return bytes;
}

// The system's one, even where a user has a private Windows folder.
std::string Win32Platform::windowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? Narrow(std::wstring_view(folder, length)) : std::string("C:\\Windows");
}

void Win32Platform::startProcess(const std::string& commandLine, ShowMode mode) {
  std::wstring command = Widen(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  switch (mode) {
    case ShowMode::MinimisedFocus:
      startup.wShowWindow = SW_SHOWMINIMIZED;
      break;
  }
  PROCESS_INFORMATION process{};
  if (command.empty() ||
      !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    throw Failure(failure_text::kFileNotFound);
  // Nobody waits for it.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// As the file system compares names: without case, in every script.
bool Win32Platform::sameFileName(std::string_view a, std::string_view b) {
  const std::wstring wa = Widen(a);
  const std::wstring wb = Widen(b);
  return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE) ==
         CSTR_EQUAL;
}

// From the version resource itself: a VS_VERSIONINFO block, its key, then
// the fixed part on a 32-bit boundary. No version.dll needed for that.
std::string Win32Platform::programVersion() {
  const HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
  const HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
  const auto* block = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
  if (!block) return {};
  constexpr std::size_t kFixedOffset = (6 + sizeof(L"VS_VERSION_INFO") + 3) & ~std::size_t{3};
  if (SizeofResource(instance_, found) < kFixedOffset + sizeof(VS_FIXEDFILEINFO)) return {};
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, block + kFixedOffset, sizeof fixed);
  if (fixed.dwSignature != 0xFEEF04BD) return {};
  return std::to_string(HIWORD(fixed.dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed.dwFileVersionMS)) + "." +
         std::to_string(HIWORD(fixed.dwFileVersionLS));
}

}  // namespace pellucor::win32
