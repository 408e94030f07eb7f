// Fuzzes what the program reads of the policy values an administrator (or
// any program with the rights) wrote under its policy keys, machine and
// user, of any type and data.
//
// Input: records of [value byte][type byte][length byte][data]. The value
// byte picks one of the six policy values (byte % 6) and the scope (machine
// when byte / 6 is even); the type byte is the registry type (& 0x0F); the
// data is up to `length` bytes, less where the input ends. A later record of
// the same value and scope replaces the earlier one.
//
// The main window starts as the unit tests start it, on a fresh simulated
// desktop. Checked: what the policies set is within what the program takes
// (seconds 1 to 32767, pixels 0 to 50, usable and distinct program names)
// and reading twice gives the same; the seconds field shows the policy's
// seconds and is greyed exactly when one is set, else shows 3; the choices
// that apply are the policies' where set; no box; nothing is stored.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "hider/keyboard_hook.h"
#include "options/options_dialog.h"
#include "platform/sim/sim_desktop.h"
#include "policy/policy.h"

namespace {

using pellucor::MainWindow;
using pellucor::sim::SimDesktop;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_policy: %s\n", what);
  std::abort();
}

constexpr const pellucor::PolicyRule* kRules[] = {
    &pellucor::kIdleSecondsRule,   &pellucor::kStartHidingRule,      &pellucor::kHideWhileTypingRule,
    &pellucor::kIgnoredPixelsRule, &pellucor::kWheelKeepsHiddenRule, &pellucor::kNeverHideInRule,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SimDesktop sim;
  std::size_t at = 0;
  while (at + 3 <= size) {
    const std::uint8_t which = data[at];
    const std::uint32_t type = data[at + 1] & 0x0F;
    const std::size_t length = std::min<std::size_t>(data[at + 2], size - at - 3);
    const auto scope = (which / 6) % 2 == 0 ? pellucor::PolicyScope::Machine : pellucor::PolicyScope::User;
    sim.setPolicy(scope, kRules[which % 6]->name,
                  {type, std::string(reinterpret_cast<const char*>(data + at + 3), length)});
    at += 3 + length;
  }

  const pellucor::Policies policies = pellucor::ReadPolicies(sim, sim);
  if (!(policies == pellucor::ReadPolicies(sim, sim))) Fail("two reads differ");
  if (policies.idleSeconds && (*policies.idleSeconds < 1 || *policies.idleSeconds > 32767))
    Fail("seconds out of range");
  if (policies.ignoredPixels && (*policies.ignoredPixels < 0 || *policies.ignoredPixels > pellucor::kMaxIgnoredPixels))
    Fail("pixels out of range");
  if (policies.neverHideIn) {
    const auto& names = *policies.neverHideIn;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i].empty() || !pellucor::IsProgramName(names[i])) Fail("an unusable program name");
      for (std::size_t j = 0; j < i; ++j) {
        if (sim.sameFileName(names[i], names[j])) Fail("a program listed twice");
      }
    }
  }

  auto form = std::make_unique<MainWindow>(sim);
  form->create();
  form->show();
  sim.runPending();
  const std::string seconds = policies.idleSeconds ? std::to_string(*policies.idleSeconds) : "3";
  if (form->idleSecondsField.text() != seconds) Fail("the field does not show the policy's seconds, or 3");
  if (sim.control(MainWindow::kIdleSecondsField).enabled == policies.idleSeconds.has_value())
    Fail("the field is greyed without a policy, or free under one");
  const pellucor::Options& applied = form->choices.options();
  if ((policies.hideWhileTyping && applied.hideWhileTyping != *policies.hideWhileTyping) ||
      (policies.ignoredPixels && applied.ignoredPixels != *policies.ignoredPixels) ||
      (policies.wheelKeepsHidden && applied.wheelKeepsHidden != *policies.wheelKeepsHidden) ||
      (policies.neverHideIn && applied.neverHideIn != *policies.neverHideIn))
    Fail("a choice set by policy does not apply");
  if (!sim.boxes.empty()) Fail("a box at start-up");
  for (const std::string& entry : sim.log) {
    if (entry.rfind("writeSetting", 0) == 0) Fail("a policy was stored as a setting");
  }
  form.reset();
  return 0;
}
