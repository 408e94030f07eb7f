// The main window's system menu: the Options window and About.

#include "app/app_title.h"
#include "app/main_window.h"
#include "options/options_dialog.h"

namespace pellucor {
namespace {

constexpr unsigned kInformationBoxStyle = 0x40;  // MB_ICONINFORMATION, OK only

}  // namespace

void MainWindow::onMenuCommand(int id) {
  if (id == kOptionsMenuItem) OpenOptions();
  if (id == kAboutMenuItem) ShowAbout();
}

// OK stores what changed and applies it at once, during a run too; Cancel
// changes nothing. Choices a policy sets are shown greyed and never stored.
void MainWindow::OpenOptions() {
  // Not every way of setting policies tells running programs.
  ApplyPolicies();
  OptionsFields fields = FieldsFor(options_);
  fields.managed = ManagedBy(policies_);
  if (!platform_.runOptionsDialog(fields, appTitle_, &JudgeOptions)) return;
  const Options chosen = KeepManaged(OptionsFrom(fields, platform_), storedOptions_, policies_);
  WriteChangedOptions(platform_, storedOptions_, chosen);
  storedOptions_ = chosen;
  options_ = Enforce(storedOptions_, policies_);
  if (Running()) WatchForRun(true);
}

void MainWindow::ShowAbout() {
  std::string text = std::string(kProductTitle) + " " + platform_.programVersion();
  text +=
      "\r\n\r\nHides the mouse pointer once it has rested for the seconds you choose, and shows it again the "
      "moment the mouse moves.";
  text += "\r\n\r\nCopyright (c) 2026 Trandavel\r\nMIT License";
  platform_.messageBox(text, kAboutCaption, kInformationBoxStyle);
}

}  // namespace pellucor
