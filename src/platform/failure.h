#pragma once

#include <stdexcept>
#include <string>

namespace pellucor {

// A failure that a guarded handler reports in the error box. Platform calls
// throw it with a readable text; nothing else in the program throws.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& text) : std::runtime_error(text) {}
};

// The texts the platform uses for its own failures, in one place so that the
// simulated desktop and Windows agree word for word.
namespace failure_text {
inline constexpr const char* kOverflow = "Overflow";
inline constexpr const char* kTypeMismatch = "Type mismatch";
inline constexpr const char* kInvalidPicture = "Invalid picture";
inline constexpr const char* kFileNotFound = "File not found";
inline constexpr const char* kPathNotFound = "Path not found";
inline constexpr const char* kBadFileName = "Bad file name or number";
inline constexpr const char* kInvalidArgument = "Invalid procedure call or argument";
inline constexpr const char* kOutOfMemory = "Out of memory";
inline constexpr const char* kInvalidSkin = "Invalid skin file";
inline constexpr const char* kNotSupported = "Object doesn't support this property or method";
}  // namespace failure_text

// Thrown by Platform::endProcess on the simulated desktop to unwind every
// nested loop at once, the way ExitProcess ends the real one. Deliberately not
// a std::exception, so no guard can swallow it.
struct ProcessEnded {
  int exitCode = 0;
};

}  // namespace pellucor
