#include "app/skin_engine.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

#include "platform/failure.h"

namespace pellucor {
namespace {

std::string Trim(std::string_view text) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

Colour ParseColour(const std::string& value) {
  if (value.size() != 7 || value[0] != '#') throw Failure(failure_text::kInvalidSkin);
  unsigned rgb = 0;
  const auto [end, error] = std::from_chars(value.data() + 1, value.data() + 7, rgb, 16);
  if (error != std::errc() || end != value.data() + 7) throw Failure(failure_text::kInvalidSkin);
  const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return (b << 16) | (g << 8) | r;
}

}  // namespace

SkinColours ParseSkin(const std::string& text, const std::string& section) {
  const std::string wanted = section.empty() ? "Colors" : section;
  SkinColours colours;
  bool inSection = false, sawSection = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trim(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[') {
      if (line.back() != ']') throw Failure(failure_text::kInvalidSkin);
      inSection = EqualNoCase(Trim(std::string_view(line).substr(1, line.size() - 2)), wanted);
      sawSection = sawSection || inSection;
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) throw Failure(failure_text::kInvalidSkin);
    const std::string key = Trim(std::string_view(line).substr(0, equals));
    const std::string value = Trim(std::string_view(line).substr(equals + 1));
    for (const auto& [name, member] : kSkinKeys) {
      if (EqualNoCase(key, name)) colours.*member = ParseColour(value);
    }
  }
  if (!sawSection) throw Failure(failure_text::kInvalidSkin);
  return colours;
}

std::int32_t VariantToLong(const Variant& value) {
  if (std::holds_alternative<std::int32_t>(value)) return std::get<std::int32_t>(value);
  if (std::holds_alternative<bool>(value)) return std::get<bool>(value) ? -1 : 0;
  if (std::holds_alternative<std::monostate>(value)) return 0;
  const std::string text = Trim(std::get<std::string>(value));
  long long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || end != text.data() + text.size()) throw Failure(failure_text::kTypeMismatch);
  if (error == std::errc::result_out_of_range || number < std::numeric_limits<std::int32_t>::min() ||
      number > std::numeric_limits<std::int32_t>::max())
    throw Failure(failure_text::kOverflow);
  return static_cast<std::int32_t>(number);
}

bool VariantToBool(const Variant& value) {
  if (std::holds_alternative<bool>(value)) return std::get<bool>(value);
  return VariantToLong(value) != 0;
}

Variant SkinEngine::Invoke(int dispId, InvokeKind kind, const std::vector<Variant>& args) {
  const auto argument = [&](std::size_t i) -> const Variant& {
    if (i >= args.size()) throw Failure(failure_text::kInvalidArgument);
    return args[i];
  };
  const auto text = [&](std::size_t i) {
    const Variant& v = argument(i);
    if (!std::holds_alternative<std::string>(v)) throw Failure(failure_text::kTypeMismatch);
    return std::get<std::string>(v);
  };
  switch (dispId) {
    case kOptions:
      if (kind == InvokeKind::PropertyGet) return options_;
      if (kind == InvokeKind::PropertyPut) {
        options_ = VariantToLong(argument(0));
        return {};
      }
      break;
    case kLoadSkin:
      if (kind == InvokeKind::Method) {
        colours_ = ParseSkin(files_.readTextFile(text(0)), text(1));
        loaded_ = true;
        return {};
      }
      break;
    case kApplyWindow:
      if (kind == InvokeKind::Method) {
        applyWindow(VariantToLong(argument(0)));
        return {};
      }
      break;
    case kApplyColors:
      if (kind == InvokeKind::PropertyGet) return applyColors_;
      if (kind == InvokeKind::PropertyPut) {
        applyColors_ = VariantToBool(argument(0));
        return {};
      }
      break;
    case kApplyTextColors:
      if (kind == InvokeKind::PropertyGet) return applyTextColors_;
      if (kind == InvokeKind::PropertyPut) {
        applyTextColors_ = VariantToBool(argument(0));
        return {};
      }
      break;
    default:
      break;
  }
  throw Failure(failure_text::kNotSupported);
}

void SkinEngine::applyWindow(std::intptr_t handle) {
  const auto controls = window_.controlsOf(handle);
  if (controls.empty()) throw Failure(failure_text::kInvalidArgument);
  if (!loaded_) return;  // nothing to apply yet
  const auto paint = [&](ControlId id, const std::optional<Colour>& back, const std::optional<Colour>& fore) {
    if (applyColors_ && back) window_.setBackColour(id, *back);
    if (applyTextColors_ && fore) window_.setForeColour(id, *fore);
  };
  paint(kWindow, colours_.window, std::nullopt);
  if (!(options_ & kOptionSkinControls)) return;
  for (const auto& [id, kind] : controls) {
    switch (kind) {
      case ControlKind::Frame:
        paint(id, colours_.frame, colours_.frameText);
        break;
      case ControlKind::CheckBox:
        paint(id, colours_.checkBox, colours_.checkBoxText);
        break;
      case ControlKind::TextField:
        paint(id, colours_.field, colours_.fieldText);
        break;
      case ControlKind::PushButton:
        paint(id, colours_.button, colours_.buttonText);
        break;
    }
  }
}

}  // namespace pellucor
