#pragma once

// The window's system menu and the dialogs it opens.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace pellucor {

struct MenuItem {
  int id = 0;  // comes back in MenuEvents::onMenuCommand
  std::string text;
};

// Told when an item added to the window's system menu is chosen; on the GUI
// thread.
class MenuEvents {
 public:
  virtual void onMenuCommand(int id) = 0;

 protected:
  ~MenuEvents() = default;
};

// The Options dialog's choices set by the organisation's policy: shown,
// greyed, not editable.
struct ManagedFields {
  bool hideWhileTyping = false;
  bool ignoredPixels = false;
  bool wheelKeepsHidden = false;
  bool startHiding = false;
  bool programs = false;  // the list and what it means
  bool neverHideInFullScreen = false;
  bool stopKey = false;
  bool hideKey = false;

  bool any() const {
    return hideWhileTyping || ignoredPixels || wheelKeepsHidden || startHiding || programs || neverHideInFullScreen ||
           stopKey || hideKey;
  }
  bool operator==(const ManagedFields&) const = default;
};

// What the Options dialog shows and the user edits, as texts and ticks.
struct OptionsFields {
  bool hideWhileTyping = false;
  std::string ignoredPixels;  // the field's text
  bool wheelKeepsHidden = false;
  bool startHiding = false;
  std::string programs;  // one file name a line, as the list's text
  // The list means "hide only while one of these is in front", not "never".
  bool hideOnlyInListed = false;
  bool neverHideInFullScreen = false;
  KeyChord stopKey;
  KeyChord hideKey;  // none: empty
  // Shown as they are, and the note "Some settings are managed by your
  // organisation." with them when any is.
  ManagedFields managed;
};

enum class OptionsField { IgnoredPixels, Programs, StopKey, HideKey };

// Why OK did not close the dialog, and where the user must look.
struct Refusal {
  OptionsField field = OptionsField::IgnoredPixels;
  std::string message;
};

// Asked at OK: nothing to close the dialog, or the refusal to show.
using OptionsJudge = std::function<std::optional<Refusal>(const OptionsFields&)>;

class Dialogs {
 public:
  // Adds a separator and the items at the end of the window's system menu;
  // choosing one tells `events`, which must outlive the window.
  virtual void addSystemMenuItems(const std::vector<MenuItem>& items, MenuEvents& events) = 0;
  // Shows the modal Options dialog over the window, filled from `fields`.
  // OK asks `judge`: a refusal shows its message (with `boxCaption`) and
  // puts the focus back in its field, the text kept; otherwise the dialog
  // closes. True when it closed with OK, `fields` then holding what the user
  // left; false (Cancel, Escape, the close box) leaves `fields` as they were.
  virtual bool runOptionsDialog(OptionsFields& fields, std::string_view boxCaption, const OptionsJudge& judge) = 0;

 protected:
  ~Dialogs() = default;
};

}  // namespace pellucor
