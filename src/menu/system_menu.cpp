#include "menu/system_menu.h"

#include "common/app_title.h"
#include "options/options_dialog.h"

namespace pellucor {
namespace {

constexpr unsigned kInformationBoxStyle = 0x40;  // MB_ICONINFORMATION, OK only

}  // namespace

SystemMenu::SystemMenu(Dialogs& dialogs, MessageLoop& loop, Files& files, const Texts& texts, OptionsInForce& choices,
                       const std::string& boxCaption)
    : dialogs_(dialogs), loop_(loop), files_(files), texts_(texts), choices_(choices), boxCaption_(boxCaption) {}

void SystemMenu::addItems() {
  dialogs_.addSystemMenuItems(
      {{kOptionsMenuItem, texts_.textFor(IDS_MENU_OPTIONS)}, {kAboutMenuItem, texts_.textFor(IDS_MENU_ABOUT)}}, *this);
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
  const auto judge = [this](const OptionsFields& shownFields) { return JudgeOptions(shownFields, texts_); };
  if (!dialogs_.runOptionsDialog(fields, boxCaption_, judge)) return;
  choices_.keep(OptionsFrom(fields, files_), shown);
}

void SystemMenu::showAbout() {
  std::string text = std::string(kProductTitle) + " " + files_.programVersion();
  text += "\r\n\r\n" + texts_.textFor(IDS_ABOUT_TEXT);
  text += "\r\n\r\nCopyright (c) 2026 Trandavel\r\nMIT License";
  loop_.messageBox(text, texts_.textFor(IDS_ABOUT_CAPTION), kInformationBoxStyle);
}

}  // namespace pellucor
