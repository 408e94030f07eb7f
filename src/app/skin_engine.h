#pragma once

// Our own small skin engine. The main window drives it through a fixed
// automation-style surface of numbered members (dispatch ids):
//
//   1  property  Options (32-bit flags). Bit 0: skin the window's controls
//                too, not only the window itself.
//   2  method    LoadSkin(path, section): reads a skin file; an empty
//                section means "Colors".
//   3  method    ApplyWindow(handle): skins the window with that handle.
//   5  property  ApplyColors (bool): apply the skin's background colours.
//  10  property  ApplyTextColors (bool): apply the skin's text colours.
//
// Skin file: INI-style text. Within the chosen section, lines `Key=#RRGGBB`
// for the keys Window, Frame, FrameText, CheckBox, CheckBoxText, Field,
// FieldText, Button, ButtonText. Lines starting with ';' are comments, other
// sections and unknown keys are ignored, a colour that is not #RRGGBB makes
// the file invalid. Keys that are absent leave that colour as it was.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/files.h"
#include "platform/window.h"

namespace pellucor {

using Variant = std::variant<std::monostate, bool, std::int32_t, std::string>;

enum class InvokeKind { Method, PropertyGet, PropertyPut };

struct SkinColours {
  std::optional<Colour> window, frame, frameText, checkBox, checkBoxText, field, fieldText, button, buttonText;
};

// The skin file's keys and the colours they set.
inline constexpr std::pair<const char*, std::optional<Colour> SkinColours::*> kSkinKeys[] = {
    {"Window", &SkinColours::window},
    {"Frame", &SkinColours::frame},
    {"FrameText", &SkinColours::frameText},
    {"CheckBox", &SkinColours::checkBox},
    {"CheckBoxText", &SkinColours::checkBoxText},
    {"Field", &SkinColours::field},
    {"FieldText", &SkinColours::fieldText},
    {"Button", &SkinColours::button},
    {"ButtonText", &SkinColours::buttonText},
};

// Throws Failure(Invalid skin file) for a malformed file or a missing section.
SkinColours ParseSkin(const std::string& text, const std::string& section);

class SkinEngine {
 public:
  static constexpr int kOptions = 1;
  static constexpr int kLoadSkin = 2;
  static constexpr int kApplyWindow = 3;
  static constexpr int kApplyColors = 5;
  static constexpr int kApplyTextColors = 10;
  static constexpr std::int32_t kOptionSkinControls = 1;

  SkinEngine(Window& window, Files& files) : window_(window), files_(files) {}

  // Throws Failure for an unknown member, a wrong argument or a failed call.
  Variant Invoke(int dispId, InvokeKind kind, const std::vector<Variant>& args = {});

  bool loaded() const { return loaded_; }

 private:
  void applyWindow(std::intptr_t handle);

  Window& window_;
  Files& files_;
  SkinColours colours_;
  bool loaded_ = false;
  std::int32_t options_ = 0;
  bool applyColors_ = false;
  bool applyTextColors_ = false;
};

// Automation-style conversions; throw Failure(Type mismatch) or Overflow.
std::int32_t VariantToLong(const Variant& value);
bool VariantToBool(const Variant& value);

}  // namespace pellucor
