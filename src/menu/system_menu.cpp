#include "menu/system_menu.h"

#include "common/app_title.h"
#include "options/options_dialog.h"

namespace pellucor {
namespace {

constexpr unsigned kInformationBoxStyle = 0x40;  // MB_ICONINFORMATION, OK only

}  // namespace

SystemMenu::SystemMenu(Dialogs& dialogs, MessageLoop& loop, Files& files, OptionsInForce& choices,
                       const std::string& boxCaption)
    : dialogs_(dialogs), loop_(loop), files_(files), choices_(choices), boxCaption_(boxCaption) {}

void SystemMenu::addItems() {
  dialogs_.addSystemMenuItems({{kOptionsMenuItem, kOptionsMenuText}, {kAboutMenuItem, kAboutMenuText}}, *this);
}

void SystemMenu::onMenuCommand(int id) {
  if (id == kOptionsMenuItem) openOptions();
  if (id == kAboutMenuItem) showAbout();
}

// OK stores what changed and applies it at once, during a run too; Cancel
// changes nothing. Choices a policy sets are shown greyed and never stored.
void SystemMenu::openOptions() {
  // Not every way of setting policies tells running programs.
  choices_.applyPolicies();
  OptionsFields fields = FieldsFor(choices_.options());
  fields.managed = ManagedBy(choices_.policies());
  // A policy refresh while the window is open changes what applies, not what
  // the window showed greyed.
  const ManagedFields shown = fields.managed;
  if (!dialogs_.runOptionsDialog(fields, boxCaption_, &JudgeOptions)) return;
  choices_.keep(OptionsFrom(fields, files_), shown);
}

void SystemMenu::showAbout() {
  std::string text = std::string(kProductTitle) + " " + files_.programVersion();
  text +=
      "\r\n\r\nHides the mouse pointer once it has rested for the seconds you choose, and shows it again the "
      "moment the mouse moves.";
  text += "\r\n\r\nCopyright (c) 2026 Trandavel\r\nMIT License";
  loop_.messageBox(text, kAboutCaption, kInformationBoxStyle);
}

}  // namespace pellucor
