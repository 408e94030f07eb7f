#pragma once

// The per-user settings store, the registry keys of run at logon, and the
// policies an administrator sets.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace pellucor {

// The program's policy key: under HKEY_LOCAL_MACHINE for the machine's
// policies, HKEY_CURRENT_USER for the user's.
inline constexpr const char* kPolicyKey = "Software\\Policies\\Trandavel\\Pellucor";

// Told when Windows says the policies may have changed (after a Group Policy
// refresh); on the GUI thread.
class PolicyEvents {
 public:
  virtual void onPolicyChanged() = 0;

 protected:
  ~PolicyEvents() = default;
};

class Registry {
 public:
  // A text value of the per-user settings store; nothing when the value is
  // missing, of another type or unreadable.
  virtual std::optional<std::string> readSetting(std::string_view application, std::string_view section,
                                                 std::string_view key) = 0;
  // Creates what is missing; false when the value could not be written.
  virtual bool writeSetting(std::string_view application, std::string_view section, std::string_view key,
                            std::string_view value) = 0;
  // Opens (never creates) a key; returns the result code and, on success, the key.
  virtual std::int32_t regOpenKey(RegRoot root, std::string_view subkey, std::uint32_t access, RegKey& key) = 0;
  virtual std::int32_t regSetValue(RegKey key, std::string_view name, std::uint32_t type, std::string_view data) = 0;
  virtual std::int32_t regDeleteValue(RegKey key, std::string_view name) = 0;
  virtual bool regValueExists(RegKey key, std::string_view name) = 0;
  virtual void regCloseKey(RegKey key) = 0;
  // A value of the program's policy key, set by an administrator for the
  // machine or for this user; nothing when it is not there or unreadable.
  virtual std::optional<PolicyValue> readPolicy(PolicyScope scope, std::string_view name) = 0;
  // Where the news of a policy change goes; null: nowhere.
  virtual void reportPolicyChangesTo(PolicyEvents* events) = 0;

 protected:
  ~Registry() = default;
};

}  // namespace pellucor
