#include "platform/guardian_link.h"

#include <charconv>

namespace pellucor {
namespace {

// A whole number above 0 in plain decimal digits, nothing else.
std::optional<std::uint64_t> Number(const std::string& text) {
  if (text.empty() || text.size() > 20 || text.front() == '0') return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string GuardianArguments(const GuardianLink& link, GuardianRole role) {
  return std::string(role == GuardianRole::Launcher ? kGuardianLauncherSwitch : kGuardianSwitch) + " " +
         std::to_string(link.process) + " " + std::to_string(link.note) + " " + std::to_string(link.window);
}

std::optional<GuardianStart> GuardianSwitch(const std::vector<std::string>& args) {
  if (args.size() != 4) return std::nullopt;
  GuardianRole role;
  if (args[0] == kGuardianSwitch) {
    role = GuardianRole::Guardian;
  } else if (args[0] == kGuardianLauncherSwitch) {
    role = GuardianRole::Launcher;
  } else {
    return std::nullopt;
  }
  const auto process = Number(args[1]);
  const auto note = Number(args[2]);
  const auto window = Number(args[3]);
  if (!process || !note || !window) return std::nullopt;
  return GuardianStart{role, GuardianLink{*process, *note, *window}};
}

}  // namespace pellucor
