#pragma once

// The keys the user chooses: the one that stops a run, and the one that
// hides the pointer now. A chord is stored and shown in the same words
// ("Ctrl+Alt+H", and "Ctrl + Alt + H" in the run button's caption).

#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace pellucor {

inline constexpr KeyChord kDefaultStopKey{true, false, true, false, 0x53};  // Ctrl+Shift+S

// What a chord is for: its faults are said in those words.
enum class ChordUse { StopKey, HideKey };

// The chord's words, joined by "+" as stored or by " + " as in a caption;
// empty for no chord or a key without a name here.
std::string ChordText(const KeyChord& chord, std::string_view joiner = "+");
// A chord in those words, in any case and with blanks around the "+";
// nothing for text that names no key or names one twice. "" is no chord.
std::optional<KeyChord> ReadChord(std::string_view text);
// Why the chord cannot be used for `use`, in a sentence for a box; empty
// when it can. No chord is a fault for the stop key only.
std::string ChordFault(const KeyChord& chord, ChordUse use);
// The chord as stored, when it is one that may be used for `use`; else the
// default (Ctrl+Shift+S for the stop key, none for the hide key).
KeyChord UsableChord(std::string_view stored, ChordUse use);

}  // namespace pellucor
