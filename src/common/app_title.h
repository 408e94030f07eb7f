#pragma once

#include <string>
#include <string_view>

namespace pellucor {

inline constexpr const char* kProductTitle = "Pellucor";
inline constexpr std::size_t kMaxAppTitle = 40;

// The application title for a product title: its last word is always cut,
// then words go from the end until at most 40 characters are left; a title
// without a space stays whole.
std::string ShortenTitle(std::string_view productTitle);

}  // namespace pellucor
