#include "policy/options_in_force.h"

namespace pellucor {

OptionsInForce::OptionsInForce(Registry& registry, Files& files, HidingRun& run, SettingsControls& settings)
    : registry_(registry), files_(files), run_(run), settings_(settings) {}

void OptionsInForce::readStored() {
  stored_ = ReadOptions(registry_, files_);
  options_ = stored_;
  run_.setOptions(options_);
}

void OptionsInForce::applyPolicies() {
  policies_ = ReadPolicies(registry_, files_);
  apply();
}

void OptionsInForce::keep(const Options& chosen, const ManagedFields& shownManaged) {
  const Options kept = KeepManaged(chosen, stored_, shownManaged);
  WriteChangedOptions(registry_, stored_, kept);
  stored_ = kept;
  apply();
}

void OptionsInForce::apply() {
  options_ = Enforce(stored_, policies_);
  settings_.showManagedSeconds(policies_.idleSeconds);
  run_.setOptions(options_);
}

}  // namespace pellucor
