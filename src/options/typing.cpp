#include "options/typing.h"

namespace pellucor {
namespace {

// Virtual-key codes that never type, one by one and by range.
constexpr int kNeverTyping[] = {
    0x10, 0x11, 0x12,        // Shift, Ctrl, Alt
    0xA0, 0xA1, 0xA2, 0xA3,  // left and right Shift and Ctrl
    0xA4, 0xA5,              // left and right Alt
    0x5B, 0x5C, 0x5D,        // the Windows keys, the menu key
    0x14, 0x90, 0x91,        // Caps Lock, Num Lock, Scroll Lock
    0x1B,                    // Escape
    0x13, 0x2C, 0x5F,        // Pause, Print Screen, Sleep
};
constexpr struct {
  int first, last;
} kNeverTypingRanges[] = {
    {0x00, 0x07},  // mouse buttons
    {0x15, 0x1A},  // input-method keys (Kana, Junja, Kanji, ...)
    {0x1C, 0x1F},  // input-method convert and mode keys
    {0x70, 0x87},  // F1 to F24
    {0xA6, 0xB7},  // browser, volume, media and launch keys
    {0xE5, 0xE5},  // the input method is processing the key
    {0xF0, 0xFF},  // OEM input-method modes, Attn, CrSel, ExSel, Erase EOF, Play, Zoom, PA1, Clear, no key
};

bool NeverTypes(int vk) {
  for (int code : kNeverTyping) {
    if (vk == code) return true;
  }
  for (const auto& range : kNeverTypingRanges) {
    if (vk >= range.first && vk <= range.last) return true;
  }
  return false;
}

}  // namespace

bool KeyTypes(const KeyDown& key) {
  if (key.injected || key.win || NeverTypes(key.virtualKey)) return false;
  if (key.ctrl && key.alt) return key.rightAlt;  // AltGr is Left Ctrl with Right Alt
  return !key.ctrl && !key.alt;
}

}  // namespace pellucor
