#include "options/key_chord.h"

#include <vector>

namespace pellucor {
namespace {

struct KeyName {
  int key;
  const char* name;  // as stored, and shown in English
  int text;          // its name in the user's language
};

// Keys with a name of their own; letters, digits, F1 to F24 and the number
// pad's digits are named by rule. No name holds a "+", which joins them.
// Signs have no text: they read the same in every language.
constexpr KeyName kNamedKeys[] = {
    {0x08, "Backspace", IDS_KEY_BACKSPACE},
    {0x09, "Tab", IDS_KEY_TAB},
    {0x0D, "Enter", IDS_KEY_ENTER},
    {0x13, "Pause", IDS_KEY_PAUSE},
    {0x1B, "Esc", IDS_KEY_ESC},
    {0x20, "Space", IDS_KEY_SPACE},
    {0x21, "Page Up", IDS_KEY_PAGE_UP},
    {0x22, "Page Down", IDS_KEY_PAGE_DOWN},
    {0x23, "End", IDS_KEY_END},
    {0x24, "Home", IDS_KEY_HOME},
    {0x25, "Left", IDS_KEY_LEFT},
    {0x26, "Up", IDS_KEY_UP},
    {0x27, "Right", IDS_KEY_RIGHT},
    {0x28, "Down", IDS_KEY_DOWN},
    {0x2C, "Print Screen", IDS_KEY_PRINT_SCREEN},
    {0x2D, "Insert", IDS_KEY_INSERT},
    {0x2E, "Delete", IDS_KEY_DELETE},
    {0x6A, "Num *", 0},
    {0x6B, "Num Plus", 0},
    {0x6D, "Num -", 0},
    {0x6E, "Num .", 0},
    {0x6F, "Num /", 0},
    {0x91, "Scroll Lock", IDS_KEY_SCROLL_LOCK},
    {0xBA, ";", 0},
    {0xBB, "=", 0},
    {0xBC, ",", 0},
    {0xBD, "-", 0},
    {0xBE, ".", 0},
    {0xBF, "/", 0},
    {0xC0, "`", 0},
    {0xDB, "[", 0},
    {0xDC, "\\", 0},
    {0xDD, "]", 0},
    {0xDE, "'", 0},
};
constexpr int kVkTab = 0x09, kVkEscape = 0x1B, kVkDelete = 0x2E, kVkF12 = 0x7B;

const KeyName* NamedKey(int key) {
  for (const KeyName& k : kNamedKeys) {
    if (k.key == key) return &k;
  }
  return nullptr;
}

std::string KeyNameOf(int key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, static_cast<char>(key));
  // Appended rather than added up: GCC 12 warns falsely (-Wrestrict) on "..." + string.
  if (key >= 0x70 && key <= 0x87) return std::string("F").append(std::to_string(key - 0x70 + 1));
  if (key >= 0x60 && key <= 0x69) return std::string("Num ").append(std::to_string(key - 0x60));
  const KeyName* named = NamedKey(key);
  return named ? named->name : std::string();
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

std::string ChordCaption(const KeyChord& chord, const Texts& texts) {
  std::string key = KeyNameOf(chord.key);
  if (key.empty()) return {};
  const KeyName* named = NamedKey(chord.key);
  if (named && named->text) {
    key = texts.textFor(named->text);
  } else if (key.rfind("Num ", 0) == 0) {
    // The number pad's keys: "Num 5", "Num *", "Num Plus", named the language's way.
    key = FillIn(texts.textFor(IDS_KEY_NUM_PAD), {key.substr(4)});
  }
  std::string text;
  const auto add = [&](bool held, int name) {
    if (!held) return;
    text += texts.textFor(name);
    text += " + ";
  };
  add(chord.ctrl, IDS_KEY_CTRL);
  add(chord.alt, IDS_KEY_ALT);
  add(chord.shift, IDS_KEY_SHIFT);
  add(chord.win, IDS_KEY_WIN);
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

int ChordRefusal(const KeyChord& chord, ChordUse use) {
  const bool stop = use == ChordUse::StopKey;
  if (chord.empty()) return stop ? IDS_CHORD_NEEDED : 0;
  if (chord.win) return IDS_CHORD_WINDOWS_KEY;
  if (IsModifierKey(chord.key) || KeyNameOf(chord.key).empty()) return IDS_CHORD_UNUSABLE;
  if (!chord.ctrl && !chord.alt) return stop ? IDS_CHORD_STOP_NEEDS_CTRL : IDS_CHORD_HIDE_NEEDS_CTRL;
  if (KeptByWindows(chord)) return IDS_CHORD_KEPT_BY_WINDOWS;
  // Kept for debuggers at all times, so it is never a hot key of ours.
  if (!stop && chord.key == kVkF12) return IDS_CHORD_F12;
  return 0;
}

std::string ChordFault(const KeyChord& chord, ChordUse use, const Texts& texts) {
  const int refusal = ChordRefusal(chord, use);
  if (refusal == 0) return {};
  return FillIn(texts.textFor(refusal), {ChordCaption(chord, texts)});
}

KeyChord UsableChord(std::string_view stored, ChordUse use) {
  const std::optional<KeyChord> chord = ReadChord(stored);
  if (chord && ChordRefusal(*chord, use) == 0) return *chord;
  return use == ChordUse::StopKey ? kDefaultStopKey : KeyChord{};
}

}  // namespace pellucor
