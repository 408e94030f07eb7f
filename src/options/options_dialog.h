#pragma once

// The Options dialog's decisions: what it shows for the stored choices, what
// it refuses at OK, and the choices it makes of what the user left.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options/options.h"
#include "platform/dialogs.h"
#include "platform/files.h"

namespace pellucor {

inline constexpr const char* kPixelsRefused = "The number of pixels must be a whole number from 0 to 50.";
inline constexpr const char* kHideOnlyInNothing =
    "List at least one program to hide the pointer only while it is in front.";
inline constexpr const char* kHideKeyIsStopKey = "The key that hides the pointer cannot also stop a run.";

OptionsFields FieldsFor(const Options& options);
// A whole number from 0 to kMaxIgnoredPixels in plain digits, blanks around
// it allowed; nothing otherwise.
std::optional<int> ParseIgnoredPixels(std::string_view text);
// The list's lines, each trimmed and cut to its file name (a path's last
// part), empty ones left out.
std::vector<std::string> SplitProgramLines(std::string_view text);
// Why `name` cannot be a program's file name, or empty when it can.
std::string ProgramNameFault(std::string_view name);
// Nothing when OK may close the dialog; else what to tell the user, and where.
std::optional<Refusal> JudgeOptions(const OptionsFields& fields);
// The choices the fields make, once judged acceptable: duplicates (as
// Windows compares names) dropped, the first kept.
Options OptionsFrom(const OptionsFields& fields, Files& files);

}  // namespace pellucor
