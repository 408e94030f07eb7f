// The simulated desktop's registry: the settings store and the Run keys.

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_text.h"

namespace pellucor::sim {

std::string SimDesktop::regKeyName(RegRoot root, std::string_view subkey) {
  std::string name = root == RegRoot::CurrentUser ? "HKCU\\" : "HKLM\\";
  name += subkey;
  while (!name.empty() && name.back() == '\\') name.pop_back();
  return Lower(name);
}

const SimDesktop::RegValue* SimDesktop::regValue(const std::string& keyName, const std::string& valueName) const {
  const auto key = registry.find(Lower(keyName));
  if (key == registry.end()) return nullptr;
  const auto value = key->second.find(Lower(valueName));
  return value == key->second.end() ? nullptr : &value->second;
}

void SimDesktop::setRegValue(const std::string& keyName, const std::string& valueName, RegValue value) {
  registry[Lower(keyName)][Lower(valueName)] = std::move(value);
}

namespace {
std::string SettingsKey(std::string_view application, std::string_view section) {
  return SimDesktop::regKeyName(RegRoot::CurrentUser,
                                "Software\\" + std::string(application) + "\\" + std::string(section));
}
}  // namespace

std::optional<std::string> SimDesktop::readSetting(std::string_view application, std::string_view section,
                                                   std::string_view key) {
  log.push_back("readSetting " + std::string(key));
  const RegValue* value = regValue(SettingsKey(application, section), std::string(key));
  if (!value || value->type != kRegSz) return std::nullopt;
  // A string value ends at its first NUL, whatever follows it, as the
  // Windows back-end reads it.
  return value->data.substr(0, value->data.find('\0'));
}

bool SimDesktop::writeSetting(std::string_view application, std::string_view section, std::string_view key,
                              std::string_view value) {
  log.push_back("writeSetting " + std::string(key) + " " + std::string(value));
  const std::string keyName = SettingsKey(application, section);
  for (const std::string& denied : deniedKeys)
    if (Lower(denied) == keyName) return false;
  setRegValue(keyName, std::string(key), RegValue{kRegSz, std::string(value)});
  return true;
}

std::int32_t SimDesktop::regOpenKey(RegRoot root, std::string_view subkey, std::uint32_t access, RegKey& key) {
  const std::string name = regKeyName(root, subkey);
  log.push_back("regOpenKey " + name + " " + std::to_string(access));
  if (registry.find(name) == registry.end()) return kErrorFileNotFound;
  constexpr std::uint32_t kSetValue = 0x0002;
  if (access & kSetValue) {
    for (const std::string& denied : deniedKeys)
      if (Lower(denied) == name) return kErrorAccessDenied;
  }
  key = nextKey_++;
  openKeys_[key] = name;
  return kErrorSuccess;
}

std::int32_t SimDesktop::regSetValue(RegKey key, std::string_view name, std::uint32_t type, std::string_view data) {
  log.push_back("regSetValue " + std::string(name) + " " + std::string(data));
  setRegValue(openKeys_.at(key), std::string(name), RegValue{type, std::string(data)});
  return kErrorSuccess;
}

std::int32_t SimDesktop::regDeleteValue(RegKey key, std::string_view name) {
  log.push_back("regDeleteValue " + std::string(name));
  auto& values = registry[openKeys_.at(key)];
  return values.erase(Lower(std::string(name))) ? kErrorSuccess : kErrorFileNotFound;
}

bool SimDesktop::regValueExists(RegKey key, std::string_view name) {
  return regValue(openKeys_.at(key), std::string(name)) != nullptr;
}

void SimDesktop::regCloseKey(RegKey key) {
  log.push_back("regCloseKey");
  openKeys_.erase(key);
}

}  // namespace pellucor::sim
