#pragma once

// Text helpers the simulated desktop's parts share.

#include <algorithm>
#include <cctype>
#include <string>

namespace pellucor::sim {

// Windows compares file and registry names without case.
inline std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace pellucor::sim
