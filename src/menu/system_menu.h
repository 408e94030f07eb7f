#pragma once

// The window's system menu: the Options window and About.

#include <string>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/message_loop.h"
#include "platform/texts.h"
#include "policy/options_in_force.h"

namespace pellucor {

class SystemMenu final : public MenuEvents {
 public:
  enum : int { kOptionsMenuItem = 0x1010, kAboutMenuItem = 0x1020 };

  // `boxCaption` is the application title, which the window sets as it loads.
  SystemMenu(Dialogs& dialogs, MessageLoop& loop, Files& files, const Texts& texts, OptionsInForce& choices,
             const std::string& boxCaption);

  // Adds the items to the window's system menu, once the window exists.
  void addItems();

  // MenuEvents
  void onMenuCommand(int id) override;

 private:
  void openOptions();
  void showAbout();

  Dialogs& dialogs_;
  MessageLoop& loop_;
  Files& files_;
  const Texts& texts_;
  OptionsInForce& choices_;
  const std::string& boxCaption_;
};

}  // namespace pellucor
