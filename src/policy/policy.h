#pragma once

// The choices an administrator sets through Group Policy, for the machine or
// for one user, under the program's policy key. A choice set by policy is the
// one that applies and the user cannot change it in the program; the user's
// own stored choice stays underneath and applies again once the policy goes.
// The templates that set these values are in packaging/policy/.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "options/options.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace pellucor {

enum class PolicyKind {
  Number,       // REG_DWORD from min to max
  Switch,       // REG_DWORD, 1 on, 0 off
  ProgramList,  // REG_MULTI_SZ, one program's file name a string
  StopChord,    // REG_SZ, a key in the stored words, that may stop a run
  HideChord,    // REG_SZ, a key that may hide the pointer; empty for none
};
struct PolicyRule {
  const char* name;
  PolicyKind kind;
  std::uint32_t min;
  std::uint32_t max;
};
// Every value the program reads, with what it takes; the templates must
// write exactly these.
inline constexpr PolicyRule kIdleSecondsRule = {"IdleSeconds", PolicyKind::Number, 1, 32767};
inline constexpr PolicyRule kStartHidingRule = {"StartHiding", PolicyKind::Switch, 0, 1};
inline constexpr PolicyRule kHideWhileTypingRule = {"HideWhileTyping", PolicyKind::Switch, 0, 1};
inline constexpr PolicyRule kIgnoredPixelsRule = {"IgnoredMovementPixels", PolicyKind::Number, 0, kMaxIgnoredPixels};
inline constexpr PolicyRule kWheelKeepsHiddenRule = {"WheelKeepsHidden", PolicyKind::Switch, 0, 1};
inline constexpr PolicyRule kNeverHideInRule = {"NeverHideIn", PolicyKind::ProgramList, 0, 0};
// Set, the list means "hide only while one of these is in front", and
// NeverHideIn is not read.
inline constexpr PolicyRule kHideOnlyInRule = {"HideOnlyIn", PolicyKind::ProgramList, 0, 0};
inline constexpr PolicyRule kNeverHideInFullScreenRule = {"NeverHideInFullScreen", PolicyKind::Switch, 0, 1};
inline constexpr PolicyRule kStopHotKeyRule = {"StopHotKey", PolicyKind::StopChord, 0, 0};
inline constexpr PolicyRule kHideHotKeyRule = {"HideHotKey", PolicyKind::HideChord, 0, 0};

// What the policies set; nothing where no usable policy is.
struct Policies {
  std::optional<int> idleSeconds;
  std::optional<bool> startHiding;
  std::optional<bool> hideWhileTyping;
  std::optional<int> ignoredPixels;
  std::optional<bool> wheelKeepsHidden;
  std::optional<std::vector<std::string>> neverHideIn;
  std::optional<std::vector<std::string>> hideOnlyIn;
  std::optional<bool> neverHideInFullScreen;
  std::optional<KeyChord> stopKey;
  std::optional<KeyChord> hideKey;  // an empty chord: no hide key

  bool operator==(const Policies&) const = default;
};

// What one stored value sets under its rule: a number (a switch's 0 or 1),
// or nothing when it is of another type or out of range.
std::optional<std::uint32_t> PolicyNumber(const PolicyRule& rule, const PolicyValue& value);
// The usable program names of a list value, duplicates dropped; nothing when
// it is not a list, or holds names and none of them usable.
std::optional<std::vector<std::string>> PolicyPrograms(const PolicyValue& value, Files& files);
// The key a text value names, when it may serve under the rule (StopChord
// or HideChord); nothing otherwise.
std::optional<KeyChord> PolicyChord(const PolicyRule& rule, const PolicyValue& value);

// Both scopes' policies, the machine's first; one not usable counts as not
// set. Reads, never writes.
Policies ReadPolicies(Registry& registry, Files& files);
// The choices that apply: the user's, but where a policy says otherwise.
Options Enforce(Options options, const Policies& policies);
// The Options dialog's fields that a policy sets.
ManagedFields ManagedBy(const Policies& policies);
// What the user chose in the Options dialog, but the stored choice where the
// dialog showed the field managed: OK never stores a policy's value as the
// user's, also when the policy went while the dialog was open.
Options KeepManaged(Options chosen, const Options& stored, const ManagedFields& managed);

}  // namespace pellucor
