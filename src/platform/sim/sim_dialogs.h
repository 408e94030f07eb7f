#pragma once

// The Options dialog as a test plays it: the fields the user edits, and the
// buttons, with what the program's judge said at each OK.

#include <optional>
#include <vector>

#include "platform/dialogs.h"

namespace pellucor::sim {

class SimOptionsDialog {
 public:
  SimOptionsDialog(OptionsFields fields, const OptionsJudge& judge) : fields(std::move(fields)), judge_(judge) {}

  // What the dialog shows; the test edits it as the user would.
  OptionsFields fields;
  // Every refusal shown so far, in order; the focus went to the last one's field.
  std::vector<Refusal> refusals;
  std::optional<OptionsField> focus;

  // OK: closes the dialog unless the program refuses; true when it closed.
  bool pressOk() {
    if (auto refusal = judge_(fields)) {
      focus = refusal->field;
      refusals.push_back(std::move(*refusal));
      return false;
    }
    closedWithOk_ = true;
    return true;
  }
  void pressCancel() { closedWithOk_ = false; }
  bool closedWithOk() const { return closedWithOk_; }

 private:
  const OptionsJudge& judge_;
  bool closedWithOk_ = false;
};

}  // namespace pellucor::sim
