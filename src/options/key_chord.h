#pragma once

// The keys the user chooses: the one that stops a run, and the one that
// hides the pointer now. A chord is stored in English words ("Ctrl+Alt+H")
// and shown in the user's language ("Strg + Alt + H" in German).

#include <optional>
#include <string>
#include <string_view>

#include "platform/texts.h"
#include "platform/types.h"

namespace pellucor {

inline constexpr KeyChord kDefaultStopKey{true, false, true, false, 0x53};  // Ctrl+Shift+S

// What a chord is for: its faults are said in those words.
enum class ChordUse { StopKey, HideKey };

// The chord's stored words, joined by "+"; empty for no chord or a key
// without a name here.
std::string ChordText(const KeyChord& chord, std::string_view joiner = "+");
// A chord in those words, in any case and with blanks around the "+";
// nothing for text that names no key or names one twice. "" is no chord.
std::optional<KeyChord> ReadChord(std::string_view text);
// The chord as a caption shows it, in the language's key names joined by
// " + "; empty as ChordText is.
std::string ChordCaption(const KeyChord& chord, const Texts& texts);
// Why the chord cannot be used for `use`: the text's number, 0 when it can.
// No chord is a fault for the stop key only.
int ChordRefusal(const KeyChord& chord, ChordUse use);
// That reason in a sentence for a box; empty when the chord can be used.
std::string ChordFault(const KeyChord& chord, ChordUse use, const Texts& texts);
// The chord as stored, when it is one that may be used for `use`; else the
// default (Ctrl+Shift+S for the stop key, none for the hide key).
KeyChord UsableChord(std::string_view stored, ChordUse use);

}  // namespace pellucor
