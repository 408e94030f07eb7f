#include "options/key_chord.h"

#include <vector>

namespace pellucor {
namespace {

struct KeyName {
  int key;
  const char* name;
};

// Keys with a name of their own; letters, digits, F1 to F24 and the number
// pad's digits are named by rule. No name holds a "+", which joins them.
constexpr KeyName kNamedKeys[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},     {0x0D, "Enter"},       {0x13, "Pause"},    {0x1B, "Esc"},
    {0x20, "Space"},     {0x21, "Page Up"}, {0x22, "Page Down"},   {0x23, "End"},      {0x24, "Home"},
    {0x25, "Left"},      {0x26, "Up"},      {0x27, "Right"},       {0x28, "Down"},     {0x2C, "Print Screen"},
    {0x2D, "Insert"},    {0x2E, "Delete"},  {0x6A, "Num *"},       {0x6B, "Num Plus"}, {0x6D, "Num -"},
    {0x6E, "Num ."},     {0x6F, "Num /"},   {0x91, "Scroll Lock"}, {0xBA, ";"},        {0xBB, "="},
    {0xBC, ","},         {0xBD, "-"},       {0xBE, "."},           {0xBF, "/"},        {0xC0, "`"},
    {0xDB, "["},         {0xDC, "\\"},      {0xDD, "]"},           {0xDE, "'"},
};
constexpr int kVkTab = 0x09, kVkEscape = 0x1B, kVkDelete = 0x2E, kVkF12 = 0x7B;

std::string KeyNameOf(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  // Appended rather than added up: GCC 12 warns falsely (-Wrestrict) on "..." + string.
  if (key >= 0x70 && key <= 0x87) return std::string("F").append(std::to_string(key - 0x70 + 1));
  if (key >= 0x60 && key <= 0x69) return std::string("Num ").append(std::to_string(key - 0x60));
  for (const KeyName& k : kNamedKeys) {
    if (k.key == key) return k.name;
  }
  return {};
}

bool SameWords(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The key a name names; 0 for none. Tried against every key with a name,
// so reading and writing can never disagree.
int KeyNamed(std::string_view name) {
  for (int key = 1; key < 0xFF; ++key) {
    const std::string known = KeyNameOf(key);
    if (!known.empty() && SameWords(known, name)) return key;
  }
  return 0;
}

bool IsModifierKey(int key) {
  return (key >= 0x10 && key <= 0x12) || (key >= 0xA0 && key <= 0xA5) || key == 0x5B || key == 0x5C;
}

// Ctrl+Alt+Delete, Ctrl+Esc, Ctrl+Shift+Esc, Alt+Esc, Alt+Tab and their
// Shift forms: Windows acts on them before any program.
bool KeptByWindows(const KeyChord& chord) {
  if (chord.key == kVkTab) return chord.alt;
  if (chord.key == kVkEscape) return chord.ctrl != chord.alt;
  if (chord.key == kVkDelete) return chord.ctrl && chord.alt;
  return false;
}

}  // namespace

std::string ChordText(const KeyChord& chord, std::string_view joiner) {
  const std::string key = KeyNameOf(chord.key);
  if (key.empty()) return {};
  std::string text;
  const auto add = [&](bool held, const char* name) {
    if (!held) return;
    text += name;
    text += joiner;
  };
  add(chord.ctrl, "Ctrl");
  add(chord.alt, "Alt");
  add(chord.shift, "Shift");
  add(chord.win, "Win");
  return text + key;
}

std::optional<KeyChord> ReadChord(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return KeyChord{};
  std::vector<std::string_view> words;
  for (std::size_t from = 0;;) {
    const std::size_t plus = text.find('+', from);
    words.push_back(Trim(text.substr(from, plus == std::string_view::npos ? std::string_view::npos : plus - from)));
    if (plus == std::string_view::npos) break;
    from = plus + 1;
  }
  KeyChord chord;
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    bool* held = SameWords(words[i], "Ctrl")    ? &chord.ctrl
                 : SameWords(words[i], "Alt")   ? &chord.alt
                 : SameWords(words[i], "Shift") ? &chord.shift
                 : SameWords(words[i], "Win")   ? &chord.win
                                                : nullptr;
    if (!held || *held) return std::nullopt;
    *held = true;
  }
  chord.key = KeyNamed(words.back());
  if (chord.key == 0) return std::nullopt;
  return chord;
}

std::string ChordFault(const KeyChord& chord, ChordUse use) {
  const bool stop = use == ChordUse::StopKey;
  if (chord.empty()) return stop ? "Choose a key that stops a run." : std::string();
  if (chord.win) return "The Windows key is kept for Windows. Choose a key held with Ctrl or Alt instead.";
  if (IsModifierKey(chord.key) || KeyNameOf(chord.key).empty())
    return "Pellucor cannot use this key. Choose a letter, a digit or a function key, held with Ctrl or Alt.";
  if (!chord.ctrl && !chord.alt) {
    return stop ? "Hold Ctrl or Alt with the key that stops a run: with Shift alone or nothing else, typing would "
                  "stop it."
                : "Hold Ctrl or Alt with the key that hides the pointer: with Shift alone or nothing else, typing "
                  "would hide it.";
  }
  if (KeptByWindows(chord)) return ChordText(chord, " + ") + " is kept by Windows for itself. Choose another key.";
  // Kept for debuggers at all times, so it is never a hot key of ours.
  if (!stop && chord.key == kVkF12) return "F12 is kept by Windows for debuggers. Choose another key.";
  return {};
}

KeyChord UsableChord(std::string_view stored, ChordUse use) {
  const std::optional<KeyChord> chord = ReadChord(stored);
  if (chord && ChordFault(*chord, use).empty()) return *chord;
  return use == ChordUse::StopKey ? kDefaultStopKey : KeyChord{};
}

}  // namespace pellucor
