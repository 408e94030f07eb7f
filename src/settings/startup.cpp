#include "settings/startup.h"

namespace pellucor {
namespace {

struct ExecutableName {
  std::string folder;
  std::string fileName;
};

ExecutableName SplitModulePath(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string::npos) return {"", path};
  // A drive root keeps its backslash, as the process reports its folder.
  const std::string folder = slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
  return {folder, path.substr(slash + 1)};
}

}  // namespace

namespace runAtLogon {

std::string RunCommand(std::string_view folder, std::string_view fileName) {
  std::string data(folder);
  if (data.empty() || data.back() != '\\') data += '\\';
  data += fileName;
  if (data.find(' ') != std::string::npos) data = '"' + data + '"';
  return data;
}

// The user's own Run key only. Written machine-wide (as an elevated copy
// could), every user of the machine would start a program from one user's
// private folder, which they cannot read and that user's uninstaller
// cannot remove.
bool AddRunValue(Platform& platform, std::string_view folder, std::string_view fileName) {
  const std::string data = RunCommand(folder, fileName);
  return SetKeyValue(platform, RegRoot::CurrentUser, kUserRunKey, fileName, data, kRegSz) == kErrorSuccess;
}

bool RemoveRunValue(Platform& platform, std::string_view fileName) {
  DeleteKeyValue(platform, RegRoot::LocalMachine, kMachineRunKey, fileName);
  DeleteKeyValue(platform, RegRoot::CurrentUser, kUserRunKey, fileName);
  RegKey key = 0;
  if (platform.regOpenKey(RegRoot::LocalMachine, kMachineRunKey, kRunKeyReadAccess, key) != kErrorSuccess) return false;
  const bool stays = platform.regValueExists(key, fileName);
  platform.regCloseKey(key);
  return stays;
}

std::int32_t SetKeyValue(Platform& platform, RegRoot root, std::string_view subkey, std::string_view name,
                         std::string_view data, std::uint32_t type) {
  RegKey key = 0;
  const std::int32_t opened = platform.regOpenKey(root, subkey, kRunKeyAccess, key);
  if (opened != kErrorSuccess) return opened;
  const std::int32_t written = WriteValue(platform, key, name, type, data);
  platform.regCloseKey(key);
  return written;
}

std::int32_t WriteValue(Platform& platform, RegKey key, std::string_view name, std::uint32_t type,
                        std::string_view data) {
  return platform.regSetValue(key, name, type, data);
}

void DeleteKeyValue(Platform& platform, RegRoot root, std::string_view subkey, std::string_view name) {
  RegKey key = 0;
  if (platform.regOpenKey(root, subkey, kRunKeyAccess, key) != kErrorSuccess) return;
  platform.regDeleteValue(key, name);
  platform.regCloseKey(key);
}

}  // namespace runAtLogon

namespace runAtLogon {

bool AddToStartup(Platform& platform) {
  const ExecutableName exe = SplitModulePath(platform.modulePath());
  return runAtLogon::AddRunValue(platform, exe.folder, exe.fileName);
}

bool RemoveFromStartup(Platform& platform) {
  return runAtLogon::RemoveRunValue(platform, SplitModulePath(platform.modulePath()).fileName);
}

}  // namespace runAtLogon

}  // namespace pellucor
