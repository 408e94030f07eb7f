#include "platform/texts.h"

#include <algorithm>

namespace pellucor {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTag(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

// "pt" of "pt-PT", "zh" of "zh-Hans-SG".
std::string_view BaseOf(std::string_view tag) { return tag.substr(0, tag.find_first_of("-_")); }

}  // namespace

bool Texts::rightToLeft() const { return ReadsRightToLeft(language()); }

std::string ChooseLanguage(const std::vector<std::string>& preferred, const std::vector<std::string>& available) {
  for (const std::string& wanted : preferred) {
    for (const std::string& have : available) {
      if (SameTag(wanted, have)) return have;
    }
    for (const std::string& have : available) {
      if (!BaseOf(wanted).empty() && SameTag(BaseOf(wanted), BaseOf(have))) return have;
    }
  }
  return kFallbackLanguage;
}

bool ReadsRightToLeft(std::string_view tag) {
  static constexpr std::string_view kRightToLeft[] = {"ar", "he", "fa", "ur", "ps", "sd", "yi", "dv", "ug", "ku"};
  return std::any_of(std::begin(kRightToLeft), std::end(kRightToLeft),
                     [&](std::string_view base) { return SameTag(BaseOf(tag), base); });
}

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[i + 1];
    if (next == '%') {
      out += '%';
      ++i;
    } else if (next >= '1' && next <= '9') {
      const std::size_t n = static_cast<std::size_t>(next - '1');
      if (n < values.size()) out.append(values.begin()[n]);
      ++i;
    } else {
      out += '%';
    }
  }
  return out;
}

}  // namespace pellucor
