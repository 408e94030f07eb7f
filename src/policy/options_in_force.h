#pragma once

// The Options window's choices in force: the user's own, as stored, with
// what Group Policy sets laid over them. Read at start, again when Windows
// says the policies changed and when the Options window opens; whatever
// changes goes at once to the run and to the seconds field.

#include "hider/hiding_run.h"
#include "options/options.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "policy/policy.h"
#include "settings/settings_controls.h"

namespace pellucor {

class OptionsInForce final : public PolicyEvents {
 public:
  OptionsInForce(Registry& registry, Files& files, HidingRun& run, SettingsControls& settings);

  // The user's stored choices, before any policy is read.
  void readStored();
  // Reads the policies again and applies what they set, or the user's own
  // choices where they no longer set anything.
  void applyPolicies();
  // What the user left in the Options window at OK: stored where it
  // changed, and applied. A choice the window showed as managed is never
  // stored as the user's.
  void keep(const Options& chosen, const ManagedFields& shownManaged);

  // What applies; what the user chose, under any policy; what the policies set.
  const Options& options() const { return options_; }
  const Options& stored() const { return stored_; }
  const Policies& policies() const { return policies_; }

  // PolicyEvents
  void onPolicyChanged() override { applyPolicies(); }

 private:
  void apply();

  Registry& registry_;
  Files& files_;
  HidingRun& run_;
  SettingsControls& settings_;
  Options options_;
  Options stored_;
  Policies policies_;
};

}  // namespace pellucor
