// Fuzzes the two readers of a command: the command line itself, typed by
// anyone into a shortcut or a script, and the bytes another process hands
// the running window, which may come from any program.
//
// Input, read twice:
//
// 1. As arguments, split at each NUL byte. ParseCommandLine must either
//    refuse them with a reason (and then give no command and no help) or give
//    a command whose seconds the running copy would take (UsableSeconds) and
//    that the channel carries unchanged (DecodeCommand of EncodeCommand).
//    /silent is seen exactly when some argument is /silent or -silent in any
//    case, also on a refused line.
// 2. As the bytes a running copy receives. DecodeCommand takes only what
//    EncodeCommand makes: a decoded command encodes back to the same bytes.
//    One main window, on a simulated desktop kept between inputs, answers
//    them with onCommand: refused as not understood exactly when they do not
//    decode, and never with anything but the known answers; done means its
//    seconds, if any, are in the field and stored.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "command/command_line.h"
#include "platform/sim/sim_desktop.h"
#include "settings/settings.h"

namespace {

using pellucor::sim::SimDesktop;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_command_line: %s\n", what);
  std::abort();
}

bool IsSilentSwitch(const std::string& arg) {
  if (arg.size() != 7 || (arg[0] != '/' && arg[0] != '-')) return false;
  std::string name = arg.substr(1);
  for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return name == "silent";
}

void CheckParse(std::string_view input) {
  static SimDesktop numbers;
  std::vector<std::string> args;
  std::size_t from = 0;
  for (;;) {
    const std::size_t nul = input.find('\0', from);
    args.emplace_back(input.substr(from, nul == std::string_view::npos ? nul : nul - from));
    if (nul == std::string_view::npos) break;
    from = nul + 1;
  }
  const pellucor::CommandLine line = pellucor::ParseCommandLine(args, numbers, numbers);
  numbers.log.clear();
  if (line.silent != std::any_of(args.begin(), args.end(), IsSilentSwitch)) Fail("/silent seen wrongly");
  if (!line.error.empty()) {
    if (!line.command.empty() || line.help) Fail("a refused line still gives a command");
    return;
  }
  const pellucor::Command& command = line.command;
  if (command.seconds && !pellucor::UsableSeconds(*command.seconds, numbers))
    Fail("the parser gives seconds the running copy refuses");
  if (!command.empty() && pellucor::DecodeCommand(pellucor::EncodeCommand(command)) != command)
    Fail("the channel does not carry the command unchanged");
}

void CheckReceive(std::string_view input) {
  static SimDesktop sim;
  static std::unique_ptr<pellucor::MainWindow> form = [] {
    auto made = std::make_unique<pellucor::MainWindow>(sim);
    made->create();
    made->show();
    sim.runPending();
    return made;
  }();
  const std::optional<pellucor::Command> decoded = pellucor::DecodeCommand(input);
  if (decoded && pellucor::EncodeCommand(*decoded) != input) Fail("decoded bytes EncodeCommand never makes");

  const int answer = form->commands.onCommand(input);
  // The desktop lives across inputs: a run or a close arranged by one must not
  // begin inside the next (a balloon pumps), and what it records must not pile up.
  form->run.cancelStart();
  form->commands.closeTimer().setEnabled(false);
  form->commands.showTimer().setEnabled(false);
  form->commands.hideTimer().setEnabled(false);
  sim.log.clear();
  sim.shellRequests.clear();
  sim.boxes.clear();
  if ((answer == pellucor::kAnswerNotUnderstood) != !decoded) Fail("not understood, or understood, wrongly");
  if (answer != pellucor::kAnswerDone && answer != pellucor::kAnswerNotUnderstood &&
      answer != pellucor::kAnswerSecondsRefused && answer != pellucor::kAnswerBusy)
    Fail("an answer beyond the known ones");
  if (answer == pellucor::kAnswerDone && decoded->seconds) {
    if (form->idleSecondsField.text() != *decoded->seconds) Fail("done, but the field shows other seconds");
    if (pellucor::ReadSetting(sim, pellucor::kKeyPath, "") != *decoded->seconds)
      Fail("done, but other seconds are stored");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckParse(input);
  CheckReceive(input);
  return 0;
}
