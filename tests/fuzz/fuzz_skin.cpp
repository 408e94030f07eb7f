// Fuzzes the skin file parser: the skin beside the program is any file a user
// (or anyone who can write to that folder) puts there.
//
// Input: the section name on the first line (empty: the default, "Colors"),
// then the skin file's text. With no line feed the whole input is the section
// and the file is empty.
//
// Failure("Invalid skin file") is an ordinary outcome; any other exception or
// sanitizer report is a bug. Also checked: a parsed colour is a plain RGB
// value; writing the colours back out as a skin reads back the same; a line
// feed more at the end or the section name in capitals changes nothing.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/skin_engine.h"
#include "platform/failure.h"

namespace {

using pellucor::Colour;
using pellucor::SkinColours;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_skin: %s\n", what);
  std::abort();
}

bool Same(const SkinColours& a, const SkinColours& b) {
  for (const auto& [name, member] : pellucor::kSkinKeys) {
    if (a.*member != b.*member) return false;
  }
  return true;
}

// The parse, or nothing for an invalid file; anything else thrown is a bug.
std::optional<SkinColours> Parse(const std::string& text, const std::string& section) {
  try {
    return pellucor::ParseSkin(text, section);
  } catch (const pellucor::Failure& failure) {
    if (std::string_view(failure.what()) != pellucor::failure_text::kInvalidSkin) Fail("a Failure of another text");
    return std::nullopt;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz_skin: exception: %s\n", e.what());
    std::abort();
  } catch (...) {
    Fail("a non-standard exception");
  }
}

// Colours are kept as Windows keeps them (0x00BBGGRR); the file says #RRGGBB.
std::string Written(const SkinColours& colours) {
  std::string out = "[Colors]\n";
  for (const auto& [name, member] : pellucor::kSkinKeys) {
    if (!(colours.*member)) continue;
    const Colour c = *(colours.*member);
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02X%02X%02X", c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu);
    out += std::string(name) + "=" + hex + "\n";
  }
  return out;
}

bool SameOutcome(const std::optional<SkinColours>& a, const std::optional<SkinColours>& b) {
  return a.has_value() == b.has_value() && (!a || Same(*a, *b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t lineEnd = input.find('\n');
  const std::string section(input.substr(0, lineEnd));
  const std::string text(lineEnd == std::string_view::npos ? std::string_view() : input.substr(lineEnd + 1));

  const std::optional<SkinColours> parsed = Parse(text, section);
  if (parsed) {
    for (const auto& [name, member] : pellucor::kSkinKeys) {
      if ((*parsed).*member && *((*parsed).*member) > 0xFFFFFFu) Fail("a colour beyond RGB");
    }
    const std::optional<SkinColours> again = Parse(Written(*parsed), "");
    if (!again || !Same(*parsed, *again)) Fail("colours written back read differently");
  }
  if (!SameOutcome(parsed, Parse(text + "\n", section))) Fail("a final line feed changed the outcome");
  std::string upper = section;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!SameOutcome(parsed, Parse(text, upper))) Fail("the section name's case changed the outcome");
  return 0;
}
