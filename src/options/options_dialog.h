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
#include "platform/texts.h"

namespace pellucor {

OptionsFields FieldsFor(const Options& options);
// A whole number from 0 to kMaxIgnoredPixels in plain digits, blanks around
// it allowed; nothing otherwise.
std::optional<int> ParseIgnoredPixels(std::string_view text);
// The list's lines, each trimmed and cut to its file name (a path's last
// part), empty ones left out.
std::vector<std::string> SplitProgramLines(std::string_view text);
// Whether `name` can be a program's file name: it holds none of * ? " < > |
// and no control character.
bool IsProgramName(std::string_view name);
// Nothing when OK may close the dialog; else what to tell the user, and where.
std::optional<Refusal> JudgeOptions(const OptionsFields& fields, const Texts& texts);
// The choices the fields make, once judged acceptable: duplicates (as
// Windows compares names) dropped, the first kept.
Options OptionsFrom(const OptionsFields& fields, Files& files);

}  // namespace pellucor
