#include "settings/startup.h"

namespace pellucor {
namespace {

struct ExecutableName {
  std::string folder;
  std::string fileName;
};

ExecutableName SplitModulePath(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return {"", std::string(path)};
  // A drive root keeps its backslash, as the process reports its folder.
  const std::string_view folder = slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
  return {std::string(folder), std::string(path.substr(slash + 1))};
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
bool AddRunValue(Registry& registry, std::string_view folder, std::string_view fileName) {
  const std::string data = RunCommand(folder, fileName);
  return SetKeyValue(registry, RegRoot::CurrentUser, kUserRunKey, fileName, data, kRegSz) == kErrorSuccess;
}

bool RemoveRunValue(Registry& registry, std::string_view fileName) {
  DeleteKeyValue(registry, RegRoot::LocalMachine, kMachineRunKey, fileName);
  DeleteKeyValue(registry, RegRoot::CurrentUser, kUserRunKey, fileName);
  RegKey key = 0;
  if (registry.regOpenKey(RegRoot::LocalMachine, kMachineRunKey, kRunKeyReadAccess, key) != kErrorSuccess) return false;
  const bool stays = registry.regValueExists(key, fileName);
  registry.regCloseKey(key);
  return stays;
}

std::int32_t SetKeyValue(Registry& registry, RegRoot root, std::string_view subkey, std::string_view name,
                         std::string_view data, std::uint32_t type) {
  RegKey key = 0;
  const std::int32_t opened = registry.regOpenKey(root, subkey, kRunKeyAccess, key);
  if (opened != kErrorSuccess) return opened;
  const std::int32_t written = WriteValue(registry, key, name, type, data);
  registry.regCloseKey(key);
  return written;
}

std::int32_t WriteValue(Registry& registry, RegKey key, std::string_view name, std::uint32_t type,
                        std::string_view data) {
  return registry.regSetValue(key, name, type, data);
}

void DeleteKeyValue(Registry& registry, RegRoot root, std::string_view subkey, std::string_view name) {
  RegKey key = 0;
  if (registry.regOpenKey(root, subkey, kRunKeyAccess, key) != kErrorSuccess) return;
  registry.regDeleteValue(key, name);
  registry.regCloseKey(key);
}

}  // namespace runAtLogon

namespace runAtLogon {

bool AddToStartup(Registry& registry, std::string_view modulePath) {
  const ExecutableName exe = SplitModulePath(modulePath);
  return runAtLogon::AddRunValue(registry, exe.folder, exe.fileName);
}

bool RemoveFromStartup(Registry& registry, std::string_view modulePath) {
  return runAtLogon::RemoveRunValue(registry, SplitModulePath(modulePath).fileName);
}

}  // namespace runAtLogon

}  // namespace pellucor
