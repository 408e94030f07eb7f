// Fuzzes the quoting of the run-at-logon value: Windows starts whatever the
// value's program name says, so a path it reads differently starts another
// program, or none.
//
// Input: the program's module path (any bytes).
//
// 1. runAtLogon::RunCommand gets the input split at its last backslash, the
//    backslash kept at the end of the folder (with none, the folder is empty
//    and the input is the file name). The value must be the folder, a
//    backslash unless the folder ends with one, and the file name; quoted
//    exactly when that holds a space. For a path Windows could hold (at most
//    260 UTF-16 characters, valid UTF-8, none of " < > | ? * or a control
//    character), the program name Windows reads from it must be that path.
// 2. runAtLogon::AddToStartup runs with the input as SimDesktop::exePath. The
//    value must be written, named after the file name. For a path that could
//    be a module's path (one Windows could hold, fully qualified, no empty
//    part and no final backslash, as Windows reports a module's path), the
//    program name Windows reads from the value must be the module path.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sim/sim_desktop.h"
#include "settings/startup.h"

namespace {

using pellucor::sim::SimDesktop;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_run_value: %s\n", what);
  std::abort();
}

// Valid UTF-8 whose characters Windows allows in a path, within MAX_PATH.
bool WindowsCouldHold(std::string_view path) {
  std::size_t units = 0;  // UTF-16 code units
  std::size_t i = 0;
  while (i < path.size()) {
    const auto lead = static_cast<unsigned char>(path[i]);
    std::size_t length = 0;
    char32_t cp = 0, least = 0;
    if (lead < 0x80) {
      length = 1, cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, cp = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, cp = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, cp = lead & 0x07u, least = 0x10000;
    } else {
      return false;
    }
    if (i + length > path.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(path[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3Fu);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp < 0x20 || cp == U'"' || cp == U'<' || cp == U'>' || cp == U'|' || cp == U'?' || cp == U'*') return false;
    units += cp >= 0x10000 ? 2 : 1;
    i += length;
  }
  return units <= 260;
}

// As Windows reports a module's path: "X:\..." or "\\server\share\...", with no
// empty part and no backslash at the end.
bool CouldBeModulePath(std::string_view path) {
  if (!WindowsCouldHold(path)) return false;
  std::size_t rest = 0;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() > 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\') {
    rest = 3;
  } else if (path.size() > 2 && path[0] == '\\' && path[1] == '\\') {
    rest = 2;
  } else {
    return false;
  }
  if (path[rest] == '\\' || path.back() == '\\') return false;
  if (path.find("\\\\", rest) != std::string_view::npos) return false;
  // A share's path names the server and the share before any file.
  return rest == 3 || std::count(path.begin() + 2, path.end(), '\\') >= 2;
}

// The program name Windows takes from a command line: a quoted first token up
// to its closing quote, else everything up to the first space.
std::string_view ProgramName(std::string_view command) {
  if (!command.empty() && command.front() == '"') {
    const std::size_t close = command.find('"', 1);
    return command.substr(1, close == std::string_view::npos ? close : close - 1);
  }
  return command.substr(0, command.find(' '));
}

void CheckRunCommand(std::string_view input) {
  const std::size_t slash = input.rfind('\\');
  const std::string_view folder = slash == std::string_view::npos ? std::string_view() : input.substr(0, slash + 1);
  const std::string_view fileName = slash == std::string_view::npos ? input : input.substr(slash + 1);
  const std::string command = pellucor::runAtLogon::RunCommand(folder, fileName);

  std::string joined(folder);
  if (joined.empty() || joined.back() != '\\') joined += '\\';
  joined += fileName;
  const bool quoted = joined.find(' ') != std::string::npos;
  if (command != (quoted ? '"' + joined + '"' : joined)) Fail("RunCommand joined or quoted wrongly");
  if (WindowsCouldHold(joined) && ProgramName(command) != joined) Fail("Windows would read another program name");
}

void CheckAddToStartup(std::string_view input) {
  SimDesktop sim;
  sim.exePath = std::string(input);
  if (!pellucor::runAtLogon::AddToStartup(sim, sim.exePath)) Fail("AddToStartup failed with every key writable");
  const std::size_t slash = input.rfind('\\');
  const std::string fileName(slash == std::string_view::npos ? input : input.substr(slash + 1));
  const auto* value =
      sim.regValue(SimDesktop::regKeyName(pellucor::RegRoot::CurrentUser, pellucor::kUserRunKey), fileName);
  if (value == nullptr) Fail("no value named after the file name");
  if (value->type != pellucor::kRegSz) Fail("the value is not a string");
  if (CouldBeModulePath(input) && ProgramName(value->data) != input) Fail("the value starts another program");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckRunCommand(input);
  CheckAddToStartup(input);
  return 0;
}
