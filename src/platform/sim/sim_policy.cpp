// The simulated desktop's Group Policy: values an administrator sets under
// the program's policy key, and the refresh that tells the windows.

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_text.h"

namespace pellucor::sim {
namespace {

std::string PolicyKeyName(PolicyScope scope) {
  return SimDesktop::regKeyName(scope == PolicyScope::Machine ? RegRoot::LocalMachine : RegRoot::CurrentUser,
                                kPolicyKey);
}

}  // namespace

std::optional<PolicyValue> SimDesktop::readPolicy(PolicyScope scope, std::string_view name) {
  const RegValue* stored = regValue(PolicyKeyName(scope), std::string(name));
  if (!stored) return std::nullopt;
  PolicyValue value;
  value.type = stored->type;
  if (stored->type == kRegDword) {
    // Shorter data than a DWORD's is not one, as RegGetValue with
    // RRF_RT_REG_DWORD would say.
    if (stored->data.size() != 4) return std::nullopt;
    for (int i = 3; i >= 0; --i) value.number = value.number << 8 | static_cast<unsigned char>(stored->data[i]);
  } else if (stored->type == kRegSz) {
    value.texts.push_back(stored->data.substr(0, stored->data.find('\0')));
  } else if (stored->type == kRegMultiSz) {
    // Strings each ended by a NUL, the list by an empty one.
    std::string_view rest = stored->data;
    while (!rest.empty()) {
      const std::size_t end = rest.find('\0');
      const std::string_view text = rest.substr(0, end);
      if (text.empty()) break;
      value.texts.emplace_back(text);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  return value;
}

void SimDesktop::setPolicy(PolicyScope scope, const std::string& name, RegValue value) {
  setRegValue(PolicyKeyName(scope), name, std::move(value));
}

void SimDesktop::setPolicyNumber(PolicyScope scope, const std::string& name, std::uint32_t number) {
  std::string data;
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<char>(number >> (8 * i) & 0xFF));
  setPolicy(scope, name, {kRegDword, data});
}

void SimDesktop::setPolicyList(PolicyScope scope, const std::string& name, const std::vector<std::string>& texts) {
  std::string data;
  for (const std::string& text : texts) {
    data += text;
    data += '\0';
  }
  data += '\0';
  setPolicy(scope, name, {kRegMultiSz, data});
}

void SimDesktop::removePolicy(PolicyScope scope, const std::string& name) {
  auto key = registry.find(PolicyKeyName(scope));
  if (key != registry.end()) key->second.erase(Lower(name));
}

void SimDesktop::policyRefreshed() {
  post([this] {
    if (policyEvents_) policyEvents_->onPolicyChanged();
  });
}

}  // namespace pellucor::sim
