#include "hider/mod_keyboard.h"

namespace pellucor {

void InstallKeyboardHook(Platform&) {}
void RemoveKeyboardHook(Platform&) {}

}  // namespace pellucor
