#pragma once

// The texts a user reads, in the user's Windows display language. The tables
// are the string tables in res/lang/, one file a language, numbered by
// platform/text_ids.h; English is the fallback for a language Pellucor does
// not have and for a text a table lacks.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_ids.h"

namespace pellucor {

inline constexpr const char* kFallbackLanguage = "en-US";

class Texts {
 public:
  // The text with that number in the chosen language.
  virtual std::string textFor(int id) const = 0;
  // The chosen language's tag, as "de-DE".
  virtual std::string language() const = 0;
  bool rightToLeft() const;

 protected:
  ~Texts() = default;
};

// The language to speak: the first preferred language Pellucor has, matched
// whole and then by its base ("pt-PT" takes "pt-BR"); English otherwise.
// Tags compare without regard to case.
std::string ChooseLanguage(const std::vector<std::string>& preferred, const std::vector<std::string>& available);
// Whether a language is written right to left (Arabic, Hebrew, Persian, ...).
bool ReadsRightToLeft(std::string_view tag);
// The text with %1 to %9 replaced by the values, in any order the language
// puts them; "%%" is a percent sign.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values);

}  // namespace pellucor
