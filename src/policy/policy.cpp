#include "policy/policy.h"

#include "options/options_dialog.h"

namespace pellucor {

std::optional<std::uint32_t> PolicyNumber(const PolicyRule& rule, const PolicyValue& value) {
  if (rule.kind == PolicyKind::ProgramList || value.type != kRegDword) return std::nullopt;
  if (value.number < rule.min || value.number > rule.max) return std::nullopt;
  return value.number;
}

std::optional<std::vector<std::string>> PolicyPrograms(const PolicyValue& value, Files& files) {
  if (value.type != kRegMultiSz) return std::nullopt;
  std::vector<std::string> programs;
  bool named = false;
  for (const std::string& text : value.texts) {
    for (const std::string& name : SplitProgramLines(text)) {
      named = true;
      if (IsProgramName(name) && !ListsProgram(files, programs, name)) programs.push_back(name);
    }
  }
  // An empty list is a choice (no program keeps the pointer shown); a list of
  // nothing but faults is a mistake, and the user's own list applies.
  if (named && programs.empty()) return std::nullopt;
  return programs;
}

std::optional<KeyChord> PolicyChord(const PolicyRule& rule, const PolicyValue& value) {
  if (rule.kind != PolicyKind::StopChord && rule.kind != PolicyKind::HideChord) return std::nullopt;
  if (value.type != kRegSz || value.texts.size() != 1) return std::nullopt;
  const ChordUse use = rule.kind == PolicyKind::StopChord ? ChordUse::StopKey : ChordUse::HideKey;
  const std::optional<KeyChord> chord = ReadChord(value.texts.front());
  if (!chord || ChordRefusal(*chord, use) != 0) return std::nullopt;
  return chord;
}

namespace {

// The first scope's usable value, machine before user.
template <class Take>
auto FirstUsable(Registry& registry, const PolicyRule& rule, Take take) -> decltype(take(PolicyValue{})) {
  for (const PolicyScope scope : {PolicyScope::Machine, PolicyScope::User}) {
    if (const std::optional<PolicyValue> value = registry.readPolicy(scope, rule.name)) {
      if (auto taken = take(*value)) return taken;
    }
  }
  return std::nullopt;
}

std::optional<int> NumberPolicy(Registry& registry, const PolicyRule& rule) {
  return FirstUsable(registry, rule, [&](const PolicyValue& value) -> std::optional<int> {
    if (const auto number = PolicyNumber(rule, value)) return static_cast<int>(*number);
    return std::nullopt;
  });
}

std::optional<bool> SwitchPolicy(Registry& registry, const PolicyRule& rule) {
  const std::optional<int> number = NumberPolicy(registry, rule);
  if (!number) return std::nullopt;
  return *number == 1;
}

}  // namespace

Policies ReadPolicies(Registry& registry, Files& files) {
  Policies policies;
  policies.idleSeconds = NumberPolicy(registry, kIdleSecondsRule);
  policies.startHiding = SwitchPolicy(registry, kStartHidingRule);
  policies.hideWhileTyping = SwitchPolicy(registry, kHideWhileTypingRule);
  policies.ignoredPixels = NumberPolicy(registry, kIgnoredPixelsRule);
  policies.wheelKeepsHidden = SwitchPolicy(registry, kWheelKeepsHiddenRule);
  policies.neverHideIn =
      FirstUsable(registry, kNeverHideInRule, [&](const PolicyValue& value) { return PolicyPrograms(value, files); });
  // An empty "hide only in" would hide nothing anywhere: a mistake, not a choice.
  policies.hideOnlyIn = FirstUsable(registry, kHideOnlyInRule, [&](const PolicyValue& value) {
    std::optional<std::vector<std::string>> programs = PolicyPrograms(value, files);
    if (programs && programs->empty()) programs.reset();
    return programs;
  });
  policies.neverHideInFullScreen = SwitchPolicy(registry, kNeverHideInFullScreenRule);
  const auto chordPolicy = [&registry](const PolicyRule& rule) {
    return FirstUsable(registry, rule, [&rule](const PolicyValue& value) { return PolicyChord(rule, value); });
  };
  policies.stopKey = chordPolicy(kStopHotKeyRule);
  policies.hideKey = chordPolicy(kHideHotKeyRule);
  return policies;
}

Options Enforce(Options options, const Policies& policies) {
  options.startHiding = policies.startHiding.value_or(options.startHiding);
  options.hideWhileTyping = policies.hideWhileTyping.value_or(options.hideWhileTyping);
  options.ignoredPixels = policies.ignoredPixels.value_or(options.ignoredPixels);
  options.wheelKeepsHidden = policies.wheelKeepsHidden.value_or(options.wheelKeepsHidden);
  if (policies.hideOnlyIn) {
    options.neverHideIn = *policies.hideOnlyIn;
    options.hideOnlyInListed = true;
  } else if (policies.neverHideIn) {
    options.neverHideIn = *policies.neverHideIn;
    options.hideOnlyInListed = false;
  }
  options.neverHideInFullScreen = policies.neverHideInFullScreen.value_or(options.neverHideInFullScreen);
  options.stopKey = policies.stopKey.value_or(options.stopKey);
  options.hideKey = policies.hideKey.value_or(options.hideKey);
  // One chord cannot do both: the stop key wins.
  if (options.hideKey == options.stopKey) options.hideKey = {};
  return options;
}

ManagedFields ManagedBy(const Policies& policies) {
  ManagedFields managed;
  managed.hideWhileTyping = policies.hideWhileTyping.has_value();
  managed.ignoredPixels = policies.ignoredPixels.has_value();
  managed.wheelKeepsHidden = policies.wheelKeepsHidden.has_value();
  managed.startHiding = policies.startHiding.has_value();
  managed.programs = policies.neverHideIn.has_value() || policies.hideOnlyIn.has_value();
  managed.neverHideInFullScreen = policies.neverHideInFullScreen.has_value();
  managed.stopKey = policies.stopKey.has_value();
  managed.hideKey = policies.hideKey.has_value();
  return managed;
}

Options KeepManaged(Options chosen, const Options& stored, const ManagedFields& managed) {
  if (managed.hideWhileTyping) chosen.hideWhileTyping = stored.hideWhileTyping;
  if (managed.ignoredPixels) chosen.ignoredPixels = stored.ignoredPixels;
  if (managed.wheelKeepsHidden) chosen.wheelKeepsHidden = stored.wheelKeepsHidden;
  if (managed.startHiding) chosen.startHiding = stored.startHiding;
  if (managed.programs) {
    chosen.neverHideIn = stored.neverHideIn;
    chosen.hideOnlyInListed = stored.hideOnlyInListed;
  }
  if (managed.neverHideInFullScreen) chosen.neverHideInFullScreen = stored.neverHideInFullScreen;
  if (managed.stopKey) chosen.stopKey = stored.stopKey;
  if (managed.hideKey) chosen.hideKey = stored.hideKey;
  return chosen;
}

}  // namespace pellucor
