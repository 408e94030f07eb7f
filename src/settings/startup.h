#pragma once

// Run at logon: one value in a Run key of the registry, named after the
// program's executable and holding its path.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace pellucor {

inline constexpr const char* kMachineRunKey = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
inline constexpr const char* kUserRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK
inline constexpr std::uint32_t kRunKeyAccess = 0x3F;
// KEY_QUERY_VALUE: reading, which every user may.
inline constexpr std::uint32_t kRunKeyReadAccess = 0x01;

namespace runAtLogon {

// The value's data: the folder, a backslash unless it ends with one, the file
// name; quoted when it holds a space, so Windows cannot start a shorter path.
std::string RunCommand(std::string_view folder, std::string_view fileName);
// True when the value was written under the user's own Run key.
bool AddRunValue(Registry& registry, std::string_view folder, std::string_view fileName);
// Deletes the value from the user's key and, where this user may, from the
// machine's (an older version wrote it there); silent when there is nothing
// to delete. True when a machine-wide value stays.
bool RemoveRunValue(Registry& registry, std::string_view fileName);
// Opens (never creates), writes and closes; the result of the open or the write.
std::int32_t SetKeyValue(Registry& registry, RegRoot root, std::string_view subkey, std::string_view name,
                         std::string_view data, std::uint32_t type);
std::int32_t WriteValue(Registry& registry, RegKey key, std::string_view name, std::uint32_t type,
                        std::string_view data);
void DeleteKeyValue(Registry& registry, RegRoot root, std::string_view subkey, std::string_view name);

}  // namespace runAtLogon

namespace runAtLogon {

// The program's own executable (its full path), whatever else lies in its folder.
bool AddToStartup(Registry& registry, std::string_view modulePath);
// True when Windows will still start the program for every user.
bool RemoveFromStartup(Registry& registry, std::string_view modulePath);

}  // namespace runAtLogon

}  // namespace pellucor
