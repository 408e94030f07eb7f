#include "options/options_dialog.h"

#include <algorithm>
#include <charconv>

namespace pellucor {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Characters no file name can hold once the folders are cut away.
constexpr std::string_view kNotInFileNames = "*?\"<>|";

}  // namespace

OptionsFields FieldsFor(const Options& options) {
  OptionsFields fields;
  fields.hideWhileTyping = options.hideWhileTyping;
  fields.ignoredPixels = std::to_string(options.ignoredPixels);
  fields.wheelKeepsHidden = options.wheelKeepsHidden;
  fields.startHiding = options.startHiding;
  for (const std::string& name : options.neverHideIn) {
    if (!fields.programs.empty()) fields.programs += "\r\n";
    fields.programs += name;
  }
  fields.hideOnlyInListed = options.hideOnlyInListed;
  fields.neverHideInFullScreen = options.neverHideInFullScreen;
  fields.stopKey = options.stopKey;
  fields.hideKey = options.hideKey;
  return fields;
}

std::optional<int> ParseIgnoredPixels(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 2) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kMaxIgnoredPixels)
    return std::nullopt;
  return value;
}

std::vector<std::string> SplitProgramLines(std::string_view text) {
  std::vector<std::string> names;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    // A path, pasted or typed: its file name. "C:name.exe" names a file too.
    const std::size_t cut = line.find_last_of("\\/:");
    if (cut != std::string_view::npos) line = Trim(line.substr(cut + 1));
    if (!line.empty()) names.emplace_back(line);
  }
  return names;
}

bool IsProgramName(std::string_view name) {
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 32 || kNotInFileNames.find(c) != std::string_view::npos;
  });
}

std::optional<Refusal> JudgeOptions(const OptionsFields& fields, const Texts& texts) {
  if (!ParseIgnoredPixels(fields.ignoredPixels))
    return Refusal{OptionsField::IgnoredPixels, texts.textFor(IDS_PIXELS_REFUSED)};
  const std::vector<std::string> programs = SplitProgramLines(fields.programs);
  for (const std::string& name : programs) {
    if (!IsProgramName(name))
      return Refusal{OptionsField::Programs, FillIn(texts.textFor(IDS_PROGRAM_NAME_BAD), {name})};
  }
  if (fields.hideOnlyInListed && programs.empty())
    return Refusal{OptionsField::Programs, texts.textFor(IDS_HIDE_ONLY_IN_NOTHING)};
  if (std::string fault = ChordFault(fields.stopKey, ChordUse::StopKey, texts); !fault.empty())
    return Refusal{OptionsField::StopKey, std::move(fault)};
  if (std::string fault = ChordFault(fields.hideKey, ChordUse::HideKey, texts); !fault.empty())
    return Refusal{OptionsField::HideKey, std::move(fault)};
  if (!fields.hideKey.empty() && fields.hideKey == fields.stopKey)
    return Refusal{OptionsField::HideKey, texts.textFor(IDS_HIDE_KEY_IS_STOP_KEY)};
  return std::nullopt;
}

Options OptionsFrom(const OptionsFields& fields, Files& files) {
  Options options;
  options.hideWhileTyping = fields.hideWhileTyping;
  options.ignoredPixels = ParseIgnoredPixels(fields.ignoredPixels).value_or(0);
  options.wheelKeepsHidden = fields.wheelKeepsHidden;
  options.startHiding = fields.startHiding;
  for (const std::string& name : SplitProgramLines(fields.programs)) {
    if (IsProgramName(name) && !ListsProgram(files, options.neverHideIn, name)) options.neverHideIn.push_back(name);
  }
  options.hideOnlyInListed = fields.hideOnlyInListed && !options.neverHideIn.empty();
  options.neverHideInFullScreen = fields.neverHideInFullScreen;
  options.stopKey = fields.stopKey;
  options.hideKey = fields.hideKey;
  return options;
}

}  // namespace pellucor
